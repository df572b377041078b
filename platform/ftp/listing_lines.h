#pragma once
// Splits the bytes of a listing's data connection into lines, within bounds, so a hostile or
// broken server cannot make the component hold unbounded memory. Lines end with LF; a CR
// before it is dropped; empty lines are not kept (they carry nothing and cost a string each).
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace ftp {

class ListingLines {
  public:
    struct Limits {
        std::size_t bytes;       // all bytes of the listing, line ends and empty lines included
        std::size_t lineLength;  // bytes of one line without its line end
        std::size_t lines;       // lines kept
    };
    // No server folder needs more; a listing this long is refused rather than half-shown.
    static constexpr Limits kDefaultLimits{256u * 1024 * 1024, 64 * 1024, 4'000'000};

    // Appends to `lines`, which must outlive this object.
    explicit ListingLines(std::vector<std::string>& lines, Limits limits = kDefaultLimits);
    // Hands each line to `sink` instead of keeping it (the bounds count the lines handed on).
    explicit ListingLines(std::function<void(std::string&&)> sink, Limits limits = kDefaultLimits);

    // Takes the next bytes. Throws EIdReplyFormatError "Listing too long." past the byte or the
    // line bound, "Listing line too long." past the line length bound; the lines taken so far
    // stay.
    void Feed(const char* bytes, std::size_t size);
    // Keeps the last line when the listing did not end with a line end.
    void Finish();

  private:
    void EndLine();
    // Keeps the line [begin, end) without its CR, if any is left; checks the bounds.
    void AddLine(const char* begin, const char* end);

    std::vector<std::string>* lines_ = nullptr;  // null: lines go to sink_
    std::function<void(std::string&&)> sink_;
    Limits limits_;
    std::size_t totalBytes_ = 0;
    std::size_t count_ = 0;  // lines handed to sink_
    std::string pending_;
};

}  // namespace ftp
