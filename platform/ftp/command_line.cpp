#include "platform/ftp/command_line.h"

#include "platform/ftp/id_exceptions.h"

namespace ftp {

std::string BuildCommandLine(const std::string& text) {
    if (text.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) {
        throw EIdCommandRefused();
    }
    return text + "\r\n";
}

}  // namespace ftp
