// Which GL the layer draws with: chosen once at start-up, before the context.
#pragma once

enum class GlApi : unsigned char { kDesktop, kEs };

// What start-up asks for; kAuto takes desktop GL where a compatibility
// context exists and OpenGL ES 3 otherwise.
enum class GlChoice : unsigned char { kAuto, kDesktop, kEs };
