#include "tools/table_import.h"

#include <stdexcept>
#include <vector>

#include "engine/dataset/vesk_blob_stream.h"
#include "engine/dataset/vesk_table.h"
#include "tools/table_component.h"
#include "tools/tsv_read.h"

namespace vesktool {

namespace {

bool Importable(vesk::TFieldType type) {
    if (vesk::IsBlobKind(type))
        return true;
    switch (type) {
        case vesk::ftString:
        case vesk::ftFixedChar:
        case vesk::ftInteger:
        case vesk::ftAutoInc:
        case vesk::ftSmallint:
        case vesk::ftWord:
        case vesk::ftBoolean:
            return true;
        default:
            return false;
    }
}

void SetCell(vesk::TField& field, const std::string& cell) {
    if (field.DataType() == vesk::ftAutoInc && (cell.empty() || cell == "0"))
        return;  // the engine assigns the key at post
    if (field.IsBlob() || field.DataType() == vesk::ftString ||
        field.DataType() == vesk::ftFixedChar) {
        const std::optional<std::string> text = UnescapeTsvText(cell);
        if (!text)
            throw std::runtime_error("bad escape in cell '" + cell + "'");
        if (field.IsBlob()) {
            const auto stream =
                field.DataSet().CreateBlobStream(field, vesk::TBlobStreamMode::bmWrite);
            stream->Write(text->data(), static_cast<std::int64_t>(text->size()));
        } else {
            field.SetAsString(*text);
        }
        return;
    }
    field.SetAsString(cell);
}

}  // namespace

std::int64_t ImportRows(const std::string& file, const std::string& table, std::istream& tsv,
                        const std::string& password) {
    const std::unique_ptr<vesk::TVeskTable> component = OpenTableComponent(file, table, password);
    std::string line;
    if (!std::getline(tsv, line))
        throw std::runtime_error("the TSV has no header line");
    std::vector<vesk::TField*> fields;
    for (const std::string& name : SplitTsvLine(line)) {
        vesk::TField& field = component->FieldByName(name);
        if (!Importable(field.DataType()))
            throw std::runtime_error("field '" + name + "' has a type vesk import cannot write");
        fields.push_back(&field);
    }
    std::int64_t rows = 0;
    for (std::int64_t lineNo = 2; std::getline(tsv, line); ++lineNo) {
        if (line.empty() || line == "\r")
            continue;
        const std::vector<std::string> cells = SplitTsvLine(line);
        try {
            if (cells.size() != fields.size())
                throw std::runtime_error(std::to_string(cells.size()) +
                                         " cells where the header has " +
                                         std::to_string(fields.size()));
            component->Append();
            for (std::size_t i = 0; i < cells.size(); ++i)
                SetCell(*fields[i], cells[i]);
            component->Post();
        } catch (const std::exception& e) {
            component->Cancel();
            throw std::runtime_error("line " + std::to_string(lineNo) + ": " + e.what());
        }
        ++rows;
    }
    component->Close();
    return rows;
}

std::int64_t DeleteRows(const std::string& file, const std::string& table, const std::string& field,
                        const std::string& value, const std::string& password) {
    const std::unique_ptr<vesk::TVeskTable> component = OpenTableComponent(file, table, password);
    std::int64_t rows = 0;
    while (component->Locate(field, value)) {
        component->Delete();
        ++rows;
    }
    component->Close();
    return rows;
}

}  // namespace vesktool
