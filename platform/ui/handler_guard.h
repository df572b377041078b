#pragma once
// The guard every event handler runs under, and the one application-wide error handler.
//
// No exception may cross the Qt event loop: a handler that throws is stopped at the throw and
// its error goes to the installed application error handler (the main window's
// ApplicationEvents1Exception), never to a library error box.
#include <exception>
#include <functional>
#include <type_traits>
#include <utility>

namespace ui {

// Receives every error that escaped a guarded handler.
using ApplicationErrorHandler = std::function<void(std::exception_ptr)>;

// Installs `handler` for the whole application and returns the one it replaces. An empty
// handler restores the fallback, which writes the error's text to stderr.
ApplicationErrorHandler SetApplicationErrorHandler(ApplicationErrorHandler handler);
// Whether a handler is installed (false: the fallback is in use).
bool ApplicationErrorHandlerInstalled();

// Hands `error` to the application error handler. An error thrown by the handler itself is
// written to stderr and dropped. Never throws.
void ReportApplicationError(std::exception_ptr error) noexcept;

// Runs `handler`; whatever it throws goes to ReportApplicationError. Never throws.
void RunGuarded(const std::function<void()>& handler) noexcept;

// Wraps a handler for a Qt connection (or a timer, or any call-back): the wrapper calls it
// under RunGuarded with the signal's arguments when it takes them, or with none.
template <class Handler>
auto Guarded(Handler handler) {
    return [handler = std::move(handler)](auto&&... args) mutable -> void {
        RunGuarded([&] {
            if constexpr (std::is_invocable_v<Handler&, decltype(args)...>) {
                handler(std::forward<decltype(args)>(args)...);
            } else {
                handler();
            }
        });
    };
}

// Installs an application error handler for its lifetime and restores the previous one.
class ScopedApplicationErrorHandler {
  public:
    explicit ScopedApplicationErrorHandler(ApplicationErrorHandler handler)
        : previous_(SetApplicationErrorHandler(std::move(handler))) {}
    ~ScopedApplicationErrorHandler() { SetApplicationErrorHandler(std::move(previous_)); }
    ScopedApplicationErrorHandler(const ScopedApplicationErrorHandler&) = delete;
    ScopedApplicationErrorHandler& operator=(const ScopedApplicationErrorHandler&) = delete;

  private:
    ApplicationErrorHandler previous_;
};

// The text of an error for a log line: what() of a std::exception, else "unknown error". The
// text lives as long as `error` does.
const char* ErrorText(std::exception_ptr error) noexcept;

}  // namespace ui
