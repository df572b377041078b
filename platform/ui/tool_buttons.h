#pragma once
// Tool buttons that show a picture only. Their hint (tool tip) is what they are called, so it
// is also their accessible name: screen readers and accessibility-driven tests find them by
// it, where the description alone would leave them nameless.
#include <QString>

class QToolBar;
class QToolButton;
class QWidget;

namespace ui {

// A tool button named `name` (objectName) with the hint `hint`, appended to `bar`, which owns
// it. The caller gives it its picture. The bar's button for the tools that do not fit gets the
// accessible name "More tools".
QToolButton* AddToolButton(QToolBar& bar, const char* name, const char* hint);

// Sets `control`'s hint, and makes it the accessible name unless the control has one.
void SetHint(QWidget& control, const QString& hint);

}  // namespace ui
