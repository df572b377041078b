// The master-detail link of the table component and its key ranges: the rows whose leading
// fields of the current index equal the master's current values.
#include <cstring>
#include <set>

#include "engine/dataset/field_convert.h"
#include "engine/dataset/vesk_table.h"
#include "engine/expr_node.h"

namespace vesk {

namespace {

// The master field's value into the detail field (of the detail's active buffer).
void CopyFieldValue(const TField& from, TField& to) {
    if (from.DataType() == to.DataType() && from.DataSize() == to.DataSize() && !from.IsBlob()) {
        std::vector<std::uint8_t> value(static_cast<size_t>(from.DataSize()), 0);
        from.DataSet().GetFieldData(from, value.data());
        to.DataSet().SetFieldData(to, value.data());
    } else if (TExprNode::IsIntegerType(from.DataType()) &&
               TExprNode::IsIntegerType(to.DataType())) {
        to.SetAsInteger(from.AsInteger());
    } else if (from.DataType() == ftBoolean && to.DataType() == ftBoolean) {
        to.SetAsBoolean(from.AsBoolean());
    } else {
        to.SetAsString(from.AsString());  // the field's own refusal for what it cannot take
    }
}

}  // namespace

void TVeskTable::SetMasterSource(TDataSource* source) {
    // Following the masters from the new source must not lead back here.
    std::set<const TTDEDataSet*> met;
    for (TDataSource* at = source; at != nullptr && at->DataSet() != nullptr;
         at = at->DataSet()->GetDataSource()) {
        if (at->DataSet() == this)
            Raise("Circular datalinks are not allowed");
        if (!met.insert(at->DataSet()).second)
            break;
    }
    masterLink_.SetDataSource(source);
}

void TVeskTable::SetMasterFields(const std::string& names) {
    masterLink_.SetFieldNames(names);
}

void TVeskTable::MasterChanged() {
    if (Active())
        ApplyMasterRange(masterLink_.Fields());
}

void TVeskTable::MasterDisabled() {
    if (Active())
        CancelRange();
}

bool TVeskTable::CheckMasterRange() {
    if (!masterLink_.Active())
        return false;
    const std::vector<TField*> fields = masterLink_.Fields();
    if (fields.empty() || indexIdx_ < 0)
        return false;
    ApplyMasterRange(fields);
    return true;
}

void TVeskTable::SetRangeKey(TRecordBuffer& key, const std::vector<TField*>& masterFields) {
    const TVeskIndexDef& index = tableIO_->IndexDefs().Items(indexIdx_);
    if (masterFields.size() > index.FieldNumbers.size())
        Raise("Field index out of range");
    TTempState keyState(*this, TDataSetState::dsSetKey, &key);
    InternalInitRecord(key);
    for (std::size_t i = 0; i < masterFields.size(); ++i) {
        TField* keyField = Fields().FieldByNumber(index.FieldNumbers[i] + 1);
        if (keyField == nullptr)
            Raise("Field index out of range");
        CopyFieldValue(*masterFields[i], *keyField);
    }
}

void TVeskTable::ApplyMasterRange(const std::vector<TField*>& masterFields) {
    if (indexIdx_ < 0 || masterFields.empty())
        return;  // physical order: the master is ignored
    CheckBrowseMode();
    SetRangeKey(*FWorkBuffers[0], masterFields);
    SetRangeKey(*FWorkBuffers[1], masterFields);
    rangeFieldCount_ = static_cast<std::int32_t>(masterFields.size());
    LoadCurrentList(indexIdx_);
    NarrowToRange();
    rangeActive_ = true;
    // The filter narrows the range in turn, as a refresh makes it.
    if (Filtered())
        ActivateFilters();
    ReadFirst();
    NotifyDataChanged();
}

std::int32_t TVeskTable::SearchRangeStart(const TRecordList& list) {
    std::int32_t indicator = 0;
    const std::int32_t pos =
        tableIO_->SearchIndexedFieldBound(FillFieldBuffers(*FWorkBuffers[0]), list, indexIdx_, true,
                                          indicator, rangeFieldCount_, false);
    return indicator == 1 ? pos + 1 : pos;
}

std::int32_t TVeskTable::SearchRangeEnd(const TRecordList& list) {
    std::int32_t indicator = 0;
    const std::int32_t pos =
        tableIO_->SearchIndexedFieldBound(FillFieldBuffers(*FWorkBuffers[1]), list, indexIdx_,
                                          false, indicator, rangeFieldCount_, false);
    return indicator == -1 ? pos - 1 : pos;
}

void TVeskTable::NarrowToRange() {
    TRecordList& list = *currentList_;
    if (!list.empty()) {
        const std::int32_t start = std::max(SearchRangeStart(list), 0);
        const std::int32_t end =
            std::min(SearchRangeEnd(list), static_cast<std::int32_t>(list.size()) - 1);
        if (end < start)
            list.clear();
        else
            list = TRecordList(list.begin() + start, list.begin() + end + 1);
    }
    listNarrowed_ = true;
    FCurRec = -1;
}

void TVeskTable::ApplyRange() {
    CheckBrowseMode();
    if (indexIdx_ < 0)
        Raise("No index currently active");
    if (RecordCount() > 0)
        NarrowToRange();
    rangeActive_ = true;
}

void TVeskTable::CancelRange() {
    CheckBrowseMode();
    SelectIndex();
    FCurRec = -1;
    rangeActive_ = false;
    rangeFieldCount_ = 0;
    if (Filtered())
        ActivateFilters();
    ReadFirst();
    NotifyDataChanged();
}

}  // namespace vesk
