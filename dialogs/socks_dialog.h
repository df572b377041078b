#pragma once
// TForm7, the SOCKS entry dialog: one row of `socks` (a SOCKS server), added under the caption
// "Add Socks" or changed under any other ("Edit Socks"). See entry_dialog.h.
//
// Life: one at a time, in the global `Form7` from creation to destruction; opened only by
// the options dialog, which frees it when it has closed.
#include "dialogs/entry_dialog.h"

class TForm7 : public TEntryDialog {
    Q_OBJECT

  public:
    explicit TForm7(QWidget* parent = nullptr);
    ~TForm7() override;

    QLineEdit* Edit4;        // "Name"
    QLineEdit* Edit1;        // "Host"
    ui::IntegerEdit* Edit5;  // "Port"
    QComboBox* ComboBox2;    // "Socks Version"
};

// The open SOCKS dialog, null while there is none.
extern TForm7* Form7;
