#include "platform/web_clock.h"

#include <emscripten/emscripten.h>

// The page hands its player to the module as Module.page when it makes it.
EM_JS(int, pageClockMs, (), { return Module['page']['clockMs']() | 0; });
EM_JS(void, pageTimelineEnded, (), { Module['page']['timelineEnded'](); });

int webClockMs() { return pageClockMs(); }

void webTimelineEnded() { pageTimelineEnded(); }
