#include "platform/asset_path.h"

#include <cstdio>
#include <limits.h>
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

std::string assetPath(const std::string& relative) {
  if (!relative.empty() && relative[0] == '/') return relative;
  return executableDirectory() + relative;
}

void reportAssetFailure(const std::string& file, const std::string& reason) {
  std::fprintf(stderr, "lumivaara: %s: %s\n", file.c_str(), reason.c_str());
}
