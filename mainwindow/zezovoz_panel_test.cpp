#include "mainwindow/zezovoz_panel.h"

#include <QEnterEvent>
#include <QImage>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ui/testing/qt_test_environment.h"

namespace {

// Distinct colours for every system colour the panel uses.
const QColor kFace(0xC0, 0xC0, 0xC0);       // clBtnFace
const QColor kHighlight(0xFF, 0xFF, 0xFF);  // clBtnHighlight
const QColor k3DLight(0xE0, 0xE0, 0x00);    // cl3DLight
const QColor kShadow(0x80, 0x00, 0x80);     // clBtnShadow
const QColor kText(0x00, 0x00, 0x40);       // clBtnText
const QColor kFrame(0x00, 0x60, 0x00);      // clWindowFrame
const QColor kRed(0xFF, 0x00, 0x00);

constexpr int kW = 40;
constexpr int kH = 20;

void UseTestPalette(QWidget& widget) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Button, kFace);
    palette.setColor(QPalette::Light, kHighlight);
    palette.setColor(QPalette::Midlight, k3DLight);
    palette.setColor(QPalette::Dark, kShadow);
    palette.setColor(QPalette::ButtonText, kText);
    palette.setColor(QPalette::WindowText, kFrame);
    widget.setPalette(palette);
}

struct Pixel {
    int x;
    int y;
    QColor color;
};

struct Case {
    const char* what;
    std::function<void(TZezovozPanel&)> setUp;
    std::vector<Pixel> pixels;
};

QColor At(const QImage& image, int x, int y) {
    return QColor(image.pixel(x, y));
}

TEST(ZezovozPanel, PaintsBevelsAndBorderOnTheChosenSides) {
    const int r = kW - 1;  // right-most column
    const int b = kH - 1;  // bottom row
    const Case cases[] = {
        {"defaults: one-pixel raised frame",
         [](TZezovozPanel&) {},
         {{0, 0, kHighlight},
          {0, b - 1, kHighlight},
          {r - 1, 0, kHighlight},
          {r, 0, kShadow},
          {r, b, kShadow},
          {0, b, kShadow},
          {1, 1, kFace},
          {r - 1, b - 1, kFace}}},
        {"top and bottom only",
         [](TZezovozPanel& p) { p.SetBevelSides(sdTop | sdBottom); },
         {{0, 0, kHighlight},
          {r, 0, kHighlight},
          {0, b, kShadow},
          {r, b, kShadow},
          {0, 5, kFace},
          {r, 5, kFace}}},
        {"left and right only, two pixels wide",
         [](TZezovozPanel& p) {
             p.SetBevelSides(sdLeft | sdRight);
             p.SetBevelWidth(2);
         },
         {{0, 0, kHighlight},
          {1, b, kHighlight},
          {r, 0, kShadow},
          {r - 1, b, kShadow},
          {2, 0, kFace},
          {r - 2, b, kFace}}},
        {"lowered outer bevel",
         [](TZezovozPanel& p) { p.SetBevelOuter(bvLowered); },
         {{0, 0, kShadow},
          {r - 1, 0, kShadow},
          {r, 5, kHighlight},
          {5, b, kHighlight},
          {1, 1, kFace}}},
        {"double-line raised bevel",
         [](TZezovozPanel& p) { p.SetBevelCtl3D(true); },
         {{0, 0, kHighlight},
          {5, 0, kHighlight},
          {r, 5, kText},
          {5, b, kText},
          {1, 1, k3DLight},
          {5, 1, k3DLight},
          {r - 1, 5, kShadow},
          {5, b - 1, kShadow},
          {2, 2, kFace}}},
        {"double-line lowered bevel",
         [](TZezovozPanel& p) {
             p.SetBevelCtl3D(true);
             p.SetBevelOuter(bvLowered);
         },
         {{0, 0, kShadow}, {r, 5, kHighlight}, {1, 1, kText}, {r - 1, 5, k3DLight}, {2, 2, kFace}}},
        {"border between the bevels",
         [](TZezovozPanel& p) {
             p.SetBorderWidth(2);
             p.SetBorderColor(TColor::Fixed(kRed));
             p.SetBevelInner(bvLowered);
         },
         {{0, 0, kHighlight},
          {r, b, kShadow},
          {1, 1, kRed},
          {2, 2, kRed},
          {r - 2, b - 2, kRed},
          {3, 3, kShadow},
          {r - 3, 5, kHighlight},
          {4, 4, kFace}}},
        {"no bevels, single window border",
         [](TZezovozPanel& p) {
             p.SetBevelOuter(bvNone);
             p.SetBorderStyle(bsSingle);
         },
         {{0, 0, kFrame},
          {r, b, kFrame},
          {0, b, kFrame},
          {r, 0, kFrame},
          {1, 1, kFace},
          {r - 1, b - 1, kFace}}},
        {"space bevel takes the panel colour",
         [](TZezovozPanel& p) {
             p.SetBevelOuter(bvSpace);
             p.SetColor(TColor::Fixed(kRed));
         },
         {{0, 0, kRed}, {r, b, kRed}, {5, 5, kRed}}},
    };
    for (const Case& c : cases) {
        TZezovozPanel panel;
        UseTestPalette(panel);
        panel.resize(kW, kH);
        c.setUp(panel);
        const QImage image = panel.grab().toImage();
        ASSERT_EQ(image.size(), QSize(kW, kH)) << c.what;
        for (const Pixel& p : c.pixels) {
            EXPECT_EQ(At(image, p.x, p.y), p.color)
                << c.what << " at " << p.x << "," << p.y << ": got "
                << At(image, p.x, p.y).name().toStdString() << ", expected "
                << p.color.name().toStdString();
        }
    }
}

TEST(ZezovozPanel, DoubleLineBevelSetsTheBevelWidthAndFramesGiveChildrenRoom) {
    TZezovozPanel panel;
    panel.resize(kW, kH);
    EXPECT_EQ(panel.BevelWidth(), 1);
    EXPECT_EQ(panel.contentsMargins(), QMargins(1, 1, 1, 1));
    panel.SetBevelCtl3D(true);
    EXPECT_EQ(panel.BevelWidth(), 2);
    panel.SetBevelWidth(5);  // the alignment of the children brings it back to 2
    EXPECT_EQ(panel.BevelWidth(), 2);
    panel.SetBevelSides(sdTop);
    panel.SetBorderWidth(3);
    EXPECT_EQ(panel.contentsMargins(), QMargins(0, 5, 0, 0));
    panel.SetBevelCtl3D(false);
    EXPECT_EQ(panel.BevelWidth(), 1);
    panel.SetBorderWidth(1000000000);  // far beyond the panel: no endless drawing
    EXPECT_FALSE(panel.grab().isNull());
}

TEST(ZezovozPanel, CaptionIsPlacedByItsVerticalAlignment) {
    TZezovozPanel panel;
    UseTestPalette(panel);
    panel.resize(120, 100);
    panel.SetCaption("one\ntwo\nthree");
    const QRect area = panel.CaptionArea();
    EXPECT_EQ(area, QRect(1, 1, 118, 98));

    panel.SetVerticalAlignment(vaBottom);
    const QRect bottom = panel.CaptionRect();
    EXPECT_EQ(bottom.bottom(), area.bottom());
    EXPECT_GT(bottom.height(), 2 * panel.fontMetrics().height());

    panel.SetVerticalAlignment(vaTop);
    EXPECT_EQ(panel.CaptionRect().top(), area.top());
    panel.SetVerticalAlignment(vaCenter);
    const QRect centre = panel.CaptionRect();
    EXPECT_LE(std::abs((centre.top() - area.top()) - (area.bottom() - centre.bottom())), 1);

    // The text is drawn in the caption's rectangle: with vaBottom its lowest ink is near the
    // bottom, and nothing is drawn above the rectangle.
    panel.SetVerticalAlignment(vaBottom);
    const QImage image = panel.grab().toImage();
    int firstInk = -1;
    int lastInk = -1;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (QColor(image.pixel(x, y)) != kFace) {
                if (firstInk < 0)
                    firstInk = y;
                lastInk = y;
            }
        }
    }
    ASSERT_GE(firstInk, 0) << "no caption drawn";
    EXPECT_GE(firstInk, bottom.top());
    EXPECT_GT(lastInk, area.bottom() - panel.fontMetrics().height());

    // A caption taller than the panel is centred and overflows at both ends.
    panel.resize(120, 20);
    panel.SetVerticalAlignment(vaCenter);
    const QRect over = panel.CaptionRect();
    EXPECT_LT(over.top(), panel.CaptionArea().top());
    EXPECT_GT(over.bottom(), panel.CaptionArea().bottom());
}

class CountingPanel : public TZezovozPanel {
  public:
    int paints = 0;

  protected:
    void paintEvent(QPaintEvent* event) override {
        ++paints;
        TZezovozPanel::paintEvent(event);
    }
};

TEST(ZezovozPanel, SettingTheCurrentValueDoesNotRepaint) {
    CountingPanel panel;
    panel.resize(kW, kH);
    panel.show();
    QCoreApplication::processEvents();
    const std::vector<std::pair<const char*, std::function<void(TZezovozPanel&)>>> same = {
        {"BevelCtl3D", [](TZezovozPanel& p) { p.SetBevelCtl3D(false); }},
        {"BevelSides", [](TZezovozPanel& p) { p.SetBevelSides(kAllSides); }},
        {"BorderColor", [](TZezovozPanel& p) { p.SetBorderColor(clBtnFace); }},
        {"VerticalAlignment", [](TZezovozPanel& p) { p.SetVerticalAlignment(vaCenter); }},
    };
    const std::vector<std::pair<const char*, std::function<void(TZezovozPanel&)>>> changed = {
        {"BevelCtl3D", [](TZezovozPanel& p) { p.SetBevelCtl3D(true); }},
        {"BevelSides", [](TZezovozPanel& p) { p.SetBevelSides(sdTop); }},
        {"BorderColor", [](TZezovozPanel& p) { p.SetBorderColor(TColor::Fixed(kRed)); }},
        {"VerticalAlignment", [](TZezovozPanel& p) { p.SetVerticalAlignment(vaTop); }},
    };
    for (const auto& [name, set] : same) {
        const int before = panel.paints;
        set(panel);
        QCoreApplication::processEvents();
        EXPECT_EQ(panel.paints, before) << name;
    }
    for (const auto& [name, set] : changed) {
        const int before = panel.paints;
        set(panel);
        QCoreApplication::processEvents();
        EXPECT_GT(panel.paints, before) << name;
    }
}

TEST(ZezovozPanel, ReportsTheMouseEnteringAndLeaving) {
    TZezovozPanel panel;
    std::vector<std::string> seen;
    panel.OnMouseEnter = [&](TProCustomPanel* sender) {
        EXPECT_EQ(sender, &panel);
        seen.push_back("enter");
    };
    panel.OnMouseLeave = [&](TProCustomPanel*) { seen.push_back("leave"); };
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QCoreApplication::sendEvent(&panel, &enter);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&panel, &leave);
    EXPECT_EQ(seen, (std::vector<std::string>{"enter", "leave"}));
}

}  // namespace
