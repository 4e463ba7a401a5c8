#include "platform/music_stream.h"

#include <SDL2/SDL.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "platform/tick_clock.h"

struct MusicStream {
  OggVorbis_File file;
  int rate = 44100;
  int channels = 2;
  SDL_AudioDeviceID device = 0;
  int bufferFrames = 0;
  bool ended = false;  // past the last sample: the device gets silence

  // Written by the audio callback, read by the frame loop.
  std::mutex clockLock;
  int64_t framesHanded = 0;       // stream frames given to the device so far
  int64_t handedAtCallback = 0;   // framesHanded when the latest callback began
  int64_t callbackNs = 0;         // when it began; 0 before the first one
  int64_t lastReportedFrame = 0;  // keeps the clock monotonic
};

int musicDecode(MusicStream* s, unsigned char* out, int bytes) {
  int filled = 0;
  while (filled < bytes && !s->ended) {
    int section = 0;
    long got = ov_read(&s->file, reinterpret_cast<char*>(out) + filled, bytes - filled,
                       SDL_BYTEORDER == SDL_BIG_ENDIAN, 2, 1, &section);
    if (got == OV_HOLE) continue;  // a gap in the data; decoding resumes after it
    if (got <= 0) {
      s->ended = true;
      break;
    }
    filled += static_cast<int>(got);
  }
  if (filled < bytes) std::memset(out + filled, 0, size_t(bytes - filled));
  return filled;
}

static void fillAudio(void* userdata, Uint8* out, int bytes) {
  MusicStream* s = static_cast<MusicStream*>(userdata);
  const int64_t now = tickNanoseconds();
  const int frameBytes = 2 * s->channels;
  musicDecode(s, out, bytes);
  std::lock_guard<std::mutex> guard(s->clockLock);
  s->handedAtCallback = s->framesHanded;
  s->framesHanded += bytes / frameBytes;
  s->callbackNs = now;
}

bool musicInit() { return SDL_InitSubSystem(SDL_INIT_AUDIO) == 0; }

// True when the file is one unbroken logical stream: every byte inside a
// page whose checksum holds, one serial number, one start page. The track is
// such a file. libvorbisfile seeks through damaged, multiplexed or chained
// files too, but on some of them its stream state goes wrong and ov_read /
// ov_pcm_seek corrupt the heap (libvorbisfile 1.3.7, libogg 1.3.5), so such
// files are refused before they reach it.
static bool isSingleCleanStream(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  ogg_sync_state sync;
  ogg_sync_init(&sync);
  bool ok = true;
  bool first = true;
  long serial = 0;
  for (bool more = true; ok && more;) {
    ogg_page page;
    const long step = ogg_sync_pageseek(&sync, &page);
    if (step < 0) {
      ok = false;  // bytes skipped: not a page, or a page with a bad checksum
    } else if (step > 0) {
      if (first) {
        ok = ogg_page_bos(&page) != 0;
        serial = ogg_page_serialno(&page);
        first = false;
      } else {
        ok = !ogg_page_bos(&page) && ogg_page_serialno(&page) == serial;
      }
    } else {
      char* buffer = ogg_sync_buffer(&sync, 65536);
      const size_t got = buffer ? std::fread(buffer, 1, 65536, file) : 0;
      if (got == 0) {
        more = false;
      } else {
        ogg_sync_wrote(&sync, long(got));
      }
    }
  }
  // A partial page left at the end is a cut-off file: also refused.
  ok = ok && !first && sync.fill == sync.returned;
  ogg_sync_clear(&sync);
  std::fclose(file);
  return ok;
}

MusicStream* musicOpen(const std::string& path) {
  if (!isSingleCleanStream(path)) return nullptr;
  MusicStream* s = new MusicStream;
  if (ov_fopen(path.c_str(), &s->file) != 0) {
    delete s;
    return nullptr;
  }
  vorbis_info* info = ov_info(&s->file, -1);
  if (!info || info->channels < 1 || info->channels > 2 || info->rate <= 0) {
    ov_clear(&s->file);
    delete s;
    return nullptr;
  }
  s->rate = static_cast<int>(info->rate);
  s->channels = info->channels;
  return s;
}

bool musicPlay(MusicStream* s) {
  if (!s) return false;
  SDL_AudioSpec want{}, have{};
  want.freq = s->rate;
  want.format = AUDIO_S16SYS;
  want.channels = static_cast<Uint8>(s->channels);
  want.samples = 1024;
  want.callback = fillAudio;
  want.userdata = s;
  s->device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (s->device == 0) return false;
  s->bufferFrames = have.samples;
  SDL_PauseAudioDevice(s->device, 0);
  return true;
}

void musicSetTime(MusicStream* s, int ms) {
  if (!s) return;
  if (s->device) SDL_LockAudioDevice(s->device);
  const int64_t total = ov_pcm_total(&s->file, -1);
  int64_t frame = std::max<int64_t>(0, static_cast<int64_t>(ms) * s->rate / 1000);
  if (total >= 0) frame = std::min(frame, total);
  s->ended = ov_pcm_seek(&s->file, frame) != 0;
  {
    std::lock_guard<std::mutex> guard(s->clockLock);
    // The monotonic floor holds the clock at the target until the old audio
    // still queued in the device has played out.
    s->framesHanded = frame;
    s->handedAtCallback = s->framesHanded;
    s->callbackNs = 0;
    s->lastReportedFrame = frame;
  }
  if (s->device) SDL_UnlockAudioDevice(s->device);
}

int musicGetTime(MusicStream* s) {
  if (!s) return 0;
  std::lock_guard<std::mutex> guard(s->clockLock);
  int64_t frame = s->lastReportedFrame;
  if (s->callbackNs != 0) {
    // When a callback runs, the buffer before it has just begun to play.
    const int64_t playingFrom = s->handedAtCallback - s->bufferFrames;
    const int64_t elapsed = (tickNanoseconds() - s->callbackNs) * s->rate / 1000000000;
    frame = std::min(playingFrom + elapsed, s->handedAtCallback);
    frame = std::max(frame, s->lastReportedFrame);
  }
  s->lastReportedFrame = frame;
  return static_cast<int>(frame * 1000 / s->rate);
}

void musicClose(MusicStream* s) {
  if (!s) return;
  if (s->device) SDL_CloseAudioDevice(s->device);
  ov_clear(&s->file);
  delete s;
}

void musicShutdown() { SDL_QuitSubSystem(SDL_INIT_AUDIO); }
