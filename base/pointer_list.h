// The one container of the system: a growable array of untyped element
// pointers, with an optional release callback and, in SortedPointerList, an
// optional ordering function and a duplicates flag.
//
// Storage grows and shrinks in steps of growthStep (1024) slots, never by
// doubling. The list stores pointers only; it hands each element to
// releaseItem, when one is set, as it is cleared or destroyed. The fields are
// public: the creator sets releaseItem, compare and allowDuplicates right after
// construction, before the first Add.
#ifndef TARNWICK_BASE_POINTER_LIST_H
#define TARNWICK_BASE_POINTER_LIST_H

typedef void (*ReleaseItemFn)(void* item);
// compare(new element, stored element): negative, 0 or positive when the new
// element sorts before, equal to or after the stored one.
typedef int (*CompareFn)(const void* newItem, const void* storedItem);

class PointerList {
 public:
  PointerList() = default;
  virtual ~PointerList();
  PointerList(const PointerList&) = delete;
  PointerList& operator=(const PointerList&) = delete;

  // Appends; returns the new element's index, or -1 when no storage could be
  // had (the list is then unchanged and the element stays the caller's).
  virtual int Add(void* item);

  void* GetAt(int index) const;
  int GetCount() const { return count; }
  // Hands every element to releaseItem (if set), empties the list and gives
  // up its storage. Returns 1.
  int Clear();

  int capacity = 0;
  ReleaseItemFn releaseItem = nullptr;
  int growthStep = 1024;
  void** items = nullptr;
  int count = 0;

 protected:
  // Fits capacity to count. Returns 1 when the storage is in place (or the
  // list is empty), 0 when it cannot be obtained; the old storage, count and
  // capacity are then left as they were.
  int Resize();
  // Makes room for one more element at the end; false (and nothing changed)
  // when the storage cannot grow.
  bool Grow();
};

class SortedPointerList : public PointerList {
 public:
  // Ordered insert when compare is set, else append. Returns the index, or
  // -1 for a refused duplicate or when no storage could be had.
  int Add(void* item) override;
  // Lower-bound binary search: the index of the first stored element that
  // does not sort before item; -1 when duplicates are refused and that
  // element equals item.
  int FindInsertPosition(const void* item) const;

  CompareFn compare = nullptr;
  int allowDuplicates = 0;
};

// Orders NUL-terminated byte strings by unsigned byte value, case-sensitive:
// -1, 0 or 1.
int CompareStrings(const void* newItem, const void* storedItem);

#endif
