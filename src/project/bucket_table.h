// A table of items by bucket, filled in two walks over the same items: the
// items of bucket b lie at start[b] .. start[b + 1] of `items`, in the order
// the walk gives them.
#pragma once

#include <cstddef>
#include <vector>

namespace vm {

// walk(put) calls put(bucket, item) for every item, the same calls both
// times; the first walk counts the buckets, the second files the items.
template <typename Index, typename Item, typename Walk>
void FillBucketTable(std::size_t buckets, std::vector<Index>& start, std::vector<Item>& items,
                     Walk&& walk) {
  start.assign(buckets + 1, 0);
  walk([&](std::size_t b, const Item&) { ++start[b]; });
  // Counts become each bucket's first place ...
  Index sum = 0;
  for (std::size_t b = 0; b < buckets; ++b) {
    const Index here = start[b];
    start[b] = sum;
    sum += here;
  }
  start[buckets] = sum;
  items.resize(static_cast<std::size_t>(sum));
  // ... which filing moves on to the bucket's end, the next bucket's first
  // place: moved up by one bucket they are the first places again.
  walk(
      [&](std::size_t b, const Item& item) { items[static_cast<std::size_t>(start[b]++)] = item; });
  for (std::size_t b = buckets; b > 1; --b) start[b - 1] = start[b - 2];
  start[0] = 0;
}

}  // namespace vm
