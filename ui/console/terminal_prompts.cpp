#include "ui/console/terminal_prompts.h"

#include <cctype>
#include <utility>

TerminalPrompts::TerminalPrompts(std::FILE* in, std::FILE* out, bool interactive,
                                 std::function<void()> beforeOutput)
    : in_(in), out_(out), interactive_(interactive), beforeOutput_(std::move(beforeOutput)) {}

bool TerminalPrompts::Ask(const char* caption, const char* text, std::optional<bool> preset) {
  if (beforeOutput_) beforeOutput_();
  if (preset || !interactive_) {
    const bool answer = preset.value_or(false);
    std::fprintf(out_, "%s: %s %s\n", caption, text, answer ? "Yes" : "No");
    return answer;
  }
  for (;;) {
    std::fprintf(out_, "%s: %s [y/n] ", caption, text);
    std::fflush(out_);
    char line[64];
    if (std::fgets(line, sizeof line, in_) == nullptr) {
      std::fprintf(out_, "No\n");
      return false;
    }
    const char first = static_cast<char>(std::tolower(static_cast<unsigned char>(line[0])));
    if (first == 'y') return true;
    if (first == 'n') return false;
  }
}

void TerminalPrompts::Inform(const char* text) {
  if (beforeOutput_) beforeOutput_();
  std::fprintf(out_, "%s\n", text);
}
