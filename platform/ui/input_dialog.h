#pragma once
// The one-line input box: a caption, a prompt above an edit, OK and Cancel. Its controls carry
// object names for tests: "Prompt" (label), "Value" (edit), "OkButton", "CancelButton".
#include <cstddef>

#include "platform/ui/modal_dialog.h"
#include "platform/ui/ui_services.h"

class QLabel;
class QLineEdit;

namespace ui {

class InputDialog : public ModalDialog {
    Q_OBJECT

  public:
    // The edit takes at most `maxBytes` UTF-8 bytes (kNoByteLimit: any length).
    InputDialog(const QString& caption, const QString& prompt, const QString& text,
                QWidget* parent = nullptr, std::size_t maxBytes = kNoByteLimit);

    QString Text() const;

  private:
    QLabel* prompt_;
    QLineEdit* edit_;
};

}  // namespace ui
