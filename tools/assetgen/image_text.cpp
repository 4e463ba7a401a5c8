// The three text pictures, 512 x 256, laid out in the rectangles the scenes
// cut them into (pixels, top-left origin).
#include <cmath>
#include <cstdio>

#include "image_generators.h"
#include "text_render.h"

namespace {

struct TextBox {
  int x0, y0, x1, y1;
  std::vector<std::string> lines;
  const char* font;
  int maxPixels;
};

Coverage renderBoxes(const std::vector<TextBox>& boxes, int margin) {
  Coverage cover(512, 256);
  for (const TextBox& box : boxes) {
    if (!drawTextFitted(cover, box.x0, box.y0, box.x1, box.y1, box.lines, dejavuFont(box.font),
                        box.maxPixels, margin))
      std::fprintf(stderr, "lumivaara-assetgen: cannot render \"%s\" with %s\n",
                   box.lines.empty() ? "" : box.lines[0].c_str(), box.font);
  }
  return cover;
}

// Black text on white: keyed on white and inverted at load, the letters
// become opaque white on a transparent ground.
Picture blackOnWhite(const Coverage& cover) {
  Picture p(cover.width, cover.height);
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      const float g = 1.0f - cover.at(x, y);
      p.at(x, y) = rgb(g, g, g);
    }
  return p;
}

}  // namespace

// Keyed on exact black and inverted at load, then drawn with a (one minus
// source colour) blend plus an additive copy: a texel of inverted value s
// ends up as s(1.8 - s) over the scene dimmed by (1 - s). So the ground is
// exact black (transparent) and a letter pixel of coverage a is stored as
// 1 - a x glow: near black inside the letters, light at their soft edges,
// which the inversion turns into bright letters with anti-aliased rims.
Picture makeCredits() {
  const std::vector<TextBox> boxes = {
      {20, 10, 230, 96, {"LVS"}, "DejaVuSans-Bold.ttf", 90},
      {20, 92, 230, 130, {"presents"}, "DejaVuSerif-Italic.ttf", 34},
      {240, 10, 500, 130, {"Lumivaara", "Zadorivora"}, "DejaVuSerif-Bold.ttf", 60},
      {75, 130, 430, 250, {"code  Routa", "music  Hanki", "pictures  Kuura"}, "DejaVuSans.ttf", 40},
  };
  const Coverage cover = renderBoxes(boxes, 4);
  const Rgb glow = rgb(1.0f, 0.97f, 0.9f);
  Picture p(cover.width, cover.height);
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      const float a = cover.at(x, y);
      if (a <= 0) continue;  // exact black: the key
      p.at(x, y) = rgb(1 - a * glow.r, 1 - a * glow.g, 1 - a * glow.b);
    }
  return p;
}

Picture makeTimeText() {
  const char* font = "DejaVuSerif-Bold.ttf";
  const std::vector<TextBox> boxes = {
      {280, 48, 490, 90, {"the pendulum"}, font, 34},
      {94, 0, 420, 50, {"swings through"}, font, 40},
      {0, 50, 250, 92, {"the mirror"}, font, 34},
      {0, 92, 320, 145, {"and time"}, font, 42},
      {0, 145, 250, 200, {"folds back"}, font, 42},
      {10, 200, 225, 250, {"on itself"}, font, 40},
      {260, 190, 503, 240, {"one beat"}, font, 40},
      {260, 140, 500, 190, {"at a time"}, font, 40},
      {340, 90, 445, 140, {"again"}, font, 36},
  };
  return blackOnWhite(renderBoxes(boxes, 4));
}

Picture makeClosingText() {
  const std::vector<TextBox> boxes = {
      {0, 80, 511, 165, {"Lumivaara Zadorivora", "an LVS production"}, "DejaVuSans-Bold.ttf", 40},
  };
  return blackOnWhite(renderBoxes(boxes, 3));
}
