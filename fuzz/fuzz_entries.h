// One entry point per file decoder, shared by the libFuzzer harnesses and the
// replay test, so a saved crash input is re-run exactly as it was found.
// Each takes arbitrary bytes; none may crash or touch memory it does not own.
#pragma once
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "models/scene3ds.h"
#include "platform/music_stream.h"
#include "textures/pcx_decode.h"
#include "textures/texture_store.h"

namespace fuzzentry {

// The JPEG and Ogg readers take paths; shared memory keeps the per-input file
// write cheap. One name per process, so parallel runs do not collide.
inline std::string writeScratch(const char* suffix, const uint8_t* data, size_t size) {
  const std::string path =
      "/dev/shm/lumivaara-fuzz-" + std::to_string(long(getpid())) + suffix;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return std::string();
  const bool ok = size == 0 || std::fwrite(data, 1, size, file) == size;
  std::fclose(file);
  return ok ? path : std::string();
}

// Headers declaring pictures between a few megabytes and the decoder's limit
// are skipped: each would cost two zeroed buffers of up to 64 MiB under ASan
// (about 15 runs a second) and walks no code a smaller picture does not.
// Sizes over the limit still run: their rejection is cheap and worth hitting.
constexpr uint64_t kFuzzPcxBytes = 4u << 20;

inline void pcx(const uint8_t* data, size_t size) {
  if (size >= 68) {
    const int64_t h = int64_t(data[10] | (data[11] << 8)) - int64_t(data[6] | (data[7] << 8)) + 1;
    const uint64_t bytes = uint64_t(data[66] | (data[67] << 8)) * uint64_t(h > 0 ? h : 0) * 3;
    if (bytes > kFuzzPcxBytes && bytes <= kMaxImageBytes) return;
  }
  DecodedImage image;
  const char* reason = "";
  if (decodePcx(data, size, image, &reason) &&
      image.pixels.size() != size_t(image.width) * image.height * 3) {
    __builtin_trap();  // the decoder's own size promise
  }
}

inline void jpeg(const uint8_t* data, size_t size) {
  const std::string path = writeScratch(".jpg", data, size);
  if (path.empty()) return;
  TextureStore store;
  if (store.loadJpeg(path) && store.pixels.size() != size_t(store.width) * store.height * 3) {
    __builtin_trap();
  }
  std::remove(path.c_str());
}

// Option sets a scene may load with, chosen by the input length so the file
// format itself stays untouched (seeds are plain 3DS files).
inline void model3ds(const uint8_t* data, size_t size) {
  static const struct {
    int32_t capacity;
    int32_t trueNormals;
    float uvScale;
    float geometryScale;
  } kOptions[] = {
      {20, 0, 1.0f, 1.0f}, {20, 1, 1.0f, 1.0f}, {4, 0, 4.0f, 0.05f}, {2, 1, 0.5f, 30.0f},
  };
  const auto& o = kOptions[size % (sizeof kOptions / sizeof kOptions[0])];
  Scene3ds scene(o.capacity);
  scene.trueNormals = o.trueNormals;
  scene.uvScale = o.uvScale;
  scene.geometryScale = o.geometryScale;
  scene.loadFromMemory(data, size);
  // What scenes do with a loaded mesh before drawing it: keep the deformed
  // copies in step. Meshes made before a fault stay and are used too.
  for (int32_t i = 0; i < scene.meshCount; ++i) {
    scene.resetDeformed(i);
    scene.updateDeformedNormals(i);
  }
}

// Open, decode a while, seek as the demo's start-time option does, decode
// again. Output is capped so a long valid stream does not stall the run.
inline void music(const uint8_t* data, size_t size) {
  const std::string path = writeScratch(".ogg", data, size);
  if (path.empty()) return;
  MusicStream* stream = musicOpen(path);
  if (stream) {
    std::vector<unsigned char> buffer(4096);
    for (int i = 0; i < 64; ++i) {
      if (musicDecode(stream, buffer.data(), int(buffer.size())) == 0) break;
    }
    musicSetTime(stream, 250);
    for (int i = 0; i < 16; ++i) {
      if (musicDecode(stream, buffer.data(), int(buffer.size())) == 0) break;
    }
    musicSetTime(stream, 0);
    musicDecode(stream, buffer.data(), int(buffer.size()));
    musicClose(stream);
  }
  std::remove(path.c_str());
}

}  // namespace fuzzentry
