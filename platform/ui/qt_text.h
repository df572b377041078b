#pragma once
// Text at the widget boundary: the program's texts are UTF-8 bytes, Qt's are QString.
#include <QString>

#include <string>

namespace ui {

inline QString ToQt(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string FromQt(const QString& text) {
    return text.toUtf8().toStdString();
}

}  // namespace ui
