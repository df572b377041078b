#pragma once
// The small value types of the data-set interface: states, read modes and results, bookmark
// flags, error actions and the Locate and filter options.
#include <cstdint>

// The filter options (foCaseInsensitive, foNoPartialCompare) are the expression evaluator's.
#include "engine/expr_node.h"

namespace vesk {

enum class TDataSetState {
    dsInactive,
    dsBrowse,
    dsEdit,
    dsInsert,
    dsSetKey,
    dsCalcFields,
    dsFilter,
    dsNewValue,
};

// How GetRecord moves the cursor and what it found.
enum class TGetMode { gmCurrent, gmNext, gmPrior };
enum class TGetResult { grOK, grBOF, grEOF, grError };

// Which kind of row a record buffer holds.
enum class TBookmarkFlag : std::uint8_t { bfCurrent, bfBOF, bfEOF, bfInserted };

// The answer of an error event to a failing post, edit or delete.
enum class TDataAction { daFail, daAbort, daRetry };

struct TLocateOptions {
    bool caseInsensitive = false;
    bool partialKey = false;
};

}  // namespace vesk
