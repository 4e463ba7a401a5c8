#include "textures/png_writer.h"

#include <png.h>

#include <cerrno>
#include <cstdio>

namespace {

// libpng's own handlers print to standard error and lose errno; these keep
// the system's reason for the caller and print nothing.
struct Sink {
  FILE* file;
  int error;  // errno of the failed write, 0 otherwise
};

void writeData(png_structp png, png_bytep data, png_size_t length) {
  Sink* sink = static_cast<Sink*>(png_get_io_ptr(png));
  if (std::fwrite(data, 1, length, sink->file) != length) {
    sink->error = errno ? errno : EIO;
    png_error(png, "write failed");
  }
}

void flushData(png_structp png) {
  Sink* sink = static_cast<Sink*>(png_get_io_ptr(png));
  if (std::fflush(sink->file) != 0) {
    sink->error = errno ? errno : EIO;
    png_error(png, "flush failed");
  }
}

void quietError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void quietWarning(png_structp, png_const_charp) {}

}  // namespace

static bool writeRows(const std::string& path, const unsigned char* pixels, int width,
                      int height, int colorType, int channels) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  Sink sink{f, 0};
  png_structp png =
      png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, quietError, quietWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  bool ok = false;
  if (info && !setjmp(png_jmpbuf(png))) {
    png_set_write_fn(png, &sink, writeData, flushData);
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
  const bool closed = std::fclose(f) == 0;
  const int closeError = errno;
  if (!ok) errno = sink.error ? sink.error : EIO;
  else if (!closed) errno = closeError;
  return ok && closed;
}

bool writePng(const std::string& path, const unsigned char* rgb, int width, int height) {
  return writeRows(path, rgb, width, height, PNG_COLOR_TYPE_RGB, 3);
}

bool writePngRgba(const std::string& path, const unsigned char* rgba, int width, int height) {
  return writeRows(path, rgba, width, height, PNG_COLOR_TYPE_RGB_ALPHA, 4);
}
