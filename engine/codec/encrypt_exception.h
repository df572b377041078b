#pragma once
// The cipher framework's error: a message and an integer code.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace vesk {

class EEncryptException : public std::runtime_error {
  public:
    // Codes the framework raises.
    static constexpr std::int32_t kNotInitialized = 3;
    static constexpr std::int32_t kInvalidKey = 4;

    EEncryptException(const std::string& message, std::int32_t errorCode)
        : std::runtime_error(message), ErrorCode(errorCode) {}

    std::int32_t ErrorCode;
};

}  // namespace vesk
