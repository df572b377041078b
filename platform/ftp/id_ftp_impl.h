#pragma once
// The machinery behind TIdFTP, shared by its source files: the control connection and its
// replies (id_ftp_control.cpp), connecting and logging in (id_ftp_connect.cpp), data
// connections (id_ftp_data.cpp) and the listing and file transfers (id_ftp_transfers.cpp).
// Internal to platform/ftp.
#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ftp/id_ftp.h"
#include "platform/ftp/progress_wait.h"
#include "platform/ftp/reply_reader.h"
#include "platform/ftp/socket_channel.h"

namespace ftp {

class TIdSocksInfo;

bool IsOneOf(int code, std::initializer_list<int> accepted);
// A reply's text lines joined by line feeds (the text of its EIdProtocolReplyError).
std::string JoinText(const TIdRFCReply& reply);

class TIdFTP::Impl {
  public:
    explicit Impl(TIdFTP& owner) : owner_(owner) {}

    TIdFTP& owner_;
    std::shared_ptr<SocketChannel> control_;
    std::shared_ptr<SocketChannel> data_;      // the open data connection, if any
    std::shared_ptr<SocketChannel> listener_;  // active mode, between PORT and accept
    ReplyReader reader_;
    // Counts connect attempts and closes; a connect in progress that sees it change was cancelled
    // by a nested call.
    std::uint64_t generation_ = 0;
    bool connecting_ = false;
    // Where data connections go through SOCKS: the server the control connection was asked for.
    bool viaSocks_ = false;
    std::string controlTargetHost_;
    // A transfer ended without its closing replies read (a 426 or 450 whose follow-up has not
    // come, or a transfer given up after its opening reply): the closing-type replies that
    // arrive next are passed over until another reply comes (see ReadReply).
    bool skipStrayClosingReplies_ = false;
    // Between the accepted opening reply of a transfer and the read of its closing reply.
    bool closingReplyPending_ = false;
    // ReadReply calls under way (a handler run by a wait may read replies too).
    int replyReadDepth_ = 0;
    // ABOR was sent while a reply was awaited: its answers come after that reply, which is
    // read as usual; the stray closing replies are passed over from then on.
    bool abortAnsweredAfterReply_ = false;
    // An exchange (see Exchange) runs on the control connection.
    bool exchangeBusy_ = false;
    // Abort calls so far, and their number when the running exchange began: a transfer that
    // sees it change ends with the abort error (ThrowIfAborted).
    std::uint64_t aborts_ = 0;
    std::uint64_t abortsAtExchangeStart_ = 0;

    // One exchange at a time on a connection: a command and its reply, a whole transfer, a
    // login. A handler that runs inside the exchange's waits (a message pump) and starts another
    // would make the two read each other's replies, so the constructor throws
    // EIdCommandInProgress when an exchange runs, before anything is sent. Closing the control
    // connection ends the running exchange (its call then fails with EIdClosedSocket), so a
    // handler may disconnect and connect anew. Abort, Disconnect and Connected take no exchange.
    class Exchange {
      public:
        explicit Exchange(Impl& impl);
        ~Exchange();
        Exchange(const Exchange&) = delete;
        Exchange& operator=(const Exchange&) = delete;

      private:
        Impl& impl_;
    };
    // Throws EIdClosedSocket when Abort was called since the running exchange began.
    void ThrowIfAborted() const;

    // ---- control connection (id_ftp_control.cpp) ----
    std::function<bool()> ControlCurrent(const std::shared_ptr<SocketChannel>& control);
    std::function<bool()> DataCurrent(const std::shared_ptr<SocketChannel>& control,
                                      const std::shared_ptr<SocketChannel>& data);
    std::shared_ptr<SocketChannel> RequireControl();
    ProgressWait ReadWait() const;
    // The wait of control-connection reads and writes: a time-out closes the connection.
    ProgressWait ControlWait(const std::shared_ptr<SocketChannel>& control);
    void CloseData();
    void CloseControlWithEvents();
    [[noreturn]] void ServerClosed();
    void Status(TIdStatus status, const std::string& text);
    void WriteAll(const std::shared_ptr<SocketChannel>& channel, std::string_view bytes,
                  ProgressWait& wait, const std::function<bool()>& current, bool isControl);
    std::string ReadExact(const std::shared_ptr<SocketChannel>& channel, std::size_t n,
                          ProgressWait& wait, const std::function<bool()>& current);
    // Passes over the replies of the server that nobody awaits, then sends one command line.
    void SendLine(const std::string& text);
    // Takes in what the control connection holds and drops every complete reply in it, each
    // noted with OnStatus(hsStatusText): no command awaits a reply when this runs, so what is
    // there came out of turn and must not answer the next command. A server found closed closes
    // the component and throws EIdConnClosedGracefully.
    void PassOverRepliesOutOfTurn(const std::shared_ptr<SocketChannel>& control);
    // Moves what the control socket holds into the reply reader. Returns false at end of stream.
    bool ReceiveControlChunk(const std::shared_ptr<SocketChannel>& control, ssize_t& got);
    void FeedReader(const std::string& chunk);
    std::optional<TIdRFCReply> TakeReply();
    // The next reply of the server. A 1xx reply is passed over unless `preliminaryAwaited`
    // (the opening reply of a transfer): everywhere else a final reply is awaited. So are the
    // stray closing replies of an ended transfer and the answers to ABOR (see
    // skipStrayClosingReplies_). Throws what the control connection's waits throw.
    TIdRFCReply ReadReply(bool preliminaryAwaited = false);
    TIdRFCReply Expect(const TIdRFCReply& reply, std::initializer_list<int> accepted);
    // Sends the command and reads its reply: a 1xx one only when `accepted` holds a 1xx code.
    // Throws EIdProtocolReplyError for a code not accepted.
    TIdRFCReply Command(const std::string& text, std::initializer_list<int> accepted);
    TIdRFCReply CommandAnyReply(const std::string& text);
    bool Connected();
    // Puts the server into binary type (TYPE I, 200) unless it is known to be there already.
    // Byte counts of SIZE and restart offsets mean file bytes only in binary type; several
    // servers refuse both in ASCII type. Throws what Command throws; the type is then left
    // as it was.
    void EnsureBinaryType();

    // ---- connecting and logging in (id_ftp_connect.cpp) ----
    const TIdSocksInfo* Socks() const;
    // Opens a TCP connection to host:port, through SOCKS when set. The connection is not yet the
    // component's; `current` tells whether the calling operation is still wanted.
    std::shared_ptr<SocketChannel> OpenConnection(const std::string& host, std::uint16_t port,
                                                  int timeoutMs,
                                                  const std::function<bool()>& current);
    void Connect(bool autoLogin, int timeoutMs);
    // USER (230 or 331), and PASS on 331 (230).
    void UserPass(const std::string& user, const std::string& password);
    void Login(bool viaProxy);

    // ---- data connections (id_ftp_data.cpp) ----
    int BufferSize(int requested) const;
    // PASV and connect, or listen and PORT. Leaves data_ (passive) or listener_ (active) set.
    void PrepareDataConnection();
    // After the opening reply of active mode: takes the server's connection.
    void AcceptDataConnection();
    // Opens the data connection, sends the optional restart and the transfer command, reads the
    // opening reply and, in active mode, accepts. Returns the data connection.
    std::shared_ptr<SocketChannel> StartTransfer(const std::string& restart,
                                                 const std::string& command,
                                                 std::initializer_list<int> opening);
    // Closing reply of a transfer: 225, 226 or 250. 426 and 450 report a failed transfer; the
    // follow-up reply some servers send after them is read so the next command gets its own.
    void FinishTransfer();
    // Receives the data connection into `sink` until the server closes it.
    void ReceiveData(const std::shared_ptr<SocketChannel>& data,
                     const std::function<void(const char*, std::size_t)>& sink);
    // Sends what `source` gives (bytes put into the buffer; 0 at the end) and closes the data
    // connection, which tells the server the file is complete.
    void SendData(const std::shared_ptr<SocketChannel>& data,
                  const std::function<std::size_t(char*, std::size_t)>& source);
    // Runs a data transfer with work-begin before and work-end after (also on failure).
    void WithWork(TWorkMode mode, std::int64_t expected, const std::function<void()>& body);

    // ---- listing and file transfers (id_ftp_transfers.cpp) ----
    // `lines` null: the lines are not kept (only with details).
    void List(std::vector<std::string>* lines, const std::string& specifier, bool details);
    void Get(const std::string& remote, const std::string& localPath, bool overwrite, bool resume);
    void Put(const std::string& localPath, const std::string& remote, bool append);
};

}  // namespace ftp
