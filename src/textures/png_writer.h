// Writes top-down RGB pixels as a PNG file: captured frames and contact sheets.
#pragma once
#include <string>

bool writePng(const std::string& path, const unsigned char* rgb, int width, int height);
