// Questions on a terminal: answered by an option when one was given, else
// asked on the terminal as y or n, else (no terminal) answered No.
#ifndef TARNWICK_UI_CONSOLE_TERMINAL_PROMPTS_H
#define TARNWICK_UI_CONSOLE_TERMINAL_PROMPTS_H

#include <cstdio>
#include <functional>
#include <optional>

#include "config/settings.h"

class TerminalPrompts : public StartupPrompts {
 public:
  // beforeOutput runs before anything is written (it ends a status line).
  TerminalPrompts(std::FILE* in, std::FILE* out, bool interactive, std::function<void()> beforeOutput);

  bool Ask(const char* caption, const char* text, std::optional<bool> preset);
  bool AskYesNo(const char* caption, const char* text) override { return Ask(caption, text, std::nullopt); }
  void Inform(const char* text) override;

 private:
  std::FILE* in_;
  std::FILE* out_;
  bool interactive_;
  std::function<void()> beforeOutput_;
};

#endif
