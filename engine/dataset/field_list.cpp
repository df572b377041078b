#include "engine/dataset/field_list.h"

#include "platform/os/collation.h"

namespace vesk {

TField* TFields::FindField(std::string_view name) const {
    for (const auto& field : fields_)
        if (os::CompareAnsiText(field->FieldName(), name, true) == 0)
            return field.get();
    return nullptr;
}

TField* TFields::FieldByNumber(std::int32_t fieldNo) const {
    for (const auto& field : fields_)
        if (field->FieldNo() == fieldNo)
            return field.get();
    return nullptr;
}

TField& TFields::Add(std::unique_ptr<TField> field) {
    fields_.push_back(std::move(field));
    return *fields_.back();
}

}  // namespace vesk
