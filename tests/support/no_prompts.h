// Start-up prompts for programs without a person at hand: every question is
// answered No and nothing is shown.
#ifndef TARNWICK_TESTS_SUPPORT_NO_PROMPTS_H
#define TARNWICK_TESTS_SUPPORT_NO_PROMPTS_H

#include "config/settings.h"

namespace testbuild {

class NoPrompts : public StartupPrompts {
 public:
  bool AskYesNo(const char*, const char*) override { return false; }
  void Inform(const char*) override {}
};

}  // namespace testbuild

#endif
