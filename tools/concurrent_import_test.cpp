// Two database tools appending to one file at the same time: every row must arrive once, with
// a key of its own, and the file must stay sound.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tools/database_fixture_test_support.h"

namespace {

using vesktool::testing::ScratchFolder;
using vesktool::testing::Vesk;

// Starts the real tool executable in a process of its own; returns its process id.
pid_t StartTool(const std::vector<std::string>& args) {
    const pid_t pid = fork();
    if (pid == 0) {
        std::vector<char*> argv;
        const std::string tool = std::string(ZANTROPE_BIN_DIR) + "/vesk";
        argv.push_back(const_cast<char*>(tool.c_str()));
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        if (freopen("/dev/null", "w", stdout) == nullptr)
            _exit(126);
        execv(tool.c_str(), argv.data());
        _exit(127);
    }
    return pid;
}

int WaitFor(pid_t pid) {
    int status = 0;
    if (waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(ConcurrentImport, TwoProcessesAppendingToOneFileKeepEveryRowOnce) {
    ScratchFolder folder;
    const std::string schema = folder / "t.schema", file = folder / "t.dat";
    std::ofstream(schema) << "table t\nfield id autoinc\nfield name string 40\nfield n integer\n"
                             "index pk id primary unique\nindex byname name caseinsensitive\n";
    ASSERT_EQ(Vesk({"create", file, schema}).code, 0);

    constexpr int kRowsEach = 600;  // crosses the first chunk boundary together
    std::set<std::string> expected;
    std::vector<std::string> tsvs;
    for (const char* writer : {"a", "b"}) {
        const std::string tsv = folder / (std::string(writer) + ".tsv");
        std::ofstream out(tsv);
        out << "name\tn\n";
        for (int i = 0; i < kRowsEach; ++i) {
            const std::string name = std::string(writer) + "-" + std::to_string(i);
            out << name << "\t" << i << "\n";
            expected.insert(name);
        }
        tsvs.push_back(tsv);
    }
    const pid_t first = StartTool({"import", file, "t", tsvs[0]});
    const pid_t second = StartTool({"import", file, "t", tsvs[1]});
    ASSERT_GT(first, 0);
    ASSERT_GT(second, 0);
    EXPECT_EQ(WaitFor(first), 0);
    EXPECT_EQ(WaitFor(second), 0);

    std::istringstream dump(Vesk({"dump", file, "t"}).out);
    std::string line;
    ASSERT_TRUE(std::getline(dump, line));
    EXPECT_EQ(line, "id\tname\tn");
    std::set<std::string> names;
    std::set<int> keys;
    while (std::getline(dump, line)) {
        const size_t tab = line.find('\t');
        const size_t tab2 = line.find('\t', tab + 1);
        ASSERT_NE(tab2, std::string::npos) << line;
        EXPECT_TRUE(keys.insert(std::stoi(line.substr(0, tab))).second)
            << "key given twice: " << line;
        EXPECT_TRUE(names.insert(line.substr(tab + 1, tab2 - tab - 1)).second)
            << "row twice: " << line;
    }
    EXPECT_EQ(names, expected);
    EXPECT_EQ(keys.size(), 2u * kRowsEach);
    EXPECT_EQ(*keys.begin(), 1);
    EXPECT_EQ(*keys.rbegin(), 2 * kRowsEach);
    const vesktool::testing::ToolRun check = Vesk({"check", file});
    EXPECT_EQ(check.code, 0) << check.out << check.err;
}

}  // namespace
