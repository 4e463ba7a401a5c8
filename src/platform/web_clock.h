// The demo clock in the browser build: the page's music, played through the
// Web Audio API, or the system clock where there is no sound.
#pragma once

// The page's clock in demo milliseconds: the position of the music heard.
int webClockMs();

// Tells the page that the timeline has reached its end.
void webTimelineEnded();
