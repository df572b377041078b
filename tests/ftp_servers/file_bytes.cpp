#include "tests/ftp_servers/file_bytes.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace ftptest {

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) {
        throw std::runtime_error("cannot write " + path);
    }
}

std::string RandomBytes(std::size_t size, std::uint32_t seed) {
    std::mt19937 generator(seed);
    std::string bytes(size, '\0');
    std::size_t i = 0;
    for (; i + 4 <= size; i += 4) {
        const std::uint32_t word = generator();
        for (int k = 0; k < 4; ++k) {
            bytes[i + k] = static_cast<char>(word >> (8 * k));
        }
    }
    for (; i < size; ++i) {
        bytes[i] = static_cast<char>(generator());
    }
    return bytes;
}

std::string LineEndPayload(char seed, std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = "\r\n\0xy"[(i + static_cast<std::size_t>(seed)) % 5];
    return bytes;
}

bool HasFileSize(const std::string& path, std::size_t size) {
    std::error_code ignored;
    return std::filesystem::is_regular_file(path, ignored) &&
           std::filesystem::file_size(path, ignored) == size;
}

bool SameFileBytes(const std::string& copy, const std::string& original) {
    std::error_code ignored;
    return std::filesystem::is_regular_file(copy, ignored) &&
           ReadFileBytes(copy) == ReadFileBytes(original);
}

}  // namespace ftptest
