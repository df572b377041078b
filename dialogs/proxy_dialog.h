#pragma once
// TForm5, the proxy entry dialog: one row of `proxy` (an FTP proxy), added under the caption
// "Add Proxy" or changed under any other ("Edit Proxy"). See entry_dialog.h.
//
// Life: one at a time, in the global `Form5` from creation to destruction; opened only by
// the options dialog, which frees it when it has closed.
#include "dialogs/entry_dialog.h"

class TForm5 : public TEntryDialog {
    Q_OBJECT

  public:
    explicit TForm5(QWidget* parent = nullptr);
    ~TForm5() override;

    QLineEdit* Edit1;        // "Name"
    QLineEdit* Edit6;        // "Proxy Server"
    ui::IntegerEdit* Edit4;  // "Proxy Port"
    QComboBox* ComboBox1;    // "Proxy Type"
};

// The open proxy dialog, null while there is none.
extern TForm5* Form5;
