// The items table of the write tests in a file of its own, opened through a stream owner whose
// writes a test can make fail: the folder, the file, one handle and the few steps every such
// test takes (reopen, append a row, put the file's bytes back, show problem lines).
#pragma once

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "engine/table_test_support.h"
#include "engine/table_writer.h"
#include "engine/write_fault_test_support.h"

namespace vesk::write_testing {

// Base is the gtest fixture kind (::testing::Test or a TestWithParam). CreateItemsFile makes
// and opens the file; the folder is removed after the test.
template <typename Base>
class ItemsTableTestBase : public Base {
  protected:
    void CreateItemsFile(const DatabaseSchema& schema) {
        folder_ = TempFolder();
        path_ = folder_ + "/items.dat";
        CreateDatabaseFile(path_, schema);
        Reopen();
    }
    void TearDown() override {
        table_.reset();
        std::filesystem::remove_all(folder_);
    }
    void Reopen() {
        table_.reset();
        table_ = std::make_unique<OpenTable>(path_, "items", &owner_);
    }
    void Append(std::int32_t id, std::int32_t num, const std::string& name,
                const std::string& memo) {
        ItemRecord record(id, num, name, memo);
        TVeskTableWriter(table_->Table()).AppendRecordData(record.buffers, false);
    }
    // Puts the file back as the bytes say and opens it again.
    void PutFileBytes(const std::vector<std::uint8_t>& bytes) {
        table_.reset();
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        out.close();
        Reopen();
    }
    static std::string Joined(const std::vector<std::string>& lines) {
        std::string all;
        for (const std::string& line : lines)
            all += line + "\n";
        return all;
    }

    std::string folder_;
    std::string path_;
    FaultyStreamOwner owner_;
    std::unique_ptr<OpenTable> table_;
};

}  // namespace vesk::write_testing
