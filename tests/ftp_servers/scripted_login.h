#pragma once
// For the scripted-server tests: the script rules of a plain login (USER, PASS, SYST, TYPE),
// to be joined with each test's own rules, and those of a server whose every folder change
// succeeds in "/".
namespace ftptest {

inline const char* const kLoginRules = R"(
    {"expect": "USER .*", "reply": "331 Password required"},
    {"expect": "PASS .*", "reply": "230 Logged in"},
    {"expect": "SYST", "reply": "215 UNIX Type: L8"},
    {"expect": "TYPE .*", "reply": "200 Type set"})";

// Every CWD succeeds and PWD names "/".
inline const char* const kRootFolderRules = R"(
    {"expect": "CWD .*", "reply": "250 Folder changed"},
    {"expect": "PWD", "reply": "257 \"/\" is the current folder"})";

}  // namespace ftptest
