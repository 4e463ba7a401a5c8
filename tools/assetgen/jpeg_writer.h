// Baseline JPEG through libjpeg's compressor: three components (RGB in,
// YCbCr in the file), fixed settings so the bytes are the same every run.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

std::vector<uint8_t> encodeJpeg(int width, int height, const uint8_t* rgb, int quality);
