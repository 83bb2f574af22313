#include "base/pointer_list.h"

#include <climits>
#include <cstdlib>
#include <cstring>

PointerList::~PointerList() { Clear(); }

int PointerList::Resize() {
  if (count <= 0) {
    std::free(items);
    items = nullptr;
    count = 0;
    capacity = 0;
    return 1;
  }
  long long wanted = capacity;
  while (count > wanted) wanted += growthStep;
  while (count < wanted - growthStep) wanted -= growthStep;
  if (wanted > INT_MAX) return 0;
  if (wanted != capacity || items == nullptr) {
    void* grown = std::realloc(items, static_cast<std::size_t>(wanted) * sizeof(void*));
    if (grown == nullptr) return 0;
    items = static_cast<void**>(grown);
    capacity = static_cast<int>(wanted);
  }
  return 1;
}

bool PointerList::Grow() {
  if (count == INT_MAX) return false;
  ++count;
  if (Resize() == 0) {
    --count;
    return false;
  }
  return true;
}

int PointerList::Add(void* item) {
  if (!Grow()) return -1;
  items[count - 1] = item;
  return count - 1;
}

void* PointerList::GetAt(int index) const {
  if (index < 0 || index >= count) return nullptr;
  return items[index];
}

int PointerList::Clear() {
  for (int i = 0; i < count; ++i) {
    if (releaseItem != nullptr) releaseItem(items[i]);
  }
  count = 0;
  Resize();
  return 1;
}

int SortedPointerList::FindInsertPosition(const void* item) const {
  if (count == 0) return 0;
  const int last = count - 1;
  int probe = count / 2;
  int step = count / 2;
  int position;
  for (;;) {
    const int order = compare(item, items[probe]);
    if (step > 1) step /= 2;
    if (order > 0) {
      if (probe == last || compare(item, items[probe + 1]) <= 0) {
        position = probe + 1;
        break;
      }
      probe += step;
      if (probe > last) probe = last;
    } else {
      if (probe == 0 || compare(item, items[probe - 1]) > 0) {
        position = probe;
        break;
      }
      probe -= step;
      if (probe < 0) probe = 0;
    }
  }
  if (allowDuplicates == 0 && position < count && compare(item, items[position]) == 0) return -1;
  return position;
}

int SortedPointerList::Add(void* item) {
  if (compare == nullptr) return PointerList::Add(item);
  const int position = FindInsertPosition(item);
  if (position < 0) return -1;
  if (!Grow()) return -1;
  if (position != count - 1) {
    std::memmove(&items[position + 1], &items[position],
                 static_cast<std::size_t>(count - 1 - position) * sizeof(void*));
  }
  items[position] = item;
  return position;
}

int CompareStrings(const void* newItem, const void* storedItem) {
  const auto* a = static_cast<const unsigned char*>(newItem);
  const auto* b = static_cast<const unsigned char*>(storedItem);
  for (;; ++a, ++b) {
    if (*a != *b) return *a < *b ? -1 : 1;
    if (*a == 0) return 0;
  }
}
