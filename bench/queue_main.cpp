// A 1 GiB download and a 1 GiB upload through a connection page's queue run (shown offscreen,
// progress panel fed by the work events, history rows written), against curl moving the same
// file over the same private vsftpd in the same run. Ours is timed from the run wrap's call to
// its return; curl from its start to its exit. Also the longest gap between two turns of the
// event loop while our run works (a zero-interval timer counts the turns), which tells how
// often the window is pumped. Who goes first alternates from round to round, and every run
// starts with the disk caught up (sync). Needs root (vsftpd). Prints every time with the
// client's processor time, the best of each and the ratios ours/curl.
#include <fcntl.h>
#include <sys/resource.h>
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
constexpr int kRounds = 4;
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

// Processor time (user and system) of this process, or of its waited-for children.
double ProcessorSeconds(int who) {
    rusage usage{};
    ::getrusage(who, &usage);
    auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// One timed run: its wall-clock time and the processor time of the client that ran it.
struct Run {
    double seconds = 0;
    double processorSeconds = 0;
};

struct Series {
    std::vector<Run> runs;
    void Add(Run run) { runs.push_back(run); }
    double Least(double Run::*field) const {
        double least = runs.front().*field;
        for (const Run& run : runs)
            least = std::min(least, run.*field);
        return least;
    }
    double Best() const { return Least(&Run::seconds); }
    double LeastProcessor() const { return Least(&Run::processorSeconds); }
};

// Every timed run starts with the disk caught up, so no run pays for the one before it.
Clock::time_point StartRun() {
    ::sync();
    return Clock::now();
}

Run RunCurl(const std::vector<std::string>& arguments, const std::string& log) {
    std::vector<std::string> command = {"/usr/bin/curl", "-s", "-S", "--disable-epsv"};
    command.insert(command.end(), arguments.begin(), arguments.end());
    const double processor = ProcessorSeconds(RUSAGE_CHILDREN);
    const Clock::time_point start = StartRun();
    ftptest::ChildProcess child(command, log, false);
    if (child.Wait() != 0)
        throw std::runtime_error("curl failed (log " + log + ")");
    return Run{SecondsSince(start), ProcessorSeconds(RUSAGE_CHILDREN) - processor};
}

struct Timing {
    Run run;
    double longestGap = 0;
};

// Runs the page's queue with `entry` and times it.
Timing RunQueue(Tfb& page, rupdown entry) {
    page.AddQueueEntry(std::move(entry));
    bench::LoopGaps gaps;
    const double processor = ProcessorSeconds(RUSAGE_SELF);
    const Clock::time_point start = StartRun();
    gaps.Start();
    page.StartQueueRun(false);
    Timing timing{{SecondsSince(start), ProcessorSeconds(RUSAGE_SELF) - processor}, 0};
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

        Series oursDown, curlDown, oursUp, curlUp;
        std::vector<double> gaps;
        for (int round = 0; round < kRounds; ++round) {
            auto curlDownRun = [&] {
                curlDown.Add(RunCurl({"-o", local.File("curl-down.bin"), url + "big.bin"},
                                     local.File("curl.log")));
                std::filesystem::remove(local.File("curl-down.bin"));
            };
            auto oursDownRun = [&] {
                rupdown down;
                down.direction = 1;
                down.name = "big.bin";
                down.lopath = local.File("ours-down.bin");
                down.ftppath = "0";
                down.size = kFileSize;
                const Timing timing = RunQueue(*page, down);
                if (FileSize(down.lopath) != kFileSize)
                    throw std::runtime_error("our download is incomplete");
                std::filesystem::remove(down.lopath);
                oursDown.Add(timing.run);
                gaps.push_back(timing.longestGap);
            };
            auto curlUpRun = [&] {
                curlUp.Add(RunCurl({"-T", source, url + "curl-up.bin"}, local.File("curl.log")));
                std::filesystem::remove(account.local_folder + "curl-up.bin");
            };
            auto oursUpRun = [&] {
                rupdown up;
                up.direction = 0;
                up.name = "ours-up.bin";
                up.lopath = source;
                up.ftppath = "0";
                up.size = kFileSize;
                const Timing timing = RunQueue(*page, up);
                if (FileSize(account.local_folder + "ours-up.bin") != kFileSize)
                    throw std::runtime_error("our upload is incomplete");
                std::filesystem::remove(account.local_folder + "ours-up.bin");
                oursUp.Add(timing.run);
                gaps.push_back(timing.longestGap);
            };
            // Alternate who goes first, so neither side always runs right after the other's
            // gigabyte was written and removed.
            if (round % 2 == 0) {
                curlDownRun();
                oursDownRun();
                curlUpRun();
                oursUpRun();
            } else {
                oursDownRun();
                curlDownRun();
                oursUpRun();
                curlUpRun();
            }
        }
        page->Disconnect();
        page.reset();

        std::printf(
            "vsftpd on 127.0.0.1, 1 GiB each way, passive binary, buffers of 65536 bytes,"
            " %d rounds, who goes first alternating\n",
            kRounds);
        auto line = [](const char* who, const Series& series) {
            std::printf("  %-14s", who);
            for (const Run& run : series.runs)
                std::printf(" %7.3f s", run.seconds);
            std::printf("   best %7.3f s   processor time", series.Best());
            for (const Run& run : series.runs)
                std::printf(" %6.3f s", run.processorSeconds);
            std::printf("\n");
        };
        line("download ours", oursDown);
        line("download curl", curlDown);
        line("upload ours", oursUp);
        line("upload curl", curlUp);
        std::printf("  ratio ours/curl (best runs): download %.3f, upload %.3f\n",
                    oursDown.Best() / curlDown.Best(), oursUp.Best() / curlUp.Best());
        // The processor time of the client alone, which the machine's other work disturbs far
        // less than the wall clock.
        std::printf("  processor time ours/curl (least of each): download %.3f, upload %.3f\n",
                    oursDown.LeastProcessor() / curlDown.LeastProcessor(),
                    oursUp.LeastProcessor() / curlUp.LeastProcessor());
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
