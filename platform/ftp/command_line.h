#pragma once
// The wire form of one control-connection command.
#include <string>

namespace ftp {

// text + CR LF. Throws EIdCommandRefused when text holds CR, LF or NUL: such a text would let a
// name smuggle a second command onto the control connection.
std::string BuildCommandLine(const std::string& text);

}  // namespace ftp
