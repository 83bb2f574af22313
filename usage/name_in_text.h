// The rule by which a text (a registry value, a key name, a line of a
// settings file) names a candidate: the candidate's name, or its base name
// alone, stands there as a whole file name. Before it is the start of the
// text or a character that ends a path part; after it the end of the text
// or such a character. A dot does not end a path part, so "foo.bar" names
// neither foo.dll nor foo. ASCII case is ignored.
//
// The characters that end a path part are the separators of paths and of
// lists of names (backslash, slash, colon, quotes, blanks, '=', ',', ';',
// '(', ')', '[', ']', '@'), the characters no Windows file name may hold,
// and control characters (line ends, zeros between strings).
#ifndef TARNWICK_USAGE_NAME_IN_TEXT_H
#define TARNWICK_USAGE_NAME_IN_TEXT_H

#include <string>
#include <unordered_map>
#include <vector>

struct ProcessState;

class NameInText {
 public:
  // Built from the candidates of the state not found yet.
  explicit NameInText(const ProcessState& state);

  // Calls onMatch(candidate index) for every candidate the text names, in
  // the order the names stand in the text (a candidate may come more than
  // once). Candidates found meanwhile are the caller's to skip.
  template <typename OnMatch>
  void Find(const std::string& text, OnMatch onMatch) const {
    std::string token;
    const std::size_t size = text.size();
    for (std::size_t start = 0; start < size;) {
      std::size_t end = start;
      while (end < size && !EndsPathPart(static_cast<unsigned char>(text[end]))) ++end;
      if (end > start) {
        token.assign(text, start, end - start);
        for (char& c : token) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        const auto named = names_.find(token);
        if (named != names_.end()) {
          for (int index : named->second) onMatch(index);
        }
      }
      start = end + 1;
    }
    for (const Spelled& spelled : spelledWithSeparators_) {
      if (StandsIn(text, spelled.name)) onMatch(spelled.index);
    }
  }

  bool empty() const { return names_.empty() && spelledWithSeparators_.empty(); }

  static bool EndsPathPart(unsigned char c);

 private:
  struct Spelled {
    std::string name;
    int index;
  };
  // Whether name (lower case) stands in text with path-part ends around it.
  static bool StandsIn(const std::string& text, const std::string& name);

  // Lower-case names and base names of the candidates, each with the
  // candidates that bear it.
  std::unordered_map<std::string, std::vector<int>> names_;
  // Names and base names that themselves hold a character ending a path
  // part (a blank, say), which no single token can equal.
  std::vector<Spelled> spelledWithSeparators_;
};

#endif
