#include "connection/remote_sort.h"

#include <algorithm>
#include <string>
#include <utility>

#include "platform/os/collation.h"

namespace {

int TextCompare(const std::string& left, const std::string& right) {
    return os::CompareAnsiText(left, right, /*caseInsensitive=*/true);
}

}  // namespace

int CompareByName(const rdatalist& left, const rdatalist& right) {
    return TextCompare(left.name, right.name);
}

int CompareBySize(const rdatalist& left, const rdatalist& right) {
    return left.size < right.size ? -1 : (left.size > right.size ? 1 : 0);
}

int CompareByType(const rdatalist& left, const rdatalist& right) {
    return TextCompare(left.shelltype, right.shelltype);
}

int CompareByDate(const rdatalist& left, const rdatalist& right) {
    return TextCompare(left.modified, right.modified);
}

int CompareByAttributes(const rdatalist& left, const rdatalist& right) {
    return TextCompare(left.attr + left.grpperm + left.othperm,
                       right.attr + right.grpperm + right.othperm);
}

int CompareByColumn(const rdatalist& left, const rdatalist& right, std::int32_t column) {
    switch (column) {
        case 0:
            return CompareByName(left, right);
        case 1:
            return CompareBySize(left, right);
        case 3:
            return CompareByDate(left, right);
        case 4:
            return CompareByAttributes(left, right);
        default:
            return CompareByType(left, right);
    }
}

namespace {

// The text a compare above looks at for `column`, folded as the collation folds it: the
// case-ignoring compare of two texts is then the plain byte order of their folded forms.
std::string FoldedKey(const rdatalist& entry, std::int32_t column) {
    std::string key;
    switch (column) {
        case 0:
            key = entry.name;
            break;
        case 3:
            key = entry.modified;
            break;
        case 4:
            key = entry.attr + entry.grpperm + entry.othperm;
            break;
        default:
            key = entry.shelltype;
            break;
    }
    for (char& c : key)
        c = os::AsciiLower(c);
    return key;
}

template <class Key>
void SortByKeys(std::vector<rdatalist>& entries, std::vector<std::pair<Key, std::size_t>> keys) {
    std::sort(keys.begin(), keys.end());
    std::vector<rdatalist> sorted;
    sorted.reserve(entries.size());
    for (const auto& key : keys)
        sorted.push_back(std::move(entries[key.second]));
    entries.swap(sorted);
}

}  // namespace

void SortEntries(std::vector<rdatalist>& entries, std::int32_t column) {
    // The order of the compares above, by keys made once per entry: an entry is fourteen
    // strings scattered in memory, so comparing entries themselves makes a folder of 100,000
    // entries slow to sort. Each entry moves once, at the end.
    if (column == 1) {
        std::vector<std::pair<std::int64_t, std::size_t>> keys;
        keys.reserve(entries.size());
        for (std::size_t i = 0; i < entries.size(); ++i)
            keys.emplace_back(entries[i].size, i);
        SortByKeys(entries, std::move(keys));
        return;
    }
    std::vector<std::pair<std::string, std::size_t>> keys;
    keys.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i)
        keys.emplace_back(FoldedKey(entries[i], column), i);
    SortByKeys(entries, std::move(keys));
}
