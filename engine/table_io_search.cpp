// Key searches, unique checks and moves between orders of TVeskTableIO. Searches read the
// stored key values one field at a time at the records the list items name, so a bisection
// touches about log2(n) records.
#include <algorithm>

#include "engine/db_error.h"
#include "engine/key_bisection.h"
#include "engine/table_io.h"

namespace vesk {

const TVeskIndexDef& TVeskTableIO::IndexAt(std::int32_t indexNo) const {
    if (indexNo < 0 || indexNo >= indexDefs_.Count())
        throw EDatabaseError("Invalid index number " + std::to_string(indexNo));
    return indexDefs_.Items(indexNo);
}

int TVeskTableIO::CompareKey(const TFieldBuffers& buffers, const TRecordItem& item,
                             const TVeskIndexDef& index, std::int32_t fieldCount,
                             bool partialCompare) {
    const auto keys = static_cast<std::int32_t>(index.FieldNumbers.size());
    const std::int32_t count = fieldCount <= 0 ? keys : std::min(fieldCount, keys);
    const bool caseInsensitive = index.Has(tiCaseInsensitive);
    for (std::int32_t k = 0; k < count; ++k) {
        const std::int32_t fieldNo = index.FieldNumbers[static_cast<size_t>(k)];
        const TFieldBufferItem& key = buffers.Items(fieldNo);
        TMemoryStream stored;
        // The list item already holds where the record is: no record-tab entry is read.
        ReadFieldValue(stored, item, fieldNo);
        const auto keySize =
            static_cast<std::int32_t>(std::min<std::int64_t>(key.GetDataSize(), INT32_MAX));
        const auto storedSize =
            static_cast<std::int32_t>(std::min<std::int64_t>(stored.Size(), INT32_MAX));
        int result =
            CompareFieldValue(key.GetDataBuf(), keySize, stored.Memory(), storedSize,
                              fieldDefs_.Items(fieldNo).FieldType, caseInsensitive, partialCompare);
        if (result != 0)
            return index.Has(tiDescending) ? -result : result;
    }
    return 0;
}

std::int32_t TVeskTableIO::SearchIndexedField(const TFieldBuffers& buffers, const TRecordList& list,
                                              std::int32_t indexNo, std::int32_t& indicator,
                                              std::int32_t fieldCount, bool partialCompare) {
    const TVeskIndexDef& index = IndexAt(indexNo);
    CheckFieldBuffers(buffers);
    return *BisectKeys(static_cast<std::int32_t>(list.size()), indicator,
                       [&](std::int32_t mid) -> std::optional<int> {
                           return CompareKey(buffers, list[static_cast<size_t>(mid)], index,
                                             fieldCount, partialCompare);
                       });
}

std::int32_t TVeskTableIO::SearchIndexedFieldBound(const TFieldBuffers& buffers,
                                                   const TRecordList& list, std::int32_t indexNo,
                                                   bool findFirst, std::int32_t& indicator,
                                                   std::int32_t fieldCount, bool partialCompare) {
    const TVeskIndexDef& index = IndexAt(indexNo);
    CheckFieldBuffers(buffers);
    std::int32_t lo = 0;
    std::int32_t hi = static_cast<std::int32_t>(list.size()) - 1;
    std::int32_t result = -1;
    indicator = -2;
    bool metEqual = false;
    while (lo <= hi) {
        const std::int32_t mid = lo + (hi - lo) / 2;
        const int compared =
            CompareKey(buffers, list[static_cast<size_t>(mid)], index, fieldCount, partialCompare);
        if (compared == 0) {
            result = mid;
            indicator = 0;
            metEqual = true;
            if (findFirst)
                hi = mid - 1;
            else
                lo = mid + 1;
            continue;
        }
        if (!metEqual) {
            result = mid;
            indicator = compared > 0 ? 1 : -1;
        }
        if (compared > 0)
            lo = mid + 1;
        else
            hi = mid - 1;
    }
    return result;
}

std::int32_t TVeskTableIO::SearchInsertPos(const TFieldBuffers& buffers, std::int32_t indexNo,
                                           std::int32_t& indicator) {
    IndexAt(indexNo);
    const std::int32_t result =
        SearchIndexedField(buffers, GetRecordList(indexNo + 1), indexNo, indicator, 0, false);
    switch (indicator) {
        case 0:
        case 1:
            return result + 1;
        case -1:
            return result;
        default:
            return 0;
    }
}

std::int32_t TVeskTableIO::GetPrimaryIndex() const {
    for (std::int32_t i = 0; i < indexDefs_.Count(); ++i)
        if (indexDefs_.Items(i).Has(tiPrimary))
            return i;
    return -1;
}

std::string TVeskTableIO::KeyText(const TFieldBuffers& buffers, const TVeskIndexDef& index) const {
    std::string text;
    for (size_t k = 0; k < index.FieldNumbers.size(); ++k) {
        if (k > 0)
            text += ",";
        text += buffers.Items(index.FieldNumbers[k]).GetAsString();
    }
    return text;
}

bool TVeskTableIO::CheckUnique(const TFieldBuffers& buffers, std::int32_t exceptPhysPos) {
    for (std::int32_t i = 0; i < indexDefs_.Count(); ++i) {
        const TVeskIndexDef& index = indexDefs_.Items(i);
        if (!index.Has(tiPrimary) && !index.Has(tiUnique))
            continue;
        std::int32_t indicator = -2;
        const std::int32_t pos =
            SearchIndexedField(buffers, GetRecordList(i + 1), i, indicator, 0, false);
        if (indicator != 0)
            continue;
        if (exceptPhysPos >= 0 && ConvertRecordPos(i, pos, -1) == exceptPhysPos)
            continue;
        throw EDatabaseError(
            FormatMessage("Invalid unique field value '%s'", KeyText(buffers, index)));
    }
    return true;
}

void TVeskTableIO::CheckUniqueFieldForAppend(const TFieldBuffers& buffers) {
    CheckUnique(buffers, -1);
}

void TVeskTableIO::CheckUniqueFieldForModify(const TFieldBuffers& buffers, std::int32_t physPos) {
    CheckUnique(buffers, physPos < 0 ? INT32_MAX : physPos);
}

std::int32_t TVeskTableIO::PhysicalPosOfEntry(std::int32_t entryNo) const {
    // List 0 holds its items in ascending entry numbers.
    const TRecordList& physical = recordLists_.at(0);
    const auto found =
        std::lower_bound(physical.begin(), physical.end(), entryNo,
                         [](const TRecordItem& item, std::int32_t e) { return item.EntryNo < e; });
    if (found == physical.end() || found->EntryNo != entryNo)
        return -1;
    return static_cast<std::int32_t>(found - physical.begin());
}

std::int32_t TVeskTableIO::ConvertRecordPos(std::int32_t fromIndex, std::int32_t pos,
                                            std::int32_t toIndex) {
    const TRecordList& from = GetRecordList(fromIndex + 1);
    if (pos < 0 || static_cast<size_t>(pos) >= from.size())
        return -1;
    if (fromIndex == toIndex)
        return pos;
    if (toIndex == -1)
        return IndexPosToPhysicalPos(fromIndex, pos);
    const TRecordList& to = GetRecordList(toIndex + 1);
    const TRecordItem& item = from[static_cast<size_t>(pos)];
    for (size_t i = 0; i < to.size(); ++i)
        if (to[i] == item)
            return static_cast<std::int32_t>(i);
    return -1;
}

std::int32_t TVeskTableIO::IndexPosToPhysicalPos(std::int32_t indexNo, std::int32_t pos) {
    return ListPosToPhysicalPos(GetRecordList(indexNo + 1), pos);
}

std::int32_t TVeskTableIO::ListPosToPhysicalPos(const TRecordList& list, std::int32_t pos) {
    if (pos < 0 || static_cast<size_t>(pos) >= list.size())
        return -1;
    // A list copied before this table was loaded again may name an entry that an emptied
    // table has given to another record since: the same row also has the same offset.
    const TRecordItem& item = list[static_cast<size_t>(pos)];
    const std::int32_t physPos = PhysicalPosOfEntry(item.EntryNo);
    if (physPos < 0 || recordLists_.at(0)[static_cast<size_t>(physPos)] != item)
        return -1;
    return physPos;
}

std::int32_t TVeskTableIO::IndexPosToListPos(std::int32_t indexNo, std::int32_t pos,
                                             const TRecordList& list) {
    const TRecordList& indexList = GetRecordList(indexNo + 1);
    if (pos < 0 || static_cast<size_t>(pos) >= indexList.size())
        return -1;
    if (&list == &indexList)
        return pos;
    const TRecordItem& item = indexList[static_cast<size_t>(pos)];
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i] == item)
            return static_cast<std::int32_t>(i);
    return -1;
}

}  // namespace vesk
