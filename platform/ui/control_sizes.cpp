#include "platform/ui/control_sizes.h"

#include <QFontMetrics>
#include <QTreeView>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace ui {
namespace {

constexpr double kDesignCharWidth = 6.0;
constexpr double kDesignLineHeight = 13.0;

int Scale(int size, double actual, double design) {
    if (size <= 0 || actual <= 0)
        return size;
    return std::max(1, static_cast<int>(std::lround(size * actual / design)));
}

// The average width of a character of the control's font, measured as the design measured
// its 6 pixels: over the 52 letters of the alphabet. (The font's own average width figure
// leaves out how wide the digits of sizes and dates are in many fonts, and cut them.)
double AverageCharWidth(const QWidget& control) {
    static const QString kLetters =
        QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    return control.fontMetrics().horizontalAdvance(kLetters) / 52.0;
}

}  // namespace

int ScaledWidth(const QWidget& control, int width) {
    return Scale(width, AverageCharWidth(control), kDesignCharWidth);
}

int ScaledHeight(const QWidget& control, int height) {
    return Scale(height, control.fontMetrics().height(), kDesignLineHeight);
}

QSize ScaledSize(const QWidget& control, int width, int height) {
    return {ScaledWidth(control, width), ScaledHeight(control, height)};
}

void SetScaledColumnWidths(QTreeView& list, std::initializer_list<std::pair<int, int>> widths) {
    for (const auto& [column, width] : widths)
        list.setColumnWidth(column, ScaledWidth(list, width));
}

}  // namespace ui
