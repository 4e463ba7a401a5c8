#include <sys/stat.h>

#include <cstdio>

#include "models.h"

namespace {
bool writeOne(const std::string& dir, const char* name, const ModelFile& model) {
  const std::string path = dir + "/" + name;
  if (model.meshes.empty() || !write3ds(path, model)) {
    std::fprintf(stderr, "lumivaara-assetgen: cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}
}  // namespace

bool writeModels(const std::string& outDir) {
  const std::string dir = outDir + "/Models";
  mkdir(outDir.c_str(), 0755);
  mkdir(dir.c_str(), 0755);
  bool ok = writeOne(dir, "tora.3ds", makeCraftModel());
  ok = writeOne(dir, "sspike.3ds", makeSpikeModel()) && ok;
  ok = writeOne(dir, "naama.3ds", makeFaceModel(false)) && ok;
  ok = writeOne(dir, "naamaH.3ds", makeFaceModel(true)) && ok;
  ok = writeOne(dir, "robo.3ds", makeRobotModel()) && ok;
  ok = writeOne(dir, "font.3ds", makeFontModel(kModelFontPath)) && ok;
  ok = writeOne(dir, "hihna.3ds", makeBeltModel()) && ok;
  return ok;
}
