// Fragment programs over the fixed-function vertex stage, for the few passes
// where one program replaces many fixed-function draws.
#pragma once

#include <GL/gl.h>

// Compiles and links a program of one fragment shader; 0 where the context
// has no shaders (below GL 2) or the source does not build.
GLuint buildFragmentProgram(const char* source);
