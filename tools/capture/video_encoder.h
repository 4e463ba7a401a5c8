// Streams raw RGB frames into an ffmpeg process that encodes them (format
// from the file name), with a stretch of the music muxed in when given.
#pragma once
#include <string>

struct VideoEncoder {
  int pipeFd = -1;
  int pid = -1;
};

// audioFile empty: no sound. The audio is taken from audioStartMs on.
bool openVideoEncoder(VideoEncoder& enc, const std::string& file, int width, int height, int fps,
                      const std::string& audioFile, int audioStartMs);
bool writeVideoFrame(VideoEncoder& enc, const unsigned char* rgb, int width, int height);
// Finishes the file; true when ffmpeg exited successfully.
bool closeVideoEncoder(VideoEncoder& enc);
