// How frames are drawn, decided once right after the context exists and
// handed to whatever draws: the plain GL passes (graphics hardware) or the
// software backend's CPU passes (a software rasteriser).
#pragma once

enum class RenderPath { Gl, Software };
