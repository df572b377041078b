// Key comparison of TVeskTableIO: two constant nodes compared as the evaluator's "=" and "<"
// compare them, so that stored index orders and searches follow exactly the evaluator's rules.
#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "engine/expr_compare.h"
#include "engine/expr_node.h"
#include "engine/expr_value.h"
#include "engine/table_io.h"

namespace vesk {

namespace {

// A constant node over a copy of the value, on the stack for the sizes keys have (a search
// compares many times; building nodes on the heap cost more than the comparison). Texts get
// one byte more than the value may hold, left zero, so the evaluator never reads past the copy
// even when the stored text fills its field without a terminator. A Boolean is stored as a
// word whose every non-zero value is true; the node gets 0 or 1 so that no byte order can turn
// a stored true into false.
class TConstantOperand {
  public:
    TConstantOperand(TFieldType fieldType, const void* value, std::int32_t size) {
        size = value ? std::max(size, 0) : 0;
        const bool isText = ValueClassOf(fieldType) == TValueClass::Text;
        const std::int32_t bytes = isText ? size + 1 : size;
        node_.Kind = enConst;
        node_.DataType = fieldType;
        if (bytes < 1)
            return;
        std::uint8_t* copy = inline_.data();
        if (bytes > static_cast<std::int32_t>(inline_.size())) {
            heap_.resize(static_cast<size_t>(bytes));
            copy = heap_.data();
        }
        std::memset(copy, 0, static_cast<size_t>(bytes));
        if (size > 0)
            std::memcpy(copy, value, static_cast<size_t>(size));
        if (fieldType == ftBoolean && size > 0) {
            const bool truth =
                std::any_of(copy, copy + size, [](std::uint8_t b) { return b != 0; });
            std::memset(copy, 0, static_cast<size_t>(size));
            copy[0] = truth ? 1 : 0;
        }
        node_.Value = copy;
        node_.ValueLimit = bytes;
    }
    TConstantOperand(const TConstantOperand&) = delete;
    TConstantOperand& operator=(const TConstantOperand&) = delete;

    TExprNode& Node() { return node_; }

  private:
    std::array<std::uint8_t, 256> inline_;
    std::vector<std::uint8_t> heap_;
    TExprNode node_;
};

}  // namespace

int TVeskTableIO::CompareFieldValue(const void* value1, std::int32_t size1, const void* value2,
                                    std::int32_t size2, TFieldType fieldType, bool caseInsensitive,
                                    bool partialCompare) {
    TConstantOperand leftOperand(fieldType, value1, size1);
    TConstantOperand rightOperand(fieldType, value2, size2);
    TExprNode* left = &leftOperand.Node();
    TExprNode* right = &rightOperand.Node();
    if (partialCompare && ValueClassOf(fieldType) == TValueClass::Text) {
        // A partial key matches every stored text that begins with it.
        const auto keyLength = static_cast<std::int32_t>(ReadText(*left).size());
        left->PartialLength = keyLength;
        right->PartialLength = keyLength;
    }
    TFilterOptions options = 0;
    if (caseInsensitive)
        options |= foCaseInsensitive;
    if (!partialCompare)
        options |= foNoPartialCompare;
    // The evaluator's "=" and "<" both decide by this one comparison of their operands.
    const TCompareResult order = CompareNodes(*left, *right, options);
    if (order == TCompareResult::Equal)
        return 0;
    return order == TCompareResult::Less ? -1 : 1;
}

}  // namespace vesk
