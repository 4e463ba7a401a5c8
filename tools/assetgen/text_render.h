// Anti-aliased text through FreeType into a coverage mask.
#pragma once
#include <string>
#include <vector>

// Coverage in 0..1 per pixel, top row first.
struct Coverage {
  int width = 0;
  int height = 0;
  std::vector<float> value;
  Coverage(int w, int h) : width(w), height(h), value(size_t(w) * size_t(h), 0.0f) {}
  float at(int x, int y) const { return value[size_t(y) * size_t(width) + size_t(x)]; }
};

// Font files of fonts-dejavu-core.
std::string dejavuFont(const char* fileName);

// Draws `lines` (UTF-8) centred in the rectangle x0..x1, y0..y1 (pixels, top
// left origin, ends exclusive) less `margin` on each side, at the largest
// pixel size up to `maxPixels` at which every line fits. Coverage combines
// with what is already there by maximum. Returns false when the font cannot
// be loaded or nothing fits.
bool drawTextFitted(Coverage& canvas, int x0, int y0, int x1, int y1,
                    const std::vector<std::string>& lines, const std::string& fontFile,
                    int maxPixels, int margin);
