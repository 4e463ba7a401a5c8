#include "video_encoder.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "capture_options.h"

// The output half of ffmpeg's arguments: the streams and their encoders,
// the same for the real run and its trial.
static void addOutputArguments(std::vector<std::string>& args, const VideoFormat& f,
                               bool picture, bool sound) {
  if (picture && sound) args.insert(args.end(), {"-map", "0:v", "-map", "1:a", "-shortest"});
  else args.insert(args.end(), {"-map", picture ? "0:v" : "0:a"});
  if (f.lossless) {
    // bgr0 is FFV1's 8-bit RGB and the frames' own layout: they are stored
    // as they come and decode back exactly. Level 3 with CRC-checked slices
    // is the archival form.
    args.insert(args.end(), {"-c:v", "ffv1", "-level", "3", "-g", "1", "-slicecrc", "1",
                             "-pix_fmt", "bgr0"});
    if (sound) args.insert(args.end(), {"-c:a", "flac"});
  } else if (h264Container(f.file)) {
    // Players and upload sites expect 4:2:0.
    args.insert(args.end(), {"-c:v", "libx264", "-preset", f.preset, "-crf",
                             std::to_string(f.crf), "-pix_fmt", "yuv420p"});
    if (sound) args.insert(args.end(), {"-c:a", "aac", "-b:a", "192k"});
    // The index up front lets a browser start playing before the whole file is in.
    if (!fileNameEndsWith(f.file, ".mkv"))
      args.insert(args.end(), {"-movflags", "+faststart"});
  } else if (fileNameEndsWith(f.file, ".png")) {
    // ffmpeg would take .png for one still picture; an animated PNG it is,
    // looping like a GIF.
    args.insert(args.end(), {"-f", "apng", "-plays", "0"});
  } else if (fileNameEndsWith(f.file, ".webp")) {
    args.insert(args.end(), {"-loop", "0"});  // ffmpeg's default plays it once
  }
}

std::vector<std::string> ffmpegArguments(const VideoFormat& f) {
  std::vector<std::string> args = {"ffmpeg", "-y", "-nostdin", "-nostats", "-loglevel", "error",
                                   "-f", "rawvideo", "-pix_fmt", "bgr0", "-s",
                                   std::to_string(f.width) + "x" + std::to_string(f.height),
                                   "-framerate", std::to_string(f.fps), "-i", "-"};
  const bool sound = !f.audioFile.empty();
  if (sound) {
    char start[32];
    std::snprintf(start, sizeof start, "%.3f", f.audioStartMs / 1000.0);
    args.insert(args.end(), {"-ss", start, "-i", f.audioFile});
  }
  addOutputArguments(args, f, true, sound);
  args.push_back(f.file);
  return args;
}

std::vector<std::string> ffmpegTrialArguments(const VideoFormat& f, const std::string& file,
                                              int frames, bool sound) {
  std::vector<std::string> args = {"ffmpeg", "-y", "-nostdin", "-nostats", "-loglevel", "error"};
  if (frames > 0) {
    char source[96];
    std::snprintf(source, sizeof source, "color=c=black:s=%dx%d:r=%d:d=1,format=bgr0", f.width,
                  f.height, f.fps);
    args.insert(args.end(), {"-f", "lavfi", "-i", source});
  }
  if (sound)
    args.insert(args.end(), {"-f", "lavfi", "-t", "0.2", "-i", "anullsrc=r=44100:cl=stereo"});
  addOutputArguments(args, f, frames > 0, sound);
  if (frames > 0) args.insert(args.end(), {"-frames:v", std::to_string(frames)});
  args.push_back(file);
  return args;
}

bool openVideoEncoder(VideoEncoder& enc, const VideoFormat& format, std::string* error) {
  std::vector<std::string> args = ffmpegArguments(format);
  // Built before the fork: the child only calls what is safe there.
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(&a[0]);
  argv.push_back(nullptr);
  // Frames go through `frames`; `exec` closes on a successful exec, or
  // carries the errno of a failed one back to us.
  int frames[2], exec[2];
  if (pipe2(frames, O_CLOEXEC) != 0) {
    *error = std::string("no pipe: ") + std::strerror(errno);
    return false;
  }
  if (pipe2(exec, O_CLOEXEC) != 0) {
    *error = std::string("no pipe: ") + std::strerror(errno);
    close(frames[0]);
    close(frames[1]);
    return false;
  }
  const pid_t pid = fork();
  if (pid < 0) {
    *error = std::string("cannot fork: ") + std::strerror(errno);
    close(frames[0]);
    close(frames[1]);
    close(exec[0]);
    close(exec[1]);
    return false;
  }
  if (pid == 0) {
    dup2(frames[0], 0);  // dup2 clears close-on-exec on the copy
    execvp("ffmpeg", argv.data());
    const int e = errno;
    (void)!write(exec[1], &e, sizeof e);
    _exit(127);
  }
  close(frames[0]);
  close(exec[1]);
  int childErrno = 0;
  ssize_t n;
  do n = read(exec[0], &childErrno, sizeof childErrno);
  while (n < 0 && errno == EINTR);
  close(exec[0]);
  if (n > 0) {
    close(frames[1]);
    waitpid(pid, nullptr, 0);
    *error = std::string("cannot run ffmpeg: ") + std::strerror(childErrno) +
             (childErrno == ENOENT ? " (install the ffmpeg package)" : "");
    return false;
  }
  std::signal(SIGPIPE, SIG_IGN);  // a dying ffmpeg shows up as a failed write
  // A frame is megabytes: a 1 MiB pipe (the usual limit) takes it in a few
  // writes instead of thirty 64 KiB wake-ups of each side. Kept small if refused.
  fcntl(frames[1], F_SETPIPE_SZ, 1 << 20);
  enc.pipeFd = frames[1];
  enc.pid = pid;
  return true;
}

bool writeVideoFrame(VideoEncoder& enc, const unsigned char* bgrx, size_t bytes) {
  size_t left = bytes;
  while (left > 0) {
    const ssize_t n = write(enc.pipeFd, bgrx, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bgrx += n;
    left -= static_cast<size_t>(n);
  }
  return true;
}

bool closeVideoEncoder(VideoEncoder& enc, std::string* error) {
  if (enc.pid < 0) {
    *error = "ffmpeg was not running";
    return false;
  }
  close(enc.pipeFd);
  int status = 0;
  while (waitpid(enc.pid, &status, 0) < 0 && errno == EINTR) {
  }
  enc = VideoEncoder{};
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return true;
  char why[64];
  if (WIFSIGNALED(status))
    std::snprintf(why, sizeof why, "ffmpeg was killed by signal %d", WTERMSIG(status));
  else
    std::snprintf(why, sizeof why, "ffmpeg exited with status %d", WEXITSTATUS(status));
  *error = why;
  return false;
}
