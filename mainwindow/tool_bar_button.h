#pragma once
// A tool button of the main window's bars: named for lookups by name, with its hint and image.
#include <QIcon>
#include <QString>
#include <QToolBar>
#include <QToolButton>

namespace mainwindow {

inline QToolButton* AddToolButton(QToolBar& bar, const char* name, const char* hint,
                                  const QIcon& icon) {
    auto* button = new QToolButton(&bar);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(QString::fromLatin1(hint));
    button->setIcon(icon);
    bar.addWidget(button);
    return button;
}

}  // namespace mainwindow
