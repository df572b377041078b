#pragma once
// The index definitions a table component shows its callers: a copy of the table's indexes
// with their key fields as one text and their options, filled at open.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/table_defs.h"

namespace vesk {

struct TIndexOptions {
    bool primary = false;
    bool unique = false;
    bool descending = false;
    bool caseInsensitive = false;
    bool operator==(const TIndexOptions&) const = default;
};

struct TIndexDef {
    std::string Name;
    std::string Fields;  // key field names separated by commas, each quoted when needed
    TIndexOptions Options;
};

class TIndexDefs {
  public:
    std::int32_t Count() const { return static_cast<std::int32_t>(items_.size()); }
    // Throws std::out_of_range outside 0..Count-1.
    const TIndexDef& Items(std::int32_t index) const {
        return items_.at(static_cast<size_t>(index));
    }
    // Position of the first definition named name (case ignored); -1 when none.
    std::int32_t IndexOf(const std::string& name) const;
    void Clear() { items_.clear(); }
    // One entry per index of the table, its key fields named from fields.
    void Assign(const TVeskIndexDefs& indexes, const TVeskFieldDefs& fields);

  private:
    std::vector<TIndexDef> items_;
};

// A field name as it stands in a key field list: enclosed in double quotes when it holds a
// blank, a comma or a quote.
std::string QuoteFieldName(const std::string& name);

}  // namespace vesk
