// Replays every saved fuzz input (tests/fuzzcases/<harness>/) through the
// decoder entry point its harness drives. Each once crashed, hung or leaked;
// now it must decode or be refused cleanly. Under the sanitizer build a
// report fails the run.
#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "../fuzz/fuzz_entries.h"

// Same allowance as the music harness: libvorbisfile's own loss inside ov_open.
extern "C" const char* __lsan_default_suppressions() { return "leak:libvorbisfile.so\n"; }

namespace {

std::vector<std::string> casesOf(const std::string& harness) {
  const std::string dir = LUMIVAARA_SOURCE_DIR "/tests/fuzzcases/" + harness;
  std::vector<std::string> files;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d)) {
      if (e->d_name[0] != '.') files.push_back(dir + "/" + e->d_name);
    }
    closedir(d);
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::vector<uint8_t> readFile(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
    uint8_t buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(f);
  }
  return bytes;
}

void replay(const std::string& harness, void (*entry)(const uint8_t*, size_t)) {
  for (const std::string& path : casesOf(harness)) {
    SCOPED_TRACE(path);
    const std::vector<uint8_t> bytes = readFile(path);
    entry(bytes.data(), bytes.size());
  }
}

}  // namespace

TEST(FuzzReplay, PcxCases) { replay("pcx", fuzzentry::pcx); }
TEST(FuzzReplay, JpegCases) { replay("jpeg", fuzzentry::jpeg); }
TEST(FuzzReplay, Model3dsCases) { replay("model3ds", fuzzentry::model3ds); }
TEST(FuzzReplay, MusicCases) { replay("music", fuzzentry::music); }

// The entry points themselves must take the degenerate inputs.
TEST(FuzzReplay, EmptyAndTinyInputs) {
  const uint8_t byte = 0;
  for (auto entry : {fuzzentry::pcx, fuzzentry::jpeg, fuzzentry::model3ds, fuzzentry::music}) {
    entry(nullptr, 0);
    entry(&byte, 1);
  }
}

// The harness-only musicDecode path on a good stream gives audio, then
// silence past the end, as the audio callback would hand the device.
TEST(FuzzReplay, MusicDecodeWithoutDevice) {
  MusicStream* s = musicOpen(LUMIVAARA_BUILD_DIR "/Music/virtaus.ogg");
  if (!s) GTEST_SKIP() << "no generated music in the build directory";
  std::vector<unsigned char> buffer(4096, 0xAA);
  EXPECT_EQ(musicDecode(s, buffer.data(), int(buffer.size())), int(buffer.size()));
  musicSetTime(s, 1 << 30);  // clamped to the end
  std::fill(buffer.begin(), buffer.end(), 0xAA);
  EXPECT_EQ(musicDecode(s, buffer.data(), int(buffer.size())), 0);
  EXPECT_TRUE(std::all_of(buffer.begin(), buffer.end(), [](unsigned char b) { return b == 0; }));
  musicClose(s);
}
