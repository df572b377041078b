#include "platform/os/private_profile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

namespace fs = std::filesystem;

class PrivateProfile : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("zantrope_profile_" + std::to_string(::getpid()) + "_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        path_ = (folder_ / "forminfo.ini").string();
    }
    void TearDown() override { fs::remove_all(folder_); }

    void WriteRaw(const std::string& content) const {
        std::ofstream(path_, std::ios::binary) << content;
    }
    std::string ReadRaw() const {
        std::ifstream in(path_, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    fs::path folder_;
    std::string path_;
};

TEST_F(PrivateProfile, EveryWrittenValueReadsBackExactly) {
    const std::string values[] = {
        "",
        "307",
        "/home/user/My Files",
        " leading",
        "trailing\t",
        "\"quoted\"",
        "\"",
        "a\"b",
        "back\\slash",
        "two\nlines",
        "cr\r\nlf",
        "semi;colon=x",
        "[not a section]",
        "\xC3\xA9t\xC3\xA9",
        "-1",
    };
    for (const std::string& value : values) {
        os::WritePrivateProfileString("MAIN", "LOCALPATH", value, path_);
        EXPECT_EQ(os::GetPrivateProfileString("MAIN", "LOCALPATH", "default", path_), value)
            << "file: " << ReadRaw();
        // The file keeps one section with one key however often it is written.
        EXPECT_EQ(os::GetPrivateProfileString("MAIN", "OTHER", "none", path_), "none");
    }
    EXPECT_EQ(ReadRaw(), "[MAIN]\nLOCALPATH=-1\n");
}

TEST_F(PrivateProfile, SectionsAndKeysIgnoreCaseAndOtherLinesAreKept) {
    WriteRaw("; layout\r\n[Main]\r\nP2 = 2 \r\n\r\n[ftp]\r\ninfo=93\r\n");
    EXPECT_EQ(os::GetPrivateProfileInt("MAIN", "p2", 0, path_), 2);
    EXPECT_EQ(os::GetPrivateProfileInt("FTP", "INFO", 0, path_), 93);
    EXPECT_EQ(os::GetPrivateProfileInt("FTP", "P2", -5, path_), -5);  // key of another section

    os::WritePrivateProfileString("MAIN", "PWIDTH", "400", path_);
    os::WritePrivateProfileString("FTP", "INFO", "120", path_);
    os::WritePrivateProfileString("NEW", "KEY", "v", path_);
    EXPECT_EQ(ReadRaw(),
              "; layout\r\n[Main]\r\nP2 = 2 \r\nPWIDTH=400\r\n\r\n[ftp]\r\nINFO=120\r\n"
              "[NEW]\r\nKEY=v\r\n");
}

TEST_F(PrivateProfile, LfAndCrLfFilesReadAlike) {
    for (const char* lineEnd : {"\n", "\r\n"}) {
        const std::string e = lineEnd;
        WriteRaw("[MAIN]" + e + "LOCALPATH=/tmp/x" + e + "FTPSITEVIEW=3" + e);
        EXPECT_EQ(os::GetPrivateProfileString("MAIN", "LOCALPATH", "-1", path_), "/tmp/x");
        EXPECT_EQ(os::GetPrivateProfileInt("MAIN", "FTPSITEVIEW", 0, path_), 3);
    }
}

TEST_F(PrivateProfile, IntegersThatAreNoNumberGiveTheDefault) {
    const struct {
        const char* stored;
        int expected;
    } cases[] = {
        {"93", 93},         {" -4 ", -4},
        {"+7", 7},          {"", 11},
        {"12px", 11},       {"0x10", 11},
        {"3.5", 11},        {"abc", 11},
        {"- 1", 11},        {"2147483647", 2147483647},
        {"2147483648", 11}, {"-2147483648", -2147483647 - 1},
    };
    for (const auto& c : cases) {
        WriteRaw(std::string("[FTP]\nINFO=") + c.stored + "\n");
        EXPECT_EQ(os::GetPrivateProfileInt("FTP", "INFO", 11, path_), c.expected) << c.stored;
    }
}

TEST_F(PrivateProfile, MissingFileSectionOrKeyGiveTheDefault) {
    EXPECT_EQ(os::GetPrivateProfileString("MAIN", "LOCALPATH", "-1", path_), "-1");
    EXPECT_EQ(os::GetPrivateProfileInt("MAIN", "PWIDTH", 307, path_), 307);
    WriteRaw("[FTP]\nUPDOWN=116\nbroken line\n[MAIN\nLVCVIEW=1\n");
    EXPECT_EQ(os::GetPrivateProfileInt("MAIN", "PWIDTH", 307, path_), 307);
    EXPECT_EQ(os::GetPrivateProfileInt("FTP", "UPDOWN", 0, path_), 116);
    EXPECT_FALSE(fs::exists(folder_ / "forminfo.ini.tmp"));
}

TEST_F(PrivateProfile, FailedWriteRaisesTheMessageAndKeepsTheOldFile) {
    const std::string inMissingFolder = (folder_ / "gone" / "forminfo.ini").string();
    try {
        os::WritePrivateProfileString("MAIN", "P2", "1", inMissingFolder);
        FAIL() << "no error";
    } catch (const os::ProfileWriteError& error) {
        EXPECT_EQ(std::string(error.what()), "Unable to write to " + inMissingFolder);
    }
    const std::string folderAsFile = (folder_ / "sub").string();
    fs::create_directory(folderAsFile);
    EXPECT_THROW(os::WritePrivateProfileString("MAIN", "P2", "1", folderAsFile),
                 os::ProfileWriteError);
    EXPECT_TRUE(fs::is_directory(folderAsFile));
    // No sibling file is left behind by the failed attempts.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);
}

TEST_F(PrivateProfile, AWriteThroughALinkChangesTheFileItNames) {
    const fs::path real = folder_ / "real.ini";
    std::ofstream(real) << "[FTP]\nINFO=93\n";
    fs::create_symlink(real, path_);
    os::WritePrivateProfileString("FTP", "INFO", "120", path_);
    EXPECT_TRUE(fs::is_symlink(path_));
    EXPECT_EQ(os::GetPrivateProfileInt("FTP", "INFO", 0, real.string()), 120);
}

TEST_F(PrivateProfile, NamesThatCannotBeStoredAreRefused) {
    for (const char* name : {"", " MAIN", "MA]IN", "MA\nIN"}) {
        EXPECT_THROW(os::WritePrivateProfileString(name, "KEY", "v", path_), std::invalid_argument)
            << name;
    }
    for (const char* name : {"", "K=EY", "KEY ", "K\rEY"}) {
        EXPECT_THROW(os::WritePrivateProfileString("MAIN", name, "v", path_), std::invalid_argument)
            << name;
    }
    EXPECT_FALSE(fs::exists(path_));
}

}  // namespace
