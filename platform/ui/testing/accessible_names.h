#pragma once
// For tests only: the controls of a window that a screen reader could not name. A control is
// a button or any widget that takes the keyboard focus (tab widgets aside: they are acted on
// through their tabs, which carry their captions); every one of them below `window`, shown or
// hidden, on every page, must have an accessible name. The parts Qt builds into a combo box, a
// spin box or a line edit (its text field, its list, its clear button) are reached through
// the control they belong to, which carries the name.
#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QWidget>

#include <string>
#include <vector>

namespace ui::testing {

// Whether `widget` is a part Qt builds into a combo box, spin box or line edit below `window`.
inline bool IsBuiltInPart(const QWidget& widget, const QWidget& window) {
    for (const QWidget* above = widget.parentWidget(); above != nullptr && above != &window;
         above = above->parentWidget()) {
        if (qobject_cast<const QComboBox*>(above) != nullptr ||
            qobject_cast<const QAbstractSpinBox*>(above) != nullptr ||
            qobject_cast<const QLineEdit*>(above) != nullptr)
            return true;
    }
    return false;
}

// "class objectName" of each control below `window` whose accessible name is empty.
inline std::vector<std::string> UnnamedControls(QWidget& window) {
    std::vector<std::string> unnamed;
    for (QWidget* control : window.findChildren<QWidget*>()) {
        const bool button = qobject_cast<QAbstractButton*>(control) != nullptr;
        if (qobject_cast<QTabWidget*>(control) != nullptr || IsBuiltInPart(*control, window) ||
            (!button && control->focusPolicy() == Qt::NoFocus))
            continue;
        QAccessibleInterface* access = QAccessible::queryAccessibleInterface(control);
        if (access == nullptr || access->text(QAccessible::Name).trimmed().isEmpty()) {
            unnamed.push_back(std::string(control->metaObject()->className()) + " " +
                              control->objectName().toStdString());
        }
    }
    return unnamed;
}

}  // namespace ui::testing
