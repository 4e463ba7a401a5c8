// Ogg Vorbis encoding of the rendered track.
#pragma once

#include <string>

namespace music {

// A fixed stream serial number: the same audio always gives the same file.
constexpr int kOggSerial = 0x4C564D31;

// Encodes `frames` stereo frames at 44.1 kHz with the given VBR quality
// (-0.1 .. 1). Returns false (with a message on stderr) on failure.
bool writeOggVorbis(const std::string& path, const float* left, const float* right, long frames,
                    float quality, const char* title);

// Largest absolute sample of the decoded file, or -1 if it cannot be read.
// Lossy coding rings around loud transients, so this can exceed the peak
// that was encoded.
float decodedPeak(const std::string& path);

}  // namespace music
