#include "dialogs/proxy_dialog.h"

TForm5* Form5 = nullptr;

namespace {

const dialogs::EntryDesign& ProxyDesign() {
    static const dialogs::EntryDesign design{
        dialogs::EntryKind::kProxy,
        "Form5",
        "Proxy",
        "Add Proxy",
        "Edit1",
        "Edit6",
        "Proxy Server",
        "Edit4",
        "Proxy Port",
        "ComboBox1",
        "Proxy Type",
        {QStringLiteral("None"), QStringLiteral("UserSite"), QStringLiteral("Site"),
         QStringLiteral("Open"), QStringLiteral("UserPass"), QStringLiteral("Transparent")},
        -1,
        0,
        "Please enter the address of proxy."};
    return design;
}

}  // namespace

TForm5::TForm5(QWidget* parent) : TEntryDialog(ProxyDesign(), parent) {
    Edit1 = nameEdit_;
    Edit6 = addressEdit_;
    Edit4 = portEdit_;
    ComboBox1 = typeList_;
    Form5 = this;
}

TForm5::~TForm5() {
    if (Form5 == this)
        Form5 = nullptr;
}
