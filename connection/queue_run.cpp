#include "connection/queue_run.h"

#include <QFrame>
#include <QTimer>

#include <unistd.h>

#include <algorithm>
#include <exception>
#include <stdexcept>

#include "connection/history_writer.h"
#include "connection/page_session.h"
#include "connection/tfb.h"
#include "connection/transfer_progress.h"
#include "connection/transfer_queue.h"
#include "platform/ftp/id_exceptions.h"
#include "platform/ftp/id_ftp.h"
#include "platform/ftp/id_list_item.h"
#include "platform/os/clock.h"
#include "platform/os/collation.h"
#include "platform/os/local_paths.h"
#include "platform/ui/message_pump.h"
#include "platform/ui/ui_services.h"
#include "shared/open_table.h"
#include "shared/tdm.h"

namespace {

// A download that ended with a local file of another size than the server's.
class ESizeMismatch : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The log line of the error path: the last reply's code, ":", its lines each ended by a line
// break, then ", the operation cancel.".
std::string ErrorLine(const ftp::TIdRFCReply& reply) {
    std::string line = std::to_string(reply.NumericCode) + ":";
    for (const std::string& text : reply.Text)
        line += text + "\n";
    return line + ", the operation cancel.";
}

}  // namespace

TQueueRun::TQueueRun(Tfb& page, TTransferQueue& queue, TTransferProgress& progress)
    : page_(page), queue_(queue), progress_(progress) {}

std::string TQueueRun::ExtensionOf(const std::string& name) {
    const std::string last = os::FileNamePart(name);
    const std::string::size_type dot = last.rfind('.');
    return dot == std::string::npos ? std::string() : last.substr(dot);
}

std::optional<bool> TQueueRun::IsAsciiTransfer(const std::string& mode,
                                               const std::string& extension) {
    if (mode == "ascii")
        return true;
    if (mode == "binary")
        return false;
    if (mode != "auto")
        return std::nullopt;
    if (dm == nullptr)
        return false;
    const std::string key = os::AsciiUpperText(extension.empty() ? extension : extension.substr(1));
    OpenTable table(*dm->Tascext);
    for (table->First(); !table->Eof(); table->Next()) {
        if (table->FieldByName("ext").AsString() == key && table->FieldByName("tf").AsBoolean())
            return true;
    }
    return false;
}

void TQueueRun::ApplyTransferType(const std::string& extension) {
    const std::optional<bool> ascii = IsAsciiTransfer(page_.FSite.transfermode, extension);
    if (ascii)
        page_.IdFTP1.SetTransferType(*ascii ? ftp::TIdFTPTransferType::ftASCII
                                            : ftp::TIdFTPTransferType::ftBinary);
}

void TQueueRun::CheckOpen(const TPageLifetime::Run& run) {
    if (run.Stopped())
        throw Stopped{};
}

void TQueueRun::ResetRunState() {
    page_.FBusy = false;
    page_.FAskDuplicate = true;
    page_.FDuplicateAnswer = -1;
    progress_.Reset();
    page_.Panel3->hide();
}

void TQueueRun::Start(bool refreshAfter) {
    if (page_.FBusy)
        return;
    TExchangeGuard& guard = page_.Session().Guard();
    if (guard.Busy()) {
        // Asked for from inside another exchange's wait (a dialog opened while a listing
        // runs): the run starts once that exchange has ended.
        guard.RunOrDefer([this, refreshAfter] { Start(refreshAfter); });
        return;
    }
    const TPageLifetime::Run run(page_.Lifetime());
    page_.Panel3->show();
    page_.FBusy = true;
    page_.RunTransferQueue();
    ResetRunState();
    if (run.Stopped())
        return;
    if (refreshAfter)
        page_.ToolButton2Click();
    page_.EnableControls(true);
}

void TQueueRun::Run() {
    const TPageLifetime::Run run(page_.Lifetime());
    // One pass per entry, in a loop: the stack does not grow with the queue.
    while (RunPass(run) == Pass::kNext) {
    }
}

TQueueRun::Pass TQueueRun::RunPass(const TPageLifetime::Run& run) {
    if (run.Stopped() || queue_.Count() == 0)
        return Pass::kEnd;
    if (!page_.FBusy) {
        // The connection dropped during the last pass.
        queue_.SetStatus(0, "No connection");
        queue_.SetImage(0, 1);
        return Pass::kEnd;
    }
    page_.Timer2->stop();
    page_.EnableControls(false);
    ui::ProcessMessages();
    if (run.Stopped() || !page_.FBusy || queue_.Count() == 0)
        return Pass::kEnd;
    bool transferred = false;
    bool renamed = false;
    try {
        auto exchange = page_.Session().Guard().TryBegin();
        if (!exchange) {
            // Another exchange of the page waits: the entries stay, and the page keeps its
            // connection alive as after every pass.
            page_.Timer2->start();
            return Pass::kEnd;
        }
        const rupdown entry = queue_.TakeHead();
        transferred = Work(run, entry, renamed);
        if (transferred)
            page_.WriteHistory(0, renamed ? page_.FRenameTo : std::string());
    } catch (const Stopped&) {
        return Pass::kEnd;
    } catch (const ftp::EIdProtocolReplyError&) {
        if (!run.Stopped())
            ErrorPath(run);
        return Pass::kEnd;
    } catch (const ESizeMismatch&) {
        if (!run.Stopped())
            ErrorPath(run);  // its own line is logged already
        return Pass::kEnd;
    } catch (const std::exception& error) {
        if (run.Stopped())
            return Pass::kEnd;
        // The error path's line names the last reply, which says nothing of a local file that
        // could not be written or a connection that closed: that error is logged first.
        page_.AddInfoLine(error.what(), 2);
        ErrorPath(run);
        return Pass::kEnd;
    } catch (...) {
        if (!run.Stopped())
            ErrorPath(run);
        return Pass::kEnd;
    }
    queue_.RemoveRunning();
    page_.Timer2->start();
    return Pass::kNext;
}

bool TQueueRun::Work(const TPageLifetime::Run& run, const rupdown& entry, bool& renamed) {
    const bool download = entry.direction != 0;
    if (download && !ftp::IsSafeLocalName(entry.name)) {
        // Only a plain name may become part of a local path.
        page_.AddInfoLine(
            "The name \"" + entry.name + "\" is not a plain file name; it was not downloaded.", 2);
        return false;
    }
    EnterEntryFolder(run, entry);
    if (download && entry.checkexist) {
        rtmpinfo info;
        const int found = page_.FindRemoteItem(entry.name, info, true);
        CheckOpen(run);
        if (found < 0) {
            ui::MessageDlg("The file " + entry.name + " was not exists.", ui::MessageKind::kError,
                           ui::mbOK);
            CheckOpen(run);
            return false;
        }
    }
    queue_.SetStatus(0, std::string(download ? "Downloading...(" : "Uploading...(") +
                            page_.FSite.transfermode + ")");
    queue_.SetImage(0, 0);
    return download ? Download(run, entry, renamed) : Upload(run, entry, renamed);
}

void TQueueRun::EnterEntryFolder(const TPageLifetime::Run& run, const rupdown& entry) {
    TPageSession& session = page_.Session();
    if (entry.ftppath == "0") {
        session.EnterFolder(page_.FCurrentDir);
        CheckOpen(run);
        return;
    }
    // A relative folder is one below the folder reached after connecting, wherever the
    // server is now.
    if (entry.direction == 0 || !entry.ftppath.starts_with('/')) {
        session.ChangeDir(page_.FStartDir);
        CheckOpen(run);
    }
    session.ChangeDir(entry.ftppath);
    CheckOpen(run);
    if (entry.direction != 0)
        return;
    const std::string folder = page_.IdFTP1.RetrieveCurrentDir();
    CheckOpen(run);
    session.NoteServerFolder(folder);
    page_.InvalidateCache(folder, "", 0);
}

template <class Transfer>
void TQueueRun::Timed(const TPageLifetime::Run& run, Transfer transfer) {
    const std::int64_t start = os::TickCountMs();
    page_.FItemStart = DateTimeValue(os::Now());
    transfer();
    CheckOpen(run);
    page_.FElapsedMs = os::TickCountMs() - start;
    page_.FItemEnd = DateTimeValue(os::Now());
}

bool TQueueRun::Upload(const TPageLifetime::Run& run, const rupdown& entry, bool& renamed) {
    ftp::TIdFTP& ftp = page_.IdFTP1;
    TPageSession& session = page_.Session();
    rtmpinfo info;
    info.path = entry.lopath;
    if (!entry.isfolder) {
        ApplyTransferType(ExtensionOf(entry.name));
        CheckOpen(run);
        info.losize = entry.size;
        std::string target = entry.name;
        if (page_.FindRemoteItem(entry.name, info, false) >= 0) {
            CheckOpen(run);
            const TDuplicateCode code = page_.AskDuplicateAction(info, false, false);
            CheckOpen(run);
            if (code == TDuplicateCode::kRename) {
                target = page_.FRenameTo;
                renamed = true;
            } else if (code != TDuplicateCode::kOverwrite) {
                return false;
            }
        }
        CheckOpen(run);
        Timed(run, [&] { ftp.Put(entry.lopath, target, false); });
        return true;
    }
    const std::string tree = entry.lopath + "/";
    const bool clash = page_.FindRemoteItem(entry.name, info, false) >= 0;
    CheckOpen(run);
    std::string folder = os::FileNamePart(entry.lopath);
    if (clash) {
        const TDuplicateCode code = page_.AskDuplicateAction(info, true, false);
        CheckOpen(run);
        if (code == TDuplicateCode::kRename) {
            folder = page_.FRenameTo;
            renamed = true;
        } else if (code != TDuplicateCode::kOverwrite) {
            return false;
        }
    }
    Timed(run, [&] {
        if (!clash || renamed) {
            ftp.MakeDir(folder);
            CheckOpen(run);
            session.ChangeDir(folder);
        } else {
            session.ChangeDir(folder);
            CheckOpen(run);
            const std::string entered = ftp.RetrieveCurrentDir();
            CheckOpen(run);
            page_.InvalidateCache(entered, "", 0);
        }
        CheckOpen(run);
        // The tree returns the server to the folder it started in; the session does not
        // follow it there.
        session.ForgetServerFolder();
        page_.UploadFolderTree(tree);
    });
    session.ForgetServerFolder();
    return true;
}

bool TQueueRun::Download(const TPageLifetime::Run& run, const rupdown& entry, bool& renamed) {
    ftp::TIdFTP& ftp = page_.IdFTP1;
    rtmpinfo info;
    info.path = entry.lopath;
    info.ftpdate = entry.rdate;
    if (entry.isfolder) {
        const bool clash = Tfb::IsLocalDir(entry.lopath);
        std::string newName;
        int mode = -1;
        if (clash) {
            const TDuplicateCode code = page_.AskDuplicateAction(info, true, true);
            CheckOpen(run);
            if (code == TDuplicateCode::kRename) {
                newName = page_.FRenameTo;
                renamed = true;
                mode = 0;
            } else if (code == TDuplicateCode::kOverwrite) {
                mode = 2;
            } else {
                return false;
            }
        }
        page_.Session().ForgetServerFolder();
        Timed(run, [&] { page_.DownloadFolderTree(entry.name, entry.lopath, newName, mode); });
        page_.Session().ForgetServerFolder();
        return true;
    }
    // The type first: some servers tell a size only in binary mode.
    ApplyTransferType(ExtensionOf(entry.name));
    CheckOpen(run);
    std::int64_t expected = entry.size;
    if (expected <= 0) {
        expected = ftp.Size(entry.name);
        CheckOpen(run);
    }
    page_.FFileSize = expected;
    // An entry queued without its size (a history or task re-run) still offers a resume when
    // SIZE has just told the real one.
    info.ftpsize = expected >= 0 ? expected : entry.size;
    std::string localPath = entry.lopath;
    bool overwrite = false;
    bool resume = false;
    if (os::IsRegularFile(entry.lopath)) {
        const TDuplicateCode code = page_.AskDuplicateAction(info, false, true);
        CheckOpen(run);
        if (code == TDuplicateCode::kRename) {
            localPath = TTransferQueue::FolderPart(entry.lopath) + page_.FRenameTo;
            renamed = true;
        } else if (code == TDuplicateCode::kOverwrite) {
            overwrite = true;
        } else if (code == TDuplicateCode::kResume) {
            resume = true;
        } else {
            return false;
        }
    }
    // A refused retrieve leaves an empty new file behind, which the retry of the entry would
    // take for a name clash: a file this transfer created and filled with nothing goes again.
    const bool created = !os::IsRegularFile(localPath);
    const std::int64_t lengthBefore = resume ? os::RegularFileSize(localPath) : -1;
    try {
        Timed(run, [&] {
            if (resume) {
                ftp.SendCmd("REST " + std::to_string(page_.FResumeOffset));
                CheckOpen(run);
            }
            ftp.Get(entry.name, localPath, overwrite, resume);
        });
    } catch (...) {
        page_.FResumeOffset = 0;
        page_.FResumeRemaining = 0;
        if (created && !run.Stopped() && os::RegularFileSize(localPath) == 0)
            ::unlink(localPath.c_str());
        // What a failed resume appended may be the file's start from a server that ignored
        // the restart: the file goes back to what it held, whatever ended the transfer (a page
        // closed meanwhile included), and a later resume starts from sound bytes.
        if (lengthBefore >= 0 && !CutBack(localPath, lengthBefore) && !run.Stopped())
            LogCutBackFailed(localPath, lengthBefore);
        throw;
    }
    page_.FResumeOffset = 0;
    page_.FResumeRemaining = 0;
    // A text transfer changes line ends, and with them the length: only binary ones are
    // checked (a resume always runs in binary type).
    if (ftp.TransferType() == ftp::TIdFTPTransferType::ftBinary)
        CheckReceivedSize(run, localPath, expected, entry.name, lengthBefore);
    return true;
}

void TQueueRun::CheckReceivedSize(const TPageLifetime::Run& run, const std::string& localPath,
                                  std::int64_t expected, const std::string& name,
                                  std::int64_t resumedFrom) {
    if (expected < 0)
        return;  // SIZE told nothing before the transfer; it tells nothing after it either
    const std::int64_t received = std::max<std::int64_t>(os::RegularFileSize(localPath), 0);
    // The opening reply's count is this transfer's file; after a restart some servers count
    // the whole file there and others what is left, so a resume does not use it.
    std::int64_t serverSize = resumedFrom < 0 ? page_.IdFTP1.AnnouncedSize() : -1;
    if (serverSize < 0) {
        if (received == expected)
            return;
        // The entry's size may be a listing's, which a link or a file changed since does not
        // match: the server's own size decides.
        serverSize = page_.IdFTP1.Size(name);
        CheckOpen(run);
    }
    if (serverSize < 0 || received == serverSize)
        return;  // no size at all: the closing reply over a clean end is all there is
    page_.AddInfoLine("Received " + std::to_string(received) + " of " + std::to_string(serverSize) +
                          " bytes of " + name + ".",
                      2);
    // A resume that did not continue the file (a server that takes the restart and sends the
    // whole file) leaves the local file as it was before.
    if (resumedFrom >= 0 && !CutBack(localPath, resumedFrom))
        LogCutBackFailed(localPath, resumedFrom);
    throw ESizeMismatch("size mismatch");
}

bool TQueueRun::CutBack(const std::string& localPath, std::int64_t length) {
    return ::truncate(localPath.c_str(), static_cast<off_t>(length)) == 0;
}

void TQueueRun::LogCutBackFailed(const std::string& localPath, std::int64_t length) {
    page_.AddInfoLine(
        "The file " + localPath + " could not be cut back to " + std::to_string(length) + " bytes.",
        2);
}

void TQueueRun::ErrorPath(const TPageLifetime::Run& run) {
    page_.AddInfoLine(ErrorLine(page_.IdFTP1.LastCmdResult()), 2);
    page_.FAskDuplicate = true;
    page_.FDuplicateAnswer = -1;
    if (queue_.HeadRunning())
        queue_.SetImage(0, 1);
    queue_.EndRunning();
    ResetRunState();
    page_.ToolButton3Click();
    if (run.Stopped())
        return;
    page_.EnableControls(true);
    page_.Timer2->start();
}
