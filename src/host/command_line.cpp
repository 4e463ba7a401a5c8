#include "host/command_line.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifndef LUMIVAARA_VERSION
#define LUMIVAARA_VERSION "0"
#endif

const char kLumivaaraVersion[] = LUMIVAARA_VERSION;

bool splitCommandLine(int argc, char** argv, const std::vector<OptionSpec>& specs,
                      std::vector<GivenOption>* out, std::string* error) {
  out->clear();
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "-h" || arg == "--help" || arg == "--version") {
      out->push_back({arg == "-h" ? "--help" : arg, ""});
      return true;
    }
    if (arg.size() < 2 || arg[0] != '-') {
      *error = "unexpected argument " + arg;
      return false;
    }
    const size_t eq = arg.find('=');
    const bool inline_ = arg.rfind("--", 0) == 0 && eq != std::string::npos;
    const std::string name = inline_ ? arg.substr(0, eq) : arg;
    const OptionSpec* spec = nullptr;
    for (const OptionSpec& s : specs)
      if (name == s.name) spec = &s;
    if (!spec) {
      *error = "unknown option " + name;
      return false;
    }
    GivenOption given{name, ""};
    if (!spec->takesValue) {
      if (inline_) {
        *error = name + " takes no value";
        return false;
      }
    } else if (inline_) {
      given.value = arg.substr(eq + 1);
    } else if (i + 1 < argc) {
      given.value = argv[++i];
    }
    if (spec->takesValue && given.value.empty()) {
      *error = name + " needs a value";
      return false;
    }
    out->push_back(given);
  }
  return true;
}

namespace {

// strtol over the whole text; false when it is not one decimal number. One
// too large for a long comes back as LONG_MAX or LONG_MIN, outside any range.
bool wholeNumber(const std::string& text, long* out) {
  if (text.empty() || std::isspace(static_cast<unsigned char>(text[0]))) return false;
  char* end = nullptr;
  *out = std::strtol(text.c_str(), &end, 10);
  return *end == '\0';
}

}  // namespace

bool parseIntValue(const char* text, long lo, long hi, int* out) {
  long v = 0;
  if (!text || !wholeNumber(text, &v) || v < lo || v > hi) return false;
  *out = static_cast<int>(v);
  return true;
}

namespace {

std::string badValue(const GivenOption& o, const char* what, const std::string& range) {
  return o.name + ": " + o.value + " " + what + " (" + range + ")";
}

}  // namespace

bool readInt(const GivenOption& o, long lo, long hi, int* out, std::string* error) {
  const std::string range = std::to_string(lo) + " to " + std::to_string(hi);
  long v = 0;
  if (!wholeNumber(o.value, &v)) {
    *error = badValue(o, "is not a whole number", range);
    return false;
  }
  if (v < lo || v > hi) {
    *error = badValue(o, "is out of range", range);
    return false;
  }
  *out = static_cast<int>(v);
  return true;
}

bool readSize(const GivenOption& o, int minWidth, int minHeight, int* width, int* height,
              std::string* error) {
  const std::string range = std::to_string(minWidth) + "x" + std::to_string(minHeight) +
                            " to " + std::to_string(kMaxSide) + "x" + std::to_string(kMaxSide);
  const size_t x = o.value.find('x');
  long w = 0, h = 0;
  if (x == std::string::npos || !wholeNumber(o.value.substr(0, x), &w) ||
      !wholeNumber(o.value.substr(x + 1), &h)) {
    *error = badValue(o, "is not a size WxH", range);
    return false;
  }
  if (w < minWidth || h < minHeight || w > kMaxSide || h > kMaxSide) {
    *error = badValue(o, "is out of range", range);
    return false;
  }
  *width = static_cast<int>(w);
  *height = static_cast<int>(h);
  return true;
}

bool readWord(const GivenOption& o, const std::vector<const char*>& words, std::string* error) {
  std::string list;
  for (const char* w : words) {
    if (o.value == w) return true;
    list += (list.empty() ? "" : ", ") + std::string(w);
  }
  *error = o.name + ": " + o.value + " is not one of " + list;
  return false;
}

bool readGlChoice(const GivenOption& o, GlChoice* out, std::string* error) {
  return readWord(o, {"desktop", "es", "auto"}, error) && parseGlChoice(o.value.c_str(), out);
}

bool readRenderChoice(const GivenOption& o, RenderChoice* out, std::string* error) {
  return readWord(o, {"gl", "software", "auto"}, error) && parseRenderChoice(o.value.c_str(), out);
}

bool readStartTime(const GivenOption& o, int* ms, std::string* error) {
  return readInt(o, 0, kDemoEndMs - 1, ms, error);
}

bool readEndTime(const GivenOption& o, int* ms, std::string* note, std::string* error) {
  long v = 0;
  if (wholeNumber(o.value, &v) && v > kDemoEndMs) {
    *note = o.name + " " + o.value + " is past the end of the demo: taking " +
            std::to_string(kDemoEndMs);
    *ms = kDemoEndMs;
    return true;
  }
  return readInt(o, 1, kDemoEndMs, ms, error);
}

bool checkOutputBudget(const char* option, int width, int height, std::string* error) {
  if (static_cast<long long>(width) * height <= kMaxOutputPixels) return true;
  *error = std::string(option) + ": " + std::to_string(width) + "x" + std::to_string(height) +
           " is out of range (at most " + std::to_string(kMaxOutputPixels >> 20) +
           " megapixels, 8192x8192, to keep the frames' memory in bounds)";
  return false;
}

std::string versionText(const char* program) {
  return std::string(program) + " " + kLumivaaraVersion +
         "\n"
         "Copyright (C) 2026 The Lumivaara developers\n"
         "License MIT: <https://opensource.org/license/mit>\n"
         "This is free software: you are free to change and redistribute it.\n"
         "There is NO WARRANTY, to the extent permitted by law.\n";
}

int refuseArguments(const char* program, const std::string& error, const char* usage) {
  std::fprintf(stderr, "%s: %s\n%s", program, error.c_str(), usage);
  return 2;
}
