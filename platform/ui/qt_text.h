#pragma once
// Text at the widget boundary: the program's texts are UTF-8 bytes, Qt's are QString.
#include <QByteArray>
#include <QString>
#include <QVariant>

#include <string>

namespace ui {

inline QString ToQt(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string FromQt(const QString& text) {
    return text.toUtf8().toStdString();
}

// A text's own bytes as model data, beside the shown text: a remote name or path that is not
// valid UTF-8 shows with replacement characters but keeps its bytes for the commands.
inline QVariant BytesData(const std::string& text) {
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string FromBytesData(const QVariant& data) {
    return data.toByteArray().toStdString();
}

}  // namespace ui
