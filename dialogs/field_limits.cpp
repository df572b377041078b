#include "dialogs/field_limits.h"

#include <QLineEdit>

#include "platform/ui/byte_limit.h"
#include "shared/text_fields.h"

namespace dialogs {

void LimitToFields(vesk::TVeskTable& table, const std::vector<FieldEdit>& edits) {
    std::vector<std::string_view> names;
    for (const FieldEdit& edit : edits)
        names.push_back(edit.field);
    const std::vector<std::size_t> sizes = shared::TextFieldSizes(table, names);
    for (std::size_t i = 0; i < edits.size(); ++i)
        ui::LimitUtf8Bytes(*edits[i].edit, sizes[i]);
}

}  // namespace dialogs
