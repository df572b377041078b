#include "connection/anti_idle.h"

#include "connection/page_session.h"

TAntiIdle::TAntiIdle(TPageSession& session) : session_(session), random_(std::random_device{}()) {}

std::string TAntiIdle::Tick(std::int32_t interval, const std::vector<std::string>& commands) {
    if (session_.Guard().Busy())
        return {};  // an exchange waits: skipped, not counted
    // Asked before the exchange begins: during one the session answers from memory.
    if (!session_.Connected())
        return {};
    ++FIdleTicks;
    // Reached rather than equal: a count beyond the interval (say after a shorter interval was
    // loaded) must not stop the page from ever sending again.
    if (interval <= 0 || FIdleTicks < interval)
        return {};
    FIdleTicks = 0;
    if (commands.empty())
        return {};
    std::uniform_int_distribution<std::size_t> pick(0, commands.size() - 1);
    const std::string command = commands[pick(random_)];
    const auto exchange = session_.Guard().TryBegin();
    if (!exchange)
        return {};  // the connected test let a handler begin one
    session_.IdFTP1.SendCmd(command);
    return command;
}
