#pragma once
// The pictures of lists, menus and tool buttons, made once per kind and shared: every item of
// a kind holds the same icon (copies of a QIcon share its engine and its pixmaps), so a list
// or menu of many items costs one image, not one per item. The pictures live as long as the
// application object; without one, each call makes its picture anew.
#include <QIcon>
#include <QString>
#include <QStyle>

#include <functional>

namespace ui {

// The picture of `kind`, made by `make` at the first call of that kind.
QIcon SharedIcon(const QString& kind, const std::function<QIcon()>& make);

// The icon theme's picture of that name, else the application style's `fallback`.
QIcon ThemedIcon(const char* themeName, QStyle::StandardPixmap fallback);

// The application style's own picture.
QIcon StyleIcon(QStyle::StandardPixmap picture);

}  // namespace ui
