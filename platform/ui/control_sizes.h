#pragma once
// The pixel sizes the forms give (column widths, row and control heights, dialog sizes) were
// made for a font of 6 pixels per average character and 13 pixels per line. These scale such
// a size to the font of the control it is for, so a column shows as many characters as it was
// made for on any desktop font and scale. Call them once, where the control is made (with its
// font set); a size read back from the control is already scaled.
#include <QSize>

#include <initializer_list>
#include <utility>

class QTreeView;
class QWidget;

namespace ui {

// `width` times the control font's average character width (over the alphabet's 52
// letters) / 6.
int ScaledWidth(const QWidget& control, int width);
// `height` times the control font's line height / 13.
int ScaledHeight(const QWidget& control, int height);
QSize ScaledSize(const QWidget& control, int width, int height);
// Sets the columns of a report list as wide as the design gives them: (column, width) pairs.
void SetScaledColumnWidths(QTreeView& list, std::initializer_list<std::pair<int, int>> widths);

}  // namespace ui
