// Reading back the PNGs the capture writes.
#pragma once
#include <png.h>

#include <string>
#include <vector>

// Top-down RGB of a width x height PNG; empty if it cannot be read or has
// another size.
inline std::vector<unsigned char> readPng(const std::string& path, int width, int height) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  std::vector<unsigned char> rgb;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return rgb;
  image.format = PNG_FORMAT_RGB;
  if (int(image.width) != width || int(image.height) != height) {
    png_image_free(&image);
    return rgb;
  }
  rgb.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) rgb.clear();
  return rgb;
}
