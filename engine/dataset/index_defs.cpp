#include "engine/dataset/index_defs.h"

#include "platform/os/collation.h"

namespace vesk {

std::string QuoteFieldName(const std::string& name) {
    if (name.find_first_of(" ,\"") == std::string::npos)
        return name;
    return "\"" + name + "\"";
}

std::int32_t TIndexDefs::IndexOf(const std::string& name) const {
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (os::CompareAnsiText(items_[i].Name, name, true) == 0)
            return static_cast<std::int32_t>(i);
    return -1;
}

void TIndexDefs::Assign(const TVeskIndexDefs& indexes, const TVeskFieldDefs& fields) {
    items_.clear();
    for (std::int32_t i = 0; i < indexes.Count(); ++i) {
        const TVeskIndexDef& index = indexes.Items(i);
        TIndexDef def;
        def.Name = index.Name;
        for (std::size_t k = 0; k < index.FieldNumbers.size(); ++k) {
            const std::int32_t fieldNo = index.FieldNumbers[k];
            const std::string name = fieldNo >= 0 && fieldNo < fields.Count()
                                         ? fields.Items(fieldNo).Name
                                         : std::string();
            if (k > 0)
                def.Fields += ",";
            def.Fields += QuoteFieldName(name);
        }
        def.Options.primary = index.Has(tiPrimary);
        def.Options.unique = index.Has(tiUnique);
        def.Options.descending = index.Has(tiDescending);
        def.Options.caseInsensitive = index.Has(tiCaseInsensitive);
        items_.push_back(std::move(def));
    }
}

}  // namespace vesk
