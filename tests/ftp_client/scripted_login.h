#pragma once
// For the scripted-server tests: the script rules of a plain login (USER, PASS, SYST, TYPE),
// to be joined with each test's own rules.
namespace ftptest {

inline const char* const kLoginRules = R"(
    {"expect": "USER .*", "reply": "331 Password required"},
    {"expect": "PASS .*", "reply": "230 Logged in"},
    {"expect": "SYST", "reply": "215 UNIX Type: L8"},
    {"expect": "TYPE .*", "reply": "200 Type set"})";

}  // namespace ftptest
