// lumivaara-assetgen --out DIR [--contact-sheet FILE.png]
// Writes the demo's generated assets beside the executables in DIR.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "contact_sheet.h"
#include "icon.h"
#include "image_set.h"
#include "models.h"

int main(int argc, char** argv) {
  std::string outDir, sheet, modelSheetDir;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--out") == 0 && i + 1 < argc) {
      outDir = argv[++i];
    } else if (std::strcmp(argv[i], "--contact-sheet") == 0 && i + 1 < argc) {
      sheet = argv[++i];
    } else if (std::strcmp(argv[i], "--model-sheet") == 0 && i + 1 < argc) {
      modelSheetDir = argv[++i];
    } else {
      outDir.clear();
      break;
    }
  }
  if (outDir.empty()) {
    std::fprintf(stderr, "usage: lumivaara-assetgen --out DIR [--contact-sheet FILE.png]\n");
    return 2;
  }
  const auto started = std::chrono::steady_clock::now();
  bool ok = writeImages(outDir);
  ok = writeModels(outDir) && ok;
  ok = writeIcons(outDir) && ok;
  if (ok && !modelSheetDir.empty()) ok = writeModelSheets(outDir, modelSheetDir);
  if (ok && !sheet.empty() && !writeContactSheet(outDir, sheet)) {
    std::fprintf(stderr, "lumivaara-assetgen: cannot write %s\n", sheet.c_str());
    ok = false;
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::printf("lumivaara-assetgen: images written to %s/Images in %.2f s\n", outDir.c_str(), seconds);
  return ok ? 0 : 1;
}
