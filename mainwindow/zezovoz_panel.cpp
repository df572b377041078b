#include "mainwindow/zezovoz_panel.h"

#include <QEnterEvent>
#include <QPainter>

#include "platform/ui/handler_guard.h"

namespace {

// A rectangle as the frame drawing sees it: right and bottom lie one past the last pixel.
struct Box {
    int left;
    int top;
    int right;
    int bottom;
};

// One line of pixels from (x1, y1) to (x2, y2), the end pixel excluded; horizontal or vertical.
void Line(QPainter* painter, const QColor& color, int x1, int y1, int x2, int y2) {
    if (painter == nullptr)
        return;
    const QRect pixels = x1 == x2 ? QRect(x1, y1, 1, y2 - y1) : QRect(x1, y1, x2 - x1, 1);
    if (pixels.width() > 0 && pixels.height() > 0)
        painter->fillRect(pixels, color);
}

// Draws `width` one-pixel frames on `sides`, each inside the last: left and top in `first`,
// then right and bottom in `second`. With no painter it only shrinks the box.
void FrameSides(QPainter* painter, Box& box, TSides sides, const QColor& first,
                const QColor& second, int width) {
    const bool shrinksAcross = (sides & (sdLeft | sdRight)) != 0;
    const bool shrinksDown = (sides & (sdTop | sdBottom)) != 0;
    for (int i = 0; i < width; ++i) {
        // Once no pixel is left to draw on, further frames change nothing (a huge width).
        if ((!shrinksAcross || box.right <= box.left) && (!shrinksDown || box.bottom <= box.top)) {
            break;
        }
        if (sides & sdLeft)
            Line(painter, first, box.left, box.top, box.left, box.bottom);
        if (sides & sdTop)
            Line(painter, first, box.left, box.top, box.right, box.top);
        if (sides & sdRight) {
            Line(painter, second, box.right - 1, box.top, box.right - 1, box.bottom);
        }
        if (sides & sdBottom) {
            Line(painter, second, box.left, box.bottom - 1, box.right, box.bottom - 1);
        }
        if (sides & sdLeft)
            ++box.left;
        if (sides & sdTop)
            ++box.top;
        if (sides & sdRight)
            --box.right;
        if (sides & sdBottom)
            --box.bottom;
    }
}

struct BevelPairs {
    TColor first[2];
    TColor second[2];
};

BevelPairs BevelColors(TPanelBevel kind, bool ctl3D, const TColor& spaceColor) {
    switch (kind) {
        case bvLowered:
            return {{clBtnShadow, clBtnHighlight}, {clBtnText, cl3DLight}};
        case bvRaised:
            return {{clBtnHighlight, ctl3D ? clBtnText : clBtnShadow}, {cl3DLight, clBtnShadow}};
        default:
            return {{spaceColor, spaceColor}, {spaceColor, spaceColor}};
    }
}

}  // namespace

// Draws (or, without a painter, measures) every frame and returns the box inside them.
static Box DrawFrames(const TProCustomPanel& panel, QPainter* painter) {
    Box box{0, 0, panel.width(), panel.height()};
    const QPalette& palette = panel.palette();
    if (panel.BorderStyle() == bsSingle) {
        // The plain one-pixel window border lies outside the client area, on every side.
        const QColor frame = clWindowFrame.Resolve(palette);
        FrameSides(painter, box, kAllSides, frame, frame, 1);
    }
    const TSides sides = panel.BevelSides();
    auto bevel = [&](TPanelBevel kind) {
        if (kind == bvNone)
            return;
        const BevelPairs pairs = BevelColors(kind, panel.BevelCtl3D(), panel.Color());
        const QColor first = pairs.first[0].Resolve(palette);
        const QColor second = pairs.first[1].Resolve(palette);
        if (panel.BevelCtl3D()) {
            FrameSides(painter, box, sides, first, second, 1);
            FrameSides(painter, box, sides, pairs.second[0].Resolve(palette),
                       pairs.second[1].Resolve(palette), 1);
        } else {
            FrameSides(painter, box, sides, first, second, panel.BevelWidth());
        }
    };
    bevel(panel.BevelOuter());
    const QColor border = panel.BorderColor().Resolve(palette);
    FrameSides(painter, box, sides, border, border, panel.BorderWidth());
    bevel(panel.BevelInner());
    return box;
}

TProCustomPanel::TProCustomPanel(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    AlignControls();
}

void TProCustomPanel::Changed(bool layout) {
    if (layout)
        AlignControls();
    update();
}

void TProCustomPanel::SetCaption(const QString& caption) {
    if (caption == caption_)
        return;
    caption_ = caption;
    Changed(false);
}

void TProCustomPanel::SetAlignment(TAlignment alignment) {
    if (alignment == alignment_)
        return;
    alignment_ = alignment;
    Changed(false);
}

void TProCustomPanel::SetBevelInner(TPanelBevel bevel) {
    if (bevel == bevelInner_)
        return;
    bevelInner_ = bevel;
    Changed(true);
}

void TProCustomPanel::SetBevelOuter(TPanelBevel bevel) {
    if (bevel == bevelOuter_)
        return;
    bevelOuter_ = bevel;
    Changed(true);
}

void TProCustomPanel::SetBevelWidth(int width) {
    if (width == bevelWidth_)
        return;
    bevelWidth_ = width;
    Changed(true);
}

void TProCustomPanel::SetBorderWidth(int width) {
    if (width == borderWidth_)
        return;
    borderWidth_ = width;
    Changed(true);
}

void TProCustomPanel::SetBorderStyle(TBorderStyle style) {
    if (style == borderStyle_)
        return;
    borderStyle_ = style;
    Changed(true);
}

void TProCustomPanel::SetColor(const TColor& color) {
    if (color == color_)
        return;
    color_ = color;
    Changed(false);
}

void TProCustomPanel::SetFontColor(const TColor& color) {
    if (color == fontColor_)
        return;
    fontColor_ = color;
    Changed(false);
}

void TProCustomPanel::SetBevelCtl3D(bool on) {
    if (on == bevelCtl3D_)
        return;
    bevelCtl3D_ = on;
    bevelWidth_ = on ? 2 : 1;
    Changed(true);
}

void TProCustomPanel::SetBevelSides(TSides sides) {
    sides &= kAllSides;
    if (sides == bevelSides_)
        return;
    bevelSides_ = sides;
    Changed(true);
}

void TProCustomPanel::SetBorderColor(const TColor& color) {
    if (color == borderColor_)
        return;
    borderColor_ = color;
    Changed(false);
}

void TProCustomPanel::SetVerticalAlignment(TVerticalAlignment alignment) {
    if (alignment == verticalAlignment_)
        return;
    verticalAlignment_ = alignment;
    Changed(false);
}

void TProCustomPanel::AlignControls() {
    if (bevelCtl3D_)
        bevelWidth_ = 2;
    // The room the frames take does not depend on the panel's size: measure it on any box.
    const Box inside = DrawFrames(*this, nullptr);
    setContentsMargins(inside.left, inside.top, width() - inside.right, height() - inside.bottom);
}

QRect TProCustomPanel::CaptionArea() const {
    const Box box = DrawFrames(*this, nullptr);
    return QRect(QPoint(box.left, box.top), QPoint(box.right - 1, box.bottom - 1));
}

int TProCustomPanel::CaptionFlags() const {
    int flags = Qt::AlignTop | Qt::TextWordWrap | Qt::TextExpandTabs | Qt::TextShowMnemonic;
    switch (alignment_) {
        case taLeftJustify:
            flags |= Qt::AlignLeft;
            break;
        case taRightJustify:
            flags |= Qt::AlignRight;
            break;
        case taCenter:
            flags |= Qt::AlignHCenter;
            break;
    }
    return flags;
}

QRect TProCustomPanel::CaptionRect() const {
    const QRect area = CaptionArea();
    if (verticalAlignment_ == vaTop)
        return area;
    const int height = caption_.isEmpty()
                           ? 0
                           : fontMetrics().boundingRect(area, CaptionFlags(), caption_).height();
    const int freeHeight = area.height() - height;
    // Integer halving rounds toward zero, so an overflowing caption is centred as well.
    const int shift = verticalAlignment_ == vaBottom ? freeHeight : freeHeight / 2;
    return QRect(area.left(), area.top() + shift, area.width(), height);
}

void TProCustomPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const Box box = DrawFrames(*this, &painter);
    const QRect inside(QPoint(box.left, box.top), QPoint(box.right - 1, box.bottom - 1));
    if (inside.isValid())
        painter.fillRect(inside, color_.Resolve(palette()));
    if (caption_.isEmpty())
        return;
    painter.setFont(font());
    painter.setPen(fontColor_.Resolve(palette()));
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.drawText(CaptionRect(), CaptionFlags(), caption_);
}

void TProCustomPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    AlignControls();
}

void TProCustomPanel::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    DoMouseEnter();
}

void TProCustomPanel::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    DoMouseLeave();
}

void TProCustomPanel::DoMouseEnter() {
    if (OnMouseEnter)
        ui::RunGuarded([this] { OnMouseEnter(this); });
}

void TProCustomPanel::DoMouseLeave() {
    if (OnMouseLeave)
        ui::RunGuarded([this] { OnMouseLeave(this); });
}
