#pragma once
// Small builders the dialogs share: a widget carries its component name as its objectName, so
// lookups by name (and the tests' modal driver) find it.
#include <QHBoxLayout>
#include <QLabel>
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

// A label with `caption` for `field`: the field takes the label's text as its accessible name.
inline QLabel* LabelFor(QWidget* parent, const char* caption, QWidget* field) {
    auto* label = new QLabel(QString::fromLatin1(caption), parent);
    label->setBuddy(field);
    return label;
}

// The row of "&OK" (Button1, the default button) and "&Cancel" (Button2) at the right of a
// dialog owned by `parent`; the buttons are stored in `ok` and `cancel`.
inline QHBoxLayout* OkCancelRow(QWidget* parent, QPushButton*& ok, QPushButton*& cancel) {
    ok = MakeButton(parent, "Button1", "&OK");
    cancel = MakeButton(parent, "Button2", "&Cancel");
    ok->setDefault(true);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

}  // namespace dialogs
