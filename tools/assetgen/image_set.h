// Every image file the demo loads, how it is stored and what paints it.
#pragma once
#include <string>
#include <vector>

#include "picture.h"

enum class ImageFormat {
  Jpeg,         // baseline, 3 components
  PcxPaletted,  // 8-bit indices into a grey ramp; the picture must be grey
  PcxPlanar,    // 24-bit as three 8-bit planes
};

struct ImageAsset {
  const char* file;  // under Images/
  ImageFormat format;
  int size;          // side of square pictures; text pictures are 512 x 256 whatever it says
  Picture (*make)(int size);
};

const std::vector<ImageAsset>& imageAssets();

// The file's bytes exactly as written (same input, same bytes, every run).
std::vector<uint8_t> encodeImage(const ImageAsset& asset, const Picture& picture);

// Paints and writes every image into <outDir>/Images/, creating it. Reports
// problems on stderr and returns false if any file could not be made.
bool writeImages(const std::string& outDir);
