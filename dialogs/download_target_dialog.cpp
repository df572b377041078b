#include "dialogs/download_target_dialog.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <sys/stat.h>

#include "connection/tfb.h"
#include "dialogs/dialog_widgets.h"
#include "dialogs/history_combo.h"
#include "dialogs/permission_boxes.h"
#include "platform/ftp/id_list_item.h"
#include "platform/os/local_paths.h"
#include "platform/ui/control_sizes.h"
#include "platform/ui/handler_guard.h"
#include "platform/ui/list_view.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/qt_text.h"
#include "platform/ui/typed_text_combo.h"
#include "platform/ui/ui_services.h"

TForm10* Form10 = nullptr;

namespace {

using dialogs::Named;

constexpr int kPictureSize = 32;
constexpr int kPictureShift = 8;  // the second picture of a selection stands this far off

const char* const kBadCharacters =
    "The following characters can not be contained in the name "
    "of files: ";
// On this system "/" separates folders, as "\" does elsewhere: the path check forbids "\" in
// its place.
const char* const kBadPathCharacters = "\\*?\"<>|";
const char* const kBadNameCharacters = "\\/:*?\"<>|";

bool ContainsAny(const std::string& text, const char* characters) {
    return text.find_first_of(characters) != std::string::npos;
}

}  // namespace

TForm10::TForm10(Tfb& page, std::string historyPath, QWidget* parent)
    : ui::ModalDialog(parent), page_(page) {
    setObjectName(QStringLiteral("Form10"));
    setWindowTitle(QStringLiteral("Download"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    auto* column = new QVBoxLayout(this);

    auto* info = Named(new QGroupBox(QStringLiteral("info"), this), "info");
    auto* infoRow = new QHBoxLayout(info);
    // The pictures overlap: one box of fixed size holds both at fixed places.
    auto* pictures = new QWidget(info);
    pictures->setFixedSize(kPictureSize + kPictureShift, kPictureSize + kPictureShift);
    Image1 = Named(new QLabel(pictures), "Image1");
    Image1->setPixmap(style()->standardIcon(QStyle::SP_FileIcon).pixmap(kPictureSize));
    Image1->setGeometry(0, 0, kPictureSize, kPictureSize);
    Image3 = Named(new QLabel(pictures), "Image3");
    Image3->setPixmap(style()->standardIcon(QStyle::SP_DirIcon).pixmap(kPictureSize));
    Image3->setGeometry(0, 0, kPictureSize, kPictureSize);
    Image3->hide();
    infoRow->addWidget(pictures, 0, Qt::AlignTop);
    auto* facts = new QVBoxLayout;
    Label2 = Named(new QLabel(info), "Label2");
    QFont bold = Label2->font();
    bold.setBold(true);
    Label2->setFont(bold);
    facts->addWidget(Label2);
    Label4 = Named(new QLabel(info), "Label4");
    Label6 = Named(new QLabel(info), "Label6");
    Label8 = Named(new QLabel(info), "Label8");
    const std::pair<const char*, QLabel*> lines[] = {
        {"Size:", Label4}, {"Modified:", Label6}, {"Type:", Label8}};
    for (const auto& [caption, value] : lines) {
        auto* line = new QHBoxLayout;
        line->addWidget(new QLabel(QString::fromLatin1(caption), info));
        line->addWidget(value, 1);
        facts->addLayout(line);
    }
    infoRow->addLayout(facts, 1);
    column->addWidget(info);

    auto* target = new QHBoxLayout;
    ComboBox1 = Named(new QComboBox(this), "ComboBox1");
    column->addWidget(dialogs::LabelFor(this, "Download to :", ComboBox1));
    ui::KeepTypedText(*ComboBox1);
    ComboBox1->setMinimumWidth(ui::ScaledWidth(*ComboBox1, 320));
    history_ = std::make_unique<dialogs::THistoryCombo>(*ComboBox1, std::move(historyPath));
    SpeedButton1 = Named(new QToolButton(this), "SpeedButton1");
    SpeedButton1->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    // A picture only: its name says what it does.
    SpeedButton1->setAccessibleName(QStringLiteral("Browse for folder"));
    target->addWidget(ComboBox1, 1);
    target->addWidget(SpeedButton1);
    column->addLayout(target);

    Edit1 = Named(new QLineEdit(this), "Edit1");
    Edit1->setAccessibleName(QStringLiteral("Entry name"));
    Edit1->hide();

    auto* buttons = new QHBoxLayout;
    Button3 = dialogs::MakeButton(this, "Button3", "Clear history");
    Button2 = dialogs::MakeButton(this, "Button2", "&OK");
    Button1 = dialogs::MakeButton(this, "Button1", "&Cancel");
    Button2->setDefault(true);
    buttons->addWidget(Button3);
    buttons->addStretch(1);
    buttons->addWidget(Button2);
    buttons->addWidget(Button1);
    column->addLayout(buttons);
    column->setSizeConstraint(QLayout::SetFixedSize);

    connect(ComboBox1->lineEdit(), &QLineEdit::textEdited, this,
            ui::Guarded([this] { ComboBox1Change(); }));
    connect(ComboBox1, &QComboBox::activated, this, ui::Guarded([this] { ComboBox1Change(); }));
    connect(SpeedButton1, &QToolButton::clicked, this,
            ui::Guarded([this] { SpeedButton1Click(); }));
    connect(Button3, &QPushButton::clicked, this, ui::Guarded([this] { Button3Click(); }));
    connect(Button2, &QPushButton::clicked, this, ui::Guarded([this] { Button2Click(); }));
    SetButtonModalResult(Button1, ui::mrCancel);
    Form10 = this;
}

TForm10::~TForm10() {
    if (Form10 == this)
        Form10 = nullptr;
}

void TForm10::PresetFromPage() {
    std::vector<const rdatalist*> selected;
    for (const int row : page_.ListView2->SelectedRows()) {
        if (row >= 0 && static_cast<std::size_t>(row) < page_.FDisplayList.size())
            selected.push_back(&page_.FDisplayList[static_cast<std::size_t>(row)]);
    }
    if (selected.size() == 1) {
        const rdatalist& entry = *selected.front();
        const bool folder = entry.shelltype.empty();
        Edit1->setText(ui::ToQt(entry.name));
        Image1->setVisible(!folder);
        Image3->move(0, 0);
        Image3->setVisible(folder);
        Label2->setText(ui::ToQt(entry.name));
        Label4->setText(ui::ToQt(entry.sizetext));
        Label6->setText(ui::ToQt(entry.modified));
        Label8->setText(ui::ToQt(entry.typetext));
        return;
    }
    int folders = 0;
    for (const rdatalist* entry : selected)
        folders += entry->shelltype.empty() ? 1 : 0;
    const int files = static_cast<int>(selected.size()) - folders;
    Label2->setText(ui::ToQt(dialogs::SelectionCountText(folders, files)));
    Image1->show();
    Image3->move(kPictureShift, kPictureShift);
    Image3->show();
}

void TForm10::FirstShown() {
    FormShow();
}

void TForm10::FormShow() {
    LoadDownloadHistory();
    ComboBox1->setFocus();
}

void TForm10::LoadDownloadHistory() {
    history_->Load();
}

void TForm10::SaveDownloadHistory() {
    // A history that cannot be written is not worth a message: the download goes on.
    history_->Save();
}

void TForm10::ComboBox1Change() {
    CheckPathChars(ui::FromQt(ComboBox1->currentText()));
}

void TForm10::SpeedButton1Click() {
    const std::string text = ui::FromQt(ComboBox1->currentText());
    const std::optional<std::string> chosen = ui::BrowseForFolder("Download to :", text);
    if (chosen)
        ComboBox1->setEditText(ui::ToQt(*chosen));
}

void TForm10::Button3Click() {
    history_->Clear();
}

bool TForm10::CheckPathChars(const std::string& text) {
    if (!ContainsAny(text, kBadPathCharacters))
        return true;
    ui::MessageDlg(std::string(kBadCharacters) + kBadPathCharacters, ui::MessageKind::kError,
                   ui::mbOK);
    return false;
}

bool TForm10::CheckFileName(const std::string& name) {
    if (!ContainsAny(name, kBadNameCharacters))
        return true;
    ui::MessageDlg(std::string(kBadCharacters) + kBadNameCharacters, ui::MessageKind::kError,
                   ui::mbOK);
    return false;
}

bool TForm10::CreateTargetFolders(const std::string& text) {
    if (text.empty())
        return true;
    // A relative folder would depend on the process's current folder, which folder transfers
    // move: only an absolute one is taken.
    if (text.front() != '/')
        return false;
    const std::string path = text.back() == '/' ? text : text + "/";
    for (std::string::size_type slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        const std::string folder = path.substr(0, slash + 1);
        if (os::IsFolder(folder))
            continue;
        if (::mkdir(folder.c_str(), 0777) != 0)
            return false;
    }
    return true;
}

void TForm10::QueueSelection(const std::string& folder) {
    for (const int row : page_.ListView2->SelectedRows()) {
        if (row < 0 || static_cast<std::size_t>(row) >= page_.FDisplayList.size())
            continue;
        const rdatalist& shown = page_.FDisplayList[static_cast<std::size_t>(row)];
        if (!ftp::IsSafeLocalName(shown.name)) {
            page_.AddInfoLine("The name \"" + shown.name +
                                  "\" is not a plain file name; it was not queued for download.",
                              2);
            continue;
        }
        const std::string localPath = folder + shown.name;
        if (page_.QueueHasEntry(shown.name, localPath, "0"))
            continue;
        rupdown entry;
        entry.direction = 1;
        entry.ftppath = "0";
        entry.lopath = localPath;
        entry.isfolder = shown.shelltype.empty();
        entry.size = entry.isfolder ? 0 : shown.size;
        entry.name = shown.name;
        entry.rdate = shown.modified;
        entry.checkexist = false;
        entry.spare = -1;
        page_.AddQueueEntry(std::move(entry));
    }
}

void TForm10::Button2Click() {
    const std::string text = ui::FromQt(ComboBox1->currentText());
    if (text.empty()) {
        ui::MessageDlg("Please enter the path with the files download to.",
                       ui::MessageKind::kWarning, ui::mbOK);
        return;
    }
    if (!CheckFileName(ui::FromQt(Edit1->text())))
        return;
    if (!CreateTargetFolders(text)) {
        ui::MessageDlg("Can not create the folder " + text + ", please check and enter again.",
                       ui::MessageKind::kError, ui::mbOK);
        return;
    }
    QueueSelection(text.back() == '/' ? text : text + "/");
    history_->Remember(text);
    SetModalResult(ui::mrOk);
}
