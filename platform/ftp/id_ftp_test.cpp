#include "platform/ftp/id_ftp.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <functional>

#include "platform/ftp/id_anti_freeze.h"
#include "platform/ftp/id_exceptions.h"
#include "platform/ftp/id_log_event.h"
#include "tests/ftp_servers/silent_listener.h"

namespace ftp {
namespace {

// A name with a line break must never reach the wire: every operation refuses it before it
// even looks at the connection, so the error is EIdCommandRefused and not EIdNotConnected.
TEST(TIdFTPCommands, LineBreaksAreRefusedBeforeAnythingElse) {
    const std::string bad = "x\r\nDELE important";
    std::vector<std::string> lines;
    const struct {
        const char* operation;
        std::function<void(TIdFTP&)> call;
    } cases[] = {
        {"ChangeDir", [&](TIdFTP& f) { f.ChangeDir(bad); }},
        {"MakeDir", [&](TIdFTP& f) { f.MakeDir(bad); }},
        {"RemoveDir", [&](TIdFTP& f) { f.RemoveDir(bad); }},
        {"Delete", [&](TIdFTP& f) { f.Delete(bad); }},
        {"Rename from", [&](TIdFTP& f) { f.Rename(bad, "ok"); }},
        {"Rename to", [&](TIdFTP& f) { f.Rename("ok", bad); }},
        {"Size", [&](TIdFTP& f) { f.Size(bad); }},
        {"SendCmd", [&](TIdFTP& f) { f.SendCmd(bad); }},
        {"SendCmd NUL", [&](TIdFTP& f) { f.SendCmd(std::string("NOOP\0x", 6)); }},
        {"List", [&](TIdFTP& f) { f.List(lines, bad); }},
        {"Get", [&](TIdFTP& f) { f.Get(bad, "/nonexistent/never", true, false); }},
        {"Put", [&](TIdFTP& f) { f.Put("/nonexistent/never", bad, false); }},
        {"Put append", [&](TIdFTP& f) { f.Put("/nonexistent/never", bad, true); }},
    };
    for (const auto& c : cases) {
        TIdFTP ftp;
        TIdLogEvent log;
        std::string sent;
        log.OnSent = [&](const std::string& text) { sent += text; };
        ftp.Intercept = &log;
        EXPECT_THROW(c.call(ftp), EIdCommandRefused) << c.operation;
        EXPECT_TRUE(sent.empty()) << c.operation;
    }
}

TEST(TIdFTPCommands, OperationsNeedAConnection) {
    TIdFTP ftp;
    std::vector<std::string> lines;
    EXPECT_FALSE(ftp.Connected());
    EXPECT_THROW(ftp.ChangeDir("a"), EIdNotConnected);
    EXPECT_THROW(ftp.RetrieveCurrentDir(), EIdNotConnected);
    EXPECT_THROW(ftp.List(lines), EIdNotConnected);
    EXPECT_THROW(ftp.Get("a", "/nonexistent/never", true, false), EIdNotConnected);
    // Abort and Disconnect of a closed component do nothing, and fire no event.
    int events = 0;
    ftp.OnDisconnected = [&] { ++events; };
    ftp.OnStatus = [&](TIdStatus, const std::string&) { ++events; };
    ftp.Abort();
    ftp.Disconnect();
    EXPECT_EQ(events, 0);
}

TEST(TIdFTPConnect, RefusedSettingsFailBeforeAnyConnection) {
    const struct {
        const char* what;
        TIdFtpProxyType proxy;
        int timeoutMs;
        std::function<void(TIdFTP&)> expectThrow;
    } cases[] = {
        {"time-out 0", TIdFtpProxyType::fpcmNone, 0,
         [](TIdFTP& f) { EXPECT_THROW(f.Connect(true, 0), EIdConnectTimeout); }},
        {"negative time-out", TIdFtpProxyType::fpcmNone, -1,
         [](TIdFTP& f) { EXPECT_THROW(f.Connect(true, -1), EIdConnectTimeout); }},
        {"HTTP proxy", TIdFtpProxyType::fpcmHttpProxyWithFtp, 1000,
         [](TIdFTP& f) { EXPECT_THROW(f.Connect(true, 1000), EIdUnsupportedSetting); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TIdFTP ftp;
        ftp.Host = "127.0.0.1";
        ftp.Port = 1;  // nothing listens there; a connect attempt would fail differently
        ftp.ProxySettings.ProxyType = c.proxy;
        ftp.ProxySettings.Host = "127.0.0.1";
        ftp.ProxySettings.Port = 1;
        int connected = 0;
        ftp.OnConnected = [&] { ++connected; };
        c.expectThrow(ftp);
        EXPECT_EQ(connected, 0);
        EXPECT_FALSE(ftp.Connected());
    }
}

TEST(TIdFTPConnect, RefusedConnectionIsASocketError) {
    TIdFTP ftp;
    ftp.Host = "127.0.0.1";
    ftp.Port = 1;
    EXPECT_THROW(ftp.Connect(true, 5000), EIdSocketError);
    EXPECT_FALSE(ftp.Connected());
}

TEST(TIdFTPConnect, UnansweredConnectTimesOutWhilePumping) {
    ftptest::SilentListener silent;
    TIdAntiFreeze antiFreeze;
    int pumps = 0;
    antiFreeze.OnIdle = [&] { ++pumps; };
    TIdFTP ftp;
    ftp.Host = "127.0.0.1";
    ftp.Port = silent.port();
    int connected = 0;
    ftp.OnConnected = [&] { ++connected; };
    EXPECT_THROW(ftp.Connect(true, 400), EIdConnectTimeout);
    EXPECT_GE(pumps, 4);  // 400 ms in steps of at most 50 ms
    EXPECT_EQ(connected, 0);
    EXPECT_FALSE(ftp.Connected());
}

TEST(TIdFTPConnect, DisconnectFromAPumpCancelsTheWaitingConnect) {
    ftptest::SilentListener silent;
    TIdFTP ftp;
    ftp.Host = "127.0.0.1";
    ftp.Port = silent.port();
    TIdAntiFreeze antiFreeze;
    int nestedConnect = 0;
    antiFreeze.OnIdle = [&] {
        // A second connect of the same component is refused, a disconnect cancels.
        try {
            ftp.Connect(true, 1000);
        } catch (const EIdAlreadyConnected&) {
            ++nestedConnect;
        }
        ftp.Disconnect();
    };
    EXPECT_THROW(ftp.Connect(true, 5000), EIdClosedSocket);
    EXPECT_EQ(nestedConnect, 1);
}

TEST(TIdFTPTransferType, RememberedWhileDisconnected) {
    TIdFTP ftp;
    EXPECT_EQ(ftp.TransferType(), TIdFTPTransferType::ftBinary);
    ftp.SetTransferType(TIdFTPTransferType::ftASCII);
    EXPECT_EQ(ftp.TransferType(), TIdFTPTransferType::ftASCII);
}

TEST(TIdFTPBuffers, SizesAreClamped) {
    const struct {
        int requested;
        int effective;
    } cases[] = {
        {0, 65536},   {-1, 65536},  {1, 512},           {512, 512},
        {1024, 1024}, {2048, 2048}, {1 << 22, 1 << 22}, {(1 << 22) + 1, 1 << 22},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TIdFTP::EffectiveBufferSize(c.requested), c.effective) << c.requested;
}

}  // namespace
}  // namespace ftp
