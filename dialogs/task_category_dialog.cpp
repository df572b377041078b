#include "dialogs/task_category_dialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/dialog_widgets.h"
#include "dialogs/field_limits.h"
#include "dialogs/task_tables.h"
#include "dialogs/task_tree_host.h"
#include "platform/ui/control_sizes.h"
#include "platform/ui/handler_guard.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/qt_text.h"
#include "platform/ui/ui_services.h"
#include "shared/tdm.h"

TForm12* Form12 = nullptr;

namespace {

constexpr const char* kAddCaption = "New category";

}  // namespace

TForm12::TForm12(TTaskTreeHost& tree, QWidget* parent) : ui::ModalDialog(parent), tree_(tree) {
    using dialogs::MakeButton;
    using dialogs::Named;
    setObjectName(QStringLiteral("Form12"));
    setWindowTitle(QString::fromLatin1(kAddCaption));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    auto* column = new QVBoxLayout(this);
    Edit1 = Named(new QLineEdit(this), "Edit1");
    column->addWidget(dialogs::LabelFor(this, "Category name", Edit1));
    column->addWidget(Edit1);
    Memo1 = Named(new QPlainTextEdit(this), "Memo1");
    column->addWidget(dialogs::LabelFor(this, "Description", Memo1));
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setMinimumSize(ui::ScaledSize(*Memo1, 320, 120));
    column->addWidget(Memo1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    Button2 = MakeButton(this, "Button2", "&OK");
    Button1 = MakeButton(this, "Button1", "&Cancel");
    Button2->setDefault(true);
    Button2->setEnabled(false);
    buttons->addWidget(Button2);
    buttons->addWidget(Button1);
    column->addLayout(buttons);
    column->setSizeConstraint(QLayout::SetFixedSize);

    connect(Edit1, &QLineEdit::textChanged, this, ui::Guarded([this] { Edit1Change(); }));
    connect(Button2, &QPushButton::clicked, this, ui::Guarded([this] { Button2Click(); }));
    SetButtonModalResult(Button1, ui::mrCancel);
    dialogs::LimitToFields(*dm->Ttask, {{Edit1, "name"}});
    Edit1->setFocus();
    Form12 = this;
}

TForm12::~TForm12() {
    if (Form12 == this)
        Form12 = nullptr;
}

void TForm12::PresetEdit(std::int32_t id, const std::string& name, const std::string& description) {
    CategoryId = id;
    OldName = name;
    Edit1->setText(ui::ToQt(name));
    Memo1->setPlainText(ui::ToQt(description));
    setWindowTitle(QStringLiteral("Edit category"));
}

bool TForm12::AddMode() const {
    return windowTitle() == QString::fromLatin1(kAddCaption);
}

void TForm12::Edit1Change() {
    Button2->setEnabled(!Edit1->text().isEmpty());
}

void TForm12::Button2Click() {
    const std::string name = ui::FromQt(Edit1->text());
    const std::string description = ui::FromQt(Memo1->toPlainText());
    if (AddMode()) {
        if (tasks::CategoryNameTaken(name)) {
            ui::MessageDlg("The name " + name + " was existed, please re-enter.",
                           ui::MessageKind::kWarning, ui::mbOK);
            return;
        }
        const std::int32_t id = tasks::AddCategory(name, description);
        tree_.AddCategoryNode({id, name});
    } else if (tasks::UpdateCategory(CategoryId, name, description)) {
        tree_.RenameCategoryNode(CategoryId, name);
    }
    SetModalResult(ui::mrOk);
}
