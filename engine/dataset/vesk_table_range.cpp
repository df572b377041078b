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
    if (!Active() || !masterLink_.Active()) {
        masterLink_.SetFieldNames(names);
        return;
    }
    // A pending row is posted first: what a failure puts back is the order after it.
    CheckBrowseMode();
    TNarrowing saved = SaveNarrowing();
    try {
        masterLink_.SetFieldNames(names);  // puts the previous names back itself on a failure
    } catch (...) {
        RestoreNarrowing(saved);
        throw;
    }
}

void TVeskTable::MasterChanged() {
    if (Active())
        ApplyMasterRange(masterLink_.Fields());
}

void TVeskTable::MasterDisabled() {
    if (!Active())
        return;
    // The master's close cannot be refused or undone, and it also runs from destructors and
    // from the database's disconnect: nothing of this table's may escape into it. A pending
    // row that does not post keeps the range; a filter that fails on every row is dropped.
    try {
        CancelRange();
    } catch (...) {
        // The table shows what it was left with; a later operation raises its own errors.
    }
}

bool TVeskTable::CheckMasterRange(bool filter) {
    if (!masterLink_.Active())
        return false;
    const std::vector<TField*> fields = masterLink_.Fields();
    if (fields.empty() || indexIdx_ < 0)
        return false;
    if (filter)
        ApplyMasterRange(fields);
    else
        TakeMasterRange(fields);
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

bool TVeskTable::TakeMasterRange(const std::vector<TField*>& masterFields) {
    if (indexIdx_ < 0 || masterFields.empty())
        return false;  // physical order: the master is ignored
    CheckBrowseMode();
    // Both keys or neither: a refresh takes the range again from them.
    const std::vector<std::uint8_t> startKey = KeyBytes(*FWorkBuffers[0]);
    const std::vector<std::uint8_t> endKey = KeyBytes(*FWorkBuffers[1]);
    try {
        SetRangeKey(*FWorkBuffers[0], masterFields);
        SetRangeKey(*FWorkBuffers[1], masterFields);
    } catch (...) {
        PutKeyBytes(*FWorkBuffers[0], startKey);
        PutKeyBytes(*FWorkBuffers[1], endKey);
        throw;
    }
    rangeFieldCount_ = static_cast<std::int32_t>(masterFields.size());
    // An index without rows has no range to take: the order stays as it is.
    if (tableIO_->GetRecordList(indexIdx_ + 1).empty())
        return false;
    LoadCurrentList(indexIdx_);
    NarrowToRange();
    rangeActive_ = true;
    return true;
}

void TVeskTable::ApplyMasterRange(const std::vector<TField*>& masterFields) {
    if (!TakeMasterRange(masterFields))
        return;
    // The filter narrows the range in turn, as a refresh makes it.
    FilterFollowingMaster();
    ReadFirst();
    NotifyDataChanged();
}

void TVeskTable::FilterFollowingMaster() {
    if (!Filtered())
        return;
    try {
        ActivateFilters();
    } catch (...) {
        // The master has moved all the same: the order follows it, unfiltered.
        SetFilteredFlag(false);
        ReadFirst();
        NotifyDataChanged();
        throw;
    }
}

std::vector<std::uint8_t> TVeskTable::KeyBytes(TRecordBuffer& key) {
    return {key.Data(), key.Data() + key.RecordSize()};
}

void TVeskTable::PutKeyBytes(TRecordBuffer& key, const std::vector<std::uint8_t>& bytes) {
    std::memcpy(key.Data(), bytes.data(), bytes.size());
}

TVeskTable::TNarrowing TVeskTable::SaveNarrowing() {
    return {*currentList_,
            listNarrowed_,
            rangeActive_,
            rangeFieldCount_,
            KeyBytes(*FWorkBuffers[0]),
            KeyBytes(*FWorkBuffers[1]),
            Filtered(),
            FCurRec};
}

void TVeskTable::RestoreNarrowing(TNarrowing& saved) {
    currentList_ = std::move(saved.List);
    listNarrowed_ = saved.Narrowed;
    rangeActive_ = saved.RangeActive;
    rangeFieldCount_ = saved.RangeFieldCount;
    PutKeyBytes(*FWorkBuffers[0], saved.StartKey);
    PutKeyBytes(*FWorkBuffers[1], saved.EndKey);
    SetFilteredFlag(saved.Filtered);
    FCurRec = saved.CurRec;
    Resync();
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
    FilterFollowingMaster();
    ReadFirst();
    NotifyDataChanged();
}

}  // namespace vesk
