// Locate and Lookup: the key is written into the scratch buffer through the fields, then
// found by a bisection of an index with exactly the key fields, or by a scan of the current
// order.
#include <cstring>

#include "engine/dataset/field_convert.h"
#include "engine/dataset/vesk_table.h"
#include "engine/file_format.h"
#include "platform/os/collation.h"

namespace vesk {

namespace {

void WriteKey(TField& field, const TKeyValue& value) {
    if (const std::string* text = value.Text())
        field.SetAsString(*text);
    else if (const std::int64_t* number = value.Integer())
        field.SetAsInteger(*number);
    else if (const bool* flag = value.Boolean())
        field.SetAsBoolean(*flag);
}

TKeyValue ReadResult(const TField& field) {
    switch (field.DataType()) {
        case ftInteger:
        case ftAutoInc:
        case ftSmallint:
        case ftWord:
            return TKeyValue(std::int64_t{field.AsInteger()});
        case ftBoolean:
            return TKeyValue(field.AsBoolean());
        default:
            return TKeyValue(field.AsString());
    }
}

bool IsTextKey(TFieldType type) {
    return type == ftString || type == ftFixedChar || type == ftWideString;
}

}  // namespace

std::vector<TField*> TVeskTable::FieldList(const std::string& names) const {
    std::vector<TField*> fields;
    std::size_t start = 0;
    while (start <= names.size()) {
        const std::size_t end = std::min(names.find(';', start), names.size());
        fields.push_back(&FieldByName(names.substr(start, end - start)));
        start = end + 1;
    }
    return fields;
}

std::int32_t TVeskTable::FindIndexForFields(const std::vector<TField*>& fields,
                                            bool caseInsensitive) const {
    bool anyText = false;
    for (const TField* field : fields)
        anyText = anyText || IsTextKey(field->DataType());
    const TVeskIndexDefs& indexes = tableIO_->IndexDefs();
    for (std::int32_t i = 0; i < indexes.Count(); ++i) {
        const TVeskIndexDef& index = indexes.Items(i);
        if (index.FieldNumbers.size() != fields.size())
            continue;
        bool same = true;
        for (std::size_t k = 0; k < fields.size() && same; ++k)
            same = index.FieldNumbers[k] == fields[k]->FieldNo() - 1;
        if (same && anyText && index.Has(tiCaseInsensitive) != caseInsensitive)
            same = false;
        if (same)
            return i;
    }
    return -1;
}

std::int32_t TVeskTable::LocateByIndex(std::int32_t indexNo, TRecordBuffer& key, bool partialKey) {
    const TRecordList& indexList = tableIO_->GetRecordList(indexNo + 1);
    if (indexList.empty())
        return -1;
    // Only the equal row is asked for: in a primary or unique index there is at most one.
    const TVeskIndexDef& index = tableIO_->IndexDefs().Items(indexNo);
    std::int32_t found = -1;
    if (!partialKey && (index.Has(tiPrimary) || index.Has(tiUnique))) {
        found = keyCache_.FindUnique(*tableIO_, indexNo, FillFieldBuffers(key));
    } else {
        std::int32_t indicator = 0;
        found = keyCache_.Search(*tableIO_, indexNo, FillFieldBuffers(key), partialKey, indicator);
        if (indicator != 0)
            return -1;
    }
    if (found < 0)
        return -1;
    // In the index's own order the position is the index position while this list is still
    // that order there; otherwise the row is looked up in this list by its entry and offset.
    std::int32_t pos = -1;
    const TRecordList& own = *currentList_;
    if (indexNo == indexIdx_ && static_cast<size_t>(found) < own.size() &&
        own[static_cast<size_t>(found)] == indexList[static_cast<size_t>(found)])
        pos = found;
    else
        pos = tableIO_->IndexPosToListPos(indexNo, found, own);
    return pos < RecordCount() ? pos : -1;
}

std::int32_t TVeskTable::LocateByScan(const std::vector<TField*>& fields, TRecordBuffer& key,
                                      TLocateOptions options) {
    const TRecordList& list = *currentList_;
    const TScanValueCache::TScan scan(scanCache_, *tableIO_);
    for (std::size_t pos = 0; pos < list.size(); ++pos) {
        bool equal = true;
        for (const TField* field : fields) {
            const TStoredValue stored =
                scanCache_.Value(*tableIO_, list[pos], field->FieldNo() - 1);
            const std::uint8_t* keyValue = key.Data() + GetFieldOffset(field->FieldNo());
            int compared = 0;
            if (IsTextKey(field->DataType()) && !options.partialKey) {
                // A whole-text comparison is the collation's, exactly as the evaluator's "="
                // and "<" make it; going there directly spares building nodes per row.
                compared = os::CompareAnsiText(format::GetText(keyValue, field->DataSize()),
                                               format::GetText(stored.data, stored.size),
                                               options.caseInsensitive);
            } else {
                compared = TVeskTableIO::CompareFieldValue(
                    keyValue, field->DataSize(), stored.data, stored.size, field->DataType(),
                    options.caseInsensitive, options.partialKey);
            }
            if (compared != 0) {
                equal = false;
                break;
            }
        }
        if (equal)
            return static_cast<std::int32_t>(pos);
    }
    return -1;
}

bool TVeskTable::LocateRecord(const std::string& keyFields, const std::vector<TKeyValue>& keyValues,
                              TLocateOptions options, bool syncCursor) {
    CheckBrowseMode();
    const std::vector<TField*> fields = FieldList(keyFields);
    if (keyValues.size() != fields.size())
        Raise("Locate needs one key value per key field");
    // A text longer than its field equals no stored value and begins none (the collation
    // folds letters one to one), so nothing is found; cut to the field it would match wrongly.
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::string* text = keyValues[i].Text();
        const TFieldType type = fields[i]->DataType();
        if (text && (type == ftString || type == ftFixedChar) &&
            TextBeforeZero(*text).size() > static_cast<std::size_t>(fields[i]->Size()))
            return false;
    }
    TRecordBuffer& key = ScratchBuffer();
    std::int32_t pos = -1;
    {
        // The state returns to browse on every way out, also when a key value is refused.
        TTempState filterState(*this, TDataSetState::dsFilter, &key);
        // Only the key fields take part: they start empty and get the key values.
        for (const TField* field : fields)
            std::memset(key.Data() + GetFieldOffset(field->FieldNo()), 0,
                        static_cast<size_t>(field->DataSize()));
        for (std::size_t i = 0; i < fields.size(); ++i)
            WriteKey(*fields[i], keyValues[i]);
        const std::int32_t index = FindIndexForFields(fields, options.caseInsensitive);
        pos = index >= 0 ? LocateByIndex(index, key, options.partialKey)
                         : LocateByScan(fields, key, options);
        // The found row is read into the scratch buffer for Lookup; Locate reads it as the
        // current row instead.
        if (pos >= 0 && !syncCursor)
            ReadRecordData(key, pos);
    }
    if (pos < 0)
        return false;
    if (syncCursor)
        FCurRec = pos;
    return true;
}

bool TVeskTable::Locate(const std::string& keyFields, const std::vector<TKeyValue>& keyValues,
                        TLocateOptions options) {
    CheckBrowseMode();
    if (BeforeScroll)
        BeforeScroll(*this);
    const bool found = LocateRecord(keyFields, keyValues, options, true);
    if (found) {
        Resync();
        if (AfterScroll)
            AfterScroll(*this);
        NotifyDataChanged();
    }
    return found;
}

std::optional<std::vector<TKeyValue>> TVeskTable::Lookup(const std::string& keyFields,
                                                         const std::vector<TKeyValue>& keyValues,
                                                         const std::string& resultFields) {
    if (!LocateRecord(keyFields, keyValues, {}, false))
        return std::nullopt;
    const std::vector<TField*> results = FieldList(resultFields);
    TTempState calcState(*this, TDataSetState::dsCalcFields, &ScratchBuffer());
    std::vector<TKeyValue> values;
    for (const TField* field : results)
        values.push_back(ReadResult(*field));
    return values;
}

}  // namespace vesk
