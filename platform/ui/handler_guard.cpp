#include "platform/ui/handler_guard.h"

#include <cstdio>

namespace ui {

namespace {

ApplicationErrorHandler& InstalledHandler() {
    static ApplicationErrorHandler handler;
    return handler;
}

void WriteToStderr(std::exception_ptr error) noexcept {
    std::fprintf(stderr, "Zantrope: unhandled error: %s\n", ErrorText(error));
}

}  // namespace

const char* ErrorText(std::exception_ptr error) noexcept {
    try {
        if (error)
            std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
    }
    return "unknown error";
}

ApplicationErrorHandler SetApplicationErrorHandler(ApplicationErrorHandler handler) {
    return std::exchange(InstalledHandler(), std::move(handler));
}

bool ApplicationErrorHandlerInstalled() {
    return static_cast<bool>(InstalledHandler());
}

void ReportApplicationError(std::exception_ptr error) noexcept {
    // A copy, so that a handler that installs another one while it runs stays alive.
    ApplicationErrorHandler handler;
    try {
        handler = InstalledHandler();
    } catch (...) {
    }
    if (!handler) {
        WriteToStderr(error);
        return;
    }
    try {
        handler(error);
    } catch (...) {
        // The handler of last resort failed: nothing may leave into the event loop.
        WriteToStderr(std::current_exception());
    }
}

void RunGuarded(const std::function<void()>& handler) noexcept {
    try {
        handler();
    } catch (...) {
        ReportApplicationError(std::current_exception());
    }
}

}  // namespace ui
