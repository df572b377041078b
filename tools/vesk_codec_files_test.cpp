// Database files whose options ask for compression, a cipher or the blob write check, made by
// `vesk create`, written by `vesk import` and `vesk delete` and read back by `vesk dump`.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "engine/codec/algo_registry.h"
#include "engine/codec/standard_algorithms.h"
#include "engine/dataset/vesk_blob_stream.h"
#include "engine/dataset/vesk_table.h"
#include "engine/db_file_io.h"
#include "engine/session.h"
#include "engine/session_list.h"
#include "engine/table_io.h"
#include "engine/table_io_owner.h"
#include "tools/database_fixture_test_support.h"
#include "tools/tsv_format.h"
#include "tools/vesk_commands.h"

namespace {

using vesktool::kExitFailed;
using vesktool::kExitOk;
using vesktool::kExitUsage;
using vesktool::testing::ReadWholeFile;
using vesktool::testing::ScratchFolder;
using vesktool::testing::ToolRun;
using vesktool::testing::Vesk;

// Codec fields take part in the file's codecs; "tag" and "raw" are stored plain.
constexpr const char* kNotesTable =
    "table notes\n"
    "field id autoinc\n"
    "field name string 30\n"
    "field tag string 12 plain\n"
    "field count integer\n"
    "field body memo\n"
    "field raw blob plain\n"
    "index pk id primary unique\n"
    "index byname name caseinsensitive\n";

constexpr const char* kSecretName = "Secret alpha";  // 12 bytes: a partial last block
constexpr const char* kPlainTag = "open-tag-1";
constexpr const char* kPlainBlob = "plain-blob-bytes";

// A body that spans two compression pieces (65,536 bytes each) and compresses well.
std::string LongBody() {
    std::string body;
    for (int line = 0; body.size() < 70'000; ++line)
        body += "body marker line " + std::to_string(line) + "\twith a tab\n";
    return body;
}

// The rows as `vesk dump` prints them; `vesk import` reads the same text.
std::string NotesTsv() {
    using vesktool::EscapeTsvText;
    return "id\tname\ttag\tcount\tbody\traw\n"
           "1\t" +
           std::string(kSecretName) + "\t" + kPlainTag + "\t7\t" + EscapeTsvText(LongBody()) +
           "\t" + kPlainBlob +
           "\n"
           "2\tb\t\t-3\t\t\n"
           "3\tEightch!\tx\t2147483647\t" +
           EscapeTsvText(std::string(63, 'q') + '\0' + "z") + "\t\\0\n";
}

// Equality of long texts; a failure shows where they part, not all of both.
::testing::AssertionResult SameText(const std::string& actual, const std::string& expected) {
    if (actual == expected)
        return ::testing::AssertionSuccess();
    size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at])
        ++at;
    return ::testing::AssertionFailure()
           << "sizes " << actual.size() << " and " << expected.size() << ", first difference at "
           << at << ": \"" << actual.substr(at, 40) << "\" instead of \"" << expected.substr(at, 40)
           << "\"";
}

bool Holds(const std::string& bytes, const std::string& text) {
    return bytes.find(text) != std::string::npos;
}

// Runs fn on the notes table opened through the table component in the order of its
// case-insensitive index, with the password in the session's list.
template <typename Fn>
void WithNotesByName(const std::string& file, const std::string& password, Fn fn) {
    vesk::VeskDB_Initialization();
    struct SessionPassword {
        explicit SessionPassword(const std::string& password) {
            vesk::DefaultSession().Passwords = {password};
        }
        ~SessionPassword() { vesk::DefaultSession().Passwords.clear(); }
    } known(password);
    vesk::TVeskTable table("ordered");
    table.SetDatabaseName(file);
    table.SetTableName("notes");
    table.SetIndexName("byname");
    table.Open();
    fn(table);
    table.Close();
}

std::string BodyOf(vesk::TVeskTable& table) {
    return table.CreateBlobStream(table.FieldByName("body"), vesk::TBlobStreamMode::bmRead)
        ->AsString();
}

class CodecFiles : public ::testing::Test {
  protected:
    void SetUp() override { vesk::RegisterStandardAlgorithms(); }
    // The tool's commands and the table component start the engine: it stops with the test.
    void TearDown() override {
        vesk::VeskDB_Finalization();
        vesk::UnregisterAllAlgorithms();
    }

    // Creates the file from the options lines and the notes table; extra words go to create.
    ToolRun Create(const std::string& options, const std::vector<std::string>& extra = {}) {
        std::ofstream(folder_ / "s.schema") << options << kNotesTable;
        std::vector<std::string> args = {"create", file_, folder_ / "s.schema"};
        args.insert(args.end(), extra.begin(), extra.end());
        return Vesk(args);
    }
    ToolRun Import(const std::string& tsv, const std::vector<std::string>& extra = {}) {
        std::ofstream(folder_ / "in.tsv", std::ios::binary) << tsv;
        std::vector<std::string> args = {"import", file_, "notes", folder_ / "in.tsv"};
        args.insert(args.end(), extra.begin(), extra.end());
        return Vesk(args);
    }
    ToolRun Dump(const std::vector<std::string>& extra = {}) {
        std::vector<std::string> args = {"dump", file_, "notes"};
        args.insert(args.end(), extra.begin(), extra.end());
        return Vesk(args);
    }

    ScratchFolder folder_;
    std::string file_ = folder_ / "db.dat";
};

struct CodecCase {
    std::string options;  // the schema's option lines
    std::string password;
    bool enciphered;
    bool compressed;
};

std::vector<CodecCase> CodecCases() {
    std::vector<CodecCase> cases = {{"compression ZIP\n", "", false, true},
                                    {"compression zip\nblobcheck\n", "", false, true}};
    // Every cipher in every mode; compression and the blob check alternate across them.
    const char* ciphers[] = {"Blowfish", "Twofish", "Gost"};
    for (int c = 0; c < 3; ++c) {
        for (int mode = 0; mode <= 4; ++mode) {
            const bool compressed = (c + mode) % 2 == 0;
            std::string options =
                "encryption " + std::string(ciphers[c]) + " " + std::to_string(mode) + "\n";
            if (compressed)
                options += "compression ZIP\n";
            if (mode % 2 == 1)
                options += "blobcheck\n";
            cases.push_back(
                {options, "pw " + std::to_string(c) + std::to_string(mode), true, compressed});
        }
    }
    cases.push_back({"encryption gost 2\n", "", true, false});  // the empty password
    return cases;
}

TEST_F(CodecFiles, RowsRoundTripAndCodecFieldsAreUnreadableInTheFile) {
    const std::string tsv = NotesTsv();
    const std::string body = LongBody();
    for (const CodecCase& c : CodecCases()) {
        SCOPED_TRACE(c.options);
        std::filesystem::remove(file_);
        const std::vector<std::string> password = {"--password", c.password};
        const std::vector<std::string> given = c.enciphered ? password : std::vector<std::string>{};
        const ToolRun created = Create(c.options, given);
        ASSERT_EQ(created.code, kExitOk) << created.err;

        const ToolRun imported = Import(tsv, given);
        ASSERT_EQ(imported.code, kExitOk) << imported.err;
        EXPECT_EQ(imported.out, "3 rows imported\n");
        const ToolRun dumped = Dump(given);
        ASSERT_EQ(dumped.code, kExitOk) << dumped.err;
        EXPECT_TRUE(SameText(dumped.out, tsv));

        const std::string bytes = ReadWholeFile(file_);
        EXPECT_EQ(Holds(bytes, kSecretName), !c.enciphered);
        EXPECT_EQ(Holds(bytes, body.substr(0, 200)), !c.enciphered && !c.compressed);
        EXPECT_TRUE(Holds(bytes, kPlainTag));
        EXPECT_TRUE(Holds(bytes, kPlainBlob));
        if (c.compressed) {
            EXPECT_LT(bytes.size(), body.size());
        }
        EXPECT_EQ(Vesk({"check", file_}).code, kExitOk);
        // The index was ordered by the plain names; the component reads blobs back too, and
        // its edit rewrites a value and moves its blob to a larger area.
        const std::string grown(100, 'g');
        WithNotesByName(file_, c.password, [&](vesk::TVeskTable& table) {
            std::vector<std::string> names;
            for (table.First(); !table.Eof(); table.Next())
                names.push_back(table.FieldByName("name").AsString());
            EXPECT_EQ(names, (std::vector<std::string>{"b", "Eightch!", kSecretName}));
            table.Last();
            EXPECT_TRUE(SameText(BodyOf(table), body));
            table.First();
            table.Edit();
            table.FieldByName("name").SetAsString("zed");
            table.CreateBlobStream(table.FieldByName("body"), vesk::TBlobStreamMode::bmWrite)
                ->Write(grown.data(), static_cast<std::int64_t>(grown.size()));
            table.Post();
        });
        const std::string row = "2\tb\t\t-3\t\t\n";
        std::string edited = tsv;
        edited.replace(edited.find(row), row.size(), "2\tzed\t\t-3\t" + grown + "\t\n");
        EXPECT_TRUE(SameText(Dump(given).out, edited));

        // The delete finds its row by the deciphered value; the rest stay readable.
        std::vector<std::string> remove = {"delete", file_, "notes", "name", "zed"};
        remove.insert(remove.end(), given.begin(), given.end());
        EXPECT_EQ(Vesk(remove).out, "1 rows deleted\n");
        std::string expected = tsv;
        expected.erase(expected.find(row), row.size());
        EXPECT_TRUE(SameText(Dump(given).out, expected));
    }
}

TEST_F(CodecFiles, AWrongOrMissingPasswordIsRefusedAndWritesNothing) {
    ASSERT_EQ(Create("encryption Twofish 1\ncompression ZIP\n", {"--password", "right"}).code,
              kExitOk);
    ASSERT_EQ(Import(NotesTsv(), {"--password", "right"}).code, kExitOk);
    const std::string before = ReadWholeFile(file_);
    const std::vector<std::vector<std::string>> refused = {
        {"--password", "wrong"}, {"--password", "Right"}, {"--password", ""}, {}};
    for (const std::vector<std::string>& given : refused) {
        const std::string shown = given.empty() ? "(none)" : given[1];
        const ToolRun dumped = Dump(given);
        EXPECT_EQ(dumped.code, kExitFailed) << shown;
        EXPECT_EQ(dumped.err, "vesk dump: Access denied\n") << shown;
        EXPECT_EQ(dumped.out, "") << shown;
        const ToolRun imported = Import(NotesTsv(), given);
        EXPECT_EQ(imported.code, kExitFailed) << shown;
        EXPECT_EQ(imported.err, "vesk import: Access denied\n") << shown;
        std::vector<std::string> remove = {"delete", file_, "notes", "name", "b"};
        remove.insert(remove.end(), given.begin(), given.end());
        EXPECT_EQ(Vesk(remove).err, "vesk delete: Access denied\n") << shown;
        EXPECT_EQ(ReadWholeFile(file_), before) << shown;
    }
    EXPECT_EQ(Dump({"--password", "right"}).code, kExitOk);
}

TEST_F(CodecFiles, CreateRefusesFilesThatCouldNotBeOpened) {
    const struct {
        const char* options;
        std::vector<std::string> extra;
        int code;
        const char* message;
    } cases[] = {
        {"", {"--password", "x"}, kExitFailed, "--password needs a schema with an encryption"},
        {"encryption Blowfish 0\n", {}, kExitFailed, "an enciphered file needs a password"},
        {"encryption Blowfish 0 KVxYGGDUEelDThFHi6OUTLKBdn0\n",
         {"--password", "x"},
         kExitFailed,
         "not both"},
        {"encryption Rot13 0\n",
         {"--password", "x"},
         kExitFailed,
         "Encryption algorithm module 'Rot13' not found"},
        {"compression LZX\n", {}, kExitFailed, "Compression algorithm module 'LZX' not found"},
        {"encryption Gost 1\n", {"--password"}, kExitUsage, "usage:"},
        {"encryption Gost 1\n", {"--password", "a", "--password", "b"}, kExitUsage, "usage:"},
    };
    for (const auto& c : cases) {
        const ToolRun created = Create(c.options, c.extra);
        EXPECT_EQ(created.code, c.code) << c.options;
        EXPECT_TRUE(Holds(created.err, c.message)) << created.err;
        EXPECT_FALSE(std::filesystem::exists(file_)) << c.options;
    }
    // The commands that read no values take no password; check decodes values and takes one.
    EXPECT_EQ(Vesk({"tables", file_, "--password", "x"}).code, kExitUsage);
    EXPECT_EQ(Vesk({"check", file_, "--password"}).code, kExitUsage);
}

// A compressor for the blob check: its stored form is a 'K' and the value. Its next encodes
// go wrong as a failing write would: a flipped first value byte (the value reads back wrong)
// or a damaged mark (the value cannot be decoded at all).
enum class Damage { FlippedByte, BadMark };
int gDamagedEncodes = 0;
Damage gDamage = Damage::FlippedByte;

class FlakyCompress : public vesk::TCompressAlgo {
  public:
    using TCompressAlgo::TCompressAlgo;
    void EncodeStream(vesk::TStream* source, vesk::TStream* dest, std::int64_t size) override {
        std::string bytes = "K" + ReadAll(source, size);
        if (gDamagedEncodes > 0) {
            --gDamagedEncodes;
            const size_t at = gDamage == Damage::BadMark ? 0 : 1;
            if (at < bytes.size())
                bytes[at] = static_cast<char>(bytes[at] ^ 1);
        }
        WriteAll(dest, bytes);
    }
    void DecodeStream(vesk::TStream* source, vesk::TStream* dest, std::int64_t size) override {
        const std::string bytes = ReadAll(source, size);
        if (bytes.empty() || bytes[0] != 'K')
            throw std::runtime_error("Cannot Uncompress.");
        WriteAll(dest, bytes.substr(1));
    }

  private:
    static std::string ReadAll(vesk::TStream* source, std::int64_t size) {
        std::string bytes(static_cast<size_t>(size), '\0');
        source->SetPosition(0);
        source->ReadBuffer(bytes.data(), size);
        return bytes;
    }
    static void WriteAll(vesk::TStream* dest, const std::string& bytes) {
        dest->SetSize(0);
        dest->SetPosition(0);
        dest->WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    }
};

const vesk::TCompressAlgoClass kFlakyClass{
    "TFlakyCompress", [](vesk::TDataProcessOwner* owner) -> std::unique_ptr<vesk::TCompressAlgo> {
        return std::make_unique<FlakyCompress>(owner);
    }};

TEST_F(CodecFiles, TheBlobCheckRewritesAValueWhoseReadBackDiffers) {
    vesk::RegisterCompressClass(kFlakyClass, "Flaky");
    const struct {
        bool blobCheck;
        Damage damage;
        int damagedEncodes;
        int importCode;
        const char* importError;
        const char* dumped;  // the body cell, or the dump's error
    } cases[] = {
        {true, Damage::FlippedByte, 0, kExitOk, "", "\thello\t"},
        {true, Damage::FlippedByte, 1, kExitOk, "", "\thello\t"},
        {true, Damage::BadMark, 2, kExitOk, "", "\thello\t"},
        {true, Damage::FlippedByte, 3, kExitFailed, "Blob write check failed in table 'notes'", ""},
        {true, Damage::BadMark, 3, kExitFailed, "Blob write check failed in table 'notes'", ""},
        // Without the check the damage stays in the file.
        {false, Damage::FlippedByte, 1, kExitOk, "", "\tiello\t"},
        {false, Damage::BadMark, 1, kExitOk, "", "Cannot Uncompress."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.damagedEncodes) + (c.blobCheck ? " checked" : ""));
        std::filesystem::remove(file_);
        ASSERT_EQ(
            Create(std::string("compression Flaky\n") + (c.blobCheck ? "blobcheck\n" : "")).code,
            kExitOk);
        gDamage = c.damage;
        gDamagedEncodes = c.damagedEncodes;
        const ToolRun imported = Import("id\tbody\n1\thello\n");
        gDamagedEncodes = 0;
        EXPECT_EQ(imported.code, c.importCode) << imported.err;
        if (c.importCode != kExitOk) {
            EXPECT_TRUE(Holds(imported.err, c.importError)) << imported.err;
            continue;
        }
        const ToolRun dumped = Dump();
        EXPECT_TRUE(Holds(dumped.out + dumped.err, c.dumped)) << dumped.out << dumped.err;
    }
}

// Where the stored bytes of the body of entry 0 lie: the descriptor read through the engine.
std::pair<std::int64_t, std::int64_t> BodyArea(const std::string& file) {
    vesk::TVeskDBFileIO io;
    io.Open(file, vesk::mtDisk, false);
    vesk::TFileTableIOOwner owner(io);
    vesk::TVeskTableIO table(owner, "notes");
    table.Open();
    std::uint8_t descriptor[vesk::kBlobDescriptorSize];
    io.ReadExact(descriptor, table.GetRecordList(0)[0].RecordOffset + table.FieldOffsets()[4],
                 sizeof descriptor, "the descriptor");
    return {vesk::format::GetI32(descriptor + vesk::format::kBlobOffset),
            vesk::format::GetI32(descriptor + vesk::format::kBlobStoredSize)};
}

TEST_F(CodecFiles, CheckFindsAValueThatDoesNotDecodeAndReadersNameIt) {
    const struct {
        const char* options;
        const char* password;
    } cases[] = {
        {"compression ZIP\n", ""},
        {"compression ZIP\nencryption Blowfish 1\n", "secret"},
    };
    const std::string problem =
        ": table 'notes': entry 0, blob 'body': the value does not decode (";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        std::filesystem::remove(file_);
        const bool enciphered = *c.password != 0;
        const std::vector<std::string> password =
            enciphered ? std::vector<std::string>{"--password", c.password}
                       : std::vector<std::string>{};
        ASSERT_EQ(Create(c.options, password).code, kExitOk);
        ASSERT_EQ(Import("id\tbody\n1\t" + std::string(500, 'h') + "\n", password).code, kExitOk);
        std::vector<std::string> check = {"check", file_};
        check.insert(check.end(), password.begin(), password.end());
        EXPECT_EQ(Vesk(check).code, kExitOk) << Vesk(check).err;

        // One byte of the stored form flipped in the middle.
        const auto [area, size] = BodyArea(file_);
        std::fstream bytes(file_, std::ios::in | std::ios::out | std::ios::binary);
        bytes.seekg(area + size / 2);
        const char old = static_cast<char>(bytes.get());
        bytes.seekp(area + size / 2);
        bytes.put(static_cast<char>(old ^ 0x5A));
        bytes.close();

        const ToolRun checked = Vesk(check);
        EXPECT_EQ(checked.code, kExitFailed);
        EXPECT_TRUE(Holds(checked.err, file_ + problem)) << checked.err;
        const ToolRun dumped = Dump(password);
        EXPECT_EQ(dumped.code, kExitFailed);
        EXPECT_TRUE(Holds(dumped.err, "vesk dump: Database file '" + file_ +
                                          "' is damaged: the value of field 'body' of entry 0 "
                                          "of table 'notes' cannot be decoded ("))
            << dumped.err;
        if (enciphered) {
            // Without the password the values cannot be decoded: only the structure is checked.
            EXPECT_EQ(Vesk({"check", file_}).code, kExitOk);
            const ToolRun wrong = Vesk({"check", file_, "--password", "wrong"});
            EXPECT_EQ(wrong.code, kExitFailed);
            EXPECT_EQ(wrong.err, "vesk check: Access denied\n");
        }
    }
}

}  // namespace
