#include "tests/ftp_servers/vsftpd_server.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>

#include "tests/ftp_servers/file_bytes.h"
#include "tests/ftp_servers/loopback.h"

namespace ftptest {

namespace {

void MakeFolder(const std::string& path, mode_t mode) {
    if (mkdir(path.c_str(), mode) != 0 || chmod(path.c_str(), mode) != 0) {
        throw std::runtime_error("cannot create " + path);
    }
}

}  // namespace

VsftpdServer::VsftpdServer(bool textConversion) : folder_("vsftpd") {
    if (geteuid() != 0) {
        throw std::runtime_error("vsftpd needs root");
    }
    const passwd* ftp_user = getpwnam("ftp");
    if (ftp_user == nullptr) {
        throw std::runtime_error("the system user \"ftp\" is missing (install vsftpd)");
    }
    chmod(folder_.path().c_str(), 0755);
    // The anonymous root must not be writable by the session user; its "pub" folder is.
    const std::string root = folder_.File("root");
    MakeFolder(root, 0555);
    MakeFolder(root + "/pub", 0755);
    if (chown((root + "/pub").c_str(), ftp_user->pw_uid, ftp_user->pw_gid) != 0) {
        throw std::runtime_error("cannot hand " + root + "/pub to the ftp user");
    }
    const std::string empty = folder_.File("empty");
    MakeFolder(empty, 0755);

    account_.host = "127.0.0.1";
    account_.port = FreeLoopbackPort();
    account_.user = "anonymous";
    account_.password = "guest";
    account_.remote_folder = "/pub/";
    account_.local_folder = root + "/pub/";
    // Anonymous logins with one accepted password: a wrong one is refused as by a real account.
    const std::string passwords = folder_.File("passwords");
    WriteFileBytes(passwords, account_.password + "\n");
    const int pasv_min = std::min(FreeLoopbackPort(), 65535 - 64);
    const std::string config =
        "listen=YES\nlisten_ipv6=NO\nlisten_address=127.0.0.1\n"
        "listen_port=" +
        std::to_string(account_.port) +
        "\n"
        "background=NO\n"
        "anonymous_enable=YES\nlocal_enable=NO\n"
        "secure_email_list_enable=YES\nemail_password_file=" +
        passwords +
        "\n"
        "write_enable=YES\nanon_upload_enable=YES\nanon_mkdir_write_enable=YES\n"
        "anon_other_write_enable=YES\nanon_umask=022\n"
        "anon_root=" +
        root + "\nsecure_chroot_dir=" + empty +
        "\n"
        "pasv_enable=YES\npasv_address=127.0.0.1\n"
        "pasv_min_port=" +
        std::to_string(pasv_min) +
        "\n"
        "pasv_max_port=" +
        std::to_string(pasv_min + 64) +
        "\n"
        "port_enable=YES\nconnect_from_port_20=NO\n"
        "dirmessage_enable=NO\nxferlog_enable=NO\nseccomp_sandbox=NO\n" +
        (textConversion ? "ascii_upload_enable=YES\nascii_download_enable=YES\n" : "");
    const std::string config_path = folder_.File("vsftpd.conf");
    WriteFileBytes(config_path, config);
    process_ =
        std::make_unique<ChildProcess>(std::vector<std::string>{"/usr/sbin/vsftpd", config_path},
                                       folder_.File("server.log"), false);
    WaitUntilAccepting(account_.port, *process_, std::chrono::seconds(15));
}

std::string VsftpdServer::Url() const {
    return "ftp://" + account_.user + ":" + account_.password + "@" + account_.host + ":" +
           std::to_string(account_.port) + account_.remote_folder;
}

}  // namespace ftptest
