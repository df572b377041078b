#pragma once
// The order of the remote list: five sort keys over display entries, each a compare that
// returns negative, zero or positive (ascending). The texts compare by the program's fixed
// collation with case ignored, so names that differ only in case are equal.
//   0 CompareByName        the name
//   1 CompareBySize        the size in bytes (folders are 0)
//   2 CompareByType        the shell type name (empty for folders: folders first)
//   3 CompareByDate        the modified text ("yyyy-mm-dd hh:mm:ss": text order is time order)
//   4 CompareByAttributes  attr + grpperm + othperm as one text
// There is no descending order; entries that compare equal keep no particular order.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "connection/rdatalist.h"

int CompareByName(const rdatalist& left, const rdatalist& right);
int CompareBySize(const rdatalist& left, const rdatalist& right);
int CompareByType(const rdatalist& left, const rdatalist& right);
int CompareByDate(const rdatalist& left, const rdatalist& right);
int CompareByAttributes(const rdatalist& left, const rdatalist& right);

// The compare of sort key `column`; a key out of 0 to 4 sorts by type, the page's default.
int CompareByColumn(const rdatalist& left, const rdatalist& right, std::int32_t column);

// Sorts `entries` in place by `column`.
void SortEntries(std::vector<rdatalist>& entries, std::int32_t column);

// The order SortEntries gives, without moving anything: position k of the sorted list holds
// entries[result[k]]. Equal entries keep their order.
std::vector<std::size_t> SortedOrder(const std::vector<rdatalist>& entries, std::int32_t column);

// Appends from[order[next]] and the entries after it in `order`, at most `count` of them, to
// `to` (moved: they are left empty in `from`), and advances `next` past them. `order` must hold
// indexes of `from` only.
void MoveInOrder(std::vector<rdatalist>& from, const std::vector<std::size_t>& order,
                 std::size_t& next, std::size_t count, std::vector<rdatalist>& to);
