#include "host/option_values.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

bool parseIntValue(const char* text, long lo, long hi, int* out) {
  if (!text || !*text) return false;
  errno = 0;
  char* end = nullptr;
  const long v = std::strtol(text, &end, 10);
  if (errno != 0 || *end != '\0' || v < lo || v > hi) return false;
  *out = static_cast<int>(v);
  return true;
}

bool parseSizeValue(const char* text, int* width, int* height) {
  if (!text) return false;
  const char* x = std::strchr(text, 'x');
  if (!x) return false;
  const std::string left(text, static_cast<size_t>(x - text));
  return parseIntValue(left.c_str(), 1, 16384, width) && parseIntValue(x + 1, 1, 16384, height);
}
