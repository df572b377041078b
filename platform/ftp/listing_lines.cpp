#include "platform/ftp/listing_lines.h"

#include <cstring>

#include "platform/ftp/id_exceptions.h"

namespace ftp {

ListingLines::ListingLines(std::vector<std::string>& lines, Limits limits)
    : lines_(&lines), limits_(limits) {}

ListingLines::ListingLines(std::function<void(std::string&&)> sink, Limits limits)
    : sink_(std::move(sink)), limits_(limits) {}

void ListingLines::Feed(const char* bytes, std::size_t size) {
    totalBytes_ += size;
    if (totalBytes_ > limits_.bytes)
        throw EIdReplyFormatError("Listing too long.");
    const char* const end = bytes + size;
    while (bytes < end) {
        const void* lf = std::memchr(bytes, '\n', static_cast<std::size_t>(end - bytes));
        const char* stop = lf ? static_cast<const char*>(lf) : end;
        // One more than the bound: room for the CR that may end the line.
        if (pending_.size() + static_cast<std::size_t>(stop - bytes) > limits_.lineLength + 1)
            throw EIdReplyFormatError("Listing line too long.");
        if (!lf) {
            pending_.append(bytes, stop);
            return;
        }
        if (pending_.empty()) {
            // The whole line is in these bytes: straight into its own string.
            AddLine(bytes, stop);
        } else {
            pending_.append(bytes, stop);
            EndLine();
        }
        bytes = stop + 1;
    }
}

void ListingLines::Finish() {
    EndLine();
}

void ListingLines::EndLine() {
    AddLine(pending_.data(), pending_.data() + pending_.size());
    pending_.clear();
}

void ListingLines::AddLine(const char* begin, const char* end) {
    if (begin != end && end[-1] == '\r')
        --end;
    const auto length = static_cast<std::size_t>(end - begin);
    if (length > limits_.lineLength)
        throw EIdReplyFormatError("Listing line too long.");
    if (length == 0)
        return;
    // Bounded by count as well as bytes: many short lines cost far more memory than their bytes.
    if ((lines_ ? lines_->size() : count_) >= limits_.lines)
        throw EIdReplyFormatError("Listing too long.");
    if (lines_) {
        lines_->emplace_back(begin, end);
        return;
    }
    ++count_;
    sink_(std::string(begin, end));
}

}  // namespace ftp
