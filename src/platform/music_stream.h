// The music stream: an Ogg Vorbis file decoded into an SDL audio device. Its
// position is the demo clock.
#pragma once
#include <string>

struct MusicStream;

// Starts the sound system. False when there is no audio at all.
bool musicInit();
// Opens a stream; null when the file is missing or not Ogg Vorbis.
MusicStream* musicOpen(const std::string& path);
// Opens an audio device and starts playback. False when no device opens.
bool musicPlay(MusicStream* stream);
// Decodes the next `bytes` bytes of 16-bit native-endian PCM into `out`, as
// the audio device receives them; what the stream cannot supply is silence.
// Returns the bytes actually decoded. Needs no audio device.
int musicDecode(MusicStream* stream, unsigned char* out, int bytes);
// Seeks to a position in milliseconds (clamped to the stream).
void musicSetTime(MusicStream* stream, int ms);
// Position of the audio actually heard, in milliseconds: monotonic between
// seeks, smooth between audio callbacks, never ahead of the samples handed to
// the device, and counted in samples so it cannot drift. After the end of
// the file it keeps running over silence.
int musicGetTime(MusicStream* stream);
void musicClose(MusicStream* stream);
void musicShutdown();
