// Streams raw BGRX frames into an ffmpeg process that encodes them (format
// from the file name), with a stretch of the music muxed in when given.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "capture_options.h"

struct VideoFormat {
  std::string file;
  int width = 800;
  int height = 600;
  int fps = 60;
  int crf = kDefaultCrf;    // H.264 containers only
  std::string preset = kDefaultPreset;
  bool lossless = false;    // FFV1 and FLAC, for a .mkv file
  std::string audioFile;    // empty: no sound
  int audioStartMs = 0;     // the audio is taken from here on
};

struct VideoEncoder {
  int pipeFd = -1;
  int pid = -1;
};

// ffmpeg's arguments, the program name first.
std::vector<std::string> ffmpegArguments(const VideoFormat& format);

// The arguments of a trial run that encodes, as the real run would, `frames`
// black frames (none: sound only) and a moment of silence when `sound`, into
// `file`; ffmpeg's own sources stand in for the frames and the music.
std::vector<std::string> ffmpegTrialArguments(const VideoFormat& format, const std::string& file,
                                              int frames, bool sound);

// Starts ffmpeg reading four-byte BGRX frames (bgr0) from a pipe. False with *error set when
// it cannot be started (not installed, not executable).
bool openVideoEncoder(VideoEncoder& enc, const VideoFormat& format, std::string* error);
// False once ffmpeg has stopped reading (it exited or was killed).
bool writeVideoFrame(VideoEncoder& enc, const unsigned char* bgrx, size_t bytes);
// Finishes the file; true when ffmpeg exited successfully, else *error says how it ended.
bool closeVideoEncoder(VideoEncoder& enc, std::string* error);
