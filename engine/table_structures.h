#pragma once
// Reading the structure map (structure_map.h) of an open database file: what each table's
// header, chunks, records and blob descriptors say about where its bytes lie.
//
// A table loader reads its own table in full and refuses what is damaged there; of the other
// tables it takes what can be read (a chain that breaks off ends what is taken of it), since
// their damage is reported when they are loaded themselves. Called under the file lock.
#include <cstdint>
#include <vector>

#include "engine/db_file_io.h"
#include "engine/structure_map.h"

namespace vesk {

// A blob field of a record layout: its number and its offset in the record.
struct TBlobSlot {
    std::int32_t fieldNo;
    std::int32_t offset;
};

// Adds the record of every entry (deleted ones too: their bytes are still theirs) and the
// areas its blob descriptors name. Records outside the file are left out (structure_map.h).
// The file's errors pass on.
void AddRecordStructures(TVeskDBFileIO& file, TTableStructures& structures,
                         const std::vector<TRecordTabItem>& entries, std::int32_t recordSize,
                         const std::vector<TBlobSlot>& blobs);

// Makes the map current for every table but exceptTable: a table not known yet, or whose
// header differs from the one its structures were read for, is read again. Never throws for
// damage of those tables; the file's stream errors pass on.
void RefreshStructureMap(TVeskDBFileIO& file, std::int32_t exceptTable);

}  // namespace vesk
