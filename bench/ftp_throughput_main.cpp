// Throughput of our FTP component against curl over loopback, both talking to the same private
// vsftpd in the same run: a 1 GiB file down and up, three times each, buffers of 64 KiB.
// Needs root (vsftpd). Prints every time, the MB/s of the best run and the ratio ours/curl.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/ftp/id_ftp.h"
#include "tests/ftp_client/client_rig.h"
#include "tests/ftp_servers/child_process.h"
#include "tests/ftp_servers/file_bytes.h"
#include "tests/ftp_servers/temp_folder.h"
#include "tests/ftp_servers/vsftpd_server.h"

namespace {

constexpr std::int64_t kFileSize = std::int64_t{1} << 30;
constexpr int kBufferSize = 65536;
constexpr int kRounds = 3;

std::int64_t FileSize(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? static_cast<std::int64_t>(st.st_size) : -1;
}

// Fills the file from one random MiB repeated: the content does not matter to the transfer,
// only that it is not all zeros a lower layer might treat specially.
void MakeBigFile(const std::string& path) {
    const std::string block = ftptest::RandomBytes(1 << 20, 7);
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) {
        throw std::runtime_error("cannot create " + path);
    }
    for (std::int64_t written = 0; written < kFileSize; written += block.size()) {
        std::fwrite(block.data(), 1, block.size(), out);
    }
    std::fclose(out);
}

// Every timed run starts with the disk caught up, so no run pays for the one before it.
double Seconds(const std::function<void()>& run) {
    sync();
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void RunCurl(const std::vector<std::string>& arguments, const std::string& log) {
    std::vector<std::string> argv = {"/usr/bin/curl", "-s", "-S", "--disable-epsv"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    ftptest::ChildProcess curl(argv, log, false);
    if (curl.Wait() != 0) {
        throw std::runtime_error("curl failed (log " + log + ")");
    }
}

void Connect(ftptest::ClientRig& rig, const ftptest::FtpAccount& account) {
    rig.ftp.ReadTimeout = 30000;
    rig.ftp.RecvBufferSize = kBufferSize;
    rig.ftp.SendBufferSize = kBufferSize;
    rig.Login();
    rig.ftp.ChangeDir(account.remote_folder);
    rig.ftp.SetTransferType(ftp::TIdFTPTransferType::ftBinary);
}

void Expect(std::int64_t size, const std::string& what) {
    if (size != kFileSize) {
        throw std::runtime_error(what + " has " + std::to_string(size) + " bytes");
    }
}

struct Series {
    std::vector<double> seconds;
    double Best() const { return *std::min_element(seconds.begin(), seconds.end()); }
    double MegabytesPerSecond() const { return kFileSize / 1e6 / Best(); }
};

void Report(const char* direction, const Series& ours, const Series& curl) {
    auto line = [](const char* who, const Series& s) {
        std::printf("  %-5s", who);
        for (double t : s.seconds) {
            std::printf(" %7.3f s", t);
        }
        std::printf("   best %8.1f MB/s\n", s.MegabytesPerSecond());
    };
    std::printf("%s of 1 GiB:\n", direction);
    line("ours", ours);
    line("curl", curl);
    // Time ratio of the best runs: below 1 means we are faster than curl.
    std::printf("  ratio ours/curl (time of the best runs): %.3f\n", ours.Best() / curl.Best());
}

}  // namespace

int main() {
    try {
        ftptest::VsftpdServer server;
        const ftptest::FtpAccount& account = server.account();
        ftptest::TempFolder local("bench");
        const std::string remote_file = account.local_folder + "big.bin";
        MakeBigFile(remote_file);
        const std::string url = "ftp://" + account.user + ":" + account.password + "@" +
                                account.host + ":" + std::to_string(account.port) +
                                account.remote_folder;

        Series down_ours, down_curl, up_ours, up_curl;
        for (int round = 0; round < kRounds; ++round) {
            // Alternate who goes first, so neither side always runs on a cold or busy disk.
            const bool curl_first = round % 2 == 0;
            const std::string target = local.File("down.bin");
            ftptest::ClientRig rig(account);
            Connect(rig, account);
            ftp::TIdFTP& client = rig.ftp;
            auto curl_down = [&] {
                std::remove(target.c_str());
                down_curl.seconds.push_back(Seconds([&] {
                    RunCurl({"-o", target, url + "big.bin"}, local.File("curl.log"));
                }));
                Expect(FileSize(target), "curl's download");
            };
            auto ours_down = [&] {
                std::remove(target.c_str());
                down_ours.seconds.push_back(
                    Seconds([&] { client.Get("big.bin", target, true, false); }));
                Expect(FileSize(target), "our download");
            };
            auto curl_up = [&] {
                up_curl.seconds.push_back(Seconds([&] {
                    RunCurl({"-T", target, url + "up_curl.bin"}, local.File("curl.log"));
                }));
                Expect(FileSize(account.local_folder + "up_curl.bin"), "curl's upload");
                std::remove((account.local_folder + "up_curl.bin").c_str());
            };
            auto ours_up = [&] {
                up_ours.seconds.push_back(
                    Seconds([&] { client.Put(target, "up_ours.bin", false); }));
                Expect(FileSize(account.local_folder + "up_ours.bin"), "our upload");
                std::remove((account.local_folder + "up_ours.bin").c_str());
            };
            if (curl_first) {
                curl_down();
                ours_down();
                curl_up();
                ours_up();
            } else {
                ours_down();
                curl_down();
                ours_up();
                curl_up();
            }
            client.Disconnect();
        }
        std::printf("vsftpd on 127.0.0.1, passive mode, binary, buffers %d bytes, %d rounds\n",
                    kBufferSize, kRounds);
        Report("Download", down_ours, down_curl);
        Report("Upload", up_ours, up_curl);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "ftp_throughput_bench: %s\n", e.what());
        return 1;
    }
}
