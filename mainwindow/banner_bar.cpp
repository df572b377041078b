#include "mainwindow/banner_bar.h"

#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QToolButton>

namespace {

constexpr int kHeight = 34;
constexpr int kRightImageWidth = 303;
constexpr int kButtonWidth = 70;
constexpr int kButtonHeight = 22;
constexpr int kButtonLeft = 8;
constexpr int kButtonGap = 2;

// The banner's artwork: a horizontal blue gradient; the labels stretch it to their size.
QPixmap BannerImage(const QColor& from, const QColor& to) {
    QPixmap image(256, kHeight);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, image.width(), 0);
    gradient.setColorAt(0, from);
    gradient.setColorAt(1, to);
    painter.fillRect(image.rect(), gradient);
    return image;
}

QLabel* MakeImage(QWidget* parent, const char* name, const QPixmap& pixmap) {
    auto* image = new QLabel(parent);
    image->setObjectName(QString::fromLatin1(name));
    image->setPixmap(pixmap);
    image->setScaledContents(true);
    image->setMinimumWidth(1);
    return image;
}

QToolButton* MakeButton(QWidget* parent, const char* name, const char* caption, int position) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(QString::fromLatin1(caption));
    button->setAutoRaise(true);  // flat
    button->setFixedSize(kButtonWidth, kButtonHeight);
    QFont font = button->font();
    font.setBold(true);
    font.setPixelSize(11);  // the longest caption fits the fixed width
    button->setFont(font);
    button->setStyleSheet(QStringLiteral("QToolButton { color: white; }"));
    button->move(kButtonLeft + position * (kButtonWidth + kButtonGap),
                 (kHeight - kButtonHeight) / 2);
    return button;
}

}  // namespace

TBannerBar::TBannerBar(QWidget* parent) : TZezovozPanel(parent) {
    setObjectName(QStringLiteral("ZezovozPanel1"));
    SetBevelOuter(bvNone);
    SetBorderWidth(0);
    SetBorderStyle(bsSingle);
    setFixedHeight(kHeight);

    Image3 =
        MakeImage(this, "Image3", BannerImage(QColor(0x10, 0x3a, 0x7a), QColor(0x2a, 0x6c, 0xc4)));
    Image2 =
        MakeImage(this, "Image2", BannerImage(QColor(0x2a, 0x6c, 0xc4), QColor(0x0c, 0x2c, 0x5c)));
    Image2->setFixedWidth(kRightImageWidth);
    auto* layout = new QHBoxLayout(this);
    // The pictures fill the room inside the border: the panel's own margins are that border,
    // the layout adds none of the style's.
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Image3, 1);
    layout->addWidget(Image2);

    SpeedButton1 = MakeButton(this, "SpeedButton1", "Options", 0);
    SpeedButton3 = MakeButton(this, "SpeedButton3", "Feedback", 1);
    SpeedButton4 = MakeButton(this, "SpeedButton4", "Homepage", 2);
    SpeedButton5 = MakeButton(this, "SpeedButton5", "Help", 3);
    SpeedButton6 = MakeButton(this, "SpeedButton6", "About", 4);
    SpeedButton2 = MakeButton(this, "SpeedButton2", "Exit", 5);
    for (QToolButton* button :
         {SpeedButton1, SpeedButton3, SpeedButton4, SpeedButton5, SpeedButton6, SpeedButton2})
        button->raise();
}
