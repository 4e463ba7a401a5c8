#include "video_encoder.h"

#include <csignal>
#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

static bool endsWith(const std::string& s, const char* tail) {
  const std::string t(tail);
  return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

bool openVideoEncoder(VideoEncoder& enc, const std::string& file, int width, int height, int fps,
                      const std::string& audioFile, int audioStartMs) {
  std::vector<std::string> args = {"ffmpeg", "-y", "-loglevel", "error", "-f", "rawvideo",
                                   "-pix_fmt", "rgb24", "-s",
                                   std::to_string(width) + "x" + std::to_string(height),
                                   "-framerate", std::to_string(fps), "-i", "-"};
  if (!audioFile.empty()) {
    char start[32];
    std::snprintf(start, sizeof start, "%.3f", audioStartMs / 1000.0);
    args.insert(args.end(), {"-ss", start, "-i", audioFile, "-map", "0:v", "-map", "1:a",
                             "-shortest"});
  }
  // Players expect 4:2:0 in the common containers.
  if (endsWith(file, ".mp4") || endsWith(file, ".mkv") || endsWith(file, ".mov"))
    args.insert(args.end(), {"-pix_fmt", "yuv420p"});
  args.push_back(file);

  int fds[2];
  if (pipe(fds) != 0) return false;
  const pid_t pid = fork();
  if (pid < 0) {
    close(fds[0]);
    close(fds[1]);
    return false;
  }
  if (pid == 0) {
    dup2(fds[0], 0);
    close(fds[0]);
    close(fds[1]);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(&a[0]);
    argv.push_back(nullptr);
    execvp("ffmpeg", argv.data());
    std::perror("lumivaara-capture: ffmpeg");
    _exit(127);
  }
  close(fds[0]);
  std::signal(SIGPIPE, SIG_IGN);  // a dying ffmpeg shows up as a failed write
  enc.pipeFd = fds[1];
  enc.pid = pid;
  return true;
}

bool writeVideoFrame(VideoEncoder& enc, const unsigned char* rgb, int width, int height) {
  size_t left = static_cast<size_t>(width) * height * 3;
  while (left > 0) {
    const ssize_t n = write(enc.pipeFd, rgb, left);
    if (n <= 0) return false;
    rgb += n;
    left -= static_cast<size_t>(n);
  }
  return true;
}

bool closeVideoEncoder(VideoEncoder& enc) {
  if (enc.pid < 0) return false;
  close(enc.pipeFd);
  int status = 0;
  waitpid(enc.pid, &status, 0);
  enc = VideoEncoder{};
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
