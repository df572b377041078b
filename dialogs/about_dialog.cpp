#include "dialogs/about_dialog.h"

#include <QFont>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <functional>
#include <utility>

#include "dialogs/dialog_widgets.h"
#include "dialogs/product_links.h"
#include "platform/ui/control_sizes.h"
#include "platform/ui/handler_guard.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/ui_services.h"

TForm16* Form16 = nullptr;

namespace {

using dialogs::Named;

// The client area the box was made for (scaled to the font).
constexpr int kClientWidth = 480;
constexpr int kClientHeight = 297;
constexpr int kProductNamePixels = 16;
constexpr int kShadowOffset = 2;
constexpr int kPictureSize = 64;

const char* const kVersionHistory =
    "Zantrope 1.2 (Builder 1.279)\n"
    "------------------------------------------------\n"
    "UPDATE:\n"
    "*CHMOD command: change the permissions of remote files\n"
    " and folders.\n"
    "*Default folder of the remote server for each site.\n"
    "*Bookmarks for remote servers.\n"
    "*And so on.\n"
    "BUG:\n"
    "*Fixed: the anti-idle commands could be sent while a\n"
    " transfer was running.\n"
    "*Fixed: an upload into a folder of the same name could\n"
    " stop the queue.\n"
    "*Fixed: reconnecting after a lost connection did not\n"
    " return to the folder that was shown.\n"
    "\n"
    "Zantrope 1.0\n"
    "------------------------------------------------\n"
    "*Several sites open at once, each on its own page.\n"
    "*Whole folders transferred and deleted with all that\n"
    " they hold.\n"
    "*A history of transfers that can be run again.\n"
    "*Tasks: transfers kept in categories, run at a click.\n"
    "*FTP proxies and SOCKS 4, 4A and 5.\n"
    "*Idle connections kept alive.\n"
    "*Remote folders exported to a text file.\n"
    "*Broken transfers resumed.\n"
    "*An explorer-like interface.\n";

// A label that runs a handler when it is clicked with the left button.
class LinkLabel : public QLabel {
  public:
    LinkLabel(const char* address, QWidget* parent) : QLabel(QString::fromLatin1(address), parent) {
        setStyleSheet(QStringLiteral("QLabel { color: blue; }"));
        setCursor(Qt::PointingHandCursor);
    }

    std::function<void()> OnClick;

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        QLabel::mouseReleaseEvent(event);
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
            OnClick)
            ui::RunGuarded(OnClick);
    }
};

// The product's picture: a white "Z" on a blue tile, in the colours of the banner.
QPixmap ProductPicture() {
    QPixmap picture(kPictureSize, kPictureSize);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(0, 0, kPictureSize, kPictureSize);
    gradient.setColorAt(0, QColor(0x2a, 0x6c, 0xc4));
    gradient.setColorAt(1, QColor(0x10, 0x3a, 0x7a));
    painter.setBrush(gradient);
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(picture.rect(), kPictureSize / 6, kPictureSize / 6);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(kPictureSize * 2 / 3);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(picture.rect(), Qt::AlignCenter, QStringLiteral("Z"));
    return picture;
}

QFont Bold(QFont font) {
    font.setBold(true);
    return font;
}

}  // namespace

TForm16::TForm16(QWidget* parent) : ui::ModalDialog(parent) {
    setObjectName(QStringLiteral("Form16"));
    setWindowTitle(QStringLiteral("About"));
    // A tool window with only the system menu: no minimise, maximise or resize.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    auto* column = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    Panel1 = Named(new QFrame(this), "Panel1");
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setLineWidth(2);
    auto* picture = new QVBoxLayout(Panel1);
    Image2 = Named(new QLabel(Panel1), "Image2");
    Image2->setPixmap(ProductPicture());
    Image2->setAlignment(Qt::AlignCenter);
    picture->addWidget(Image2);
    top->addWidget(Panel1);

    PageControl1 = Named(new QTabWidget(this), "PageControl1");
    TabSheet1 = Named(new QWidget(PageControl1), "TabSheet1");
    TabSheet2 = Named(new QWidget(PageControl1), "TabSheet2");
    PageControl1->addTab(TabSheet1, QStringLiteral("Info"));
    PageControl1->addTab(TabSheet2, QStringLiteral("Version history"));
    top->addWidget(PageControl1, 1);
    column->addLayout(top, 1);

    auto* info = new QVBoxLayout(TabSheet1);
    Label2 = Named(new QLabel(QStringLiteral("The Zantrope developers"), TabSheet1), "Label2");
    Label2->setFont(Bold(Label2->font()));
    info->addWidget(Label2);
    // The product name twice, two pixels apart: the grey one under it is its shadow.
    auto* nameRow = new QHBoxLayout;
    auto* name = new QWidget(TabSheet1);
    QFont nameFont = Bold(font());
    nameFont.setPixelSize(kProductNamePixels);
    Label3 = Named(new QLabel(QStringLiteral("Zantrope"), name), "Label3");
    Label4 = Named(new QLabel(QStringLiteral("Zantrope"), name), "Label4");
    for (QLabel* label : {Label3, Label4}) {
        label->setFont(nameFont);
        label->adjustSize();
    }
    Label3->setStyleSheet(QStringLiteral("QLabel { color: silver; }"));
    Label3->move(kShadowOffset, kShadowOffset);
    Label4->move(0, 0);  // made last, so drawn over its shadow; a label fills no background
    name->setFixedSize(Label4->width() + kShadowOffset, Label4->height() + kShadowOffset);
    nameRow->addWidget(name);
    Label6 = Named(new QLabel(QStringLiteral("FREE Edition"), TabSheet1), "Label6");
    nameRow->addWidget(Label6, 0, Qt::AlignBottom);
    nameRow->addStretch(1);
    info->addLayout(nameRow);
    Label1 =
        Named(new QLabel(QStringLiteral("Version : 1.2 (Builder 1.279)"), TabSheet1), "Label1");
    info->addWidget(Label1);

    auto* links = new QGridLayout;
    struct Link {
        QLabel*& plain;
        const char* plainName;
        const char* caption;
        QLabel*& link;
        const char* linkName;
        const char* address;
        void (TForm16::*click)();
    };
    const Link rows[] = {
        {Label7, "Label7", "Homepage", Label5, "Label5", dialogs::kHomePage, &TForm16::Label5Click},
        {Label9, "Label9", "Product Page", Label8, "Label8", dialogs::kProductPage,
         &TForm16::Label8Click},
        {Label11, "Label11", "FAQ Page ", Label10, "Label10", dialogs::kFaqPage,
         &TForm16::Label10Click},
        {Label13, "Label13", "Bug report and support", Label12, "Label12", dialogs::kContactMail,
         &TForm16::Label12Click},
    };
    int line = 0;
    for (const Link& row : rows) {
        row.plain = Named(new QLabel(QString::fromLatin1(row.caption), TabSheet1), row.plainName);
        auto* link = Named(new LinkLabel(row.address, TabSheet1), row.linkName);
        link->OnClick = [this, click = row.click] { (this->*click)(); };
        row.link = link;
        links->addWidget(row.plain, line, 0);
        links->addWidget(row.link, line, 1);
        ++line;
    }
    links->setColumnStretch(1, 1);
    info->addLayout(links);
    info->addStretch(1);

    auto* history = new QVBoxLayout(TabSheet2);
    Memo1 = Named(new QPlainTextEdit(TabSheet2), "Memo1");
    Memo1->setAccessibleName(QStringLiteral("Version history"));
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setStyleSheet(QStringLiteral("QPlainTextEdit { background: silver; }"));
    Memo1->setPlainText(QString::fromLatin1(kVersionHistory));
    history->addWidget(Memo1);

    auto* buttons = new QHBoxLayout;
    Button1 = dialogs::MakeButton(this, "Button1", "&OK");
    Button1->setDefault(true);
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    column->addLayout(buttons);
    SetButtonModalResult(Button1, ui::mrOk);
    PageControl1->setCurrentIndex(0);
    // The size it was made for, scaled to the font; larger where the texts need more room.
    setFixedSize(ui::ScaledSize(*this, kClientWidth, kClientHeight).expandedTo(sizeHint()));
    Form16 = this;
}

TForm16::~TForm16() {
    if (Form16 == this)
        Form16 = nullptr;
}

// The box stays open; an address the desktop has no program for is named in a message.
void TForm16::Label5Click() {
    ui::ShellOpenOrSay(dialogs::kHomePage, dialogs::kHomePage);
}

void TForm16::Label8Click() {
    ui::ShellOpenOrSay(dialogs::kProductPage, dialogs::kProductPage);
}

void TForm16::Label10Click() {
    ui::ShellOpenOrSay(dialogs::kFaqPage, dialogs::kFaqPage);
}

void TForm16::Label12Click() {
    ui::ShellOpenOrSay(dialogs::kContactMailLink, dialogs::kContactMail);
}
