#include "tools/table_listing.h"

#include <cctype>
#include <memory>
#include <optional>
#include <ostream>
#include <unordered_set>
#include <vector>

#include "engine/db_error.h"
#include "engine/db_file_io.h"
#include "engine/field_buffers.h"
#include "engine/file_format.h"
#include "engine/schema_rules.h"
#include "engine/table_io.h"
#include "engine/table_io_owner.h"
#include "tools/table_component.h"
#include "tools/tsv_format.h"

namespace vesktool {

namespace {

using namespace vesk;

// The tool only reads: an open file, its table owner and one loaded table at a time.
class OpenDatabase {
  public:
    explicit OpenDatabase(const std::string& path) {
        file_.Open(path, mtDisk, false);
        owner_ = std::make_unique<TFileTableIOOwner>(file_);
    }
    TVeskDBFileIO& File() { return file_; }
    TTableIOOwner& Owner() { return *owner_; }

  private:
    TVeskDBFileIO file_;
    std::unique_ptr<TFileTableIOOwner> owner_;
};

// A loaded table, closed again when the scope ends.
class LoadedTable {
  public:
    LoadedTable(TTableIOOwner& owner, const std::string& name) : table_(owner, name) {
        table_.Open();
    }
    ~LoadedTable() { table_.Close(); }
    LoadedTable(const LoadedTable&) = delete;
    LoadedTable& operator=(const LoadedTable&) = delete;
    TVeskTableIO& operator*() { return table_; }
    TVeskTableIO* operator->() { return &table_; }

  private:
    TVeskTableIO table_;
};

std::string LowerTypeName(TFieldType type) {
    std::string name = FieldTypeName(type);
    for (char& c : name)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name;
}

std::string OptionNames(TTDIndexOptions options) {
    std::string names;
    const std::pair<TTDIndexOption, const char*> known[] = {{tiPrimary, "primary"},
                                                            {tiUnique, "unique"},
                                                            {tiDescending, "descending"},
                                                            {tiCaseInsensitive, "caseinsensitive"}};
    for (const auto& [option, name] : known)
        if ((options & option) != 0)
            names += (names.empty() ? "" : ",") + std::string(name);
    return names;
}

// One stored non-blob value as its TSV cell.
std::string Cell(const TVeskFieldDef& field, const std::uint8_t* value, std::int32_t size) {
    switch (field.FieldType) {
        case ftString:
        case ftFixedChar:
            return EscapeTsvText(format::GetText(value, size));
        case ftBoolean:
            return FormatBoolean(format::GetI16(value));
        case ftSmallint:
            return std::to_string(format::GetI16(value));
        case ftWord:
            return std::to_string(static_cast<std::uint16_t>(format::GetI16(value)));
        case ftInteger:
        case ftAutoInc:
        case ftDate:
        case ftTime:
            return std::to_string(format::GetI32(value));
        case ftLargeint:
            return std::to_string(format::GetI64(value));
        case ftFloat:
        case ftCurrency:
        case ftDateTime:
            return FormatDouble(format::GetF64(value));
        default:
            return {};
    }
}

}  // namespace

void ListTables(const std::string& path, std::ostream& out) {
    OpenDatabase database(path);
    for (const std::string& name : database.Owner().TableNames()) {
        LoadedTable table(database.Owner(), name);
        out << name;
        const TVeskFieldDefs& fields = table->FieldDefs();
        for (std::int32_t f = 0; f < fields.Count(); ++f) {
            const TVeskFieldDef& field = fields.Items(f);
            out << ' ' << field.Name << ':' << LowerTypeName(field.FieldType) << ':'
                << field.DataSize;
        }
        const TVeskIndexDefs& indexes = table->IndexDefs();
        for (std::int32_t i = 0; i < indexes.Count(); ++i) {
            const TVeskIndexDef& index = indexes.Items(i);
            out << ' ' << index.Name << '(';
            for (size_t k = 0; k < index.FieldNumbers.size(); ++k)
                out << (k ? "," : "") << fields.Items(index.FieldNumbers[k]).Name;
            out << ")[" << OptionNames(index.Options) << ']';
        }
        out << '\n';
    }
}

void DumpTable(const std::string& path, const std::string& tableName, std::ostream& out,
               const std::string& password, const std::string& filter) {
    // The rows a filter passes, found by the table component as the program would filter;
    // a bad filter or a damaged file stops here, before anything is written.
    std::optional<std::unordered_set<std::int32_t>> passing;
    if (!filter.empty()) {
        const std::unique_ptr<TVeskTable> component = OpenTableComponent(path, tableName, password);
        component->SetFilter(filter);
        component->SetFiltered(true);
        passing.emplace();
        for (component->First(); !component->Eof(); component->Next())
            passing->insert(component->GetBookmark());
    }
    OpenDatabase database(path);
    // The same rule as a database connect: the digest must match, and it sets the cipher key.
    if (!database.File().CheckPassword(password))
        throw EDatabaseError("Access denied");
    LoadedTable table(database.Owner(), tableName);
    const TVeskFieldDefs& fields = table->FieldDefs();

    // One record buffer with a field buffer item per field, as a data set would hand it over.
    std::vector<std::uint8_t> record(static_cast<size_t>(table->RecordSize()), 0);
    std::vector<std::unique_ptr<TBlobBufferStream>> blobs;
    TFieldBuffers buffers;
    for (std::int32_t f = 0; f < fields.Count(); ++f) {
        const TVeskFieldDef& field = fields.Items(f);
        if (IsBlobKind(field.FieldType)) {
            blobs.push_back(std::make_unique<TBlobBufferStream>());
            buffers.AddBlob(blobs.back().get(), field.FieldType);
        } else {
            buffers.Add(record.data() + table->FieldOffsets()[static_cast<size_t>(f)],
                        field.FieldType, GetFieldStorageSize(field));
        }
        out << (f ? "\t" : "") << EscapeTsvText(field.Name);
    }
    out << '\n';

    const TRecordList& rows = table->GetRecordList(0);
    for (std::int32_t pos = 0; pos < static_cast<std::int32_t>(rows.size()); ++pos) {
        if (passing && !passing->contains(rows[static_cast<size_t>(pos)].EntryNo))
            continue;
        table->ReadRecordData(buffers, rows, pos);
        for (std::int32_t f = 0; f < fields.Count(); ++f) {
            const TFieldBufferItem& item = buffers.Items(f);
            std::string cell;
            if (TBlobBufferStream* blob = item.BlobStream()) {
                // The record only told the stream where its value is; load it as a read would.
                TMemoryStream value;
                const TValuePlace place{&table->TableName(), &fields.Items(f).Name,
                                        rows[static_cast<size_t>(pos)].EntryNo};
                database.File().ReadFieldContent(value, blob->DescriptorPos, 0, true,
                                                 blob->Decipher, blob->Decompress, &place);
                cell = EscapeTsvText(value.AsString());
            } else {
                cell = Cell(fields.Items(f), item.GetDataBuf(), item.Size);
            }
            out << (f ? "\t" : "") << cell;
        }
        out << '\n';
    }
}

}  // namespace vesktool
