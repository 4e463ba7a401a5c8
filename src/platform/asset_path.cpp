#include "platform/asset_path.h"

#include <cstdio>
#include <cstdlib>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

const std::string& executableDirectory() {
  static const std::string dir = [] {
    char buf[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return std::string("./");
    std::string path(buf, static_cast<size_t>(n));
    return path.substr(0, path.rfind('/') + 1);
  }();
  return dir;
}

static bool isDirectory(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Any of the three asset folders marks a place as the assets' home: a copy
// without its music still plays on the system clock.
static bool holdsAssets(const std::string& dir) {
  return isDirectory(dir + "Images") || isDirectory(dir + "Models") || isDirectory(dir + "Music");
}

// The installed data folder, through the resolved parent of the executable's
// directory, so messages name a plain path even when the folder is missing.
static std::string installedDataDirectory() {
  const std::string parent = executableDirectory() + "..";
  char buf[PATH_MAX];
  std::string base = realpath(parent.c_str(), buf) ? std::string(buf) : parent;
  if (base.empty() || base.back() != '/') base += '/';
  return base + "share/games/lumivaara/";
}

const std::string& assetDirectory() {
  static const std::string dir = [] {
    const std::string beside = executableDirectory();
    if (holdsAssets(beside)) return beside;
    const std::string installed = installedDataDirectory();
    if (holdsAssets(installed)) return installed;
    std::fprintf(stderr, "lumivaara: no Images/, Models/ or Music/ in %s nor in %s\n",
                 beside.c_str(), installed.c_str());
    return beside;
  }();
  return dir;
}

std::string assetPath(const std::string& relative) {
  if (!relative.empty() && relative[0] == '/') return relative;
  return assetDirectory() + relative;
}

void reportAssetFailure(const std::string& file, const std::string& reason) {
  std::fprintf(stderr, "lumivaara: %s: %s\n", file.c_str(), reason.c_str());
}
