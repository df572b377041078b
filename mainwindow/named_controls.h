#pragma once
// The small builders every pane of the main window uses for its named controls: a tool button
// with its hint and picture at the end of a toolbar, an item at the end of a menu, a picture
// from the icon theme. The names are the controls' objectName, by which tests and the window
// find them.
#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QMenu>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

#include "platform/ui/shared_icons.h"
#include "platform/ui/tool_buttons.h"

namespace mainwindow {

// The icon theme's picture of that name, else the style's own; made once, then shared.
inline QIcon ThemedIcon(const char* name, QStyle::StandardPixmap fallback) {
    return ui::ThemedIcon(name, fallback);
}

inline QToolButton* AddToolButton(QToolBar& bar, const char* name, const char* hint,
                                  const QIcon& icon, bool enabled = true) {
    QToolButton* button = ui::AddToolButton(bar, name, hint);
    button->setIcon(icon);
    button->setEnabled(enabled);
    return button;
}

inline QAction* AddMenuItem(QMenu& menu, const char* name, const char* caption) {
    QAction* action = menu.addAction(QString::fromLatin1(caption));
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

}  // namespace mainwindow
