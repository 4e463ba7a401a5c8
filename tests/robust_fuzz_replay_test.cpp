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

namespace {

void putChunkHeader(std::vector<uint8_t>& out, uint16_t id, uint32_t length) {
  const uint8_t header[6] = {uint8_t(id), uint8_t(id >> 8), uint8_t(length), uint8_t(length >> 8),
                             uint8_t(length >> 16), uint8_t(length >> 24)};
  out.insert(out.end(), header, header + 6);
}

// A named mesh with an empty vertex list, then `depth` face lists each
// holding the next: every level is a recursion of the chunk walk.
std::vector<uint8_t> nestedFaceLists(uint32_t depth) {
  std::vector<uint8_t> body = {'D', 'e', 'e', 'p', 0};
  putChunkHeader(body, 0x4110, 8);
  body.push_back(0);
  body.push_back(0);
  for (uint32_t i = 0; i < depth; ++i) {
    putChunkHeader(body, 0x4120, 8 * (depth - i));
    body.push_back(0);
    body.push_back(0);
  }
  std::vector<uint8_t> file;
  putChunkHeader(file, 0x4000, uint32_t(6 + body.size()));
  file.insert(file.end(), body.begin(), body.end());
  return file;
}

}  // namespace

TEST(FuzzReplay, ChunkNestingIsBounded) {
  const std::vector<uint8_t> shallow = nestedFaceLists(3);
  Scene3ds ok(4);
  EXPECT_TRUE(ok.loadFromMemory(shallow.data(), shallow.size()));
  EXPECT_EQ(ok.meshCount, 1);
  // Deep enough to exhaust the stack if each level recursed.
  const std::vector<uint8_t> deep = nestedFaceLists(200000);
  Scene3ds refused(4);
  EXPECT_FALSE(refused.loadFromMemory(deep.data(), deep.size()));
}

TEST(FuzzReplay, DamagedOrMixedOggStreamsAreRefused) {
  EXPECT_EQ(musicOpen(LUMIVAARA_SOURCE_DIR
                      "/tests/fuzzcases/music/mixed_streams_seek_heap_corruption.ogg"),
            nullptr);
}
