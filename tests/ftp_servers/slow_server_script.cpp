#include "tests/ftp_servers/slow_server_script.h"

#include "tests/ftp_servers/scripted_login.h"

namespace ftptest {

std::string SlowServerScript(const SlowServerPacing& pacing) {
    const std::string size = std::to_string(SlowFileSize(pacing));
    const std::string listing =
        R"({"data_send": "-rw-r--r-- 1 u g )" + size + R"( Jan 02 2026 slow.bin\r\n"}, )";
    std::string slowList = R"({"expect": "LIST.*", "reply": ["150 Listing", {"delay": )" +
                           std::to_string(pacing.listSeconds) + "}, " + listing +
                           R"({"data_close": true}, "226 Done"]})";
    std::string steps = R"({"expect": "LIST.*", "reply": ["150 Listing", )" + listing +
                        R"({"data_close": true}, "226 Done"]})";
    for (int i = 0; i < pacing.slowLists; ++i)
        steps += ",\n    " + slowList;
    std::string paced = R"(["150 Opening data connection")";
    const std::string chunk(static_cast<std::size_t>(pacing.chunkBytes), 'z');
    for (int i = 0; i < pacing.chunks; ++i) {
        paced += R"(, {"data_send": ")" + chunk + R"("}, {"delay": )" +
                 std::to_string(pacing.chunkSeconds) + "}";
    }
    paced += R"(, {"data_close": true}, "226 Transfer complete"])";
    return R"({"builtin_data": true,
  "steps": [
    )" + steps +
           R"(],
  "rules": [)" +
           kLoginRules + "," + kRootFolderRules + R"(,
    {"expect": "SIZE slow.bin", "reply": "213 )" +
           size + R"("},
    {"expect": "RETR slow.bin", "reply": )" +
           paced + R"(},
    {"expect": "NOOP", "reply": "200 NOOP ok"},
    {"expect": "STAT", "reply": [{"hang": true}]}]})";
}

}  // namespace ftptest
