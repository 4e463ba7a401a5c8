// PCX version 5 files, run-length encoded, 8 bits per plane.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// One plane of palette indices, `indices` top row first; `palette` holds 256
// RGB entries and is stored after the marker byte 0x0C at the end of the file.
std::vector<uint8_t> encodePcxPaletted(int width, int height, const uint8_t* indices,
                                       const uint8_t* palette);
// Three planes: each row stored as its red, green and blue lines; `rgb` top
// row first.
std::vector<uint8_t> encodePcxPlanar(int width, int height, const uint8_t* rgb);

bool writeBytes(const std::string& path, const std::vector<uint8_t>& bytes);
