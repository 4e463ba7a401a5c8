// lumivaara-musicgen OUTPUT.ogg: composes, renders and encodes the demo's
// soundtrack. Deterministic: the same sources always give the same file.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "arrangement.h"
#include "render.h"
#include "vorbis_writer.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: lumivaara-musicgen OUTPUT.ogg\n");
    return 2;
  }
  const std::filesystem::path output(argv[1]);
  const auto started = std::chrono::steady_clock::now();

  music::Song song;
  if (!music::composeSong(song)) {
    std::fprintf(stderr, "musicgen: the arrangement has errors\n");
    return 1;
  }
  music::StereoBuffer mix;
  music::renderSong(song, 0.0, music::kSongSeconds, 2, mix);
  const auto rendered = std::chrono::steady_clock::now();

  float peak = 0.0f;
  for (size_t i = 0; i < mix.left.size(); ++i)
    peak = std::fmax(peak, std::fmax(std::fabs(mix.left[i]), std::fabs(mix.right[i])));

  std::error_code ec;
  if (output.has_parent_path()) std::filesystem::create_directories(output.parent_path(), ec);
  // Encode beside the target and rename, so a build never sees half a file.
  // Should the codec's ringing push a decoded sample near full scale, turn
  // the whole track down a little and encode again.
  const std::filesystem::path partial = output.string() + ".part";
  constexpr float kDecodedLimit = 0.98f;
  for (int attempt = 0;; ++attempt) {
    if (!music::writeOggVorbis(partial.string(), mix.left.data(), mix.right.data(),
                               static_cast<long>(mix.left.size()), 0.5f, "Virtaus")) {
      std::filesystem::remove(partial, ec);
      return 1;
    }
    const float decoded = music::decodedPeak(partial.string());
    if (decoded < 0.0f) {
      std::fprintf(stderr, "musicgen: cannot read back %s\n", partial.string().c_str());
      return 1;
    }
    if (decoded <= kDecodedLimit || attempt == 3) break;
    const float trim = 0.97f * kDecodedLimit / decoded;
    for (size_t i = 0; i < mix.left.size(); ++i) {
      mix.left[i] *= trim;
      mix.right[i] *= trim;
    }
    peak *= trim;
    std::printf("musicgen: decoded peak %.3f, re-encoding %.2f dB lower\n", decoded, 20.0 * std::log10(trim));
  }
  std::filesystem::rename(partial, output, ec);
  if (ec) {
    std::fprintf(stderr, "musicgen: cannot move %s into place: %s\n", partial.string().c_str(),
                 ec.message().c_str());
    return 1;
  }
  const auto done = std::chrono::steady_clock::now();
  auto secondsBetween = [](auto a, auto b) { return std::chrono::duration<double>(b - a).count(); };
  std::printf("musicgen: %zu notes, %.0f s of music, peak %.1f dBFS, %s (rendered in %.1f s, encoded in %.1f s)\n",
              song.notes.size(), music::kSongSeconds, 20.0 * std::log10(std::fmax(peak, 1e-9f)),
              output.string().c_str(), secondsBetween(started, rendered), secondsBetween(rendered, done));
  return 0;
}
