#include "vorbis_writer.h"

#include <vorbis/vorbisenc.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "dsp.h"

namespace music {

namespace {

bool writePage(std::FILE* f, const ogg_page& page) {
  return std::fwrite(page.header, 1, page.header_len, f) == static_cast<size_t>(page.header_len) &&
         std::fwrite(page.body, 1, page.body_len, f) == static_cast<size_t>(page.body_len);
}

// Moves every finished block through the bitrate manager into pages.
bool drain(vorbis_dsp_state& vd, vorbis_block& vb, ogg_stream_state& os, std::FILE* f) {
  ogg_packet packet;
  ogg_page page;
  bool ok = true;
  while (vorbis_analysis_blockout(&vd, &vb) == 1) {
    vorbis_analysis(&vb, nullptr);
    vorbis_bitrate_addblock(&vb);
    while (vorbis_bitrate_flushpacket(&vd, &packet)) {
      ogg_stream_packetin(&os, &packet);
      while (ogg_stream_pageout(&os, &page)) ok = writePage(f, page) && ok;
    }
  }
  return ok;
}

}  // namespace

bool writeOggVorbis(const std::string& path, const float* left, const float* right, long frames,
                    float quality, const char* title) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) {
    std::fprintf(stderr, "musicgen: cannot write %s\n", path.c_str());
    return false;
  }
  vorbis_info vi;
  vorbis_info_init(&vi);
  if (vorbis_encode_init_vbr(&vi, 2, kSampleRate, quality) != 0) {
    std::fprintf(stderr, "musicgen: the Vorbis encoder refused quality %.2f\n", quality);
    vorbis_info_clear(&vi);
    std::fclose(f);
    return false;
  }
  vorbis_comment vc;
  vorbis_comment_init(&vc);
  vorbis_comment_add_tag(&vc, "TITLE", title);
  vorbis_dsp_state vd;
  vorbis_analysis_init(&vd, &vi);
  vorbis_block vb;
  vorbis_block_init(&vd, &vb);
  ogg_stream_state os;
  ogg_stream_init(&os, kOggSerial);

  bool ok = true;
  {
    ogg_packet id, comments, codebooks;
    vorbis_analysis_headerout(&vd, &vc, &id, &comments, &codebooks);
    ogg_stream_packetin(&os, &id);
    ogg_stream_packetin(&os, &comments);
    ogg_stream_packetin(&os, &codebooks);
    ogg_page page;
    // The audio must start on a fresh page.
    while (ogg_stream_flush(&os, &page)) ok = writePage(f, page) && ok;
  }

  constexpr long kChunk = 4096;
  for (long at = 0; at < frames && ok; at += kChunk) {
    const long len = std::min(kChunk, frames - at);
    float** buffer = vorbis_analysis_buffer(&vd, static_cast<int>(len));
    std::copy(left + at, left + at + len, buffer[0]);
    std::copy(right + at, right + at + len, buffer[1]);
    vorbis_analysis_wrote(&vd, static_cast<int>(len));
    ok = drain(vd, vb, os, f) && ok;
  }
  vorbis_analysis_wrote(&vd, 0);  // end of stream
  ok = drain(vd, vb, os, f) && ok;
  ogg_page page;
  while (ogg_stream_flush(&os, &page)) ok = writePage(f, page) && ok;

  ogg_stream_clear(&os);
  vorbis_block_clear(&vb);
  vorbis_dsp_clear(&vd);
  vorbis_comment_clear(&vc);
  vorbis_info_clear(&vi);
  if (std::fclose(f) != 0) ok = false;
  if (!ok) std::fprintf(stderr, "musicgen: writing %s failed\n", path.c_str());
  return ok;
}

float decodedPeak(const std::string& path) {
  OggVorbis_File vf;
  if (ov_fopen(path.c_str(), &vf) != 0) return -1.0f;
  float peak = 0.0f;
  float** pcm = nullptr;
  int section = 0;
  const int channels = ov_info(&vf, -1)->channels;
  for (;;) {
    const long n = ov_read_float(&vf, &pcm, 4096, &section);
    if (n <= 0) break;
    for (int c = 0; c < channels; ++c)
      for (long i = 0; i < n; ++i) peak = std::max(peak, std::fabs(pcm[c][i]));
  }
  ov_clear(&vf);
  return peak;
}

}  // namespace music
