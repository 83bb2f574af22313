#include "platform/installation_root.h"

#include <cstdlib>

std::string WinePrefix() {
  std::string prefix;
  const char* wine = std::getenv("WINEPREFIX");
  if (wine != nullptr && *wine != 0) {
    prefix = wine;
  } else {
    const char* home = std::getenv("HOME");
    prefix = std::string(home != nullptr ? home : "") + "/.wine";
  }
  while (prefix.size() > 1 && prefix.back() == '/') prefix.pop_back();
  return prefix;
}
