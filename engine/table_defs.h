#pragma once
// In-memory forms of a database's table list and of one table's field and index definitions,
// and the storage-size rule that fixes every record's layout.
//
// The collections own their items (references stay valid until the item is deleted or the
// collection cleared). Every item gets an ID from its collection, counted from 0 and never
// reused; field and index definitions added without a name are named from it.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/field_type.h"

namespace vesk {

// A collection of owned, named items with IDs.
template <typename Item>
class TOwnedCollection {
  public:
    TOwnedCollection() = default;
    TOwnedCollection(TOwnedCollection&&) noexcept = default;
    TOwnedCollection& operator=(TOwnedCollection&&) noexcept = default;
    virtual ~TOwnedCollection() = default;

    std::int32_t Count() const { return static_cast<std::int32_t>(items_.size()); }
    // Throws std::out_of_range for an index outside 0..Count-1.
    Item& Items(std::int32_t index) { return *items_.at(static_cast<size_t>(index)); }
    const Item& Items(std::int32_t index) const { return *items_.at(static_cast<size_t>(index)); }
    // Appends a new item with the given name (see the naming rule of the subclasses).
    Item& Add(std::string name = {}) {
        auto item = std::make_unique<Item>();
        item->ID = nextId_++;
        item->Name = std::move(name);
        SetItemName(*item);
        items_.push_back(std::move(item));
        return *items_.back();
    }
    void Delete(std::int32_t index) { items_.erase(items_.begin() + index); }
    void Clear() { items_.clear(); }

  protected:
    // Gives an item its name when it was added without one; the default keeps it empty.
    virtual void SetItemName(Item&) {}

  private:
    std::vector<std::unique_ptr<Item>> items_;
    std::int32_t nextId_ = 0;
};

struct TVeskTableDef {
    std::int32_t ID = 0;
    std::string Name;
    std::int32_t TableNo = 0;  // its slot in the table tab
};

class TVeskTableDefs : public TOwnedCollection<TVeskTableDef> {};

// Field and index definitions: the naming rule and the lookup by name.
template <typename Item>
class TVeskDefCollection : public TOwnedCollection<Item> {
  public:
    // Position of the first item whose name equals name ignoring case; -1 when none.
    std::int32_t IndexOf(std::string_view name) const;
    Item& GetItem(std::int32_t index) { return this->Items(index); }
    const Item& GetItem(std::int32_t index) const { return this->Items(index); }

  protected:
    // An item without a name is named the item class's prefix and its ID + 1 (VeskF1, VeskI3).
    void SetItemName(Item& item) override {
        if (item.Name.empty())
            item.Name = std::string(Item::kNamePrefix) + std::to_string(item.ID + 1);
    }
};

struct TVeskFieldDef {
    static constexpr const char* kNamePrefix = "VeskF";
    std::int32_t ID = 0;
    std::string Name;
    TFieldType FieldType = ftUnknown;
    std::int32_t DataSize = 0;     // characters of a text field; ignored for other types
    std::uint8_t ProcessMode = 0;  // 0: takes part in the file's compression and encryption

    // Copies name, type, size and mode (the ID stays).
    void Assign(const TVeskFieldDef& source);
};

// Index options, the bits of the stored options byte.
enum TTDIndexOption : std::uint8_t {
    tiPrimary = 1,
    tiUnique = 2,
    tiDescending = 4,
    tiCaseInsensitive = 8,
};
using TTDIndexOptions = std::uint8_t;

struct TVeskIndexDef {
    static constexpr const char* kNamePrefix = "VeskI";
    std::int32_t ID = 0;
    std::string Name;
    TTDIndexOptions Options = 0;
    std::vector<std::int32_t> FieldNumbers;  // key fields, most significant first

    bool Has(TTDIndexOption option) const { return (Options & option) != 0; }
    void SetOptions(TTDIndexOptions options) { Options = options; }
    // Copies name, options and key fields (the ID stays).
    void Assign(const TVeskIndexDef& source);
};

class TVeskFieldDefs : public TVeskDefCollection<TVeskFieldDef> {};
class TVeskIndexDefs : public TVeskDefCollection<TVeskIndexDef> {};

// The storage size of a non-blob field: text kinds DataSize + 1, 2, 4 or 8 bytes for numbers,
// dates and times, 0 for ftBlob, ftMemo, ftGraphic and ftFmtMemo. Throws
// EDatabaseError("General error") for every other type, and EDatabaseError("Invalid field
// size") for a text size below 0 or without room for its terminator in an i32.
std::int32_t GetFieldDataSize(TFieldType fieldType, std::int32_t dataSize);

// The bytes a field takes in a record: 20 for a blob kind, else GetFieldDataSize.
std::int32_t GetFieldStorageSize(const TVeskFieldDef& field);

// Lays out a record: offsets[i] is the sum of the storage sizes of fields 0..i-1; returns the
// record size. Throws what GetFieldDataSize throws, and EDatabaseError("Record too large")
// when the sum exceeds 2^31 - 1.
std::int32_t ComputeRecordLayout(const TVeskFieldDefs& fields, std::vector<std::int32_t>& offsets);

}  // namespace vesk

#include "platform/os/collation.h"

template <typename Item>
std::int32_t vesk::TVeskDefCollection<Item>::IndexOf(std::string_view name) const {
    for (std::int32_t i = 0; i < this->Count(); ++i)
        if (os::CompareAnsiText(this->Items(i).Name, name, true) == 0)
            return i;
    return -1;
}
