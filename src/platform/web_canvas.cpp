#include "platform/web_canvas.h"

#include <emscripten/html5.h>

bool createWebGl2Context(const char* selector) {
  EmscriptenWebGLContextAttributes attributes;
  emscripten_webgl_init_context_attributes(&attributes);
  attributes.alpha = false;
  attributes.depth = true;
  attributes.stencil = false;
  attributes.antialias = false;
  attributes.premultipliedAlpha = false;
  attributes.preserveDrawingBuffer = false;
  attributes.powerPreference = EM_WEBGL_POWER_PREFERENCE_HIGH_PERFORMANCE;
  attributes.majorVersion = 2;
  attributes.minorVersion = 0;
  // Extensions are asked for by name where needed, not all at once.
  attributes.enableExtensionsByDefault = false;
  const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context =
      emscripten_webgl_create_context(selector, &attributes);
  return context > 0 && emscripten_webgl_make_context_current(context) == EMSCRIPTEN_RESULT_SUCCESS;
}

void canvasDrawableSize(const char* selector, int* width, int* height) {
  if (emscripten_get_canvas_element_size(selector, width, height) != EMSCRIPTEN_RESULT_SUCCESS)
    *width = *height = 0;
}
