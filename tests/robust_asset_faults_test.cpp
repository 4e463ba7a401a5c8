// Damaged assets, one file at a time: the capture tool must start, render and
// exit cleanly, naming the file on standard error.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "child_limit.h"

namespace {

const std::string kBuild = LUMIVAARA_BUILD_DIR;

enum class Fault { Missing, Empty, Truncated, Flipped };

const char* faultName(Fault f) {
  switch (f) {
    case Fault::Missing: return "Missing";
    case Fault::Empty: return "Empty";
    case Fault::Truncated: return "TruncatedToHalf";
    case Fault::Flipped: return "FlippedMiddle";
  }
  return "";
}

const char* const kAssets[] = {
    "Images/prock.jpg",        "Images/musta.pcx",          "Images/laatat.jpg",
    "Images/sky5.jpg",         "Images/metal003.jpg",       "Images/matosini.jpg",
    "Images/paperimassa2.jpg", "Images/paperimassa2sumea.jpg", "Images/ruskeahko1.jpg",
    "Images/vihermaa.jpg",     "Images/sora.jpg",           "Images/grass1.jpg",
    "Images/kuivaruoho.jpg",   "Images/siniholekangas.jpg", "Images/ring5.jpg",
    "Images/env1bw.jpg",       "Images/env1b.jpg",          "Images/env1g.jpg",
    "Images/kallio1.jpg",      "Images/kivio.jpg",          "Images/sat.jpg",
    "Images/sphere2.jpg",      "Images/creditsO.pcx",       "Images/timeText.pcx",
    "Images/ukeText.pcx",      "Images/verkkotausta2co.jpg", "Models/tora.3ds",
    "Models/sspike.3ds",       "Models/naama.3ds",          "Models/naamaH.3ds",
    "Models/robo.3ds",         "Models/font.3ds",           "Models/hihna.3ds",
};

std::vector<char> readFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(f), {});
}

void writeFile(const std::string& path, const std::vector<char>& bytes) {
  std::ofstream f(path, std::ios::binary);
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void damage(std::vector<char>& bytes, Fault fault) {
  switch (fault) {
    case Fault::Missing:
    case Fault::Empty:
      bytes.clear();
      break;
    case Fault::Truncated:
      bytes.resize(bytes.size() / 2);
      break;
    case Fault::Flipped:
      for (size_t i = bytes.size() / 2; i < bytes.size() / 2 + 64 && i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(~bytes[i]);
      break;
  }
}

// A private copy of the program beside its own asset folders, since assets
// are found next to the executable. Untouched assets are symbolic links.
struct Sandbox {
  std::string dir;

  explicit Sandbox(const std::vector<std::string>& damaged, Fault fault) {
    char tmpl[] = "/tmp/lumivaara-faults-XXXXXX";
    dir = mkdtemp(tmpl);
    const std::string exe = dir + "/lumivaara-capture";
    if (link((kBuild + "/lumivaara-capture").c_str(), exe.c_str()) != 0)
      writeFile(exe, readFile(kBuild + "/lumivaara-capture")), chmod(exe.c_str(), 0755);
    mkdir((dir + "/Images").c_str(), 0755);
    mkdir((dir + "/Models").c_str(), 0755);
    symlink((kBuild + "/Music").c_str(), (dir + "/Music").c_str());
    for (const char* asset : kAssets) {
      const std::string target = dir + "/" + asset;
      bool isDamaged = false;
      for (const std::string& d : damaged) isDamaged |= d == asset;
      if (!isDamaged) {
        symlink((kBuild + "/" + asset).c_str(), target.c_str());
      } else if (fault != Fault::Missing) {
        std::vector<char> bytes = readFile(kBuild + "/" + asset);
        damage(bytes, fault);
        writeFile(target, bytes);
      }
    }
  }
  ~Sandbox() { std::system(("rm -rf '" + dir + "'").c_str()); }

  // Runs the capture with these arguments, writing frames into the sandbox;
  // returns the exit status and fills *err with its standard error.
  int capture(const std::string& args, std::string* err) const {
    const std::string errFile = dir + "/stderr.txt";
    const int status = std::system(limited(dir + "/lumivaara-capture " + args + " --frames " +
                                           dir + "/frames >/dev/null 2>" + errFile)
                                       .c_str());
    const std::vector<char> text = readFile(errFile);
    err->assign(text.begin(), text.end());
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
};

struct AssetFault {
  std::string asset;
  Fault fault;
};

// Readable parameters in test listings.
void PrintTo(const AssetFault& c, std::ostream* os) { *os << c.asset << " " << faultName(c.fault); }
void PrintTo(Fault f, std::ostream* os) { *os << faultName(f); }

std::string caseName(const ::testing::TestParamInfo<AssetFault>& info) {
  std::string name = info.param.asset;
  for (char& c : name)
    if (!isalnum(static_cast<unsigned char>(c))) c = '_';
  return name + "_" + faultName(info.param.fault);
}

std::vector<AssetFault> everyAssetFault() {
  std::vector<AssetFault> cases;
  for (const char* asset : kAssets)
    for (Fault f : {Fault::Missing, Fault::Empty, Fault::Truncated, Fault::Flipped})
      cases.push_back({asset, f});
  return cases;
}

// Every line that names the file is one report of the form
// "lumivaara: <path>: <reason>".
void expectNamedOnOwnLines(const std::string& err, const std::string& asset) {
  std::istringstream lines(err);
  std::string line;
  int named = 0;
  while (std::getline(lines, line)) {
    if (line.find(asset) == std::string::npos) continue;
    ++named;
    EXPECT_EQ(line.rfind("lumivaara: ", 0), 0u) << line;
  }
  EXPECT_GE(named, 1) << "no line names " << asset << "; stderr:\n" << err;
}

class AssetFaults : public ::testing::TestWithParam<AssetFault> {};

}  // namespace

TEST_P(AssetFaults, StartsRendersAndNamesTheFile) {
  const AssetFault& c = GetParam();
  Sandbox box({c.asset}, c.fault);
  std::string err;
  ASSERT_EQ(box.capture("--fps 2 --from 0 --to 1000", &err), 0) << err;
  // A few flipped bytes may still decode into a valid, different picture;
  // every other fault is a failed load and must be reported.
  if (c.fault != Fault::Flipped) expectNamedOnOwnLines(err, c.asset);
}

INSTANTIATE_TEST_SUITE_P(EveryFile, AssetFaults, ::testing::ValuesIn(everyAssetFault()),
                         caseName);

// The whole timeline with every asset damaged the same way at once, so each
// scene meets its broken textures and models while it plays.
class WholeTimelineFaults : public ::testing::TestWithParam<Fault> {};

TEST_P(WholeTimelineFaults, EveryScenePlaysThrough) {
  std::vector<std::string> all(std::begin(kAssets), std::end(kAssets));
  Sandbox box(all, GetParam());
  std::string err;
  ASSERT_EQ(box.capture("--fps 1 --from 0 --to 330000", &err), 0) << err;
}

INSTANTIATE_TEST_SUITE_P(EveryScene, WholeTimelineFaults,
                         ::testing::Values(Fault::Missing, Fault::Empty, Fault::Truncated,
                                           Fault::Flipped),
                         [](const ::testing::TestParamInfo<Fault>& info) {
                           return std::string(faultName(info.param));
                         });
