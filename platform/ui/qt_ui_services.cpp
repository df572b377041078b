#include "platform/ui/qt_ui_services.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include <utility>

#include "platform/ui/desktop_opener.h"
#include "platform/ui/input_dialog.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/qt_text.h"

namespace ui {

namespace {

// How long "open" waits for the desktop's opener to say whether a program took the address;
// an opener still running then runs the program in the foreground.
constexpr int kOpenerWaitMs = 3000;

struct ButtonInfo {
    MessageButtons button;
    QMessageBox::StandardButton standard;
    const char* objectName;
};

// In the order the boxes show them.
constexpr ButtonInfo kButtons[] = {
    {mbYes, QMessageBox::Yes, "Yes"},
    {mbNo, QMessageBox::No, "No"},
    {mbOK, QMessageBox::Ok, "OK"},
    {mbCancel, QMessageBox::Cancel, "Cancel"},
    {mbAbort, QMessageBox::Abort, "Abort"},
    {mbRetry, QMessageBox::Retry, "Retry"},
    {mbIgnore, QMessageBox::Ignore, "Ignore"},
};

QMessageBox::Icon IconOf(MessageKind kind) {
    switch (kind) {
        case MessageKind::kWarning:
            return QMessageBox::Warning;
        case MessageKind::kError:
            return QMessageBox::Critical;
        case MessageKind::kInformation:
            return QMessageBox::Information;
        case MessageKind::kConfirmation:
            return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QWidget* DialogParent() {
    return QApplication::activeWindow();
}

}  // namespace

int QtUiServices::Show(MessageKind kind, const std::string& caption, const std::string& text,
                       MessageButtons buttons) {
    QMessageBox box(IconOf(kind), ToQt(caption), ToQt(text), QMessageBox::NoButton, DialogParent());
    box.setTextFormat(Qt::PlainText);  // server texts must not be read as markup
    std::vector<std::pair<QAbstractButton*, int>> results;
    if (buttons == 0)
        buttons = mbOK;
    for (const ButtonInfo& info : kButtons) {
        if ((buttons & info.button) == 0)
            continue;
        QPushButton* button = box.addButton(info.standard);
        button->setObjectName(info.objectName);
        results.emplace_back(button, ModalResultOf(info.button));
        if (results.size() == 1)
            box.setDefaultButton(button);
    }
    box.exec();
    for (const auto& [button, result] : results) {
        if (box.clickedButton() == button)
            return result;
    }
    return mrCancel;
}

std::optional<std::string> QtUiServices::Ask(const std::string& caption, const std::string& prompt,
                                             const std::string& defaultText, std::size_t maxBytes) {
    InputDialog dialog(ToQt(caption), ToQt(prompt), ToQt(defaultText), DialogParent(), maxBytes);
    if (dialog.exec() != mrOk)
        return std::nullopt;
    return FromQt(dialog.Text());
}

std::optional<std::string> QtUiServices::Browse(const std::string& caption,
                                                const std::string& startFolder) {
    QFileDialog dialog(DialogParent(), ToQt(caption),
                       startFolder.empty() ? QDir::homePath() : ToQt(startFolder));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    std::string folder = FromQt(QDir::cleanPath(dialog.selectedFiles().first()));
    if (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

std::optional<std::string> QtUiServices::Execute(const SaveFileRequest& request) {
    QFileDialog dialog(DialogParent(), ToQt(request.caption), ToQt(request.initialFolder));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(ToQt(request.defaultExtension));
    const QStringList filters = QtNameFilters(request.filter);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    if (!request.fileName.empty())
        dialog.selectFile(ToQt(request.fileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return FromQt(dialog.selectedFiles().first());
}

bool QtUiServices::Open(const std::string& target) {
    const QUrl url = ShellTargetUrl(target);
    // With the desktop's opener its exit tells whether a program took the address; without
    // one, Qt looks for a browser it knows and fails when there is none.
    const QString opener = FindDesktopOpener();
    if (!opener.isEmpty())
        return RunDesktopOpener(opener, url.toString(QUrl::FullyEncoded), kOpenerWaitMs);
    return QDesktopServices::openUrl(url);
}

QStringList QtNameFilters(const std::string& filter) {
    const QStringList parts = ToQt(filter).split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1].trimmed();
        patterns.replace(';', ' ');
        filters << parts[i].trimmed() + " (" + patterns + ")";
    }
    return filters;
}

QUrl ShellTargetUrl(const std::string& target) {
    const QString text = ToQt(target);
    const QUrl url(text, QUrl::StrictMode);
    // A one-letter scheme would be a drive letter; a path starts with "/" or is relative.
    if (url.isValid() && url.scheme().size() > 1 && !text.startsWith('/'))
        return url;
    return QUrl::fromLocalFile(text);
}

}  // namespace ui
