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
