#include "platform/ui/tool_buttons.h"

#include <QToolBar>
#include <QToolButton>

namespace ui {

QToolButton* AddToolButton(QToolBar& bar, const char* name, const char* hint) {
    auto* button = new QToolButton(&bar);
    button->setObjectName(QString::fromLatin1(name));
    SetHint(*button, QString::fromLatin1(hint));
    bar.addWidget(button);
    // The bar's own button for the tools that do not fit, which Qt leaves without a name.
    auto* more = bar.findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"),
                                             Qt::FindDirectChildrenOnly);
    if (more != nullptr && more->accessibleName().isEmpty())
        more->setAccessibleName(QStringLiteral("More tools"));
    return button;
}

void SetHint(QWidget& control, const QString& hint) {
    control.setToolTip(hint);
    if (control.accessibleName().isEmpty())
        control.setAccessibleName(hint);
}

}  // namespace ui
