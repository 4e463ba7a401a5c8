// Modal message boxes for start-up failures. Where no box can be shown (no
// display), the text goes to standard error instead.
#pragma once

enum class MessageIcon { Error, Warning, None };

void showMessage(const char* text, const char* caption, MessageIcon icon);
// True only when the viewer answers Yes.
bool askYesNo(const char* text, const char* caption);
