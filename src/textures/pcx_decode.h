// PCX (version 5, run-length) decoding from memory, as the texture store reads it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct DecodedImage {
  std::vector<uint8_t> pixels;  // RGB, rows bottom-up
  uint32_t width = 0;
  uint32_t height = 0;
};

// Width is the header's bytes-per-line, height y max - y min + 1. A file whose
// planes x bits is 8 is paletted (palette in the last 768 bytes); anything
// else is read as red, green and blue 8-bit plane lines per row. A stream that
// ends early leaves the rest of the picture zero. On failure returns false,
// leaves `out` alone and sets *reason.
bool decodePcx(const uint8_t* data, size_t size, DecodedImage& out, const char** reason);

// Expands run-length bytes into exactly `count` output bytes, stopping early
// when the input ends; returns the number of bytes written.
size_t expandPcxRuns(const uint8_t* in, size_t inSize, uint8_t* out, size_t count);
