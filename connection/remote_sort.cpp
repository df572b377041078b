#include "connection/remote_sort.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <unordered_map>
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

// Appends `text` to `keys` folded as the collation folds it: the case-ignoring compare of two
// texts is then the plain byte order of their folded forms.
void AppendFolded(std::string& keys, const std::string& text) {
    const std::size_t start = keys.size();
    keys += text;
    for (std::size_t i = start; i < keys.size(); ++i)
        keys[i] = os::AsciiLower(keys[i]);
}

// How many keys a step of the sorts below handles before it asks whether to go on: some
// thousand compares, well under a millisecond.
constexpr std::size_t kStep = 4096;

// Asks goOn every kStep calls; true without a goOn.
class Steps {
  public:
    explicit Steps(const std::function<bool()>& goOn) : goOn_(goOn) {}
    bool Next() {
        if (++count_ < kStep)
            return true;
        count_ = 0;
        return !goOn_ || goOn_();
    }

  private:
    const std::function<bool()>& goOn_;
    std::size_t count_ = 0;
};

// Sorts `keys` (all different: each carries its entry number) as std::sort would, in steps:
// runs of kStep keys are sorted one by one, then merged pairwise. One sort of 100,000 texts
// would hold the window for several milliseconds. False when goOn stopped it.
template <class Key>
bool SortInSteps(std::vector<std::pair<Key, std::size_t>>& keys, Steps& steps) {
    const std::size_t n = keys.size();
    for (std::size_t begin = 0; begin < n; begin += kStep) {
        const std::size_t end = std::min(n, begin + kStep);
        std::sort(keys.begin() + static_cast<std::ptrdiff_t>(begin),
                  keys.begin() + static_cast<std::ptrdiff_t>(end));
        for (std::size_t i = begin; i < end; ++i)
            if (!steps.Next())
                return false;
    }
    std::vector<std::pair<Key, std::size_t>> merged(n);
    for (std::size_t width = kStep; width < n; width *= 2) {
        std::size_t out = 0;
        for (std::size_t low = 0; low < n; low += 2 * width) {
            const std::size_t middle = std::min(n, low + width);
            const std::size_t high = std::min(n, low + 2 * width);
            std::size_t left = low;
            std::size_t right = middle;
            while (left < middle || right < high) {
                const bool takeRight = left == middle || (right < high && keys[right] < keys[left]);
                merged[out++] = takeRight ? keys[right++] : keys[left++];
                if (!steps.Next())
                    return false;
            }
        }
        keys.swap(merged);
    }
    return true;
}

template <class Key>
std::optional<std::vector<std::size_t>> OrderOfKeys(std::vector<std::pair<Key, std::size_t>> keys,
                                                    Steps& steps) {
    if (!SortInSteps(keys, steps))
        return std::nullopt;
    std::vector<std::size_t> order;
    order.reserve(keys.size());
    for (const auto& key : keys)
        order.push_back(key.second);
    return order;
}

// The order of `keys` (key k belongs to entry k) when they hold few distinct texts, as the
// type names of a folder do: each entry is counted under its text's rank, so the texts are
// sorted once each rather than once per entry. Empty when there are more than `most` distinct
// texts (the caller then sorts all keys); nothing when goOn stopped it.
std::optional<std::vector<std::size_t>> OrderOfFewKeys(const std::vector<std::string_view>& keys,
                                                       std::size_t most, Steps& steps) {
    std::unordered_map<std::string_view, std::size_t> ids;
    std::vector<std::string_view> distinct;
    std::vector<std::size_t> idOf;
    idOf.reserve(keys.size());
    for (std::string_view key : keys) {
        const auto [found, added] = ids.try_emplace(key, distinct.size());
        if (added) {
            if (distinct.size() == most)
                return std::vector<std::size_t>();
            distinct.push_back(key);
        }
        idOf.push_back(found->second);
        if (!steps.Next())
            return std::nullopt;
    }
    std::vector<std::size_t> byText(distinct.size());
    for (std::size_t id = 0; id < byText.size(); ++id)
        byText[id] = id;
    std::sort(byText.begin(), byText.end(),
              [&](std::size_t a, std::size_t b) { return distinct[a] < distinct[b]; });
    // Where each text's entries start in the order, then each entry at its text's next place:
    // entries of one text keep their order.
    std::vector<std::size_t> next(distinct.size());
    std::vector<std::size_t> count(distinct.size());
    for (std::size_t id : idOf)
        ++count[id];
    std::size_t start = 0;
    for (std::size_t id : byText) {
        next[id] = start;
        start += count[id];
    }
    std::vector<std::size_t> order(keys.size());
    for (std::size_t i = 0; i < idOf.size(); ++i) {
        order[next[idOf[i]]++] = i;
        if (!steps.Next())
            return std::nullopt;
    }
    return order;
}

}  // namespace

SortKeys::SortKeys(std::int32_t column, std::size_t count)
    : column_(column >= 0 && column <= 4 ? column : 2) {
    if (column_ == 1)
        sizes_.reserve(count);
    else
        ends_.reserve(count);
}

void SortKeys::Add(const std::string& name, const std::string& shelltype, std::int64_t size,
                   const std::string& modified, const std::string& attr, const std::string& grpperm,
                   const std::string& othperm) {
    // The key of the entry's compare, made once per entry and kept side by side with the
    // others in one buffer: an entry is fourteen strings scattered in memory, so comparing the
    // entries themselves makes a folder of 100,000 entries slow to sort.
    switch (column_) {
        case 0:
            AppendFolded(texts_, name);
            break;
        case 1:
            sizes_.emplace_back(size, sizes_.size());
            return;
        case 3:
            AppendFolded(texts_, modified);
            break;
        case 4:
            AppendFolded(texts_, attr);
            AppendFolded(texts_, grpperm);
            AppendFolded(texts_, othperm);
            break;
        default:
            AppendFolded(texts_, shelltype);
            break;
    }
    ends_.push_back(texts_.size());
}

std::vector<std::size_t> SortKeys::Order() {
    return *Order(std::function<bool()>());
}

std::optional<std::vector<std::size_t>> SortKeys::Order(const std::function<bool()>& goOn) {
    Steps steps(goOn);
    // Equal keys keep the order of the entries.
    if (column_ == 1)
        return OrderOfKeys(std::move(sizes_), steps);
    std::vector<std::string_view> texts;
    texts.reserve(ends_.size());
    std::size_t begin = 0;
    for (std::size_t end : ends_) {
        texts.push_back(std::string_view(texts_).substr(begin, end - begin));
        begin = end;
        if (!steps.Next())
            return std::nullopt;
    }
    // The type names of a folder are few (some per extension); names, dates and attributes
    // seldom are, and a first pass that finds them many costs little.
    constexpr std::size_t kFewTexts = 256;
    std::optional<std::vector<std::size_t>> few = OrderOfFewKeys(texts, kFewTexts, steps);
    if (!few || !few->empty())
        return few;
    std::vector<std::pair<std::string_view, std::size_t>> keys;
    keys.reserve(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        keys.emplace_back(texts[i], i);
        if (!steps.Next())
            return std::nullopt;
    }
    return OrderOfKeys(std::move(keys), steps);
}

std::vector<std::size_t> SortedOrder(const std::vector<rdatalist>& entries, std::int32_t column) {
    SortKeys keys(column, entries.size());
    for (const rdatalist& entry : entries) {
        keys.Add(entry.name, entry.shelltype, entry.size, entry.modified, entry.attr, entry.grpperm,
                 entry.othperm);
    }
    return keys.Order();
}

void MoveInOrder(std::vector<rdatalist>& from, const std::vector<std::size_t>& order,
                 std::size_t& next, std::size_t count, std::vector<rdatalist>& to) {
    // The entries are read in sorted order, which is all over memory: asking for the cache
    // lines of an entry some steps ahead lets their loads overlap instead of waiting for each
    // in turn.
    constexpr std::size_t kAhead = 8;
    constexpr std::size_t kLine = 64;
    const std::size_t end = std::min(order.size(), next + count);
    for (; next < end; ++next) {
        if (next + kAhead < order.size()) {
            const char* ahead = reinterpret_cast<const char*>(&from[order[next + kAhead]]);
            for (std::size_t offset = 0; offset < sizeof(rdatalist); offset += kLine)
                __builtin_prefetch(ahead + offset);
        }
        to.push_back(std::move(from[order[next]]));
    }
}

void SortEntries(std::vector<rdatalist>& entries, std::int32_t column) {
    // Each entry moves once, into a new list.
    const std::vector<std::size_t> order = SortedOrder(entries, column);
    std::vector<rdatalist> sorted;
    sorted.reserve(entries.size());
    std::size_t next = 0;
    MoveInOrder(entries, order, next, order.size(), sorted);
    entries.swap(sorted);
}
