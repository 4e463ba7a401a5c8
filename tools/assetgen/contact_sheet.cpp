#include "contact_sheet.h"

#include <algorithm>
#include <cstdio>

#include "textures/png_writer.h"
#include "text_render.h"
#include "textures/slot_table.h"
#include "textures/texture_store.h"

namespace {

constexpr int kColumns = 6;
constexpr int kCell = 256;
constexpr int kLabel = 22;

struct Sheet {
  int width, height;
  std::vector<uint8_t> rgb;
  uint8_t* at(int x, int y) { return &rgb[(size_t(y) * size_t(width) + size_t(x)) * 3]; }
};

// What a keyed texel looks like over backdrop colour d once a scene draws it:
// credits use a (one minus source colour) blend plus an additive 0.8 copy, the
// other text pictures a (one, one minus source colour) blend.
float composite(float s, float d, bool credits) {
  return credits ? std::min(1.0f, s * (1.8f - s) + d * (1 - s)) : s + d * (1 - s);
}

void drawCell(Sheet& sheet, int cellX, int cellY, const TextureSlotLoad& entry,
              const TextureStore& store) {
  const int w = int(store.width), h = int(store.height);
  if (w == 0 || h == 0) return;
  const float fit = std::min(float(kCell - 8) / float(w), float(kCell - 8) / float(h));
  const int dw = std::max(1, int(float(w) * fit)), dh = std::max(1, int(float(h) * fit));
  const int ox = cellX + (kCell - dw) / 2, oy = cellY + (kCell - dh) / 2;
  std::vector<uint8_t> rgba;
  if (entry.loader == ImageLoader::PcxKeyed)
    rgba = keyedRgba(store, entry.key[0], entry.key[1], entry.key[2], true);
  const bool credits = entry.key[0] == 0 && entry.key[1] == 0 && entry.key[2] == 0;
  for (int y = 0; y < dh; ++y) {
    for (int x = 0; x < dw; ++x) {
      // Box filter over the source footprint; the store is bottom-up.
      const int sx0 = x * w / dw, sx1 = std::max(sx0 + 1, (x + 1) * w / dw);
      const int sy0 = y * h / dh, sy1 = std::max(sy0 + 1, (y + 1) * h / dh);
      float sum[3] = {0, 0, 0};
      for (int sy = sy0; sy < sy1; ++sy) {
        for (int sx = sx0; sx < sx1; ++sx) {
          const size_t texel = size_t(h - 1 - sy) * size_t(w) + size_t(sx);
          for (int k = 0; k < 3; ++k) {
            if (rgba.empty()) {
              sum[k] += store.pixels[texel * 3 + size_t(k)] / 255.0f;
            } else {
              const float backdrop = k == 2 ? 0.35f : 0.15f + 0.1f * float(y) / float(dh);
              sum[k] += composite(rgba[texel * 4 + size_t(k)] / 255.0f, backdrop, credits);
            }
          }
        }
      }
      const float n = float((sx1 - sx0) * (sy1 - sy0));
      uint8_t* dst = sheet.at(ox + x, oy + y);
      for (int k = 0; k < 3; ++k) dst[k] = uint8_t(std::min(255.0f, sum[k] / n * 255.0f + 0.5f));
    }
  }
}

}  // namespace

bool writeContactSheet(const std::string& outDir, const std::string& pngPath) {
  const int rows = int((kTextureSlotCount + kColumns - 1) / kColumns);
  Sheet sheet{kColumns * kCell, rows * (kCell + kLabel), {}};
  sheet.rgb.assign(size_t(sheet.width) * size_t(sheet.height) * 3, 48);
  Coverage labels(sheet.width, sheet.height);
  for (size_t i = 0; i < kTextureSlotCount; ++i) {
    const TextureSlotLoad& entry = kTextureSlots[i];
    const int cellX = int(i % kColumns) * kCell;
    const int cellY = int(i / kColumns) * (kCell + kLabel);
    TextureStore store;
    const std::string file = outDir + "/" + entry.file;
    const bool loaded = entry.loader == ImageLoader::Jpeg ? store.loadJpeg(file) : store.loadPcx(file);
    if (loaded) drawCell(sheet, cellX, cellY, entry, store);
    char label[96];
    std::snprintf(label, sizeof label, "%u  %s%s", entry.slot, entry.file + 7,
                  entry.loader == ImageLoader::PcxKeyed ? "  (keyed)" : loaded ? "" : "  MISSING");
    drawTextFitted(labels, cellX, cellY + kCell, cellX + kCell, cellY + kCell + kLabel, {label},
                   dejavuFont("DejaVuSans.ttf"), 14, 2);
  }
  for (int y = 0; y < sheet.height; ++y)
    for (int x = 0; x < sheet.width; ++x) {
      const float a = labels.at(x, y);
      if (a <= 0) continue;
      uint8_t* dst = sheet.at(x, y);
      for (int k = 0; k < 3; ++k) dst[k] = uint8_t(dst[k] + (255 - dst[k]) * a);
    }
  return writePng(pngPath, sheet.rgb.data(), sheet.width, sheet.height);
}
