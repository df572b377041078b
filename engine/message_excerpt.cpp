#include "engine/message_excerpt.h"

#include "engine/stored_text.h"
#include "platform/os/utf8.h"

namespace vesk {

std::string MessageExcerpt(std::string_view text) {
    // Where the characters the message shows end: a byte that starts no well-formed
    // character is one character, as its escape is.
    std::size_t end = 0;
    for (std::size_t shown = 0; end < text.size() && shown < kMessageExcerptLength; ++shown) {
        const auto byte = static_cast<unsigned char>(text[end]);
        const std::size_t length = byte >= 0x80 ? os::Utf8SequenceLength(text, end) : 0;
        end += length > 0 ? length : 1;
    }
    std::string excerpt = EscapeStoredText(text.substr(0, end));
    if (end < text.size())
        excerpt += "...";
    return excerpt;
}

}  // namespace vesk
