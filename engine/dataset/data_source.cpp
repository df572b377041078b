#include "engine/dataset/data_source.h"

#include <algorithm>

#include "engine/dataset/tde_dataset.h"
#include "platform/os/collation.h"

namespace vesk {

namespace {

template <typename T>
void Remove(std::vector<T*>& items, T* item) {
    items.erase(std::remove(items.begin(), items.end(), item), items.end());
}

bool SameName(const std::string& a, const std::string& b) {
    return os::CompareAnsiText(a, b, true) == 0;
}

}  // namespace

TDataSource::TDataSource(TTDEDataSet* dataSet) {
    SetDataSet(dataSet);
}

TDataSource::~TDataSource() {
    SetDataSet(nullptr);
    for (TMasterDataLink* link : links_)
        link->source_ = nullptr;
}

void TDataSource::SetDataSet(TTDEDataSet* dataSet) {
    if (dataSet == dataSet_)
        return;
    if (dataSet_ != nullptr)
        Remove(dataSet_->dataSources_, this);
    dataSet_ = dataSet;
    if (dataSet_ != nullptr)
        dataSet_->dataSources_.push_back(this);
}

void TDataSource::DataChanged(const TField* field) {
    // A listener may change the list (a detail that unlinks itself): walk a copy.
    const std::vector<TMasterDataLink*> links = links_;
    for (TMasterDataLink* link : links)
        link->Changed(field);
}

void TDataSource::DataDisabled() {
    const std::vector<TMasterDataLink*> links = links_;
    for (TMasterDataLink* link : links)
        link->Disabled();
}

TMasterDataLink::~TMasterDataLink() {
    SetDataSource(nullptr);
}

void TMasterDataLink::SetDataSource(TDataSource* source) {
    if (source == source_)
        return;
    if (source_ != nullptr)
        Remove(source_->links_, this);
    source_ = source;
    if (source_ != nullptr)
        source_->links_.push_back(this);
}

bool TMasterDataLink::Active() const {
    return source_ != nullptr && source_->DataSet() != nullptr && source_->DataSet()->Active();
}

std::vector<std::string> TMasterDataLink::SplitNames(const std::string& names) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start < names.size()) {
        const std::size_t end = std::min(names.find(';', start), names.size());
        if (end > start)
            parts.push_back(names.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::vector<TField*> TMasterDataLink::Fields() const {
    std::vector<TField*> fields;
    if (!Active())
        return fields;
    for (const std::string& name : SplitNames(fieldNames_))
        fields.push_back(&source_->DataSet()->FieldByName(name));
    return fields;
}

void TMasterDataLink::SetFieldNames(const std::string& names) {
    const std::string previous = fieldNames_;
    fieldNames_ = names;
    try {
        Fields();
        if (OnMasterChange && Active())
            OnMasterChange();
    } catch (...) {
        // Neither a name the master lacks nor a follower that cannot take the new fields
        // leaves the link on names that fail again at every move of the master.
        fieldNames_ = previous;
        throw;
    }
}

void TMasterDataLink::Changed(const TField* field) {
    if (!OnMasterChange || !Active())
        return;
    if (field != nullptr) {
        const std::vector<std::string> names = SplitNames(fieldNames_);
        const bool named = std::any_of(names.begin(), names.end(), [&](const std::string& name) {
            return SameName(name, field->FieldName());
        });
        if (!named)
            return;
    }
    OnMasterChange();
}

void TMasterDataLink::Disabled() {
    if (OnMasterDisable)
        OnMasterDisable();
}

}  // namespace vesk
