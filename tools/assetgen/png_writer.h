// 8-bit RGB PNG, for the contact sheet.
#pragma once
#include <cstdint>
#include <string>

bool writePng(const std::string& path, int width, int height, const uint8_t* rgb);
