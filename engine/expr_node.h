#pragma once
// Expression trees: the nodes the storage layer builds to compare two key values (which fixes
// the order of every index in every database file) and the filter parser builds from a filter
// text.
//
// Ownership: a TExprNodes owns every node it made; freeing it, or Clear, frees them all.
// A node's Value either points into its own storage (ValueSize > 0 bytes) or, for field nodes
// and values given from outside, at bytes it does not own (ValueSize 0; ValueLimit then bounds
// how many bytes may be read there). Texts are read up to their first zero byte and never past
// the bytes the node may read.
//
// Errors: EDatabaseError("Type mismatch in expression") for an operator whose operand classes
// cannot be computed; the run time's division error for a division by zero.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/field_type.h"

namespace vesk {

enum TExprNodeKind : std::uint8_t { enField = 0, enConst = 1, enFunc = 2, enOperator = 3 };

enum TExprOperator : std::uint8_t {
    toNOTDEFINED = 0,
    toEQ,    // =
    toNE,    // <>
    toGT,    // >
    toLT,    // <
    toGE,    // >=
    toLE,    // <=
    toNOT,
    toAND,
    toOR,
    toADD,   // +
    toSUB,   // -
    toMUL,   // *
    toDIV,   // /
    toLIKE,
    toIN,
};

// Function numbers of function nodes (0: not a function).
enum TExprFuncKind : std::uint8_t {
    fkNone = 0,
    fkUpper = 1,
    fkLower,
    fkSubstring,
    fkTrim,
    fkTrimLeft,
    fkTrimRight,
    fkYear,
    fkMonth,
    fkDay,
    fkHour,
    fkMinute,
    fkSecond,
    fkGetDate,
};

// The filter options of one evaluation (a set).
enum TFilterOption : std::uint8_t { foCaseInsensitive = 1, foNoPartialCompare = 2 };
using TFilterOptions = std::uint8_t;

class TExprNodes;
class TExprParserBase;  // the filter parser; it supplies field and function types

class TExprNode {
public:
    TExprNodes* Owner = nullptr;
    TExprNode* Next = nullptr;
    TExprNodeKind Kind = enConst;
    TExprOperator Operator = toNOTDEFINED;
    TExprFuncKind FuncKind = fkNone;
    std::string Name;
    void* Value = nullptr;
    std::int32_t ValueSize = 0;   // bytes owned at Value; 0 when not owned
    std::int32_t ValueLimit = 0;  // bytes readable at a Value that is not owned
    TExprNode* Left = nullptr;
    TExprNode* Right = nullptr;
    TFieldType DataType = ftUnknown;
    std::vector<TExprNode*> Args;
    bool IsBlob = false;
    std::int32_t FieldIndex = -1;
    std::string BlobText;
    std::int32_t PartialLength = -1;  // leading characters a partial comparison looks at

    // Evaluates the tree below this node; Value then holds the result.
    void Calculate(TFilterOptions options);
    // The first byte of Value is not 0 (false when there is no value).
    bool AsBoolean() const;
    // Resizes the owned value (see the header comment of the source for the rules).
    void SetDataSize(std::int32_t size);
    // Function number of a name, ASCII case ignored; fkNone for anything else.
    static TExprFuncKind GetFuncKind(std::string_view name);

private:
    friend class TExprNodes;
    std::vector<std::uint8_t> storage_;
};

class TExprNodes {
public:
    explicit TExprNodes(TExprParserBase* parser = nullptr) : Parser(parser) {}
    ~TExprNodes();
    TExprNodes(const TExprNodes&) = delete;
    TExprNodes& operator=(const TExprNodes&) = delete;

    // A node with a zero-filled value of valueSize bytes (none for 0), PartialLength -1, put at
    // the head of the list.
    TExprNode* NewNode(TExprNodeKind kind, TFieldType dataType, std::int32_t valueSize,
                       TExprOperator op, TExprNode* left, TExprNode* right);
    void Clear();

    TExprParserBase* Parser = nullptr;
    TExprNode* Head = nullptr;
    TExprNode* Root = nullptr;
};

}  // namespace vesk
