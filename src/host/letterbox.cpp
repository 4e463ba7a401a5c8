#include "host/letterbox.h"

ViewRect letterboxRect(int drawableWidth, int drawableHeight) {
  const long w = drawableWidth > 0 ? drawableWidth : 0;
  const long h = drawableHeight > 0 ? drawableHeight : 0;
  ViewRect r{0, 0, static_cast<int>(w), static_cast<int>(h)};
  if (w * 3 > h * 4) {
    // Wider than 4:3: full height, columns left and right (rounded to nearest).
    long width = (h * 4 + 1) / 3;
    if (width > w) width = w;
    r.width = static_cast<int>(width);
    r.x = static_cast<int>((w - width) / 2);
  } else if (w * 3 < h * 4) {
    // Taller than 4:3: full width, rows above and below.
    long height = (w * 3 + 2) / 4;
    if (height > h) height = h;
    r.height = static_cast<int>(height);
    r.y = static_cast<int>((h - height) / 2);
  }
  return r;
}
