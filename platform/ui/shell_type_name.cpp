#include "platform/ui/shell_type_name.h"

#include <QMimeDatabase>
#include <QMimeType>

#include <unordered_map>

#include "platform/os/collation.h"
#include "platform/os/utf8.h"

namespace {

constexpr std::string::size_type kMaxBytes = 79;

std::string Lookup(const std::string& extension) {
    // A made-up name with only this extension: globs that match whole names ("README",
    // "*.tar.gz") must not give one extension two names.
    const QMimeDatabase database;
    const QMimeType type = database.mimeTypeForFile(
        QStringLiteral("file.") + QString::fromUtf8(extension), QMimeDatabase::MatchExtension);
    std::string text;
    if (type.isValid() && !type.isDefault())
        text = os::CutUtf8(type.comment().trimmed().toStdString(), kMaxBytes);
    if (text.empty()) {
        // The extension is cut, never " File": an extension cut to nothing at a character
        // boundary still gives a name, so the file is never taken for a folder.
        static const std::string kSuffix = " File";
        text = os::CutUtf8(extension, kMaxBytes - kSuffix.size());
        for (char& c : text)
            c = os::AsciiUpper(c);
        text += kSuffix;
    }
    return text;
}

}  // namespace

namespace ui {

std::string ShellTypeName(const std::string& name) {
    const std::string::size_type dot = name.rfind('.');
    if (dot == std::string::npos || dot + 1 == name.size())
        return "File";
    const std::string extension = name.substr(dot + 1);
    // A large listing has thousands of files of a few extensions; the database is asked once
    // for each.
    static std::unordered_map<std::string, std::string> known;
    if (known.size() >= 4096)
        known.clear();  // a listing of made-up extensions must not grow it without end
    auto found = known.find(extension);
    if (found == known.end())
        found = known.emplace(extension, Lookup(extension)).first;
    return found->second;
}

}  // namespace ui
