// A seeded loop of damaged copies of a small file of the shipped schema: byte flips in the
// structures, truncations, and counts, offsets and links set to 0, -1 and the file's size.
// Each copy is opened, every table read in physical order and by its index both ways, a row
// located, and the file checked. Nothing may crash, hang or trip the sanitizers; every refusal
// is the damage message or one of the engine's own texts for a file it cannot take; and a file
// the engine refuses is one that `vesk check` finds problems in.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "engine/codec/standard_algorithms.h"
#include "engine/database.h"
#include "engine/dataset/vesk_blob_stream.h"
#include "engine/dataset/vesk_table.h"
#include "engine/db_error.h"
#include "engine/file_builder.h"
#include "engine/file_format.h"
#include "engine/password_digest.h"
#include "engine/session.h"
#include "engine/session_list.h"
#include "tools/database_fixture_test_support.h"
#include "tools/file_check.h"
#include "tools/schema_parser.h"

namespace {

using namespace vesk;
using vesktool::testing::ReadWholeFile;
using vesktool::testing::ScratchFolder;

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

// Opens a database component on path; the caller opens tables on its name.
std::unique_ptr<TVeskDatabase> Connect(const std::string& path) {
    auto database = std::make_unique<TVeskDatabase>(nullptr, "LoopDatabase");
    database->SetDatabaseName("loop");
    database->SetFileName(path);
    database->Open();
    return database;
}

std::unique_ptr<TVeskTable> TableOf(const std::string& name, const std::string& index) {
    auto table = std::make_unique<TVeskTable>("Tloop");
    table->SetDatabaseName("loop");
    table->SetTableName(name);
    table->SetIndexName(index);
    return table;
}

// The sound file: the shipped schema of the program's settings (with the codec options given,
// enciphered with password when it is not empty), and a few rows in the tables that the
// program reads by their index and in the order rows were added.
std::vector<std::uint8_t> SoundFile(const std::string& path, const std::string& options,
                                    const std::string& password) {
    std::ifstream schemaText(std::string(ZANTROPE_SOURCE_DIR) + "/data/all.schema");
    std::stringstream text;
    text << options << schemaText.rdbuf();
    DatabaseSchema schema = vesktool::ParseSchema(text.str());
    if (!password.empty())
        schema.options.passwordDigest = PasswordDigestText(password);
    CreateDatabaseFile(path, schema);
    const auto database = Connect(path);
    for (const char* name : {"ftpsite", "proxy", "hmaster", "hdital", "task"}) {
        const auto table = TableOf(name, "");
        table->Open();
        for (int row = 0; row < 3; ++row) {
            table->Append();
            for (std::int32_t f = 0; f < table->Fields().Count(); ++f) {
                TField& field = table->Fields().Fields(f);
                if (field.DataType() == ftString)
                    field.SetAsString(std::string(name) + " row " + std::to_string(row));
                else if (field.DataType() == ftInteger)
                    field.SetAsInteger(row * 7);
            }
            table->Post();
        }
        table->Close();
    }
    database->Close();
    return Bytes(ReadWholeFile(path));
}

// The places of the structures of a sound image, found by the format's rules.
struct Structures {
    std::vector<std::int64_t> words;   // i32 counts, offsets and links
    std::vector<std::int64_t> bytes;   // every byte of the fixed part, headers and used entries
    std::vector<std::int64_t> bounds;  // where structures and records begin
};

Structures Find(const std::vector<std::uint8_t>& image) {
    using namespace format;
    Structures s;
    const auto i32 = [&](std::int64_t at) { return GetI32(image.data() + at); };
    const auto range = [&](std::int64_t at, std::int64_t size) {
        s.bounds.push_back(at);
        for (std::int64_t i = 0; i < size; ++i)
            s.bytes.push_back(at + i);
    };
    range(kFileHeaderAt, kFileHeaderSize);
    range(kOptionsAt, 71);
    range(kOptionsAt + kOptPasswordDigest, 29);
    range(kTableTabAt, kTableTabSize);
    s.words.push_back(kTableTabAt + kTabCount);
    for (std::int32_t t = 0; t < i32(kTableTabAt + kTabCount); ++t) {
        const std::int64_t h = i32(kTableTabAt + kTabOffsets + 4 * t);
        s.words.push_back(kTableTabAt + kTabOffsets + 4 * t);
        for (std::int64_t at :
             {kHdrFirstChunk, kHdrEntryCount, kHdrAutoInc, kHdrFieldCount, kHdrIndexCount})
            s.words.push_back(h + at);
        const std::int32_t fields = i32(h + kHdrFieldCount);
        const std::int32_t indexes = i32(h + kHdrIndexCount);
        range(h, kHdrFields + fields * kFieldDefSize);
        for (std::int32_t f = 0; f < fields; ++f)
            s.words.push_back(h + kHdrFields + f * kFieldDefSize + kFldDataSize);
        range(h + kHdrIndexCount, 4 + indexes * kIndexDefSize);
        const std::int32_t entries = i32(h + kHdrEntryCount);
        std::vector<std::int64_t> chains = {h + kHdrFirstChunk};
        for (std::int32_t i = 0; i < indexes; ++i) {
            const std::int64_t d = h + kHdrIndexes + i * kIndexDefSize;
            s.words.insert(s.words.end(), {d + kIdxFields, d + kIdxFirstChunk, d + kIdxHead});
            chains.push_back(d + kIdxFirstChunk);
        }
        // The files made here have fewer than 1024 entries: one chunk per chain.
        if (entries == 0)
            continue;
        for (size_t c = 0; c < chains.size(); ++c) {
            const std::int64_t chunk = i32(chains[c]);
            const std::int32_t entrySize = c == 0 ? kRecordTabEntrySize : kIndexTabEntrySize;
            s.words.push_back(chunk);
            range(chunk, 4 + entries * entrySize);
            for (std::int32_t e = 0; e < entries; ++e)
                s.words.push_back(chunk + 4 + e * entrySize + (c == 0 ? 0 : 4));
            if (c == 0)
                for (std::int32_t e = 0; e < entries; ++e)
                    s.bounds.push_back(i32(chunk + 4 + e * entrySize));
        }
    }
    return s;
}

// One damaged copy of image, chosen by the generator.
std::vector<std::uint8_t> Damage(const std::vector<std::uint8_t>& image, const Structures& s,
                                 std::mt19937& random, std::string& how) {
    std::vector<std::uint8_t> copy = image;
    const auto pick = [&](const std::vector<std::int64_t>& from) {
        return from[std::uniform_int_distribution<size_t>(0, from.size() - 1)(random)];
    };
    switch (std::uniform_int_distribution<int>(0, 9)(random)) {
        case 0:
        case 1:
        case 2:
        case 3: {
            const std::int64_t at = pick(s.bytes);
            const int bit = std::uniform_int_distribution<int>(0, 7)(random);
            copy[static_cast<size_t>(at)] ^= static_cast<std::uint8_t>(1 << bit);
            how = "bit " + std::to_string(bit) + " of byte " + std::to_string(at) + " flipped";
            break;
        }
        case 4:
        case 5:
        case 6:
        case 7: {
            const std::int64_t at = pick(s.words);
            const std::int32_t values[] = {0, -1, static_cast<std::int32_t>(image.size()),
                                           format::GetI32(image.data() + at) + 1};
            const std::int32_t value = values[std::uniform_int_distribution<int>(0, 3)(random)];
            format::PutI32(copy.data() + at, value);
            how = "word at " + std::to_string(at) + " set to " + std::to_string(value);
            break;
        }
        default: {
            // Cut at a structure's start, a little after it, or anywhere.
            std::int64_t at = pick(s.bounds) + std::uniform_int_distribution<int>(0, 8)(random);
            if (std::uniform_int_distribution<int>(0, 3)(random) == 0)
                at = std::uniform_int_distribution<std::int64_t>(
                    0, static_cast<std::int64_t>(image.size()) - 1)(random);
            copy.resize(static_cast<size_t>(std::min<std::int64_t>(at, copy.size())));
            how = "cut to " + std::to_string(copy.size()) + " bytes";
            break;
        }
    }
    return copy;
}

class DamagedFileLoop : public ::testing::Test {
  protected:
    void SetUp() override {
        VeskDB_Initialization();
        RegisterStandardAlgorithms();
    }
    void TearDown() override {
        DefaultSession().Passwords.clear();
        VeskDB_Finalization();
    }

    // Makes the sound file and runs kCopies damaged copies of it, the password known to the
    // session and given to the check.
    void Loop(const std::string& options, const std::string& password, int copies) {
        password_ = password;
        DefaultSession().Passwords = {password};
        const std::vector<std::uint8_t> sound = SoundFile(path_, options, password);
        const Structures structures = Find(sound);
        how_ = "the sound file";
        Run(sound);
        ASSERT_EQ(refusals_, 0);
        std::mt19937 random(20261210);
        for (int copy = 0; copy < copies; ++copy) {
            const std::vector<std::uint8_t> damaged = Damage(sound, structures, random, how_);
            how_ = "copy " + std::to_string(copy) + " (" + how_ + ")";
            Run(damaged);
        }
        // The loop reaches the refusals it is there for, not only harmless bytes.
        EXPECT_GT(refusals_, copies / 3);
    }

    // True for a text the engine may refuse a damaged file with.
    bool Acceptable(const std::string& text) const {
        for (const char c : text)
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
                return false;
        const auto startsWith = [&](const std::string& head) { return text.rfind(head, 0) == 0; };
        return startsWith("Database file '" + path_ + "' is damaged: ") ||
               text == "Database file '" + path_ + "' is a invalid VeskDB" ||
               text == "Version 1.00 is not compatible" ||
               text == "Version of database file is too High" ||
               (!password_.empty() && text == "Access denied") ||
               (startsWith("Encryption algorithm module '") && text.ends_with("' not found")) ||
               (startsWith("Compression algorithm module '") && text.ends_with("' not found"));
    }

    // Runs a step; a refusal must be acceptable. Returns false when the step was refused.
    bool Step(const char* what, const std::function<void()>& step) {
        try {
            step();
            return true;
        } catch (const EDatabaseError& e) {
            EXPECT_TRUE(Acceptable(e.what())) << how_ << ": " << what << ": " << e.what();
        } catch (const std::exception& e) {
            ADD_FAILURE() << how_ << ": " << what << ": not a database error: " << e.what();
        }
        refused_ = true;
        return false;
    }

    // Reads every field of the current row, blobs included.
    static void ReadRow(TVeskTable& table) {
        for (std::int32_t f = 0; f < table.Fields().Count(); ++f) {
            TField& field = table.Fields().Fields(f);
            if (field.IsBlob())
                table.CreateBlobStream(field, TBlobStreamMode::bmRead)->AsString();
            else
                field.AsString();
        }
    }

    void ScanTable(const std::string& name) {
        std::vector<std::string> orders = {""};
        {
            const auto table = TableOf(name, "");
            if (!Step("open", [&] { table->Open(); }))
                return;
            for (std::int32_t i = 0; i < table->IndexDefs().Count(); ++i)
                orders.push_back(table->IndexDefs().Items(i).Name);
        }
        for (const std::string& order : orders) {
            const auto table = TableOf(name, order);
            Step("scan", [&] {
                table->Open();
                std::int32_t forward = 0, backward = 0;
                std::string firstKey;
                for (table->First(); !table->Eof(); table->Next(), ++forward) {
                    ReadRow(*table);
                    if (forward == 0 && !table->Fields().Fields(0).IsBlob())
                        firstKey = table->Fields().Fields(0).AsString();
                }
                for (table->Last(); !table->Bof(); table->Prior(), ++backward)
                    ReadRow(*table);
                EXPECT_EQ(forward, backward) << how_ << ": " << name << " by '" << order << "'";
                // The first row's key, found through the index where it has one.
                if (forward > 0 && !firstKey.empty())
                    table->Locate(table->Fields().Fields(0).FieldName(), TKeyValue(firstKey));
            });
        }
    }

    void Run(const std::vector<std::uint8_t>& copy) {
        refused_ = false;
        {
            std::ofstream(path_, std::ios::binary | std::ios::trunc)
                .write(reinterpret_cast<const char*>(copy.data()),
                       static_cast<std::streamsize>(copy.size()));
        }
        std::unique_ptr<TVeskDatabase> database;
        if (Step("connect", [&] { database = Connect(path_); })) {
            for (const std::string& name : database->GetTableNames())
                ScanTable(name);
        }
        // `vesk check`, run in this process: one line per problem, exit status 1 when any.
        std::vector<std::string> check = {"check", path_};
        if (!password_.empty())
            check.insert(check.end(), {"--password", password_});
        const vesktool::testing::ToolRun checked = vesktool::testing::Vesk(check);
        std::vector<std::string> problems;
        std::istringstream lines(checked.err);
        for (std::string line; std::getline(lines, line);)
            problems.push_back(line);
        EXPECT_EQ(checked.code, problems.empty() ? vesktool::kExitOk : vesktool::kExitFailed)
            << how_ << ": " << checked.err;
        if (refused_) {
            EXPECT_FALSE(problems.empty()) << how_ << ": refused, but the check finds nothing";
        } else {
            // What the check finds of these kinds, every read refuses: a file read without
            // refusal holds none of them (rows that are not there, names and types no table
            // can have, values that do not decode, index orders that miss a row).
            for (const std::string& problem : problems)
                for (const char* kind :
                     {"record offset", "the order skips", "' of the table ", "' of field ",
                      "' of index ", "no table can be loaded with", "does not decode",
                      "' of the cipher ", "' of the compression algorithm ", "' is a key",
                      "no key field"})
                    EXPECT_EQ(problem.find(kind), std::string::npos)
                        << how_ << ": read without refusal, but the check finds: " << problem;
        }
        refusals_ += refused_;
    }

    ScratchFolder folder_;
    std::string path_ = folder_ / "all.dat";
    std::string password_;
    std::string how_;
    bool refused_ = false;
    int refusals_ = 0;
};

TEST_F(DamagedFileLoop, EveryDamagedCopyIsReadOrRefusedAsDamaged) {
    Loop("", "", 300);
}

// The same file compressed and enciphered: the options block's names, mode and digest too.
TEST_F(DamagedFileLoop, EveryDamagedCopyOfACodecFileIsReadOrRefusedAsDamaged) {
    Loop("compression ZIP\nencryption Blowfish 1\n", "loop secret", 100);
}

}  // namespace
