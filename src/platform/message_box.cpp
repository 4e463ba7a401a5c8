#include "platform/message_box.h"

#include <SDL2/SDL.h>

#include <cstdio>

static Uint32 boxFlags(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Error: return SDL_MESSAGEBOX_ERROR;
    case MessageIcon::Warning: return SDL_MESSAGEBOX_WARNING;
    case MessageIcon::None: break;
  }
  return 0;
}

void showMessage(const char* text, const char* caption, MessageIcon icon) {
  if (SDL_ShowSimpleMessageBox(boxFlags(icon), caption, text, nullptr) != 0)
    std::fprintf(stderr, "lumivaara: %s: %s\n", caption, text);
}

bool askYesNo(const char* text, const char* caption) {
  const SDL_MessageBoxButtonData buttons[] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "Yes"},
      {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "No"},
  };
  SDL_MessageBoxData box{};
  box.flags = SDL_MESSAGEBOX_WARNING;
  box.title = caption;
  box.message = text;
  box.numbuttons = 2;
  box.buttons = buttons;
  int answer = 0;
  if (SDL_ShowMessageBox(&box, &answer) != 0) {
    std::fprintf(stderr, "lumivaara: %s: %s (no answer possible: taken as No)\n", caption, text);
    return false;
  }
  return answer == 1;
}
