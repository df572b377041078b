#pragma once
// The bisection every key search of the engine runs over an ordered list, in one place so that
// the storage search and the in-memory key cache can never disagree on where a key lands.
#include <cstdint>
#include <optional>

namespace vesk {

// Bisects positions 0 .. count-1. compareAt(mid) compares the search key with the key at mid
// (negative: the key belongs before it, positive: after it, 0: equal) or returns std::nullopt to
// give the search up, in which case BisectKeys returns std::nullopt.
// Otherwise the result is the position of the last key compared, with indicator 0 (equal key
// found, the bisection stops at the first one it meets), 1 (the key belongs after it), -1 (before
// it), or -1 with indicator -2 when count is 0. Throws whatever compareAt throws.
template <class CompareAt>
std::optional<std::int32_t> BisectKeys(std::int32_t count, std::int32_t& indicator,
                                       CompareAt&& compareAt) {
    std::int32_t lo = 0;
    std::int32_t hi = count - 1;
    std::int32_t result = -1;
    indicator = -2;
    while (lo <= hi) {
        const std::int32_t mid = lo + (hi - lo) / 2;
        const std::optional<int> compared = compareAt(mid);
        if (!compared)
            return std::nullopt;
        result = mid;
        if (*compared > 0) {
            lo = mid + 1;
            indicator = 1;
        } else if (*compared < 0) {
            hi = mid - 1;
            indicator = -1;
        } else {
            indicator = 0;
            break;
        }
    }
    return result;
}

}  // namespace vesk
