#include "dialogs/socks_dialog.h"

TForm7* Form7 = nullptr;

namespace {

const dialogs::EntryDesign& SocksDesign() {
    static const dialogs::EntryDesign design{dialogs::EntryKind::kSocks,
                                             "Form7",
                                             "Socks",
                                             "Add Socks",
                                             "Edit4",
                                             "Edit1",
                                             "Host",
                                             "Edit5",
                                             "Port",
                                             "ComboBox2",
                                             "Socks Version",
                                             {QStringLiteral("NoSocks"), QStringLiteral("Socks4"),
                                              QStringLiteral("Socks4A"), QStringLiteral("Socks5")},
                                             0,
                                             1080,
                                             "Please enter the host."};
    return design;
}

}  // namespace

TForm7::TForm7(QWidget* parent) : TEntryDialog(SocksDesign(), parent) {
    Edit4 = nameEdit_;
    Edit1 = addressEdit_;
    Edit5 = portEdit_;
    ComboBox2 = typeList_;
    Form7 = this;
}

TForm7::~TForm7() {
    if (Form7 == this)
        Form7 = nullptr;
}
