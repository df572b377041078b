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
#include <functional>
#include <optional>
#include <string>
#include <utility>
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

// The keys of SortedOrder's order given one entry at a time, in the entries' order, with the
// fields a display entry has: an order can so be found before the entries themselves exist.
class SortKeys {
  public:
    // Sort key `column` as CompareByColumn takes it; `count` entries are expected.
    SortKeys(std::int32_t column, std::size_t count);

    // True when the key is the shell type name (Add may be given an empty one otherwise).
    bool NeedsType() const { return column_ == 2; }
    // The next entry: shelltype empty for a folder, size 0 for a folder.
    void Add(const std::string& name, const std::string& shelltype, std::int64_t size,
             const std::string& modified, const std::string& attr, const std::string& grpperm,
             const std::string& othperm);
    // Position k of the sorted list holds entry result[k] (counted from the first Add); equal
    // entries keep their order. Once only: the keys are used up.
    std::vector<std::size_t> Order();
    // The same order found in steps: `goOn` is called every few thousand keys (it may pump
    // window messages) and nothing is returned once it answers false. Throws what goOn throws.
    std::optional<std::vector<std::size_t>> Order(const std::function<bool()>& goOn);

  private:
    std::int32_t column_;
    std::string texts_;              // the folded key texts, one after the other
    std::vector<std::size_t> ends_;  // where each entry's text ends in texts_
    std::vector<std::pair<std::int64_t, std::size_t>> sizes_;  // the size key with its entry
};

// Appends from[order[next]] and the entries after it in `order`, at most `count` of them, to
// `to` (moved: they are left empty in `from`), and advances `next` past them. `order` must hold
// indexes of `from` only.
void MoveInOrder(std::vector<rdatalist>& from, const std::vector<std::size_t>& order,
                 std::size_t& next, std::size_t count, std::vector<rdatalist>& to);
