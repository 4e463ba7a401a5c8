// Modal message boxes for start-up failures. Where no box can be shown (no
// display, no fonts for one), the text goes to standard error instead. A
// stop signal while a box is up ends the program (see stop_signals.h).
#pragma once

enum class MessageIcon { Error, Warning, None };

void showMessage(const char* text, const char* caption, MessageIcon icon);

enum class Answer {
  Yes,
  No,       // the viewer declined, or closed the box
  NotAsked  // no box could be shown
};
Answer askYesNo(const char* text, const char* caption);
