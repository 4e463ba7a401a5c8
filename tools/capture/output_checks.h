// The capture's outputs, checked before anything loads or renders: a folder
// for the frames that exists or can be made and takes files, and a video name
// ffmpeg can write in the format the name asks for, found by a trial encode.
#pragma once
#include <string>

#include "platform/headless_context.h"
#include "video_encoder.h"

struct OutputRefusal {
  int status = 0;     // 2: the argument names an unusable output; 1: ffmpeg fails
  std::string error;  // one line, naming the option and the reason
};

// Makes the folder when missing and tries a file in it.
bool prepareFramesDir(const std::string& dir, OutputRefusal* refusal);

// Tries the video's folder and format with short trial encodes beside it.
// A format that holds no sound (.gif, .png, .webp) takes the picture only:
// format.audioFile is cleared and *note says so. Sound-only and
// single-picture formats, unknown names and unwritable places are refused.
bool checkVideoOutput(VideoFormat& format, std::string* note, OutputRefusal* refusal);

// Refuses (status 2) an output larger than the GL here draws, naming its
// limit as the context read it (the context is refused such a size).
bool checkOutputSize(int width, int height, const HeadlessContext& ctx, OutputRefusal* refusal);
