#include "output_checks.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

extern char** environ;

namespace {

bool refuse(OutputRefusal* r, int status, const std::string& error) {
  r->status = status;
  r->error = error;
  return false;
}

// A file made and removed again in `dir`: 0, or the errno of the attempt.
int tryFileIn(const std::string& dir) {
  std::string name = dir + "/.lumivaara-capture-XXXXXX";
  const int fd = mkstemp(&name[0]);
  if (fd < 0) return errno;
  close(fd);
  unlink(name.c_str());
  return 0;
}

struct Trial {
  int spawnError = 0;  // errno when ffmpeg could not be started
  int status = -1;     // waitpid status
  std::string said;    // the first line ffmpeg wrote on standard error
  bool ok() const { return spawnError == 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0; }
  std::string how() const {
    if (WIFSIGNALED(status)) return "ffmpeg was killed by signal " + std::to_string(WTERMSIG(status));
    if (!said.empty()) return said;
    return "ffmpeg exited with status " + std::to_string(WEXITSTATUS(status));
  }
};

// Runs ffmpeg with its standard error into a pipe; no input, no output.
Trial runFfmpeg(std::vector<std::string> args) {
  Trial t;
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(&a[0]);
  argv.push_back(nullptr);
  int err[2];
  if (pipe2(err, O_CLOEXEC) != 0) {
    t.spawnError = errno;
    return t;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, err[1], 2);
  pid_t pid = -1;
  t.spawnError = posix_spawnp(&pid, "ffmpeg", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(err[1]);
  std::string text;
  char buffer[512];
  ssize_t n;
  while ((n = read(err[0], buffer, sizeof buffer)) != 0) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) break;
    text.append(buffer, static_cast<size_t>(n));
  }
  close(err[0]);
  if (t.spawnError != 0) return t;
  while (waitpid(pid, &t.status, 0) < 0 && errno == EINTR) {
  }
  // ffmpeg's lines start with the component in brackets: keep the words.
  std::string line = text.substr(0, text.find('\n'));
  if (!line.empty() && line[0] == '[' && line.find("] ") != std::string::npos)
    line = line.substr(line.find("] ") + 2);
  t.said = line;
  return t;
}

// The folder part of a path, "." for a bare name.
std::string folderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

bool prepareFramesDir(const std::string& dir, OutputRefusal* refusal) {
  const std::string at = "--frames " + dir + ": ";
  if (mkdir(dir.c_str(), 0755) != 0) {
    if (errno != EEXIST) return refuse(refusal, 2, at + "cannot make it: " + std::strerror(errno));
    struct stat st;
    if (stat(dir.c_str(), &st) != 0) return refuse(refusal, 2, at + std::strerror(errno));
    if (!S_ISDIR(st.st_mode)) return refuse(refusal, 2, at + std::strerror(ENOTDIR));
  }
  if (const int why = tryFileIn(dir))
    return refuse(refusal, 2, at + "cannot write in it: " + std::strerror(why));
  return true;
}

bool checkVideoOutput(VideoFormat& format, std::string* note, OutputRefusal* refusal) {
  const std::string& file = format.file;
  const std::string at = "--video " + file + ": ";
  struct stat st;
  if (stat(file.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
    return refuse(refusal, 2, at + std::strerror(EISDIR));
  const std::string folder = folderOf(file);
  if (stat(folder.c_str(), &st) != 0)
    return refuse(refusal, 2, at + "cannot write in " + folder + ": " + std::strerror(errno));
  if (!S_ISDIR(st.st_mode))
    return refuse(refusal, 2, at + "cannot write in " + folder + ": " + std::strerror(ENOTDIR));

  // The trial file sits beside the video with the same ending, so ffmpeg
  // takes the same format from its name; made here first to find out whether
  // the folder takes files at all.
  const std::string base = file.substr(file.rfind('/') + 1);
  const size_t dot = base.rfind('.');
  const std::string trial = folder + "/.lumivaara-capture-trial-" + std::to_string(getpid()) +
                            (dot == std::string::npos || dot == 0 ? "" : base.substr(dot));
  const int fd = open(trial.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0)
    return refuse(refusal, 2, at + "cannot write in " + folder + ": " + std::strerror(errno));
  close(fd);
  struct Remove {
    const std::string& path;
    ~Remove() { unlink(path.c_str()); }
  } removeTrial{trial};

  const bool sound = !format.audioFile.empty();
  const Trial whole = runFfmpeg(ffmpegTrialArguments(format, trial, 2, sound));
  if (whole.ok()) return true;
  if (whole.spawnError != 0)
    return refuse(refusal, 1,
                  std::string("cannot run ffmpeg: ") + std::strerror(whole.spawnError) +
                      (whole.spawnError == ENOENT ? " (install the ffmpeg package)" : ""));
  // Killed, or failed without a word: ffmpeg itself is at fault, not the name.
  if (WIFSIGNALED(whole.status) || whole.said.empty())
    return refuse(refusal, 1, at + "a trial encode failed: " + whole.how());
  if (whole.said.find("Unable to find a suitable output format") != std::string::npos)
    return refuse(refusal, 2, at + "ffmpeg knows no format by that name (try .mp4, .mkv or .webm)");
  if (sound && runFfmpeg(ffmpegTrialArguments(format, trial, 2, false)).ok()) {
    format.audioFile.clear();
    *note = at + "the format holds no sound: writing the picture only";
    return true;
  }
  if (runFfmpeg(ffmpegTrialArguments(format, trial, 1, false)).ok())
    return refuse(refusal, 2,
                  at + "the format holds a single picture, not a video (--frames DIR writes "
                       "pictures)");
  // Sound only when not even a small picture goes in: a picture refused at
  // this size or with these settings is ffmpeg's to explain.
  VideoFormat small = format;
  small.width = small.height = 16;
  if (runFfmpeg(ffmpegTrialArguments(format, trial, 0, true)).ok() &&
      !runFfmpeg(ffmpegTrialArguments(small, trial, 1, false)).ok())
    return refuse(refusal, 2, at + "the format holds sound only, no picture");
  return refuse(refusal, 2, at + "ffmpeg cannot write it: " + whole.said);
}

bool checkOutputSize(int width, int height, const HeadlessContext& ctx, OutputRefusal* refusal) {
  const int maxWidth = ctx.maxWidth, maxHeight = ctx.maxHeight;
  if ((maxWidth > 0 && width > maxWidth) || (maxHeight > 0 && height > maxHeight))
    return refuse(refusal, 2,
                  "--size: " + std::to_string(width) + "x" + std::to_string(height) +
                      " is out of range (this GL draws at most " + std::to_string(maxWidth) +
                      "x" + std::to_string(maxHeight) + ")");
  return true;
}
