#include "dialogs/permissions_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <utility>

#include "dialogs/dialog_widgets.h"
#include "platform/ui/handler_guard.h"
#include "platform/ui/integer_edit.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/qt_text.h"

TForm18* Form18 = nullptr;

namespace {

using dialogs::Named;
using dialogs::OkCancelRow;

constexpr int kPictureSize = 32;
constexpr int kPictureShift = 8;  // the second picture of a selection stands this far off

}  // namespace

TForm18::TForm18(ModeField modeField, QWidget* parent)
    : ui::ModalDialog(parent), modeField_(std::move(modeField)) {
    setObjectName(QStringLiteral("Form18"));
    setWindowTitle(QStringLiteral("Properties"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    auto* column = new QVBoxLayout(this);

    // The pictures overlap: one box of fixed size holds both at fixed places.
    auto* pictures = new QWidget(this);
    pictures->setFixedSize(kPictureSize + kPictureShift, kPictureSize + kPictureShift);
    Image1 = Named(new QLabel(pictures), "Image1");
    Image1->setPixmap(style()->standardIcon(QStyle::SP_FileIcon).pixmap(kPictureSize));
    Image1->setGeometry(0, 0, kPictureSize, kPictureSize);
    Image2 = Named(new QLabel(pictures), "Image2");
    Image2->setPixmap(style()->standardIcon(QStyle::SP_DirIcon).pixmap(kPictureSize));
    Image2->setGeometry(0, 0, kPictureSize, kPictureSize);
    Image2->hide();
    Label1 = Named(new QLabel(this), "Label1");
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    auto* head = new QHBoxLayout;
    head->addWidget(pictures);
    head->addWidget(Label1, 1);
    column->addLayout(head);

    auto* names = new QGridLayout;
    Label3 = Named(new QLabel(this), "Label3");
    Label5 = Named(new QLabel(this), "Label5");
    names->addWidget(new QLabel(QStringLiteral("Owner :"), this), 0, 0);
    names->addWidget(Label3, 0, 1);
    names->addWidget(new QLabel(QStringLiteral("Group :"), this), 1, 0);
    names->addWidget(Label5, 1, 1);
    column->addLayout(names);

    auto* number = new QHBoxLayout;
    Edit2 = Named(new ui::IntegerEdit(this), "Edit2");
    Edit2->SetValue(777);
    number->addWidget(dialogs::LabelFor(this, "Permissions", Edit2));
    number->addWidget(Edit2);
    column->addLayout(number);

    const char* groups[3] = {"Owner", "Group", "Other"};
    const char* boxNames[9] = {"CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4", "CheckBox5",
                               "CheckBox6", "CheckBox7", "CheckBox8", "CheckBox9"};
    const char* boxCaptions[3] = {"Read", "Write", "Execute"};
    QCheckBox** boxes[9] = {&CheckBox1, &CheckBox2, &CheckBox3, &CheckBox4, &CheckBox5,
                            &CheckBox6, &CheckBox7, &CheckBox8, &CheckBox9};
    auto* groupRow = new QHBoxLayout;
    for (int who = 0; who < 3; ++who) {
        auto* group = new QGroupBox(QString::fromLatin1(groups[who]), this);
        auto* groupColumn = new QVBoxLayout(group);
        for (int bit = 0; bit < 3; ++bit) {
            const int index = who * 3 + bit;
            *boxes[index] =
                Named(new QCheckBox(QString::fromLatin1(boxCaptions[bit]), group), boxNames[index]);
            groupColumn->addWidget(*boxes[index]);
            connect(*boxes[index], &QCheckBox::toggled, this,
                    ui::Guarded([this] { CheckBox1Click(); }));
        }
        groupRow->addWidget(group);
    }
    column->addLayout(groupRow);

    CheckBox10 =
        Named(new QCheckBox(QStringLiteral("Apply changes to all subfolders and files ."), this),
              "CheckBox10");
    column->addWidget(CheckBox10);
    auto* note = new QLabel(QStringLiteral("* Not all servers support permission changes ."), this);
    note->setStyleSheet(QStringLiteral("color: maroon"));
    column->addWidget(note);

    column->addLayout(OkCancelRow(this, Button1, Button2));
    column->setSizeConstraint(QLayout::SetFixedSize);  // a fixed border

    connect(Button1, &QPushButton::clicked, this, ui::Guarded([this] { Button1Click(); }));
    SetButtonModalResult(Button2, ui::mrCancel);
    Button1->setFocus();
    Form18 = this;
}

TForm18::~TForm18() {
    if (Form18 == this)
        Form18 = nullptr;
}

QCheckBox* TForm18::Box(int index) const {
    QCheckBox* const boxes[9] = {CheckBox1, CheckBox2, CheckBox3, CheckBox4, CheckBox5,
                                 CheckBox6, CheckBox7, CheckBox8, CheckBox9};
    return boxes[index];
}

dialogs::PermissionBoxes TForm18::Boxes() const {
    dialogs::PermissionBoxes boxes{};
    for (int index = 0; index < 9; ++index)
        boxes[index] = Box(index)->isChecked();
    return boxes;
}

void TForm18::SetBoxes(const dialogs::PermissionBoxes& boxes) {
    for (int index = 0; index < 9; ++index)
        Box(index)->setChecked(boxes[index]);
}

void TForm18::PresetEntry(const std::string& name, bool folder, const std::string& owner,
                          const std::string& group, const dialogs::PermissionBoxes& boxes) {
    Image1->setVisible(!folder);
    Image2->move(0, 0);
    Image2->setVisible(folder);
    Label1->setText(ui::ToQt(name));
    Label3->setText(ui::ToQt(owner));
    Label5->setText(ui::ToQt(group));
    SetBoxes(boxes);
}

void TForm18::PresetSeveral(int folders, int files) {
    Image1->show();
    Image2->move(kPictureShift, kPictureShift);
    Image2->show();
    Label1->setText(ui::ToQt(dialogs::SelectionCountText(folders, files)));
    SetBoxes(dialogs::BoxesOfMode(dialogs::kSeveralEntriesMode));
}

void TForm18::FirstShown() {
    FormShow();
}

void TForm18::FormShow() {
    UpdateModeNumber();
    Button1->setFocus();
}

void TForm18::CheckBox1Click() {
    UpdateModeNumber();
}

void TForm18::UpdateModeNumber() {
    Edit2->SetValue(dialogs::ModeNumber(Boxes()));
}

void TForm18::Button1Click() {
    int* const mode = modeField_ ? modeField_() : nullptr;
    if (mode == nullptr)
        return;  // no page to act on: the dialog stays open
    *mode = Edit2->Value();
    SetModalResult(CheckBox10->isChecked() ? ui::mrOk : ui::mrAbort);
}
