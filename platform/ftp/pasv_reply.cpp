#include "platform/ftp/pasv_reply.h"

#include <arpa/inet.h>

#include <cctype>
#include <vector>

#include "platform/ftp/id_exceptions.h"

namespace ftp {

namespace {

// Reads up to six comma-separated numbers starting at text[pos]; true with all six found.
bool ReadSixNumbers(const std::string& text, std::size_t pos, std::vector<int>& numbers) {
    numbers.clear();
    while (numbers.size() < 6) {
        if (pos >= text.size() || !std::isdigit(static_cast<unsigned char>(text[pos]))) {
            return false;
        }
        int value = 0;
        int digits = 0;
        while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) {
            value = value * 10 + (text[pos] - '0');
            if (++digits > 3 || value > 255)
                return false;
            ++pos;
        }
        numbers.push_back(value);
        if (numbers.size() < 6) {
            while (pos < text.size() && text[pos] == ' ')
                ++pos;
            if (pos >= text.size() || text[pos] != ',')
                return false;
            ++pos;
            while (pos < text.size() && text[pos] == ' ')
                ++pos;
        }
    }
    return true;
}

}  // namespace

HostPort ParsePasvReply(const std::string& text) {
    std::vector<int> numbers;
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        const bool numberStart =
            std::isdigit(static_cast<unsigned char>(text[pos])) &&
            (pos == 0 || !std::isdigit(static_cast<unsigned char>(text[pos - 1])));
        if (numberStart && ReadSixNumbers(text, pos, numbers)) {
            HostPort result;
            result.host = std::to_string(numbers[0]) + "." + std::to_string(numbers[1]) + "." +
                          std::to_string(numbers[2]) + "." + std::to_string(numbers[3]);
            result.port = static_cast<std::uint16_t>(numbers[4] * 256 + numbers[5]);
            return result;
        }
    }
    throw EIdReplyFormatError("Invalid PASV reply: no address and port.");
}

std::string FormatPortArgument(const std::string& ipv4, std::uint16_t port) {
    in_addr address{};
    if (inet_pton(AF_INET, ipv4.c_str(), &address) != 1) {
        throw EIdSocketError(0, "Active mode needs an IPv4 control connection.");
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(&address.s_addr);
    return std::to_string(bytes[0]) + "," + std::to_string(bytes[1]) + "," +
           std::to_string(bytes[2]) + "," + std::to_string(bytes[3]) + "," +
           std::to_string(port / 256) + "," + std::to_string(port % 256);
}

}  // namespace ftp
