#include "shared/text_fields.h"

#include <memory>
#include <string>

#include "engine/dataset/vesk_table.h"
#include "platform/os/utf8.h"
#include "shared/open_table.h"

namespace shared {

void SetCutText(vesk::TField& field, std::string_view value) {
    const std::int32_t size = field.Size();
    if (!vesk::IsTextKind(field.DataType()) || size <= 0) {
        field.SetAsString(std::string(value));  // no length to cut to
        return;
    }
    field.SetAsString(std::string(os::CutUtf8(value, static_cast<std::size_t>(size))));
}

std::vector<std::size_t> TextFieldSizes(vesk::TVeskTable& table,
                                        const std::vector<std::string_view>& names) {
    // A table someone else holds open keeps its state and its current row.
    std::unique_ptr<OpenTable> opened;
    if (!table.Active())
        opened = std::make_unique<OpenTable>(table);
    std::vector<std::size_t> sizes;
    for (const std::string_view name : names) {
        const std::int32_t size = table.FieldByName(name).Size();
        sizes.push_back(size > 0 ? static_cast<std::size_t>(size) : 0);
    }
    return sizes;
}

}  // namespace shared
