#pragma once
// The field objects of an open data set, in column order; the list owns them.
#include <memory>
#include <string_view>
#include <vector>

#include "engine/dataset/field.h"

namespace vesk {

class TFields {
  public:
    std::int32_t Count() const { return static_cast<std::int32_t>(fields_.size()); }
    // Throws std::out_of_range outside 0..Count-1.
    TField& Fields(std::int32_t index) const { return *fields_.at(static_cast<size_t>(index)); }
    // The first field whose name equals name ignoring case; nullptr when none.
    TField* FindField(std::string_view name) const;
    // The field with that field number; nullptr when none.
    TField* FieldByNumber(std::int32_t fieldNo) const;
    TField& Add(std::unique_ptr<TField> field);
    void Clear() { fields_.clear(); }

  private:
    std::vector<std::unique_ptr<TField>> fields_;
};

}  // namespace vesk
