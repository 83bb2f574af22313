#include "ui/console/console_view.h"

#include <cstring>

#include "usage/process_state.h"

namespace {
constexpr int kTerminalWidth = 100;
}

ConsoleView::ConsoleView(std::FILE* status, bool statusIsTerminal, const ProcessState* state)
    : status_(status), terminal_(statusIsTerminal), state_(state) {}

bool ConsoleView::CountingFiles() {
  if (state_ == nullptr || state_->SearchRunning == 0) return false;
  if (state_->ImportsOnlyMode != lastMode_) {
    lastMode_ = state_->ImportsOnlyMode;
    checked_ = 0;
  }
  return true;
}

void ConsoleView::FileChecked(const char*) {
  if (terminal_ && CountingFiles()) ++checked_;
}

void ConsoleView::ShowStatus(const char* text) {
  if (!terminal_) {
    std::fprintf(status_, "%s\n", text);
    return;
  }
  std::string line;
  if (CountingFiles()) {
    line = std::string(state_->ImportsOnlyMode != 0 ? "[import pass" : "[final pass") + ", " +
           std::to_string(checked_) + " files] ";
  }
  line += text;
  if (line.size() > kTerminalWidth) line = line.substr(0, kTerminalWidth - 3) + "...";
  // Back to the start of the line, the text, and the rest of the old one cleared.
  std::fprintf(status_, "\r%s\x1b[K", line.c_str());
  std::fflush(status_);
  statusOpen_ = true;
}

void ConsoleView::InsertLine(int index, const char* line) {
  if (index >= 0 && index <= static_cast<int>(lines_.size())) lines_.insert(lines_.begin() + index, line);
}

void ConsoleView::DeleteLine(int index) {
  if (index >= 0 && index < static_cast<int>(lines_.size())) lines_.erase(lines_.begin() + index);
}

void ConsoleView::FinishStatus() {
  if (statusOpen_) std::fputc('\n', status_);
  statusOpen_ = false;
}

void ConsoleView::Say(const std::string& text) {
  FinishStatus();
  std::fprintf(status_, "%s\n", text.c_str());
  std::fflush(status_);
}
