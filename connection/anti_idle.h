#pragma once
// Keeping an idle connection alive: one tick per second of Timer2 while the page is connected
// counts idle seconds (FIdleTicks; any sent text resets it) and, when the count reaches the
// interval, sends one of the enabled anti-idle commands, chosen at random, as a raw command
// that accepts any reply.
//
// A tick that finds an exchange of the page waiting does nothing, not even count: its command
// is skipped, never queued, so it can never be written while another reply is awaited.
#include <cstdint>
#include <random>
#include <string>
#include <vector>

class TPageSession;

class TAntiIdle {
  public:
    // `session` must outlive the object.
    explicit TAntiIdle(TPageSession& session);

    // Seconds without a sent line while connected.
    std::int64_t FIdleTicks = 0;

    // One tick. `interval` in seconds (0 or less: never send); `commands` to choose from (none:
    // nothing is sent and the count starts over). Returns the command sent, empty for none.
    // Throws what the component throws when the command fails (the count then starts over).
    std::string Tick(std::int32_t interval, const std::vector<std::string>& commands);

  private:
    TPageSession& session_;
    std::mt19937 random_;
};
