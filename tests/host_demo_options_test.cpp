#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "child_limit.h"
#include "host/command_line.h"
#include "host/demo_options.h"

namespace {

struct Parsed {
  bool ok;
  DemoOptions options;
  std::string error;
};

Parsed parse(std::initializer_list<const char*> args) {
  std::vector<char*> argv{const_cast<char*>("lumivaara")};
  for (const char* a : args) argv.push_back(const_cast<char*>(a));
  Parsed p;
  p.ok = parseDemoOptions(int(argv.size()), argv.data(), p.options, &p.error);
  return p;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Runs the built program with a broken display, so anything that tried to
// open a window would say so; returns the exit status.
int runProgram(const std::string& args, std::string* out, std::string* err) {
  const std::string dir = ::testing::TempDir();
  const std::string o = dir + "demo_options_out", e = dir + "demo_options_err";
  const std::string cmd = "env DISPLAY=:9873 WAYLAND_DISPLAY= SDL_VIDEODRIVER=x11 " +
                          std::string(LUMIVAARA_BUILD_DIR) + "/lumivaara " + args + " >" + o +
                          " 2>" + e;
  const int status = std::system(limited(cmd).c_str());
  *out = readFile(o);
  *err = readFile(e);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST(DemoOptions, EveryOptionSetsItsField) {
  const Parsed none = parse({});
  ASSERT_TRUE(none.ok);
  EXPECT_EQ(none.options.style, DisplayStyle::Desktop);
  EXPECT_TRUE(none.options.vsync);
  EXPECT_FALSE(none.options.mute);
  EXPECT_FALSE(none.options.loop);
  EXPECT_EQ(none.options.render, RenderChoice::Auto);
  EXPECT_FALSE(none.options.renderGiven);  // LUMIVAARA_RENDER then decides

  const Parsed windowed = parse({"--windowed", "--size", "640x480", "--display", "1"});
  ASSERT_TRUE(windowed.ok) << windowed.error;
  EXPECT_EQ(windowed.options.style, DisplayStyle::Windowed);
  EXPECT_EQ(windowed.options.windowWidth, 640);
  EXPECT_EQ(windowed.options.windowHeight, 480);
  EXPECT_EQ(windowed.options.display, 1);

  const Parsed mode = parse({"--mode=1024x768", "--mute", "--loop", "--no-vsync",
                             "--render", "software"});
  ASSERT_TRUE(mode.ok) << mode.error;
  EXPECT_EQ(mode.options.style, DisplayStyle::Mode);
  EXPECT_EQ(mode.options.modeWidth, 1024);
  EXPECT_EQ(mode.options.modeHeight, 768);
  EXPECT_TRUE(mode.options.mute);
  EXPECT_TRUE(mode.options.loop);
  EXPECT_FALSE(mode.options.vsync);
  EXPECT_EQ(mode.options.render, RenderChoice::Software);
  EXPECT_TRUE(mode.options.renderGiven);

  const Parsed full = parse({"--fullscreen", "--vsync", "--render=gl", "--size=1280x720"});
  ASSERT_TRUE(full.ok) << full.error;
  EXPECT_EQ(full.options.style, DisplayStyle::Desktop);
  EXPECT_EQ(full.options.windowWidth, 1280);  // the window F11 switches to
  EXPECT_EQ(full.options.render, RenderChoice::Gl);

  EXPECT_TRUE(parse({"--help", "--bogus"}).options.help);
  EXPECT_TRUE(parse({"-h"}).options.help);
  EXPECT_TRUE(parse({"--version"}).options.version);
}

TEST(DemoOptions, RejectsWhatItCannotUseInOneForm) {
  const struct {
    std::initializer_list<const char*> args;
    const char* error;
  } cases[] = {
      {{"--size", "640"}, "--size: 640 is not a size WxH (1x1 to 16384x16384)"},
      {{"--size=0x480"}, "--size: 0x480 is out of range (1x1 to 16384x16384)"},
      {{"--size", "20000x480"}, "--size: 20000x480 is out of range (1x1 to 16384x16384)"},
      {{"--mode", "big"}, "--mode: big is not a size WxH (1x1 to 16384x16384)"},
      {{"--display", "-1"}, "--display: -1 is out of range (0 to 63)"},
      {{"--display", "one"}, "--display: one is not a whole number (0 to 63)"},
      {{"--start", "400000"}, "--start: 400000 is out of range (0 to 329999)"},
      {{"--start", "99999999999999999999"},
       "--start: 99999999999999999999 is out of range (0 to 329999)"},
      {{"--render", "fast"}, "--render: fast is not one of gl, software, auto"},
      {{"--size"}, "--size needs a value"},
      {{"--size="}, "--size needs a value"},
      {{"--mute=yes"}, "--mute takes no value"},
      {{"--bogus"}, "unknown option --bogus"},
      {{"--bogus=1"}, "unknown option --bogus"},
      {{"-x"}, "unknown option -x"},
      {{"demo.ogg"}, "unexpected argument demo.ogg"},
      {{"--windowed", "--fullscreen"}, "--windowed and --fullscreen exclude each other"},
      {{"--mode", "800x600", "--windowed"}, "--mode and --windowed exclude each other"},
      {{"--vsync", "--no-vsync"}, "--vsync and --no-vsync exclude each other"},
      {{"--mode", "800x600", "--size", "640x480"},
       "--size sets the window's size and --mode the screen's: give one"},
  };
  for (const auto& c : cases) {
    const Parsed p = parse(c.args);
    EXPECT_FALSE(p.ok) << *c.args.begin();
    EXPECT_EQ(p.error, c.error);
  }
}

TEST(DemoOptions, ExitStatusesAndNothingOpenedBeforeTheArgumentsAreChecked) {
  std::string out, err;
  EXPECT_EQ(runProgram("--help", &out, &err), 0);
  EXPECT_EQ(out.rfind("usage: lumivaara", 0), 0u) << out;

  EXPECT_EQ(runProgram("--version", &out, &err), 0);
  EXPECT_EQ(out.rfind("lumivaara " + std::string(kLumivaaraVersion) + "\n", 0), 0u) << out;
  EXPECT_NE(std::string(kLumivaaraVersion), "0");
  EXPECT_NE(out.find("\nLicense MIT: <https://opensource.org/license/mit>\n"), std::string::npos)
      << out;

  for (const char* bad : {"--bogus", "--size 0x0", "--windowed --mode 800x600 --mute"}) {
    EXPECT_EQ(runProgram(bad, &out, &err), 2) << bad;
    const std::string first = err.substr(0, err.find('\n'));
    EXPECT_EQ(first.rfind("lumivaara: ", 0), 0u) << err;
    EXPECT_NE(err.find("usage: lumivaara"), std::string::npos) << err;
    EXPECT_EQ(err.find("no display"), std::string::npos) << "opened something: " << err;
    EXPECT_EQ(err.find("Error"), std::string::npos) << "opened something: " << err;
  }

  // With good arguments it does try the display, and a failure is not success.
  EXPECT_EQ(runProgram("--windowed --mute", &out, &err), 1);
  EXPECT_NE(err.find("no display"), std::string::npos) << err;
}
