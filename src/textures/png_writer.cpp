#include "textures/png_writer.h"

#include <png.h>

#include <cstdio>

static bool writeRows(const std::string& path, const unsigned char* pixels, int width,
                      int height, int colorType, int channels) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  bool ok = false;
  if (info && !setjmp(png_jmpbuf(png))) {
    png_init_io(png, f);
    // Frames are written by the hundred: fast compression matters more than size.
    png_set_compression_level(png, 3);
    png_set_IHDR(png, info, width, height, 8, colorType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const size_t row = static_cast<size_t>(width) * channels;
    for (int y = 0; y < height; ++y)
      png_write_row(png, const_cast<png_bytep>(pixels + static_cast<size_t>(y) * row));
    png_write_end(png, nullptr);
    ok = true;
  }
  png_destroy_write_struct(&png, info ? &info : nullptr);
  return std::fclose(f) == 0 && ok;
}

bool writePng(const std::string& path, const unsigned char* rgb, int width, int height) {
  return writeRows(path, rgb, width, height, PNG_COLOR_TYPE_RGB, 3);
}

bool writePngRgba(const std::string& path, const unsigned char* rgba, int width, int height) {
  return writeRows(path, rgba, width, height, PNG_COLOR_TYPE_RGB_ALPHA, 4);
}
