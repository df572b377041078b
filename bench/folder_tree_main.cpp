// A folder tree of 2,000 files of 4 KiB in 20 folders, downloaded and uploaded by a connection
// page's queue run (one folder entry each way), against lftp's mirror (one connection) on the
// same private vsftpd in the same run. Each round times ours and lftp's download, then ours
// and lftp's upload (who goes first alternates), each into a fresh folder, and checks that every
// copy is complete. Needs root (vsftpd) and lftp. Prints every time, the best of each and the
// ratios ours/lftp, and the longest gap between two turns of the event loop while ours run.
#include <sys/stat.h>

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/folder_tree_page.h"
#include "tests/ftp_servers/child_process.h"
#include "tests/ftp_servers/file_bytes.h"
#include "tests/ftp_servers/temp_folder.h"
#include "tests/ftp_servers/vsftpd_server.h"

namespace {

constexpr int kFolders = 20;
constexpr int kFilesPerFolder = 100;
constexpr std::size_t kFileSize = 4096;
constexpr int kRounds = 4;
using Clock = std::chrono::steady_clock;

void MakeTree(const std::string& root) {
    ::mkdir(root.c_str(), 0755);
    char name[64];
    for (int folder = 0; folder < kFolders; ++folder) {
        std::snprintf(name, sizeof name, "/d%02d", folder);
        const std::string path = root + name;
        ::mkdir(path.c_str(), 0755);
        for (int file = 0; file < kFilesPerFolder; ++file) {
            std::snprintf(name, sizeof name, "/f%03d.bin", file);
            ftptest::WriteFileBytes(path + name,
                                    ftptest::RandomBytes(kFileSize, folder * 1000 + file));
        }
    }
}

// The files below `root` and their total size; throws when the copy is incomplete.
void CheckTree(const std::string& root, const char* what) {
    std::size_t files = 0, bytes = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) {
            ++files;
            bytes += entry.file_size();
        }
    }
    const std::size_t expected = std::size_t{kFolders} * kFilesPerFolder;
    if (files != expected || bytes != expected * kFileSize) {
        throw std::runtime_error(std::string(what) + ": " + std::to_string(files) + " files of " +
                                 std::to_string(bytes) + " bytes in " + root);
    }
}

double Timed(const std::function<void()>& work) {
    const Clock::time_point start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void Lftp(const ftptest::FtpAccount& account, const std::string& commands, const std::string& log) {
    const std::string script =
        "set net:connection-limit 1; set ftp:passive-mode on; " + commands + "; quit";
    ftptest::ChildProcess child({"/usr/bin/lftp", "-u", account.user + "," + account.password, "-p",
                                 std::to_string(account.port), "-e", script, account.host},
                                log, false);
    if (child.Wait() != 0)
        throw std::runtime_error("lftp failed (log " + log + ")");
}

void Line(const char* who, const std::vector<double>& times) {
    std::printf("  %-12s", who);
    for (double t : times)
        std::printf(" %7.3f s", t);
    std::printf("   best %7.3f s\n", *std::min_element(times.begin(), times.end()));
}

double Best(const std::vector<double>& times) {
    return *std::min_element(times.begin(), times.end());
}

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    try {
        ftptest::VsftpdServer server;
        const ftptest::FtpAccount& account = server.account();
        MakeTree(account.local_folder + "tree");
        ftptest::TempFolder local("tree-bench");
        MakeTree(local.File("source"));
        // Each upload makes a remote folder of its local folder's name: one name per round.
        for (int round = 0; round < kRounds; ++round)
            MakeTree(local.File("ours-up" + std::to_string(round)));

        bench::TreePage page(account);
        std::vector<double> oursDown, lftpDown, oursUp, lftpUp, loopGaps;
        for (int round = 0; round < kRounds; ++round) {
            const std::string n = std::to_string(round);
            const auto oursDownload = [&] {
                oursDown.push_back(Timed([&] { page.Download("tree", local.File("ours" + n)); }));
                loopGaps.push_back(page.LastLongestGap());
                CheckTree(local.File("ours" + n), "our download");
            };
            const auto lftpDownload = [&] {
                lftpDown.push_back(Timed([&] {
                    Lftp(account,
                         "mirror " + account.remote_folder + "tree " + local.File("lftp" + n),
                         local.File("lftp.log"));
                }));
                CheckTree(local.File("lftp" + n), "lftp's download");
            };
            const auto oursUpload = [&] {
                oursUp.push_back(Timed([&] { page.Upload(local.File("ours-up" + n)); }));
                loopGaps.push_back(page.LastLongestGap());
                CheckTree(account.local_folder + "ours-up" + n, "our upload");
            };
            const auto lftpUpload = [&] {
                lftpUp.push_back(Timed([&] {
                    Lftp(account,
                         "mirror -R " + local.File("source") + " " + account.remote_folder +
                             "lftp-up" + n,
                         local.File("lftp.log"));
                }));
                CheckTree(account.local_folder + "lftp-up" + n, "lftp's upload");
            };
            // Who goes first changes every round, so the state the round before left the file
            // system in favours neither side.
            if (round % 2 == 0) {
                oursDownload();
                lftpDownload();
                oursUpload();
                lftpUpload();
            } else {
                lftpDownload();
                oursDownload();
                lftpUpload();
                oursUpload();
            }
        }

        std::printf(
            "vsftpd on 127.0.0.1, %d files of %zu bytes in %d folders, passive mode, "
            "%d rounds\n",
            kFolders * kFilesPerFolder, kFileSize, kFolders, kRounds);
        Line("ours down", oursDown);
        Line("lftp down", lftpDown);
        Line("ours up", oursUp);
        Line("lftp up", lftpUp);
        std::printf("  ratio ours/lftp (best runs): download %.3f, upload %.3f\n",
                    Best(oursDown) / Best(lftpDown), Best(oursUp) / Best(lftpUp));
        std::printf("  longest gap between two event-loop turns during our runs:");
        for (double gap : loopGaps)
            std::printf(" %.1f ms", gap * 1000.0);
        std::printf("\n");
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "folder_tree_bench: %s\n", e.what());
        return 1;
    }
}
