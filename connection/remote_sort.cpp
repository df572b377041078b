#include "connection/remote_sort.h"

#include <algorithm>
#include <string>

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

void SortEntries(std::vector<rdatalist>& entries, std::int32_t column) {
    // The compare is a strict weak order (the collation is a total order on the folded
    // texts), which std::sort needs; it moves the entries' strings, never copies them.
    using Compare = int (*)(const rdatalist&, const rdatalist&);
    static const Compare kCompares[5] = {CompareByName, CompareBySize, CompareByType, CompareByDate,
                                         CompareByAttributes};
    const Compare compare = column >= 0 && column < 5 ? kCompares[column] : CompareByType;
    std::sort(entries.begin(), entries.end(),
              [compare](const rdatalist& left, const rdatalist& right) {
                  return compare(left, right) < 0;
              });
}
