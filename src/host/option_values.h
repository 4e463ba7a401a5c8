// Values shared by the command lines of the demo and its tools.
#pragma once
#include <string>

// A whole decimal number in [lo, hi] with nothing after it.
bool parseIntValue(const char* text, long lo, long hi, int* out);

// "WxH" with each side in [1, 16384].
bool parseSizeValue(const char* text, int* width, int* height);
