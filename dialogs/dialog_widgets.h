#pragma once
// Small builders the dialogs share: a widget carries its component name as its objectName, so
// lookups by name (and the tests' modal driver) find it.
#include <QPushButton>
#include <QString>

namespace dialogs {

// Names `widget` and returns it.
template <class Widget>
Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// A push button named `name` with `caption` ("&" marks the mnemonic), owned by `parent`.
inline QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption) {
    return Named(new QPushButton(QString::fromLatin1(caption), parent), name);
}

}  // namespace dialogs
