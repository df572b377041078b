#pragma once
// A tool button of the main window's bars: named for lookups by name, with its hint and image.
#include <QIcon>
#include <QString>
#include <QToolBar>
#include <QToolButton>

#include "platform/ui/tool_buttons.h"

namespace mainwindow {

inline QToolButton* AddToolButton(QToolBar& bar, const char* name, const char* hint,
                                  const QIcon& icon) {
    QToolButton* button = ui::AddToolButton(bar, name, hint);
    button->setIcon(icon);
    return button;
}

}  // namespace mainwindow
