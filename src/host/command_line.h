// The command-line grammar the demo and its tools share: "--opt value" or
// "--opt=value", and one form for every complaint. A program lists the options
// it takes, splits argv against them, then reads each value with the readers
// below; any failure is one line for standard error and exit status 2.
#pragma once
#include <string>
#include <vector>

#include "host/render_path.h"

// The demo's timeline ends here; no frame at or past it is ever drawn.
constexpr int kDemoEndMs = 330000;

// The largest side --size and --mode take.
constexpr int kMaxSide = 16384;

struct OptionSpec {
  const char* name;  // "--fps"
  bool takesValue;
};

struct GivenOption {
  std::string name;   // as listed in the specs
  std::string value;  // empty for a flag
};

// Splits argv[1..] against `specs`. -h, --help and --version are known to
// every program: one ends the split and is the last option returned, so
// "--help --bogus" still prints the help. False with *error set to
// "unknown option --bogus", "--fps needs a value", "--mute takes no value"
// or "unexpected argument x".
bool splitCommandLine(int argc, char** argv, const std::vector<OptionSpec>& specs,
                      std::vector<GivenOption>* out, std::string* error);

// A whole decimal number in [lo, hi] with nothing around it (environment
// values and the like, which have no option to name).
bool parseIntValue(const char* text, long lo, long hi, int* out);

// A whole decimal number in [lo, hi]; else "--fps: 2000 is out of range
// (1 to 1000)" or "--fps: abc is not a whole number (1 to 1000)".
bool readInt(const GivenOption& o, long lo, long hi, int* out, std::string* error);

// "WxH" with each side in [minWidth, kMaxSide] and [minHeight, kMaxSide].
bool readSize(const GivenOption& o, int minWidth, int minHeight, int* width, int* height,
              std::string* error);

// One of `words`; else "--render: fast is not one of gl, software, auto".
bool readWord(const GivenOption& o, const std::vector<const char*>& words, std::string* error);

// --render's gl, software or auto.
bool readRenderChoice(const GivenOption& o, RenderChoice* out, std::string* error);

// --gl's desktop, es or auto.
bool readGlChoice(const GivenOption& o, GlChoice* out, std::string* error);

// A demo time where something begins (--from, --start): 0 to kDemoEndMs - 1.
bool readStartTime(const GivenOption& o, int* ms, std::string* error);

// A demo time where something ends (--to): from 1 on; a time past the end is
// taken as kDemoEndMs with *note saying so.
bool readEndTime(const GivenOption& o, int* ms, std::string* note, std::string* error);

// Output sizes of the off-screen tools: each frame is held several times
// over (framebuffer, read-back, queue), so the pixel count has a budget.
constexpr long long kMaxOutputPixels = 64LL << 20;
// False with *error naming the budget when width x height is over it.
bool checkOutputBudget(const char* option, int width, int height, std::string* error);

// The project's version, "1.2.3".
extern const char kLumivaaraVersion[];

// The --version text: the program and version, then its copyright and licence.
std::string versionText(const char* program);

// Prints "program: error" and the usage to standard error; returns 2, the
// status of every refused argument.
int refuseArguments(const char* program, const std::string& error, const char* usage);
