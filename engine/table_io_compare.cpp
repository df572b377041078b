// Key comparison of TVeskTableIO: two constant nodes joined by "=" and then "<", so that stored
// index orders and searches follow exactly the evaluator's rules.
#include <algorithm>
#include <cstring>

#include "engine/expr_node.h"
#include "engine/expr_value.h"
#include "engine/table_io.h"

namespace vesk {

namespace {

// A constant node holding a copy of the value. Texts get one byte more than the value may
// hold, left zero, so the evaluator never reads past the copy even when the stored text fills
// its field without a terminator. A Boolean is stored as a word whose every non-zero value is
// true; the node gets 0 or 1 so that no byte order can turn a stored true into false.
TExprNode* ConstantOf(TExprNodes& nodes, TFieldType fieldType, const void* value,
                      std::int32_t size) {
    size = value ? std::max(size, 0) : 0;
    const bool isText = ValueClassOf(fieldType) == TValueClass::Text;
    TExprNode* node =
        nodes.NewNode(enConst, fieldType, isText ? size + 1 : size, toNOTDEFINED, nullptr, nullptr);
    if (size > 0)
        std::memcpy(node->Value, value, static_cast<size_t>(size));
    if (fieldType == ftBoolean && size > 0) {
        const auto* bytes = static_cast<const std::uint8_t*>(value);
        const bool truth = std::any_of(bytes, bytes + size, [](std::uint8_t b) { return b != 0; });
        std::memset(node->Value, 0, static_cast<size_t>(size));
        static_cast<std::uint8_t*>(node->Value)[0] = truth ? 1 : 0;
    }
    return node;
}

}  // namespace

int TVeskTableIO::CompareFieldValue(const void* value1, std::int32_t size1, const void* value2,
                                    std::int32_t size2, TFieldType fieldType, bool caseInsensitive,
                                    bool partialCompare) {
    TExprNodes nodes;
    TExprNode* left = ConstantOf(nodes, fieldType, value1, size1);
    TExprNode* right = ConstantOf(nodes, fieldType, value2, size2);
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
    TExprNode* equal = nodes.NewNode(enOperator, ftBoolean, 0, toEQ, left, right);
    equal->Calculate(options);
    if (equal->AsBoolean())
        return 0;
    TExprNode* less = nodes.NewNode(enOperator, ftBoolean, 0, toLT, left, right);
    less->Calculate(options);
    return less->AsBoolean() ? -1 : 1;
}

}  // namespace vesk
