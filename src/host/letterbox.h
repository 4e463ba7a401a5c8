// Where the picture goes on a drawable of any shape.
#pragma once

// A rectangle of the drawable in GL window coordinates (origin lower left).
struct ViewRect {
  int x, y, width, height;
};

// The largest centred 4:3 rectangle of a drawable; the whole drawable when it
// is 4:3 already. The demo's layout is made for 4:3, so other shapes get
// black columns or rows instead of a stretched picture.
ViewRect letterboxRect(int drawableWidth, int drawableHeight);
