#pragma once
// A value handed to Locate as a key or returned by Lookup: nothing (null), a text, an
// integer or a boolean.
#include <cstdint>
#include <string>
#include <variant>

namespace vesk {

class TKeyValue {
  public:
    TKeyValue() = default;
    TKeyValue(const char* text) : value_(std::string(text)) {}
    TKeyValue(std::string text) : value_(std::move(text)) {}
    TKeyValue(int number) : value_(std::int64_t{number}) {}
    TKeyValue(std::int64_t number) : value_(number) {}
    TKeyValue(bool flag) : value_(flag) {}

    bool IsNull() const { return std::holds_alternative<std::monostate>(value_); }
    const std::string* Text() const { return std::get_if<std::string>(&value_); }
    const std::int64_t* Integer() const { return std::get_if<std::int64_t>(&value_); }
    const bool* Boolean() const { return std::get_if<bool>(&value_); }
    bool operator==(const TKeyValue&) const = default;

  private:
    std::variant<std::monostate, std::string, std::int64_t, bool> value_;
};

}  // namespace vesk
