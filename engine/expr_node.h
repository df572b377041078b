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
// Errors (all EDatabaseError): "Type mismatch in expression" for an operator or function whose
// operand classes cannot be computed (nothing is written then); "Division by zero"; a value
// shorter than its type needs, or missing, is refused rather than read past its end. A node
// that throws keeps the value it had before.
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
    toEQ,  // =
    toNE,  // <>
    toGT,  // >
    toLT,  // <
    toGE,  // >=
    toLE,  // <=
    toNOT,
    toAND,
    toOR,
    toADD,  // +
    toSUB,  // -
    toMUL,  // *
    toDIV,  // /
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

    // One evaluation step on operands that are already evaluated; the result goes into
    // resultNode's own value (resized as needed) and its DataType.
    static void EvaluateOperator(TExprNode* resultNode, TExprOperator op, TExprNode* left,
                                 TExprNode* right, const std::vector<TExprNode*>& args,
                                 TFilterOptions options);
    static void EvaluateFunction(TExprNode* resultNode, TExprFuncKind kind,
                                 const std::vector<TExprNode*>& args);

    // Type tests of the filter parser.
    static bool IsIntegerType(TFieldType type);  // ftSmallint, ftInteger, ftWord, ftAutoInc
    static bool IsLargeIntType(TFieldType type);
    static bool IsFloatType(TFieldType type);  // ftFloat, ftCurrency
    static bool IsNumericType(TFieldType type);
    static bool IsDateTimeType(TFieldType type);  // ftDate, ftTime, ftDateTime
    static bool IsBooleanType(TFieldType type);
    static bool IsStringType(TFieldType type);  // the text types and every blob kind

    // The node is a text constant whose text reads as a date, a time or both. Never throws.
    bool IsDateTimeString() const;
    // Turns a text constant into an ftDate, ftTime or ftDateTime constant. Throws
    // EDatabaseError("'<text>' is not a valid date" / time / date and time) for text nobody
    // accepts and "Type mismatch in expression" for any other node or target type; the node is
    // unchanged then.
    void ConvertToDateTime(TFieldType toType);

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
    // A function node: DataType from the parser's GetFuncDataType (ftUnknown without a
    // parser), FuncKind from the name, no value yet.
    TExprNode* NewFuncNode(const std::string& name);
    // A field node: DataType, FieldIndex and IsBlob from the parser, which raises
    // "Field '%s' not found" for a name its data set lacks (then no node is made).
    // Without a parser: EDatabaseError.
    TExprNode* NewFieldNode(const std::string& name);
    void Clear();

    TExprParserBase* Parser = nullptr;
    TExprNode* Head = nullptr;
    TExprNode* Root = nullptr;
};

}  // namespace vesk
