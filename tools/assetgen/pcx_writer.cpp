#include "pcx_writer.h"

#include <cstdio>

namespace {

void putU16(std::vector<uint8_t>& out, size_t at, int value) {
  out[at] = uint8_t(value & 0xff);
  out[at + 1] = uint8_t((value >> 8) & 0xff);
}

std::vector<uint8_t> header(int width, int height, int planes) {
  std::vector<uint8_t> h(128, 0);
  h[0] = 0x0A;  // manufacturer
  h[1] = 5;     // version
  h[2] = 1;     // run-length encoding
  h[3] = 8;     // bits per pixel per plane
  putU16(h, 4, 0);
  putU16(h, 6, 0);
  putU16(h, 8, width - 1);
  putU16(h, 10, height - 1);
  putU16(h, 12, 72);
  putU16(h, 14, 72);
  h[65] = uint8_t(planes);
  putU16(h, 66, width);  // bytes per line; readers take it as the width
  putU16(h, 68, 1);      // colour palette
  return h;
}

// Runs stay within one line, as the classic encoders write them; values of
// 0xC0 and above always go out as runs so they are not read as counts.
void encodeLine(std::vector<uint8_t>& out, const uint8_t* line, int count) {
  int i = 0;
  while (i < count) {
    const uint8_t value = line[i];
    int run = 1;
    while (i + run < count && run < 63 && line[i + run] == value) ++run;
    if (run > 1 || value >= 0xC0) out.push_back(uint8_t(0xC0 | run));
    out.push_back(value);
    i += run;
  }
}

}  // namespace

std::vector<uint8_t> encodePcxPaletted(int width, int height, const uint8_t* indices,
                                       const uint8_t* palette) {
  std::vector<uint8_t> out = header(width, height, 1);
  for (int y = 0; y < height; ++y) encodeLine(out, indices + size_t(y) * size_t(width), width);
  out.push_back(0x0C);
  out.insert(out.end(), palette, palette + 768);
  return out;
}

std::vector<uint8_t> encodePcxPlanar(int width, int height, const uint8_t* rgb) {
  std::vector<uint8_t> out = header(width, height, 3);
  std::vector<uint8_t> line(static_cast<size_t>(width));
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = rgb + size_t(y) * size_t(width) * 3;
    for (int plane = 0; plane < 3; ++plane) {
      for (int x = 0; x < width; ++x) line[size_t(x)] = row[size_t(x) * 3 + size_t(plane)];
      encodeLine(out, line.data(), width);
    }
  }
  return out;
}

bool writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && ok;
}
