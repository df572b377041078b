#pragma once
// The socket I/O handler of the FTP component: it carries the SOCKS settings used for the
// control and every data connection. Not owning: SocksInfo must outlive every connect.
namespace ftp {

class TIdSocksInfo;

class TIdIOHandlerSocket {
  public:
    TIdSocksInfo* SocksInfo = nullptr;  // nullptr: direct connections
};

}  // namespace ftp
