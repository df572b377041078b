#pragma once
// Line ends of text transfers (ASCII type). The wire carries CR LF; a local text file has the
// local convention, LF. Both converters keep their state between chunks, so a CR LF split
// between two reads or two buffers is converted as one line end.
//
// Download (wire to file): each CR LF becomes LF; a CR not followed by LF stays, and so does
// everything else. Upload (file to wire): each LF becomes CR LF, except an LF that follows a CR
// (a CR LF already in the file is sent as it is); everything else stays. A file whose line
// ends are LF therefore comes back byte for byte from a server that stores text with LF.
#include <string>
#include <string_view>

namespace ftp {

class AsciiDownloadLineEnds {
  public:
    // Appends the converted bytes of `chunk` to `out`. A CR at the end of the chunk is held
    // back until the next chunk (or Finish) shows whether an LF follows.
    void Convert(std::string_view chunk, std::string& out);
    // Appends what is held back (a lone CR at the end of the data). Call once at the end.
    void Finish(std::string& out);

  private:
    bool pendingCr_ = false;
};

class AsciiUploadLineEnds {
  public:
    // Appends the converted bytes of `chunk` to `out` (at most twice its length).
    void Convert(std::string_view chunk, std::string& out);

  private:
    bool lastWasCr_ = false;
};

}  // namespace ftp
