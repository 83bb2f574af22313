#include "usage/reversed_name_trie.h"

#include <algorithm>
#include <cstring>

namespace {

unsigned char UpperAsciiByte(unsigned char c) {
  return static_cast<unsigned char>(UpperAscii(static_cast<char>(c)));
}

}  // namespace

ReversedNameTrie::ReversedNameTrie() : building_(1) {
  std::fill(std::begin(rootStep_), std::end(rootStep_), kNoNode);
  std::memset(classOf_, 0, sizeof classOf_);
}

void ReversedNameTrie::Add(const unsigned char* name, std::size_t length, Entry entry) {
  if (length == 0 || std::any_of(name, name + length, [](unsigned char c) { return c == 0 || c >= 128; })) return;
  std::int32_t node = Root();
  for (std::size_t i = length; i-- > 0;) {
    const unsigned char folded = LowerAsciiByte(name[i]);
    held_[folded] = true;
    lowest_ = std::min({lowest_, folded, UpperAsciiByte(folded)});
    highest_ = std::max({highest_, folded, UpperAsciiByte(folded)});
    auto& children = building_[static_cast<std::size_t>(node)].children;
    const auto child = std::find_if(children.begin(), children.end(),
                                    [folded](const std::pair<unsigned char, std::int32_t>& c) {
                                      return c.first == folded;
                                    });
    if (child != children.end()) {
      node = child->second;
      continue;
    }
    const auto added = static_cast<std::int32_t>(building_.size());
    children.emplace_back(folded, added);
    building_.emplace_back();
    node = added;
  }
  building_[static_cast<std::size_t>(node)].entries.push_back(entry);
  hasOneByteName_ = hasOneByteName_ || length == 1;
  ++names_;
}

void ReversedNameTrie::Finish() {
  LayOutNodes();
  FillEndings();
  std::vector<BuildNode>().swap(building_);
}

// Breadth first, so that the children of each node get consecutive numbers.
void ReversedNameTrie::LayOutNodes() {
  nodes_.clear();
  entries_.clear();
  std::vector<std::int32_t> order{Root()};
  nodes_.emplace_back();
  for (std::size_t next = 0; next < order.size(); ++next) {
    BuildNode& old = building_[static_cast<std::size_t>(order[next])];
    std::sort(old.children.begin(), old.children.end());
    Node& node = nodes_[next];
    node.firstChild = static_cast<std::uint32_t>(order.size());
    node.firstEntry = static_cast<std::uint32_t>(entries_.size());
    entries_.insert(entries_.end(), old.entries.begin(), old.entries.end());
    for (const auto& child : old.children) {
      node.children[child.first >> 6] |= std::uint64_t{1} << (child.first & 63);
      if (next == 0) {
        rootStep_[child.first] = static_cast<std::int32_t>(order.size());
        rootStep_[UpperAsciiByte(child.first)] = static_cast<std::int32_t>(order.size());
      }
      order.push_back(child.second);
    }
    nodes_.resize(order.size());
  }
  Node end;
  end.firstEntry = static_cast<std::uint32_t>(entries_.size());
  nodes_.push_back(end);
}

void ReversedNameTrie::FillEndings() {
  for (unsigned byte = 1; byte < 128; ++byte) {
    if (!held_[byte]) continue;
    classOf_[byte] = static_cast<std::uint8_t>(classes_);
    classOf_[UpperAsciiByte(static_cast<unsigned char>(byte))] = static_cast<std::uint8_t>(classes_);
    ++classes_;
  }
  endings_.assign(2 * classes_ * classes_, 0);
  auto set = [this](unsigned last, unsigned before) { return &endings_[2 * (last * classes_ + before)]; };
  auto eachChild = [this](std::int32_t node, auto&& visit) {
    for (unsigned byte = 1; byte < 128; ++byte) {
      if (byte >= 'A' && byte <= 'Z') continue;
      const std::int32_t child = Step(node, static_cast<unsigned char>(byte));
      if (child != kNoNode) visit(byte, child);
    }
  };
  auto hasEntries = [this](std::int32_t node) { return EntriesBegin(node) != EntriesEnd(node); };
  eachChild(Root(), [&](unsigned last, std::int32_t one) {
    if (hasEntries(one)) {
      for (unsigned before = 0; before < classes_; ++before) {
        set(classOf_[last], before)[0] = set(classOf_[last], before)[1] = ~0ull;
      }
    }
    eachChild(one, [&](unsigned before, std::int32_t two) {
      std::uint64_t* allowed = set(classOf_[last], classOf_[before]);
      if (hasEntries(two)) allowed[0] = allowed[1] = ~0ull;
      eachChild(two, [&](unsigned third, std::int32_t) {
        allowed[classOf_[third] >> 6] |= std::uint64_t{1} << (classOf_[third] & 63);
      });
    });
  });
}

std::size_t ReversedNameTrie::TableBytes() const {
  return sizeof rootStep_ + sizeof classOf_ + nodes_.size() * sizeof(Node) + entries_.size() * sizeof(Entry) +
         endings_.size() * sizeof(std::uint64_t);
}
