// A trie of names read backwards, with the ASCII letters folded to lower
// case. The content scan stands on the zero byte that ends a string and
// walks back through the bytes before it: one walk finds every name that
// ends there, however many names the trie holds.
//
// The names hold ASCII bytes only. A node keeps the set of bytes it has
// children for as a 128-bit mask, its children one after another in byte
// order, so that a step is a bit test and a bit count, with no search.
#ifndef TARNWICK_USAGE_REVERSED_NAME_TRIE_H
#define TARNWICK_USAGE_REVERSED_NAME_TRIE_H

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "platform/ascii.h"

class ReversedNameTrie {
 public:
  // A name that ends at a node: whose it is, and whether it is the whole
  // file name (with its extension) or the base name alone.
  struct Entry {
    std::uint32_t slot;
    bool wholeName;
  };
  static constexpr std::int32_t kNoNode = -1;

  ReversedNameTrie();

  // Adds a name of at least one byte, every byte from 1 to 127 (any other
  // name is left out).
  void Add(const unsigned char* name, std::size_t length, Entry entry);
  // Lays the trie out for walking. Nothing may be added afterwards.
  void Finish();

  bool empty() const { return names_ == 0; }
  std::size_t TableBytes() const;

  static constexpr std::int32_t Root() { return 0; }
  // The node reached from node by the byte as it stands in the content.
  std::int32_t Step(std::int32_t node, unsigned char byte) const {
    if (node == Root()) return rootStep_[byte];
    const unsigned folded = LowerAsciiByte(byte);
    if (folded >= 128) return kNoNode;
    const Node& n = nodes_[static_cast<std::size_t>(node)];
    const std::uint64_t word = n.children[folded >> 6];
    const std::uint64_t bit = std::uint64_t{1} << (folded & 63);
    if ((word & bit) == 0) return kNoNode;
    unsigned rank = CountBits(word & (bit - 1));
    if (folded >= 64) rank += CountBits(n.children[0]);
    return static_cast<std::int32_t>(n.firstChild + rank);
  }
  const Entry* EntriesBegin(std::int32_t node) const {
    return entries_.data() + nodes_[static_cast<std::size_t>(node)].firstEntry;
  }
  const Entry* EntriesEnd(std::int32_t node) const {
    return entries_.data() + nodes_[static_cast<std::size_t>(node) + 1].firstEntry;
  }

  // Whether some name can end in these bytes as they stand in the content:
  // last is its last byte, beforeLast and twoBefore the ones before, or 0
  // where the content has none (or a zero), which only names shorter than
  // that accept. A cheap test before a walk.
  bool MayEndWith(unsigned char twoBefore, unsigned char beforeLast, unsigned char last) const {
    const unsigned lastClass = classOf_[last];
    if (lastClass == 0) return false;
    const std::uint64_t* set = &endings_[2 * (lastClass * classes_ + classOf_[beforeLast])];
    const unsigned third = classOf_[twoBefore];
    return (set[third >> 6] >> (third & 63)) & 1u;
  }

  // The smallest and largest byte, in either case, that any name holds.
  unsigned char lowestByte() const { return lowest_; }
  unsigned char highestByte() const { return highest_; }
  bool hasOneByteName() const { return hasOneByteName_; }

 private:
  struct Node {
    std::uint64_t children[2] = {0, 0};
    std::uint32_t firstChild = 0;
    std::uint32_t firstEntry = 0;
  };
  struct BuildNode {
    std::vector<std::pair<unsigned char, std::int32_t>> children;
    std::vector<Entry> entries;
  };

  static unsigned CountBits(std::uint64_t v) {
    v = v - ((v >> 1) & 0x5555555555555555ull);
    v = (v & 0x3333333333333333ull) + ((v >> 2) & 0x3333333333333333ull);
    v = (v + (v >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    return static_cast<unsigned>((v * 0x0101010101010101ull) >> 56);
  }
  void LayOutNodes();
  void FillEndings();

  std::vector<BuildNode> building_;
  std::size_t names_ = 0;

  // The laid-out trie, breadth first: the children of a node are
  // consecutive; node n's entries run up to the next node's first entry.
  std::int32_t rootStep_[256];
  std::vector<Node> nodes_;
  std::vector<Entry> entries_;

  // Bytes a name holds map to classes 1 and up (both cases alike), every
  // other byte to 0. endings_ holds, for each class of last byte and byte
  // before it, the 128-bit set of classes the byte before those may have.
  bool held_[128] = {};
  std::uint8_t classOf_[256];
  unsigned classes_ = 1;
  std::vector<std::uint64_t> endings_;

  unsigned char lowest_ = 0xFF;
  unsigned char highest_ = 0;
  bool hasOneByteName_ = false;
};

#endif
