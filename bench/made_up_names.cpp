#include "bench/made_up_names.h"

#include <random>

std::vector<std::string> MadeUpLibraryNames(std::size_t count, const std::set<std::string>& taken, unsigned seed) {
  static const char* const kStarts[] = {"qx", "wz", "zq", "kx", "vq", "jz", "xw", "qv", "zx", "wq"};
  static const char* const kMiddles[] = {"core", "net", "gfx", "svc", "hlp", "ui", "media", "crypt", "sec",
                                         "prt", "shell", "cfg", "font", "tab", "sync", "ole", "dx", "audio"};
  static const char* const kEnds[] = {"", "32", "64", "2", "ex", "api", "lib", "w", "a", "_1"};
  std::mt19937 random(seed);
  std::set<std::string> made;
  std::vector<std::string> names;
  while (names.size() < count) {
    std::string name = kStarts[random() % std::size(kStarts)];
    name += kMiddles[random() % std::size(kMiddles)];
    if (random() % 3 == 0) name += kMiddles[random() % std::size(kMiddles)];
    name += kEnds[random() % std::size(kEnds)];
    if (random() % 4 == 0) name += std::to_string(random() % 100);
    name += ".dll";
    if (taken.count(name) != 0 || !made.insert(name).second) continue;
    names.push_back(name);
  }
  return names;
}
