#pragma once
// The script of a scripted server that keeps its client waiting (for the tests and benchmarks
// of how the window is served meanwhile): it logs in alice/secret, lists "/" at once the first
// time and after a delay every later time, and sends the file "slow.bin" in chunks at a steady
// pace. STAT is never answered: from then on the server is silent. Data connections are the
// server's own (PASV and PORT built in).
#include <string>

namespace ftptest {

struct SlowServerPacing {
    int chunks = 100;            // of slow.bin
    int chunkBytes = 1000;       // slow.bin is chunks * chunkBytes bytes
    double chunkSeconds = 0.02;  // between two chunks
    double listSeconds = 2.0;    // before a later listing's first byte
    int slowLists = 1;           // how many later listings there are
};

std::string SlowServerScript(const SlowServerPacing& pacing);

// The size of slow.bin under `pacing`.
inline long long SlowFileSize(const SlowServerPacing& pacing) {
    return static_cast<long long>(pacing.chunks) * pacing.chunkBytes;
}

}  // namespace ftptest
