#pragma once
// Loopback ports for test servers.
#include <chrono>

namespace ftptest {

class ChildProcess;

// A TCP port on 127.0.0.1 that was free a moment ago (the kernel's choice). Throws
// std::runtime_error when no socket can be bound.
int FreeLoopbackPort();

// Waits until 127.0.0.1:port accepts a connection. Throws std::runtime_error when `server`
// exits first or `timeout` passes; the message names the server's log.
void WaitUntilAccepting(int port, ChildProcess& server, std::chrono::milliseconds timeout);

}  // namespace ftptest
