// Runs a command against a private vsftpd: starts the server, sets FTP_TEST_URL and
// FTP_TEST_ROOT for the command, waits for it and stops the server. Needs root.
//     with_vsftpd ctest -L ftp --output-on-failure
#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <vector>

#include "tests/ftp_servers/vsftpd_server.h"

extern char** environ;

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: with_vsftpd COMMAND [ARGUMENTS...]\n");
        return 2;
    }
    try {
        ftptest::VsftpdServer server;
        setenv("FTP_TEST_URL", server.Url().c_str(), 1);
        setenv("FTP_TEST_ROOT", server.account().local_folder.c_str(), 1);
        std::fprintf(stderr, "with_vsftpd: FTP_TEST_URL=%s FTP_TEST_ROOT=%s\n",
                     server.Url().c_str(), server.account().local_folder.c_str());
        pid_t pid = -1;
        if (posix_spawnp(&pid, argv[1], nullptr, nullptr, argv + 1, environ) != 0) {
            std::fprintf(stderr, "with_vsftpd: cannot run %s\n", argv[1]);
            return 127;
        }
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "with_vsftpd: %s\n", e.what());
        return 1;
    }
}
