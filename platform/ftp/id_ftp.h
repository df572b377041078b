#pragma once
// The FTP client component of a connection page.
//
// Blocking model: every operation blocks the calling (user-interface) thread until it is done,
// waiting in steps of at most 50 ms with the anti-freeze in effect (TIdAntiFreeze) pumped
// between steps, so handlers of any page may run inside any wait, including handlers that call
// this component again. Name resolution and the TCP connect run in a short-lived thread while
// the caller pumps. After each pump an operation re-checks that the connection it was using is
// still the current, open one; if a nested call closed or replaced it, the operation throws
// EIdClosedSocket and touches no socket again. Time-outs count time without progress: the read
// time-out restarts whenever a byte moves. A read time-out on the control connection closes it
// (disconnect events) before EIdReadTimeout is thrown: a late reply would otherwise be taken for
// the next command's.
//
// Errors: every operation throws an EIdException subclass (id_exceptions.h) on a refused reply,
// a closed connection, a time-out or a local file failure. A server found closed during any
// operation closes the component (disconnect events below) and throws EIdConnClosedGracefully.
//
// One exchange at a time: while a command awaits its reply, or a login or a transfer runs, every
// other command (from a handler running inside that call's waits) throws EIdCommandInProgress
// and sends nothing. Abort, Disconnect and Connected stay allowed; after a Disconnect a handler
// may connect anew. Replies that come while no command awaits one (a server that talks out of
// turn) are noted with OnStatus(hsStatusText) and passed over before the next command is sent.
//
// Not copyable. The component does not own IOHandler, Intercept or their SOCKS settings; they
// must outlive every call. Not thread-safe: use it from one thread.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ftp/id_list_item.h"
#include "platform/ftp/id_types.h"

namespace ftp {

class TIdIOHandlerSocket;
class TIdLogEvent;

class TIdFTP {
  public:
    TIdFTP();
    ~TIdFTP();
    TIdFTP(const TIdFTP&) = delete;
    TIdFTP& operator=(const TIdFTP&) = delete;

    // ---- settings (read at the start of each operation that uses them) ----
    std::string Host;
    int Port = 21;
    std::string Username;
    std::string Password;
    bool Passive = false;
    int ReadTimeout = 0;        // milliseconds; 0 or less: no limit
    int RecvBufferSize = 2048;  // bytes per read of a data connection; see EffectiveBufferSize
    int SendBufferSize = 1024;  // bytes per write of a data connection
    TIdFtpProxySettings ProxySettings;
    TIdIOHandlerSocket* IOHandler = nullptr;  // SOCKS settings; nullptr: direct
    TIdLogEvent* Intercept = nullptr;         // protocol log; nullptr: none

    // ---- events (all optional; they run on the caller's thread inside the operation) ----
    std::function<void()> OnConnected;     // after the TCP (and SOCKS) connect, before the greeting
    std::function<void()> OnDisconnected;  // see Disconnect for the order
    std::function<void(TIdStatus status, const std::string& text)> OnStatus;
    // Data transfers of List, Get and Put: work-begin once with the expected byte count (Put: the
    // bytes to send; List and Get: 0, the component does not know it), work after every chunk
    // with the bytes of this transfer so far, work-end once when the data connection is done
    // (also when it failed).
    std::function<void(TWorkMode mode, std::int64_t expected)> OnWorkBegin;
    std::function<void(TWorkMode mode, std::int64_t countSoFar)> OnWork;
    std::function<void(TWorkMode mode)> OnWorkEnd;

    // ---- connection ----

    // Connects to Host:Port, or to the FTP proxy's host and port when a proxy type other than
    // none is set and the proxy host is not empty; through SOCKS when IOHandler names a SOCKS
    // version. Reads the greeting (220). With autoLogin logs in by the proxy type:
    //   none:         USER user (230 or 331); on 331 PASS password (230)
    //   user at site: proxy login; USER user@Host; on 331 PASS password
    //   SITE:         proxy login; SITE Host; USER user; on 331 PASS password
    //   OPEN:         proxy login; OPEN Host; USER user; on 331 PASS password
    //   user/proxy:   USER user@proxyuser@Host; on 331 PASS password@proxypassword
    //                 (PASS password when no proxy password is set)
    //   transparent:  proxy login; USER user; on 331 PASS password
    // where proxy login (only when a proxy user name is set) is USER proxyuser and on 331
    // PASS proxypassword (230). SITE and OPEN accept any 2xx or 3xx reply. Then SYST (200, 215 or
    // 500 accepted).
    //
    // timeoutMs bounds the TCP connect and the SOCKS negotiation; 0 or less fails at once with
    // EIdConnectTimeout. Replies are read under ReadTimeout.
    // Already connected (by Connected()): the connection is closed as by Disconnect and
    // EIdAlreadyConnected is thrown. Any other failure closes whatever was opened (disconnect
    // events when the TCP connect had succeeded) and then throws. HttpProxyWithFtp throws
    // EIdUnsupportedSetting before anything is opened. A Connect called from a handler while
    // another Connect of this component waits throws EIdAlreadyConnected and changes nothing; a
    // Disconnect called then, or from OnConnected, makes the waiting Connect fail with
    // EIdClosedSocket (a connection the handler opened meanwhile stays as it is).
    void Connect(bool autoLogin, int timeoutMs);

    // True while the control connection is open. Reads whatever the server has sent meanwhile
    // (into the reply buffer and the log); when that shows the server closed the connection, the
    // component closes it as Disconnect does (events fire) and returns false. Never throws
    // (handler exceptions from the events propagate).
    bool Connected();

    // Closes the data and control connections; never sends QUIT. When the control connection
    // was open, in this order: OnStatus(hsDisconnecting), connection closed, OnDisconnected,
    // OnStatus(hsDisconnected). Closed already: nothing. Throws nothing of its own.
    void Disconnect();

    // Sends "ABOR" when connected, without reading a reply, and closes the data connection. A
    // transfer (List, Get, Put) waiting in an outer call then fails with EIdClosedSocket, in
    // whatever step it was, and also when the server answers that the transfer was complete;
    // it sends no further command. The server's answers
    // to ABOR are passed over when they come, so the next command reads its own reply. Socket
    // errors while sending are ignored.
    void Abort();

    // ---- commands (each throws EIdNotConnected when not connected; a text with CR, LF or NUL
    //      throws EIdCommandRefused before anything is sent) ----

    void ChangeDir(const std::string& folder);  // CWD folder (200, 250)
    std::string RetrieveCurrentDir();           // PWD (257): text between the first
                                                // two '"' of the first line, else ""
    void MakeDir(const std::string& name);      // MKD name (257)
    void RemoveDir(const std::string& name);    // RMD name (250)
    void Delete(const std::string& name);       // DELE name (250)
    void Rename(const std::string& from, const std::string& to);  // RNFR (350), RNTO (250)
    // SIZE name in binary type (TYPE I first unless the server is known to be in it, and TYPE A
    // again afterwards when the type was ASCII; a refused TYPE throws), any reply accepted: 213
    // gives the number after the first blank of the reply text (64-bit); a text that is no number,
    // or any other reply, gives -1.
    std::int64_t Size(const std::string& name);
    // Sends the text as one line and reads the reply; any reply is accepted. Returns its code.
    int SendCmd(const std::string& text);

    // ASCII or binary. When the new type differs from the current one and no data connection is
    // open, it is remembered and, while connected, "TYPE A" or "TYPE I" is sent (200); otherwise
    // nothing happens. A change asked for while another exchange runs (a transfer, too) throws
    // EIdCommandInProgress and changes nothing. Starts as binary. A server starts every connection
    // in its own default type, so the first call after a connect sends TYPE even when the type is
    // unchanged; that keeps the server's type and the component's in agreement.
    TIdFTPTransferType TransferType() const { return transferType_; }
    void SetTransferType(TIdFTPTransferType type);

    // ---- data transfers ----
    // Data connection: passive sends PASV (227) and connects to the port the reply names, at
    // the address of the control connection's peer (through SOCKS: at the server the control
    // connection was asked for); a differing address in the reply is reported with
    // OnStatus(hsStatusText). Active listens on the control connection's local address and
    // sends PORT h1,h2,h3,h4,p1,p2 (200), and takes the data connection only from the server's
    // address; active through SOCKS throws EIdSocksError before PORT. A data connection reset
    // by the server fails the transfer with EIdSocketError (never taken for the end of the
    // data). After the data, the closing reply 225, 226 or 250 is success; 426 or 450 fails the
    // transfer. The
    // 226 or 225 a server may send after them, and the closing replies of a transfer given up
    // after its opening reply (time-out, local file error, Abort), are passed over when they
    // come, so later commands get their own replies without a wait for replies some servers
    // never send.

    // LIST [specifier] (opening 125, 150 or 154). Fills lines with the listing's non-empty lines
    // (line ends removed) and DirectoryListing with the parsed items. A listing over 256 MiB or
    // 4,000,000 lines fails with EIdReplyFormatError "Listing too long.", a line over 64 KiB
    // with "Listing line too long.". A first line that fits neither
    // the Unix nor the DOS rules throws EIdUnknownListFormat after the transfer completed;
    // later lines that fit neither are skipped. details false sends NLST and parses nothing.
    void List(std::vector<std::string>& lines, const std::string& specifier = "",
              bool details = true);
    // LIST as List does, with the same bounds and errors, but the lines are not kept apart:
    // only DirectoryListing is filled (each item's Text holds its line).
    void ListItems(const std::string& specifier = "");
    const TIdFTPListItems& DirectoryListing() const { return listing_; }
    // Moves the items of the last List out; DirectoryListing is empty afterwards. Never throws.
    TIdFTPListItems TakeDirectoryListing() {
        TIdFTPListItems items;
        items.swap(listing_);
        return items;
    }

    // Retrieves remote into the local file at localPath. In ASCII type the file gets the local
    // line ends (ascii_line_ends.h: each CR LF of the wire becomes LF); a resume always runs in
    // binary type. A resume takes place only when asked
    // and the server allows restarts; whether it does is probed once per component, at the first
    // Get asked to resume onto an existing file: "REST 1" (350 means yes), then "REST 0" in any
    // case. A Get asked to resume onto an existing file switches to binary type first (TYPE I,
    // unless the server is known to be in it), so the probe and the offset are always about
    // file bytes; the type stays binary afterwards. Local file missing: created. Existing: with
    // overwrite and no resume taking place it is created anew; with a resume taking place and
    // without overwrite it is written from its end after "REST " + its size (350); otherwise
    // EIdFTPFileAlreadyExists. Then RETR remote (opening 125, 150 or 154). A file being overwritten
    // is emptied only after the opening reply, so a refused RETR leaves it as it was. A failed
    // transfer leaves what was written.
    void Get(const std::string& remote, const std::string& localPath, bool overwrite, bool resume);

    // Sends the local file (in ASCII type with CR LF line ends, ascii_line_ends.h; work events
    // then count the bytes sent, which may be more than the file's): "STOR " + remote, "APPE " +
    // remote when append, "STOU " (with its blank) when remote is empty (opening 125 or 150).
    void Put(const std::string& localPath, const std::string& remote, bool append);

    // The byte count the opening reply of the last Get named ("(N bytes)", announced_size.h),
    // the size of the file that transfer sent; -1 when it named none or no transfer began.
    std::int64_t AnnouncedSize() const { return announcedSize_; }

    // Whether the server allows restarts, once probed by Get (false before).
    bool CanResume() const { return canResume_; }

    // The last reply read on the control connection (kept after failures for the caller's log).
    // After a transfer refused with 426 or 450 it is that reply, not the follow-up.
    const TIdRFCReply& LastCmdResult() const { return lastReply_; }

    // Clamp of the buffer sizes: 0 or less gives 65536; others are held within 512..4 MiB.
    static int EffectiveBufferSize(int requested);

  private:
    class Impl;
    friend class Impl;

    TIdFTPTransferType transferType_ = TIdFTPTransferType::ftBinary;
    bool canResume_ = false;
    bool resumeProbed_ = false;
    bool typeSentSinceConnect_ = false;
    std::int64_t announcedSize_ = -1;
    TIdFTPListItems listing_;
    TIdRFCReply lastReply_;
    std::unique_ptr<Impl> impl_;
};

}  // namespace ftp
