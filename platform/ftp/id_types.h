#pragma once
// Enumerations and small value types of the FTP client component.
#include <cstdint>
#include <string>
#include <vector>

namespace ftp {

enum class TIdFTPTransferType { ftASCII, ftBinary };

// Status codes passed to TIdFTP::OnStatus. The page uses hsDisconnected; hsStatusText carries a
// note of the component (for example a PASV address that was replaced by the server's).
enum class TIdStatus {
    hsResolving,
    hsConnecting,
    hsConnected,
    hsDisconnecting,
    hsDisconnected,
    hsStatusText
};

// Direction of a data transfer in the work events.
enum class TWorkMode { wmRead, wmWrite };

// FTP proxy login sequences (see TIdFTP::Connect).
enum class TIdFtpProxyType {
    fpcmNone,
    fpcmUserSite,         // proxy login; USER user@host
    fpcmSite,             // proxy login; SITE host; USER user
    fpcmOpen,             // proxy login; OPEN host; USER user
    fpcmUserPass,         // USER user@proxyuser@host; PASS password@proxypassword
    fpcmTransparent,      // proxy login; USER user
    fpcmHttpProxyWithFtp  // refused: Connect fails with EIdUnsupportedSetting
};

struct TIdFtpProxySettings {
    TIdFtpProxyType ProxyType = TIdFtpProxyType::fpcmNone;
    std::string Host;
    int Port = 0;
    std::string UserName;
    std::string Password;
};

// The last reply read on the control connection.
struct TIdRFCReply {
    int NumericCode = 0;  // 0 before the first reply
    std::string Code;     // the code as its three digits ("226"), empty before the first reply
    std::vector<std::string> Text;  // one entry per reply line, without the code, its separator
                                    // and the line end; lines of a multi-line reply that do not
                                    // start with the code are kept whole
};

}  // namespace ftp
