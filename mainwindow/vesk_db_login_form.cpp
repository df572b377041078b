#include "mainwindow/vesk_db_login_form.h"

#include <QApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include "engine/login_prompt.h"
#include "platform/ui/control_sizes.h"
#include "platform/ui/modal_result.h"

namespace {

constexpr int kClientWidth = 281;
constexpr int kClientHeight = 154;

}  // namespace

TVeskDBLoginForm::TVeskDBLoginForm(const std::string& fileName, QWidget* parent)
    : ui::ModalDialog(parent) {
    setObjectName(QStringLiteral("VeskDBLoginForm"));
    setWindowTitle(QStringLiteral("Database Login"));
    setFont(QApplication::font("QMessageBox"));  // the system's message font
    // The form's positions were made for the design font: scaled to this one.
    const auto x = [this](int width) { return ui::ScaledWidth(*this, width); };
    const auto y = [this](int height) { return ui::ScaledHeight(*this, height); };
    const QSize client = ui::ScaledSize(*this, kClientWidth, kClientHeight);
    setFixedSize(client);
    setLayoutDirection(QApplication::layoutDirection());

    BackPanel = new QFrame(this);
    BackPanel->setObjectName(QStringLiteral("BackPanel"));
    BackPanel->setFrameShape(QFrame::Panel);
    BackPanel->setFrameShadow(QFrame::Raised);
    BackPanel->setLineWidth(1);
    BackPanel->setGeometry(x(8), y(8), client.width() - x(16), y(75));
    const int panelClientWidth = BackPanel->contentsRect().width();

    DatabaseLabel = new QLabel(QStringLiteral("Database:"), BackPanel);
    DatabaseLabel->setObjectName(QStringLiteral("DatabaseLabel"));
    DatabaseLabel->move(x(12), y(15));
    PasswordLabel = new QLabel(QStringLiteral("Password:"), BackPanel);
    PasswordLabel->setObjectName(QStringLiteral("PasswordLabel"));
    PasswordLabel->move(x(12), y(45));

    DatabaseEdit = new QLineEdit(QString::fromUtf8(fileName.c_str()), BackPanel);
    DatabaseEdit->setObjectName(QStringLiteral("DatabaseEdit"));
    DatabaseEdit->setGeometry(x(86), y(12), panelClientWidth - x(98), y(21));
    DatabaseEdit->setReadOnly(true);
    DatabaseEdit->setFocusPolicy(Qt::NoFocus);  // not a tab stop
    DatabaseEdit->setBackgroundRole(QPalette::Button);
    DatabaseEdit->setAutoFillBackground(true);

    PasswordEdit = new QLineEdit(BackPanel);
    PasswordEdit->setObjectName(QStringLiteral("PasswordEdit"));
    PasswordEdit->setGeometry(x(86), y(42), panelClientWidth - x(98), y(21));
    PasswordEdit->setEchoMode(QLineEdit::Password);
    PasswordLabel->setBuddy(PasswordEdit);  // its accessible name
    DatabaseLabel->setBuddy(DatabaseEdit);

    OkButton = new QPushButton(QStringLiteral("&OK"), this);
    OkButton->setObjectName(QStringLiteral("OkButton"));
    OkButton->move(x(109), y(94));
    OkButton->setDefault(true);
    SetButtonModalResult(OkButton, ui::mrOk);
    CancelButton = new QPushButton(QStringLiteral("&Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->move(x(191), y(94));
    SetButtonModalResult(CancelButton, ui::mrCancel);

    PasswordEdit->setFocus();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(client.width() / 2, client.height() / 2));
    }
}

bool VeskLoginDialog(const std::string& fileName, std::string& password) {
    // Owned here and freed on every way out, as the dialog frees itself when it closes.
    TVeskDBLoginForm form(fileName);
    if (form.exec() != ui::mrOk)
        return false;
    password = form.PasswordEdit->text().toStdString();
    return true;
}

void InstallVeskLoginPrompt() {
    vesk::SetLoginPrompt(&VeskLoginDialog);
}
