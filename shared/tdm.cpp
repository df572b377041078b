#include "shared/tdm.h"

Tdm* dm = nullptr;

namespace {

constexpr const char* kDatabaseName = "123";
constexpr const char* kSessionName = "Default";

std::unique_ptr<vesk::TVeskTable> Table(const char* componentName, const char* tableName) {
    auto table = std::make_unique<vesk::TVeskTable>(componentName);
    table->SetSessionName(kSessionName);
    table->SetMediumType(vesk::mtDisk);
    table->SetDatabaseName(kDatabaseName);
    table->SetTableName(tableName);
    return table;
}

}  // namespace

Tdm::Tdm()
    : VeskDatabase1(std::make_unique<vesk::TVeskDatabase>(nullptr, "VeskDatabase1")),
      Tftpsite(Table("Tftpsite", "ftpsite")),
      Toption(Table("Toption", "options")),
      Tproxy(Table("Tproxy", "proxy")),
      Tsocks(Table("Tsocks", "socks")),
      Tantiidle(Table("Tantiidle", "antiidle")),
      Tascext(Table("Tascext", "ascext")),
      Thm(Table("Thm", "hmaster")),
      Thd(Table("Thd", "hdital")),
      Ttask(Table("Ttask", "task")),
      Ttaskd(Table("Ttaskd", "taskd")),
      Ttaskd2(Table("Ttaskd2", "taskd2")),
      Tquick(Table("Tquick", "quickftp")),
      Tftpb(std::make_unique<vesk::TVeskTable>("Tftpb")) {
    VeskDatabase1->SetSessionName(kSessionName);
    VeskDatabase1->SetDatabaseName(kDatabaseName);
    VeskDatabase1->SetMediumType(vesk::mtDisk);
    Tftpb->SetSessionName(kSessionName);
    Tftpb->SetMediumType(vesk::mtDisk);
}

Tdm::~Tdm() {
    // Tables first: each leaves its database before the database goes.
    for (auto* table : {&Tftpb, &Tquick, &Ttaskd2, &Ttaskd, &Ttask, &Thd, &Thm, &Tascext,
                        &Tantiidle, &Tsocks, &Tproxy, &Toption, &Tftpsite})
        table->reset();
}
