#include "engine/database.h"

#include <gtest/gtest.h>

#include "engine/codec/hash.h"
#include "engine/codec/sha_hash.h"
#include "engine/database_test_support.h"
#include "engine/login_prompt.h"
#include "engine/memory_medium.h"
#include "engine/silent_abort.h"
#include "engine/table_writer.h"

#include <map>

namespace vesk {
namespace {

using write_testing::EngineTest;
using write_testing::ErrorOf;
using write_testing::LinkedTable;

using DatabaseTest = EngineTest;

TEST_F(DatabaseTest, RefCountThroughOpenAndCloseOfTwoTables) {
    TVeskDatabase database(nullptr, "VeskDatabase1");
    database.SetDatabaseName("123");
    database.SetFileName(path_);
    LinkedTable option("Toption", "other"), site("Tftpsite", "items");
    option.SetDatabaseName("123");
    site.SetDatabaseName("123");
    std::vector<std::pair<int, bool>> seen;
    auto note = [&] { seen.emplace_back(database.RefCount(), database.Connected()); };
    option.Open();
    note();
    site.Open();
    note();
    EXPECT_EQ(option.Database(), &database);
    EXPECT_EQ(database.GetDataSetCount(), 2);
    EXPECT_EQ(site.TableIO()->OpenCount(), 1);
    option.Close();
    note();
    site.Close();
    note();
    EXPECT_EQ(seen,
              (std::vector<std::pair<int, bool>>{{1, true}, {2, true}, {1, true}, {0, false}}));
    EXPECT_EQ(database.GetDataSetCount(), 0);
    EXPECT_EQ(site.Database(), nullptr);
}

TEST_F(DatabaseTest, KeepConnectionStaysConnectedUntilSwitchedOff) {
    TVeskDatabase database;
    database.SetDatabaseName("db");
    database.SetFileName(path_);
    database.SetKeepConnection(true);
    {
        LinkedTable table("T");
        table.SetDatabaseName("DB");  // names are compared ignoring case
        table.Open();
        EXPECT_EQ(table.Database(), &database);
    }
    EXPECT_TRUE(database.Connected());
    EXPECT_EQ(database.RefCount(), 0);
    database.SetKeepConnection(false);
    EXPECT_FALSE(database.Connected());
}

TEST_F(DatabaseTest, EmptyFileNameOpensTheDatabaseNameAsPath) {
    TVeskDatabase database;
    database.SetDatabaseName(path_);
    database.Open();
    EXPECT_TRUE(database.Connected());
    ASSERT_EQ(database.TableDefs().Count(), 2);
    EXPECT_EQ(database.TableDefs().Items(1).Name, "items");
    EXPECT_EQ(database.TableDefs().Items(1).TableNo, 1);
    EXPECT_NE(database.FindTableIO("ITEMS"), nullptr);
    EXPECT_EQ(database.FindTableIO("nosuch"), nullptr);
    EXPECT_FALSE(database.Encrypted());
    database.Close();
    EXPECT_EQ(database.TableDefs().Count(), 0);
    EXPECT_EQ(database.FindTableIO("items"), nullptr);
}

TEST_F(DatabaseTest, DisconnectClosesTheDataSets) {
    TVeskDatabase database;
    database.SetDatabaseName("db");
    database.SetFileName(path_);
    LinkedTable first("A"), second("B", "other");
    first.SetDatabaseName("db");
    second.SetDatabaseName("db");
    first.Open();
    second.Open();
    database.Close();
    EXPECT_FALSE(first.Active());
    EXPECT_FALSE(second.Active());
    EXPECT_EQ(first.Database(), nullptr);
    EXPECT_EQ(database.RefCount(), 0);
    first.Open();  // connects again
    EXPECT_EQ(database.RefCount(), 1);
}

TEST_F(DatabaseTest, PrefixedComponentMessages) {
    TVeskDatabase database(nullptr, "VeskDatabase1");
    TVeskDatabase unnamed;
    EXPECT_EQ(ErrorOf([&] { database.Encrypted(); }),
              "VeskDatabase1: Cannot perform this operation on a closed database");
    EXPECT_EQ(ErrorOf([&] { unnamed.CRC32(); }),
              "Cannot perform this operation on a closed database");
    EXPECT_EQ(ErrorOf([&] { database.Open(); }), "VeskDatabase1: Database name missing");
    database.SetDatabaseName("123");
    database.SetFileName(path_);
    database.Open();
    const std::string open = "VeskDatabase1: Cannot perform this operation on an open database";
    EXPECT_EQ(ErrorOf([&] { database.SetFileName("other.dat"); }), open);
    EXPECT_EQ(ErrorOf([&] { database.SetDatabaseName("x"); }), open);
    EXPECT_EQ(ErrorOf([&] { database.SetMediumType(mtMemory); }), open);
    EXPECT_EQ(ErrorOf([&] { database.SetExclusive(true); }), open);
    EXPECT_EQ(ErrorOf([&] { database.SetSessionName("x"); }), open);
    EXPECT_EQ(ErrorOf([&] { unnamed.SetDatabaseName("123"); }), "Duplicate database name '123'");
    database.Close();
    database.SetFileName(path_ + ".2");
    EXPECT_EQ(database.FileName(), path_ + ".2");
    EXPECT_EQ(ErrorOf([&] { database.Open(); }), "Cannot open file " + path_ + ".2");
    EXPECT_FALSE(database.Connected());
    EXPECT_EQ(database.FileIO(), nullptr);

    database.SetSessionName("nosuch");
    EXPECT_EQ(ErrorOf([&] { database.Open(); }), "Invalid session name nosuch");
}

TEST_F(DatabaseTest, DataSetPropertiesWhileOpen) {
    TVeskDatabase database;
    database.SetDatabaseName("db");
    database.SetFileName(path_);
    LinkedTable table("Tftpsite");
    table.SetDatabaseName("db");
    table.Open();
    EXPECT_EQ(ErrorOf([&] { table.SetDatabaseName("x"); }),
              "Tftpsite: Cannot perform this operation on an open dataset");
    EXPECT_EQ(ErrorOf([&] { table.SetSessionName("x"); }),
              "Tftpsite: Cannot perform this operation on an open dataset");
    table.Close();
    table.SetDatabaseName("x");
    EXPECT_EQ(table.DatabaseName(), "x");
}

TEST_F(DatabaseTest, TemporaryDatabaseLivesAsLongAsItsTable) {
    TVeskSession& session = DefaultSession();
    const int before = session.DatabaseCount();
    LinkedTable bookmark("Tbookmark");
    bookmark.SetDatabaseName(path_);
    bookmark.Open();
    TVeskDatabase* temporary = session.FindDatabase(path_);
    ASSERT_NE(temporary, nullptr);
    EXPECT_TRUE(temporary->Temporary());
    EXPECT_EQ(temporary->RefCount(), 1);
    EXPECT_EQ(bookmark.Database(), temporary);
    EXPECT_EQ(session.DatabaseCount(), before + 1);
    bookmark.Close();
    EXPECT_EQ(session.FindDatabase(path_), nullptr);
    EXPECT_EQ(session.DatabaseCount(), before);
}

TEST_F(DatabaseTest, FailedOpenLeavesNothingBehind) {
    struct Case {
        const char* what;
        std::string databaseName;
        std::string tableName;
        std::string message;
    };
    TVeskDatabase component(nullptr, "VeskDatabase1");
    component.SetDatabaseName("123");
    component.SetFileName(path_);
    const Case cases[] = {
        {"missing file", folder_ + "/missing.dat", "items",
         "Cannot open file " + folder_ + "/missing.dat"},
        {"missing table in a temporary database", path_, "nosuch", "T: Table 'nosuch' not found"},
        {"missing table in a component database", "123", "nosuch", "T: Table 'nosuch' not found"},
    };
    TVeskSession& session = DefaultSession();
    const int before = session.DatabaseCount();
    for (const Case& c : cases) {
        LinkedTable table("T", c.tableName);
        table.SetDatabaseName(c.databaseName);
        EXPECT_EQ(ErrorOf([&] { table.Open(); }), c.message) << c.what;
        EXPECT_FALSE(table.Active()) << c.what;
        EXPECT_EQ(table.Database(), nullptr) << c.what;
        EXPECT_EQ(session.DatabaseCount(), before) << c.what;
        EXPECT_EQ(component.RefCount(), 0) << c.what;
        EXPECT_EQ(component.GetDataSetCount(), 0) << c.what;
        EXPECT_FALSE(component.Connected()) << c.what;
    }
}

// Encrypted files: the password's digest text is in the options block.
class AccessTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        DatabaseSchema schema = write_testing::ItemsSchema();
        schema.options.encryption = true;
        schema.options.cipherName = "Blowfish";
        schema.options.passwordDigest = CalcHashString(&THash_SHA::New, "secret", nullptr);
        secretPath_ = folder_ + "/secret.dat";
        CreateDatabaseFile(secretPath_, schema);
        previous_ = SetLoginPrompt([this](const std::string& fileName, std::string& password) {
            prompts_.push_back(fileName);
            if (answer_ == nullptr)
                return false;
            password = answer_;
            return true;
        });
    }
    void TearDown() override {
        SetLoginPrompt(previous_);
        EngineTest::TearDown();
    }

    std::string secretPath_;
    TLoginPrompt previous_;
    const char* answer_ = nullptr;
    std::vector<std::string> prompts_;
};

TEST_F(AccessTest, PlainFileNeverPrompts) {
    LinkedTable table("T");
    table.SetDatabaseName(path_);
    table.Open();
    EXPECT_TRUE(table.Active());
    EXPECT_TRUE(prompts_.empty());
}

TEST_F(AccessTest, PromptAnswers) {
    struct Case {
        const char* answer;  // nullptr: Cancel
        bool opens;
        std::string message;
    };
    const Case cases[] = {
        {nullptr, false, ""},
        {"wrong", false, "Access denied"},
        {"secret", true, ""},
    };
    for (const Case& c : cases) {
        answer_ = c.answer;
        prompts_.clear();
        LinkedTable table("T");
        table.SetDatabaseName(secretPath_);
        std::string message;
        bool aborted = false;
        try {
            table.Open();
        } catch (const EDatabaseError& error) {
            message = error.what();
        } catch (const EAbort&) {
            aborted = true;
        }
        const std::string what = c.answer ? c.answer : "cancel";
        EXPECT_EQ(prompts_, std::vector<std::string>{secretPath_}) << what;
        EXPECT_EQ(aborted, c.answer == nullptr) << what;
        EXPECT_EQ(message, c.message) << what;
        EXPECT_EQ(table.Active(), c.opens) << what;
        table.Close();
        EXPECT_EQ(DefaultSession().FindDatabase(secretPath_), nullptr) << what;
    }
}

TEST_F(AccessTest, KnownPasswordsSkipThePrompt) {
    DefaultSession().Passwords = {"first", "secret"};
    LinkedTable table("T");
    table.SetDatabaseName(secretPath_);
    table.Open();
    EXPECT_TRUE(table.Active());
    EXPECT_TRUE(prompts_.empty());
    table.Close();

    // A password given to the database is kept although a wrong session password is tried.
    DefaultSession().Passwords = {"first"};
    TVeskDatabase database;
    database.SetDatabaseName("enc");
    database.SetFileName(secretPath_);
    database.SetPassword("secret");
    LinkedTable second("T2");
    second.SetDatabaseName("enc");
    second.Open();
    EXPECT_TRUE(second.Active());
    EXPECT_TRUE(prompts_.empty());
    second.Close();
    database.SetPassword("bad");
    EXPECT_EQ(ErrorOf([&] { second.Open(); }), "Access denied");
    EXPECT_TRUE(prompts_.empty());
}

// A temporary database is named by its file's path, and paths that differ in letter case
// name different files.
TEST_F(DatabaseTest, TemporaryDatabasesOfPathsThatDifferInCaseStayApart) {
    const std::string other = folder_ + "/ITEMS.dat";
    CreateDatabaseFile(other, write_testing::ItemsSchema());
    TVeskSession& session = DefaultSession();
    const int before = session.DatabaseCount();
    LinkedTable lower("Tlower");
    lower.SetDatabaseName(path_);
    lower.Open();
    LinkedTable upper("Tupper");
    upper.SetDatabaseName(other);
    upper.Open();
    ASSERT_NE(lower.Database(), upper.Database());
    EXPECT_EQ(upper.Database()->DatabaseName(), other);
    EXPECT_EQ(session.DatabaseCount(), before + 2);
    EXPECT_EQ(session.FindDatabase(other), upper.Database());
    // A component database keeps the session's rule: its name ignores case.
    TVeskDatabase named;
    named.SetDatabaseName("Named");
    EXPECT_EQ(session.FindDatabase("NAMED"), &named);
}

TEST_F(DatabaseTest, UnusedTemporaryGivesWayToANamedDatabase) {
    TVeskSession& session = DefaultSession();
    session.KeepConnections = true;  // the temporary database stays after its table closes
    {
        LinkedTable table("T");
        table.SetDatabaseName(path_);
        table.Open();
    }
    TVeskDatabase* temporary = session.FindDatabase(path_);
    ASSERT_NE(temporary, nullptr);
    EXPECT_EQ(temporary->RefCount(), 0);
    EXPECT_TRUE(temporary->Connected());

    TVeskDatabase named;
    named.SetDatabaseName(path_);
    EXPECT_EQ(session.FindDatabase(path_), &named);
    EXPECT_FALSE(session.FindDatabase(path_)->Temporary());

    LinkedTable table("T");
    table.SetDatabaseName(path_);
    table.Open();
    EXPECT_EQ(table.Database(), &named);
    TVeskDatabase third;
    EXPECT_EQ(ErrorOf([&] { third.SetDatabaseName(path_); }),
              "Duplicate database name '" + path_ + "'");
}

}  // namespace
}  // namespace vesk

namespace vesk {
namespace {

TEST_F(AccessTest, WritesThroughCompressionAndEncryptionWithProgress) {
    DatabaseSchema schema = write_testing::ItemsSchema();
    schema.options.compression = true;
    schema.options.compressionName = "ZIP";
    schema.options.encryption = true;
    schema.options.cipherName = "Blowfish";
    schema.options.passwordDigest = CalcHashString(&THash_SHA::New, "pw", nullptr);
    const std::string path = folder_ + "/packed.dat";
    CreateDatabaseFile(path, schema);

    TVeskDatabase database(nullptr, "Packed");
    database.SetDatabaseName("packed");
    database.SetFileName(path);
    std::map<std::string, int> progress;
    auto count = [&](const char* kind) {
        return [&progress, &database, kind](TVeskDatabase& sender, int) {
            EXPECT_EQ(&sender, &database);
            ++progress[kind];
        };
    };
    database.OnCompressProgress = count("compress");
    database.OnUncompressProgress = count("uncompress");
    database.OnEncryptProgress = count("encrypt");
    database.OnDecryptProgress = count("decrypt");
    const std::string memo(5000, 'm');
    {
        database.SetPassword("pw");
        LinkedTable table("T");
        table.SetDatabaseName("packed");
        table.Open();
        EXPECT_TRUE(database.Encrypted());
        EXPECT_TRUE(database.Compressed());
        write_testing::ItemRecord record(0, 7, "hidden name", memo);
        TVeskTableWriter(*table.TableIO()).AppendRecordData(record.buffers, false);
        EXPECT_EQ(record.Id(), 1);
    }
    EXPECT_FALSE(database.Connected());
    EXPECT_GT(progress["compress"], 0);
    EXPECT_GT(progress["encrypt"], 0);
    const std::vector<std::uint8_t> bytes = write_testing::FileBytes(path);
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(text.find("hidden name"), std::string::npos) << "values are stored enciphered";

    DefaultSession().Passwords = {"pw"};
    LinkedTable table("T");
    table.SetDatabaseName("packed");
    table.Open();
    TVeskTableIO& io = *table.TableIO();
    TMemoryStream value;
    io.ReadFieldValue(value, 0, 2);
    EXPECT_EQ(std::string(value.AsString().c_str()), "hidden name");
    io.ReadFieldValue(value, 0, 3);
    EXPECT_EQ(value.AsString(), memo);
    std::uint8_t descriptor[kBlobDescriptorSize];
    database.FileIO()->ReadExact(descriptor,
                                 io.GetRecordList(0)[0].RecordOffset + io.FieldOffsets()[3],
                                 sizeof descriptor, "descriptor");
    EXPECT_LT(format::GetI32(descriptor + format::kBlobStoredSize), 1000) << "stored compressed";
    EXPECT_GT(progress["uncompress"], 0);
    EXPECT_GT(progress["decrypt"], 0);

    // A modify with key 0 keeps the enciphered stored key and hands it back deciphered.
    write_testing::ItemRecord changed(0, 8, "other name", "short");
    TVeskTableWriter(io).ModifyRecordData(changed.buffers, 0, false);
    EXPECT_EQ(changed.Id(), 1);
    table.Close();
    table.Open();
    TVeskTableIO& again = *table.TableIO();
    again.ReadFieldValue(value, 0, 0);
    EXPECT_EQ(format::GetI32(value.Memory()), 1);
    again.ReadFieldValue(value, 0, 3);
    EXPECT_EQ(value.AsString(), "short");
}

}  // namespace
}  // namespace vesk

namespace vesk {
namespace {

TEST_F(DatabaseTest, MemoryMediumDatabaseTakesWrites) {
    TMemoryStream image;
    const std::vector<std::uint8_t> fresh = BuildDatabaseImage(write_testing::ItemsSchema());
    image.Write(fresh.data(), static_cast<std::int64_t>(fresh.size()));
    TMemoryImageRegistration registration(image);
    TVeskDatabase database;
    database.SetMediumType(mtMemory);
    database.SetDatabaseName(registration.Name());
    LinkedTable table("T");
    table.SetDatabaseName(registration.Name());
    table.Open();
    write_testing::ItemRecord record(0, 4, "in memory", "blob");
    TVeskTableWriter(*table.TableIO()).AppendRecordData(record.buffers, true);
    table.Close();
    EXPECT_GT(image.Size(), static_cast<std::int64_t>(fresh.size()));
    table.Open();
    EXPECT_EQ(table.TableIO()->GetRecordList(0).size(), 1u);
    TMemoryStream value;
    table.TableIO()->ReadFieldValue(value, 0, 2);
    EXPECT_STREQ(reinterpret_cast<const char*>(value.Memory()), "in memory");
}

}  // namespace
}  // namespace vesk
