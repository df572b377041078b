#pragma once
// The queue run of a page: the run wrap every starter uses (Start), the loop that works the
// queue off from its head one pass per entry (Run, in constant stack depth), and the choice of
// the transfer type (ApplyTransferType).
//
// One pass: stop when the queue is empty or the page stopped being busy (the head row then
// shows "No connection"); switch anti-idle and the browsing controls off and pump once; take the
// head (from then on protected, TTransferQueue); put the server in the entry's folder; for a
// download asked to, check that the file still exists; show the status; settle a name clash
// with the duplicate question; transfer; write the history row; remove the entry.
//
// The server's folder: an entry in "0" runs in the page's folder, entered only when the session
// does not know the server to be there already; an entry naming a folder changes to it through
// the session, which then forgets where the server is (a relative folder is taken from the
// folder reached after connecting). A name from the server becomes a local path only when it is
// a plain name (ftp::IsSafeLocalName); another is refused for its entry with a log line.
//
// A binary download is checked against the size the server gives for it: the byte count of
// its opening reply, or, when that names none and the file is not as long as the entry (or
// SIZE before the transfer) said, SIZE after it. A local file of another length has failed,
// whatever the server replied; with no size at all the closing reply decides. A listing's
// size alone never fails a download (a link, a file changed since listing). A text (ASCII)
// download is not checked: its line ends change its length. A failed download removes the
// local file it created only when nothing arrived (a partial file stays, for a resume); a
// resume that fails in any way (its check, a refused or broken transfer) cuts the file back to
// the length it had before.
//
// Errors: any error of a pass ends the run through the error path: a log line with the last
// reply and "the operation cancel." (after a line with the error itself when it was no refused
// reply), the head row failed (image 1, kept at the head), the page's
// run state reset, the Abort action, the controls on. A page closed (or shut down) while the run
// waited ends the run at once: nothing of the queue, the rows or the log is touched, no history
// is written, only the run state is reset.
#include <cstdint>
#include <optional>
#include <string>

#include "connection/page_lifetime.h"
#include "connection/rupdown.h"

class Tfb;
class TTransferProgress;
class TTransferQueue;

class TQueueRun {
  public:
    // All three must outlive the object; `page` owns the others.
    TQueueRun(Tfb& page, TTransferQueue& queue, TTransferProgress& progress);

    // The run wrap (Tfb::StartQueueRun).
    void Start(bool refreshAfter);
    // Tfb::RunTransferQueue: FBusy set by the caller. Throws nothing.
    void Run();
    // Tfb::ApplyTransferType.
    void ApplyTransferType(const std::string& extension);

    // "." and what follows of the last part of `name` (".TXT" of "readme.TXT"); empty when the
    // last part has no dot.
    static std::string ExtensionOf(const std::string& name);
    // Whether the transfer mode and table `ascext` make a file of that extension ASCII:
    // "ascii" yes, "binary" no, "auto" when the extension without its first character,
    // upper-cased, is a row in use; nullopt for any other mode (the type stays). Throws what
    // the table throws.
    static std::optional<bool> IsAsciiTransfer(const std::string& mode,
                                               const std::string& extension);

  private:
    enum class Pass { kNext, kEnd };
    struct Stopped {};  // the page was closed while the run waited

    Pass RunPass(const TPageLifetime::Run& run);
    // Steps 6 to 10 for entry `entry`; true when a transfer took place (its history is due),
    // false when the entry was skipped or refused.
    bool Work(const TPageLifetime::Run& run, const rupdown& entry, bool& renamed);
    void EnterEntryFolder(const TPageLifetime::Run& run, const rupdown& entry);
    bool Upload(const TPageLifetime::Run& run, const rupdown& entry, bool& renamed);
    bool Download(const TPageLifetime::Run& run, const rupdown& entry, bool& renamed);
    // Times `transfer` into the page's timing fields.
    template <class Transfer>
    void Timed(const TPageLifetime::Run& run, Transfer transfer);
    // Fails the entry when its local file does not have the server's size: the count of the
    // opening reply, else (when the file is not `expected` long) SIZE's; no size at all passes.
    // `expected` -1: SIZE gave none before the transfer. A failed resume (`resumedFrom` the
    // length before it, -1 for none) cuts the file back to that length.
    void CheckReceivedSize(const TPageLifetime::Run& run, const std::string& localPath,
                           std::int64_t expected, const std::string& name,
                           std::int64_t resumedFrom);
    // Cuts a resumed file back to the length it had before the resume; false when it could
    // not be cut (the log says so through LogCutBackFailed).
    static bool CutBack(const std::string& localPath, std::int64_t length);
    void LogCutBackFailed(const std::string& localPath, std::int64_t length);
    void ErrorPath(const TPageLifetime::Run& run);
    void ResetRunState();
    static void CheckOpen(const TPageLifetime::Run& run);

    Tfb& page_;
    TTransferQueue& queue_;
    TTransferProgress& progress_;
};
