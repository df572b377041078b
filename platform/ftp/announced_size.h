#pragma once
// The byte count a server names in the opening reply of a download, as in
// "150 Opening BINARY mode data connection for f.bin (1234 bytes)." It is the size of the file
// this transfer sends, which may differ from what a listing showed (a link, a file changed
// since).
#include <cstdint>

#include "platform/ftp/id_types.h"

namespace ftp {

// The number of the last "(N bytes)" in the reply's text (the file name before it may hold
// one too), "byte" and "bytes" in any case; -1 when there is none or it does not fit.
std::int64_t AnnouncedSize(const TIdRFCReply& reply);

}  // namespace ftp
