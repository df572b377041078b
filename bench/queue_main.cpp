// A 1 GiB download and a 1 GiB upload through a connection page's queue run (shown offscreen,
// progress panel fed by the work events, history rows written), against curl moving the same
// file over the same private vsftpd in the same run. Ours is timed from the run wrap's call to
// its return; curl from its start to its exit. Also the longest gap between two turns of the
// event loop while our run works (a zero-interval timer counts the turns), which tells how
// often the window is pumped. Needs root (vsftpd). Prints every time, the best of each and
// the ratios ours/curl.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/bench_database.h"
#include "bench/bench_page.h"
#include "connection/page_session.h"
#include "connection/tfb.h"
#include "mainwindow/engine_lifetime.h"
#include "tests/ftp_servers/child_process.h"
#include "tests/ftp_servers/temp_folder.h"
#include "tests/ftp_servers/vsftpd_server.h"

namespace {

constexpr std::int64_t kFileSize = 1LL << 30;
constexpr int kRounds = 3;
using bench::BenchHost;
using bench::Clock;
using bench::SecondsSince;

void MakeFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    if (fd < 0)
        throw std::runtime_error("cannot create " + path);
    std::vector<char> block(1 << 20);
    for (std::int64_t done = 0; done < kFileSize; done += static_cast<std::int64_t>(block.size())) {
        for (std::size_t i = 0; i < block.size(); i += 64)
            block[i] = static_cast<char>((done >> 20) + static_cast<std::int64_t>(i));
        if (::write(fd, block.data(), block.size()) != static_cast<ssize_t>(block.size()))
            throw std::runtime_error("cannot write " + path);
    }
    ::close(fd);
}

std::int64_t FileSize(const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return error ? -1 : static_cast<std::int64_t>(size);
}

void RunCurl(const std::vector<std::string>& arguments, const std::string& log) {
    std::vector<std::string> command = {"/usr/bin/curl", "-s", "-S", "--disable-epsv"};
    command.insert(command.end(), arguments.begin(), arguments.end());
    ftptest::ChildProcess child(command, log, false);
    if (child.Wait() != 0)
        throw std::runtime_error("curl failed (log " + log + ")");
}

struct Timing {
    double seconds = 0;
    double longestGap = 0;
};

// Runs the page's queue with `entry` and times it.
Timing RunQueue(Tfb& page, rupdown entry) {
    page.AddQueueEntry(std::move(entry));
    bench::LoopGaps gaps;
    const Clock::time_point start = Clock::now();
    gaps.Start();
    page.StartQueueRun(false);
    Timing timing{SecondsSince(start), 0};
    timing.longestGap = gaps.Stop();
    if (!page.FQueue.empty())
        throw std::runtime_error("the run failed; the entry is still queued");
    return timing;
}

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    try {
        ftptest::VsftpdServer server;
        const ftptest::FtpAccount& account = server.account();
        ftptest::TempFolder local("queue-bench");
        const std::string source = local.File("source.bin");
        MakeFile(source);
        MakeFile(account.local_folder + "big.bin");
        const std::string url = "ftp://" + account.user + ":" + account.password + "@" +
                                account.host + ":" + std::to_string(account.port) +
                                account.remote_folder;

        // The history rows go into a database of their own.
        const EngineLifetime engine;
        const bench::BenchDatabase data(local.File("all.dat"));

        BenchHost host;
        auto page = std::make_unique<Tfb>(host);
        page->resize(1000, 700);
        page->show();
        bench::PointPageAt(*page, account);
        page->IdFTP1.RecvBufferSize = 65536;
        page->IdFTP1.SendBufferSize = 65536;
        page->FSite.transfermode = "binary";
        {
            auto exchange = page->Session().Guard().TryBegin();
            page->IdFTP1.Connect(true, 10000);
        }
        std::string folder = account.remote_folder;
        if (folder.size() > 1 && folder.back() == '/')
            folder.pop_back();
        page->FCurrentDir = folder;
        page->FStartDir = folder;

        std::vector<double> oursDown, curlDown, oursUp, curlUp, gaps;
        for (int round = 0; round < kRounds; ++round) {
            const Clock::time_point curlDownStart = Clock::now();
            RunCurl({"-o", local.File("curl-down.bin"), url + "big.bin"}, local.File("curl.log"));
            curlDown.push_back(SecondsSince(curlDownStart));
            std::filesystem::remove(local.File("curl-down.bin"));

            rupdown down;
            down.direction = 1;
            down.name = "big.bin";
            down.lopath = local.File("ours-down.bin");
            down.ftppath = "0";
            down.size = kFileSize;
            const Timing downTiming = RunQueue(*page, down);
            if (FileSize(down.lopath) != kFileSize)
                throw std::runtime_error("our download is incomplete");
            std::filesystem::remove(down.lopath);
            oursDown.push_back(downTiming.seconds);
            gaps.push_back(downTiming.longestGap);

            const Clock::time_point curlUpStart = Clock::now();
            RunCurl({"-T", source, url + "curl-up.bin"}, local.File("curl.log"));
            curlUp.push_back(SecondsSince(curlUpStart));
            std::filesystem::remove(account.local_folder + "curl-up.bin");

            rupdown up;
            up.direction = 0;
            up.name = "ours-up.bin";
            up.lopath = source;
            up.ftppath = "0";
            up.size = kFileSize;
            const Timing upTiming = RunQueue(*page, up);
            if (FileSize(account.local_folder + "ours-up.bin") != kFileSize)
                throw std::runtime_error("our upload is incomplete");
            std::filesystem::remove(account.local_folder + "ours-up.bin");
            oursUp.push_back(upTiming.seconds);
            gaps.push_back(upTiming.longestGap);
        }
        page->Disconnect();
        page.reset();

        std::printf(
            "vsftpd on 127.0.0.1, 1 GiB each way, passive binary, buffers of 65536 bytes,"
            " %d rounds\n",
            kRounds);
        auto best = [](const std::vector<double>& times) {
            return *std::min_element(times.begin(), times.end());
        };
        auto line = [&](const char* who, const std::vector<double>& times) {
            std::printf("  %-14s", who);
            for (double t : times)
                std::printf(" %7.3f s", t);
            std::printf("   best %7.3f s\n", best(times));
        };
        line("download ours", oursDown);
        line("download curl", curlDown);
        line("upload ours", oursUp);
        line("upload curl", curlUp);
        std::printf("  ratio ours/curl (best runs): download %.3f, upload %.3f\n",
                    best(oursDown) / best(curlDown), best(oursUp) / best(curlUp));
        std::printf("  longest gap between two event-loop turns during our runs:");
        for (double gap : gaps)
            std::printf(" %.1f ms", gap * 1000.0);
        std::printf("\n");
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "queue_bench: %s\n", e.what());
        return 1;
    }
}
