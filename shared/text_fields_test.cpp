#include "shared/text_fields.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/db_error.h"
#include "engine/session_list.h"
#include "engine/testing/scoped_algorithms.h"
#include "platform/os/testing/temp_folder.h"
#include "shared/open_table.h"
#include "shared/tdm.h"
#include "shared/testing/database_files.h"

namespace {

// The shipped schema's "all.dat", connected through a data module of its own.
class TextFields : public ::testing::Test {
  protected:
    void SetUp() override {
        shared::testing::MakeDatabaseFile(temp_.path() + "/all.dat", "all.schema");
        vesk::VeskDB_Initialization();
        data_ = std::make_unique<Tdm>();
        data_->VeskDatabase1->SetFileName(temp_.path() + "/all.dat");
        data_->VeskDatabase1->SetConnected(true);
    }
    void TearDown() override {
        data_.reset();
        vesk::VeskDB_Finalization();
    }

    os::testing::TempFolder temp_{"text_fields"};
    engine_testing::ScopedStandardAlgorithms algorithms_;
    std::unique_ptr<Tdm> data_;
};

// The sizes are the table's own: a closed table is opened for the read and closed again, an
// open one stays open on its row.
TEST_F(TextFields, SizesComeFromTheTablesFieldDefinitions) {
    vesk::TVeskTable& task = *data_->Ttask;
    EXPECT_EQ(shared::TextFieldSizes(task, {"name", "desc"}), (std::vector<std::size_t>{100, 255}));
    EXPECT_FALSE(task.Active());
    EXPECT_EQ(shared::TextFieldSizes(*data_->Thd, {"lofile", "lopath", "speed"}),
              (std::vector<std::size_t>{255, 4096, 32}));
    {
        OpenTable open(task);
        task.Append();
        task.FieldByName("name").SetAsString("kept");
        EXPECT_EQ(shared::TextFieldSizes(task, {"desc"}), std::vector<std::size_t>{255});
        EXPECT_TRUE(task.Active());
        EXPECT_EQ(task.State(), vesk::TDataSetState::dsInsert);
        EXPECT_EQ(task.FieldByName("name").AsString(), "kept");
    }
    EXPECT_THROW(shared::TextFieldSizes(task, {"name", "nosuch"}), vesk::EDatabaseError);
    EXPECT_FALSE(task.Active());
}

// A text longer than its field is stored as its longest start that fits without splitting a
// character; shorter texts and other fields are stored as they are.
TEST_F(TextFields, LongTextsAreCutToTheirFieldAtACharacterBoundary) {
    const std::string e = "\xC3\xA9";
    std::string sixty;  // 60 characters, 120 bytes, in a field of 100 bytes
    for (int i = 0; i < 60; ++i)
        sixty += e;
    struct Case {
        const char* field;
        std::string value;
        std::string stored;
    };
    const Case cases[] = {
        {"name", sixty, sixty.substr(0, 100)},
        {"name", std::string(99, 'a') + e, std::string(99, 'a')},
        {"name", std::string(100, 'a'), std::string(100, 'a')},
        {"desc", std::string(300, 'd'), std::string(255, 'd')},
        {"desc", "short", "short"},
        {"id", "7", "7"},
    };
    OpenTable task(*data_->Ttask);
    for (const Case& c : cases) {
        task->Append();
        shared::SetCutText(task->FieldByName(c.field), c.value);
        EXPECT_EQ(task->FieldByName(c.field).AsString(), c.stored) << c.field;
        task->Cancel();
    }
}

}  // namespace
