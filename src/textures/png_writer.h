// Writes top-down pixels as a PNG file: captured frames, contact sheets and
// the program's icons.
#pragma once
#include <string>

// False with errno saying why when the file cannot be written whole.
// 3 bytes a pixel, RGB.
bool writePng(const std::string& path, const unsigned char* rgb, int width, int height);
// 4 bytes a pixel, RGB and straight alpha.
bool writePngRgba(const std::string& path, const unsigned char* rgba, int width, int height);
