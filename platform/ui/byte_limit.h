#pragma once
// A limit in UTF-8 bytes on what a person can enter into a line edit, for fields stored in a
// text column of so many bytes. QLineEdit's own maximum length counts UTF-16 units, so 60 "é"
// pass a limit of 100 and fill 120 bytes; this limit counts the bytes the text is stored as and
// never splits a character (a pair of UTF-16 surrogates is one character of four bytes).
//
// Typing at the limit enters nothing; pasting enters the start of the pasted text that fits;
// a text the program sets (setText) is cut at its end the same way.
#include <QValidator>

#include <cstddef>

class QComboBox;
class QLineEdit;

namespace ui {

class Utf8ByteLimit : public QValidator {
    Q_OBJECT

  public:
    Utf8ByteLimit(std::size_t maxBytes, QObject* parent);

    std::size_t MaxBytes() const { return maxBytes_; }

    // A text over the limit loses characters just before `position` (where an insertion ends),
    // then at its end when that is not enough; the result is always Acceptable.
    State validate(QString& input, int& position) const override;

  private:
    std::size_t maxBytes_;
};

// Gives `edit` a limit of `maxBytes` (its validator, owned by the edit), in place of any
// validator it had. Never throws.
void LimitUtf8Bytes(QLineEdit& edit, std::size_t maxBytes);
// The same for the edit of an editable combo box (call it after setEditable).
void LimitUtf8Bytes(QComboBox& combo, std::size_t maxBytes);

// The bytes `text` takes in UTF-8 (an unpaired surrogate as the replacement character's 3).
std::size_t Utf8Size(const QString& text);

}  // namespace ui
