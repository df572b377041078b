#include "dialogs/duplicate_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

#include <sys/stat.h>

#include "connection/duplicate_asker.h"
#include "dialogs/dialog_widgets.h"
#include "platform/ui/handler_guard.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/qt_text.h"
#include "platform/ui/ui_services.h"

TForm9* Form9 = nullptr;

namespace {

using dialogs::Named;

constexpr int kPictureSize = 32;

QLabel* Picture(QWidget* parent, const char* name, QStyle::StandardPixmap icon) {
    auto* picture = Named(new QLabel(parent), name);
    picture->setPixmap(parent->style()->standardIcon(icon).pixmap(kPictureSize));
    picture->setFixedSize(kPictureSize, kPictureSize);
    return picture;
}

// The folder part of a local path, without its last "/" ("/a/b/c" -> "/a/b", "/c" -> "").
std::string FolderOf(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    const std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

struct Block {
    QLabel* heading;
    QLabel* filePicture;
    QLabel* folderPicture;
    QLabel* name;
    QLabel* size;
    QLabel* modified;
    QLabel* type;
};

// One block of the dialog: heading, the two pictures in one place, the name and its facts.
QGridLayout* BlockLayout(QWidget* parent, const Block& block) {
    auto* grid = new QGridLayout;
    block.heading->setStyleSheet(QStringLiteral("color: blue"));
    QFont bold = block.name->font();
    bold.setBold(true);
    block.name->setFont(bold);
    grid->addWidget(block.heading, 0, 0, 1, 3);
    grid->addWidget(block.filePicture, 1, 0, 4, 1, Qt::AlignTop);
    grid->addWidget(block.folderPicture, 1, 0, 4, 1, Qt::AlignTop);
    grid->addWidget(block.name, 1, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Size:"), parent), 2, 1);
    grid->addWidget(block.size, 2, 2);
    grid->addWidget(new QLabel(QStringLiteral("Modified:"), parent), 3, 1);
    grid->addWidget(block.modified, 3, 2);
    grid->addWidget(new QLabel(QStringLiteral("Type:"), parent), 4, 1);
    grid->addWidget(block.type, 4, 2);
    grid->setColumnStretch(2, 1);
    block.folderPicture->hide();
    return grid;
}

}  // namespace

TForm9::TForm9(TDuplicateAsker& asker, QWidget* parent) : ui::ModalDialog(parent), asker_(asker) {
    setObjectName(QStringLiteral("Form9"));
    setWindowTitle(QStringLiteral("Duplicate file found"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    auto* column = new QVBoxLayout(this);

    Label16 = Named(new QLabel(QStringLiteral("Local file"), this), "Label16");
    Image1 = Picture(this, "Image1", QStyle::SP_FileIcon);
    Image3 = Picture(this, "Image3", QStyle::SP_DirIcon);
    Label1 = Named(new QLabel(this), "Label1");
    Label4 = Named(new QLabel(this), "Label4");
    Label6 = Named(new QLabel(this), "Label6");
    Label8 = Named(new QLabel(this), "Label8");
    column->addLayout(BlockLayout(this, {Label16, Image1, Image3, Label1, Label4, Label6, Label8}));
    Label9 = Named(new QLabel(QStringLiteral("Remote file"), this), "Label9");
    Image2 = Picture(this, "Image2", QStyle::SP_FileIcon);
    Image4 = Picture(this, "Image4", QStyle::SP_DirIcon);
    Label2 = Named(new QLabel(this), "Label2");
    Label11 = Named(new QLabel(this), "Label11");
    Label13 = Named(new QLabel(this), "Label13");
    Label15 = Named(new QLabel(this), "Label15");
    column->addLayout(
        BlockLayout(this, {Label9, Image2, Image4, Label2, Label11, Label13, Label15}));

    const auto button = [this](const char* caption, const char* name) {
        return Named(new QPushButton(QString::fromLatin1(caption), this), name);
    };
    auto* firstRow = new QHBoxLayout;
    Button3 = button("Overwrite", "Button3");
    Button6 = button("Skip", "Button6");
    Button8 = button("Rename", "Button8");
    Button9 = button("Resume", "Button9");
    Button9->setEnabled(false);
    for (QPushButton* each : {Button3, Button6, Button8, Button9})
        firstRow->addWidget(each);
    column->addLayout(firstRow);
    auto* secondRow = new QHBoxLayout;
    Button5 = button("Overwrite all", "Button5");
    Button7 = button("Skip all", "Button7");
    Button2 = button("&Cancel", "Button2");
    Button1 = button("&Help", "Button1");  // no action
    for (QPushButton* each : {Button5, Button7, Button2, Button1})
        secondRow->addWidget(each);
    column->addLayout(secondRow);

    // The choice group: the only way to Append, and a typed rename.
    auto* choices = Named(new QGroupBox(this), "GroupBox1");
    auto* choiceColumn = new QVBoxLayout(choices);
    RadioButton1 = Named(new QRadioButton(QStringLiteral("O&verwrite"), choices), "RadioButton1");
    RadioButton3 = Named(new QRadioButton(QStringLiteral("&Skip"), choices), "RadioButton3");
    CheckBox1 = Named(new QRadioButton(QStringLiteral("Rename"), choices), "CheckBox1");
    RadioButton2 =
        Named(new QRadioButton(QStringLiteral("Append if the file not exists , else do nothing ."),
                               choices),
              "RadioButton2");
    RadioButton4 =
        Named(new QRadioButton(QStringLiteral("Resume the download operation . "), choices),
              "RadioButton4");
    RadioButton4->hide();
    RadioButton1->setChecked(true);
    Edit1 = Named(new QLineEdit(choices), "Edit1");
    Edit1->setAccessibleName(QStringLiteral("New name"));
    Edit1->setEnabled(false);
    Edit1->setStyleSheet(QStringLiteral("QLineEdit:disabled { background: silver; }"));
    Button4 = Named(new QPushButton(QStringLiteral("&OK"), choices), "Button4");
    for (QWidget* each : {static_cast<QWidget*>(RadioButton1), static_cast<QWidget*>(RadioButton3),
                          static_cast<QWidget*>(CheckBox1), static_cast<QWidget*>(Edit1),
                          static_cast<QWidget*>(RadioButton2), static_cast<QWidget*>(RadioButton4),
                          static_cast<QWidget*>(Button4)})
        choiceColumn->addWidget(each);
    column->addWidget(choices);
    column->setSizeConstraint(QLayout::SetFixedSize);  // a fixed border

    for (QRadioButton* choice : {RadioButton1, RadioButton3, CheckBox1, RadioButton2})
        connect(choice, &QRadioButton::toggled, this, ui::Guarded([this] { CheckBox1Click(); }));
    const auto onClick = [this](QPushButton* each, void (TForm9::*handler)()) {
        connect(each, &QPushButton::clicked, this,
                ui::Guarded([this, handler] { (this->*handler)(); }));
    };
    onClick(Button3, &TForm9::Button3Click);
    onClick(Button6, &TForm9::Button6Click);
    onClick(Button9, &TForm9::Button9Click);
    onClick(Button2, &TForm9::Button2Click);
    onClick(Button5, &TForm9::Button5Click);
    onClick(Button7, &TForm9::Button7Click);
    onClick(Button8, &TForm9::Button8Click);
    onClick(Button4, &TForm9::Button4Click);
    Form9 = this;
}

TForm9::~TForm9() {
    if (Form9 == this)
        Form9 = nullptr;
}

void TForm9::Preset(const TDuplicatePresets& presets) {
    LocalFilePath = presets.localPath;
    download_ = presets.download;
    clashName_ = presets.upper.name;
    const struct {
        const TDuplicateBlock& values;
        QLabel* heading;
        QLabel* filePicture;
        QLabel* folderPicture;
        QLabel* name;
        QLabel* size;
        QLabel* modified;
        QLabel* type;
    } blocks[] = {
        {presets.upper, Label16, Image1, Image3, Label1, Label4, Label6, Label8},
        {presets.lower, Label9, Image2, Image4, Label2, Label11, Label13, Label15},
    };
    for (const auto& block : blocks) {
        block.heading->setText(ui::ToQt(block.values.heading));
        block.filePicture->setVisible(!presets.folder);
        block.folderPicture->setVisible(presets.folder);
        block.name->setText(ui::ToQt(block.values.name));
        block.size->setText(ui::ToQt(block.values.size));
        block.modified->setText(ui::ToQt(block.values.modified));
        block.type->setText(ui::ToQt(block.values.type));
    }
    Button9->setEnabled(presets.resumeOffered);
}

void TForm9::FirstShown() {
    FormShow();
}

void TForm9::FormShow() {
    Edit1->setText(Label1->text());
    RadioButton2->setEnabled(!Image3->isHidden());
}

void TForm9::CheckBox1Click() {
    Edit1->setEnabled(CheckBox1->isChecked());
}

void TForm9::Button3Click() {
    SetModalResult(ui::mrYes);
}

void TForm9::Button6Click() {
    SetModalResult(ui::mrNo);
}

void TForm9::Button9Click() {
    SetModalResult(ui::mrRetry);
}

void TForm9::Button2Click() {
    SetModalResult(ui::mrCancel);
}

void TForm9::Button5Click() {
    TDuplicateAnswers& answers = asker_.DuplicateAnswers();
    answers.FAskDuplicate = false;
    answers.FDuplicateAnswer = ui::mrYes;
    SetModalResult(ui::mrYes);
}

void TForm9::Button7Click() {
    TDuplicateAnswers& answers = asker_.DuplicateAnswers();
    answers.FAskDuplicate = false;
    answers.FDuplicateAnswer = ui::mrNo;
    SetModalResult(ui::mrNo);
}

bool TForm9::TargetExists(const std::string& name) {
    bool exists = true;  // "", "." and ".." name the folder itself or its parent
    if (!name.empty() && name != "." && name != "..") {
        if (download_) {
            struct stat facts {};
            exists = ::lstat((FolderOf(LocalFilePath) + "/" + name).c_str(), &facts) == 0;
        } else {
            exists = asker_.RemoteItemExists(name);
        }
    }
    if (exists) {
        ui::MessageDlg("The name " + name + " was existed, please re-enter.",
                       ui::MessageKind::kWarning, ui::mbOK);
    }
    return exists;
}

void TForm9::AcceptRename(const std::string& name) {
    asker_.DuplicateAnswers().FRenameTo = name;
    SetModalResult(ui::mrOk);
}

void TForm9::Button8Click() {
    const std::string name = ui::InputBox("New name", "Enter a new filename", clashName_);
    if (TargetExists(name) || !asker_.CheckNewName(name))
        return;
    AcceptRename(name);
}

void TForm9::Button4Click() {
    if (RadioButton1->isChecked()) {
        SetModalResult(ui::mrYes);
    } else if (RadioButton3->isChecked()) {
        SetModalResult(ui::mrNo);
    } else if (RadioButton2->isChecked()) {
        SetModalResult(ui::mrIgnore);
    } else if (RadioButton4->isChecked()) {
        SetModalResult(ui::mrRetry);
    } else if (CheckBox1->isChecked()) {
        // The typed name meets the name check before the existence check.
        const std::string name = ui::FromQt(Edit1->text());
        if (!asker_.CheckNewName(name) || TargetExists(name))
            return;
        AcceptRename(name);
    }
}
