#include "tests/ftp_servers/ftp_account.h"

#include <cstdlib>
#include <stdexcept>

namespace ftptest {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::string PercentDecode(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        const int high = i + 2 < text.size() ? HexDigit(text[i + 1]) : -1;
        const int low = i + 2 < text.size() ? HexDigit(text[i + 2]) : -1;
        if (high < 0 || low < 0) {
            throw std::invalid_argument("bad %-escape in FTP URL");
        }
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

std::string WithTrailingSlash(std::string path) {
    if (path.empty() || path.back() != '/') {
        path += '/';
    }
    return path;
}

}  // namespace

FtpAccount ParseFtpUrl(const std::string& url) {
    const std::string scheme = "ftp://";
    if (url.compare(0, scheme.size(), scheme) != 0) {
        throw std::invalid_argument("FTP URL must begin with ftp://");
    }
    const std::string rest = url.substr(scheme.size());
    const std::size_t slash = rest.find('/');
    const std::string authority = rest.substr(0, slash);
    FtpAccount account;
    account.remote_folder =
        WithTrailingSlash(slash == std::string::npos ? "/" : rest.substr(slash));

    const std::size_t at = authority.rfind('@');
    if (at == std::string::npos) {
        throw std::invalid_argument("FTP URL needs user:password@");
    }
    const std::string credentials = authority.substr(0, at);
    const std::size_t colon = credentials.find(':');
    if (colon == std::string::npos) {
        throw std::invalid_argument("FTP URL needs a password");
    }
    account.user = PercentDecode(credentials.substr(0, colon));
    account.password = PercentDecode(credentials.substr(colon + 1));

    const std::string host_port = authority.substr(at + 1);
    const std::size_t port_colon = host_port.rfind(':');
    account.host = host_port.substr(0, port_colon);
    if (port_colon != std::string::npos) {
        const std::string digits = host_port.substr(port_colon + 1);
        if (digits.empty() || digits.size() > 5 ||
            digits.find_first_not_of("0123456789") != std::string::npos) {
            throw std::invalid_argument("bad port in FTP URL");
        }
        account.port = std::stoi(digits);
        if (account.port < 1 || account.port > 65535) {
            throw std::invalid_argument("bad port in FTP URL");
        }
    }
    if (account.host.empty() || account.user.empty()) {
        throw std::invalid_argument("FTP URL needs a host and a user");
    }
    return account;
}

std::optional<FtpAccount> AccountFromEnvironment() {
    const char* url = std::getenv("FTP_TEST_URL");
    if (url == nullptr || *url == '\0') {
        return std::nullopt;
    }
    const char* root = std::getenv("FTP_TEST_ROOT");
    if (root == nullptr || *root == '\0') {
        throw std::invalid_argument("FTP_TEST_URL is set but FTP_TEST_ROOT is not");
    }
    FtpAccount account = ParseFtpUrl(url);
    account.local_folder = WithTrailingSlash(root);
    return account;
}

}  // namespace ftptest
