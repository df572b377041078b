#pragma once
// The banner panel control: a container panel whose bevels and border are drawn only on the
// chosen sides, with an optional double-line bevel, a border colour of its own, a word-wrapped
// caption placed at the top, middle or bottom, and call-backs for the mouse entering and
// leaving it. TZezovozPanel is the class the main window places; TProCustomPanel does the work.
//
// Colours are the platform's system colours, resolved through the widget's palette when the
// panel paints: clBtnFace Button, clBtnHighlight Light, cl3DLight Midlight, clBtnShadow Dark,
// clBtnText ButtonText, clWindowText and clWindowFrame WindowText.
#include <QColor>
#include <QPalette>
#include <QRect>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

// A colour as the panel's properties hold it: a system colour or a fixed one.
class TColor {
  public:
    static TColor System(QPalette::ColorRole role) { return TColor(role, QColor()); }
    static TColor Fixed(const QColor& color) { return TColor(std::nullopt, color); }

    QColor Resolve(const QPalette& palette) const {
        return role_ ? palette.color(QPalette::Active, *role_) : fixed_;
    }
    bool operator==(const TColor& other) const {
        return role_ == other.role_ && fixed_ == other.fixed_;
    }

  private:
    TColor(std::optional<QPalette::ColorRole> role, const QColor& fixed)
        : role_(role), fixed_(fixed) {}
    std::optional<QPalette::ColorRole> role_;
    QColor fixed_;
};

inline const TColor clBtnFace = TColor::System(QPalette::Button);
inline const TColor clBtnHighlight = TColor::System(QPalette::Light);
inline const TColor cl3DLight = TColor::System(QPalette::Midlight);
inline const TColor clBtnShadow = TColor::System(QPalette::Dark);
inline const TColor clBtnText = TColor::System(QPalette::ButtonText);
inline const TColor clWindowText = TColor::System(QPalette::WindowText);
inline const TColor clWindowFrame = TColor::System(QPalette::WindowText);

enum TSide { sdLeft = 1 << 0, sdTop = 1 << 1, sdRight = 1 << 2, sdBottom = 1 << 3 };
using TSides = unsigned;  // a set of TSide
inline constexpr TSides kAllSides = sdLeft | sdTop | sdRight | sdBottom;

enum TVerticalAlignment { vaTop, vaCenter, vaBottom };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
// bvSpace keeps the room of a bevel and paints it in the panel's colour.
enum TPanelBevel { bvNone, bvLowered, bvRaised, bvSpace };
enum TBorderStyle { bsNone, bsSingle };

class TProCustomPanel : public QWidget {
    Q_OBJECT

  public:
    // Called with the panel as sender; runs under the handler guard.
    using TNotifyEvent = std::function<void(TProCustomPanel* sender)>;

    // Raised outer bevel of 1 pixel on all four sides, no inner bevel, no border, centred
    // caption (empty), colours clBtnFace.
    explicit TProCustomPanel(QWidget* parent = nullptr);

    // Every setter does nothing when the value is unchanged; otherwise it stores the value,
    // lays out the children anew where the room inside the frames changed, and repaints.
    void SetCaption(const QString& caption);
    void SetAlignment(TAlignment alignment);
    void SetBevelInner(TPanelBevel bevel);
    void SetBevelOuter(TPanelBevel bevel);
    void SetBevelWidth(int width);
    void SetBorderWidth(int width);
    void SetBorderStyle(TBorderStyle style);
    void SetColor(const TColor& color);
    void SetFontColor(const TColor& color);
    // Also sets BevelWidth: 2 when switched on, 1 when switched off.
    void SetBevelCtl3D(bool on);
    void SetBevelSides(TSides sides);
    void SetBorderColor(const TColor& color);
    void SetVerticalAlignment(TVerticalAlignment alignment);

    const QString& Caption() const { return caption_; }
    TAlignment Alignment() const { return alignment_; }
    TPanelBevel BevelInner() const { return bevelInner_; }
    TPanelBevel BevelOuter() const { return bevelOuter_; }
    int BevelWidth() const { return bevelWidth_; }
    int BorderWidth() const { return borderWidth_; }
    TBorderStyle BorderStyle() const { return borderStyle_; }
    const TColor& Color() const { return color_; }
    bool BevelCtl3D() const { return bevelCtl3D_; }
    TSides BevelSides() const { return bevelSides_; }
    const TColor& BorderColor() const { return borderColor_; }
    TVerticalAlignment VerticalAlignment() const { return verticalAlignment_; }

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

    // The area inside the window border, the bevels and the border.
    QRect CaptionArea() const;
    // Where the caption is drawn: its wrapped text's height, placed in CaptionArea by the
    // vertical alignment (centred or bottom-aligned text taller than the area overflows).
    QRect CaptionRect() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

    virtual void DoMouseEnter();
    virtual void DoMouseLeave();

    // Brings BevelWidth to 2 while BevelCtl3D is on, then gives the children the room inside
    // the frames on the bevelled sides.
    void AlignControls();

  private:
    int CaptionFlags() const;
    void Changed(bool layout);

    QString caption_;
    TAlignment alignment_ = taCenter;
    TPanelBevel bevelInner_ = bvNone;
    TPanelBevel bevelOuter_ = bvRaised;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    TBorderStyle borderStyle_ = bsNone;
    TColor color_ = clBtnFace;
    TColor fontColor_ = clWindowText;
    bool bevelCtl3D_ = false;
    TSides bevelSides_ = kAllSides;
    TColor borderColor_ = clBtnFace;
    TVerticalAlignment verticalAlignment_ = vaCenter;
};

// The control as the forms place it.
class TZezovozPanel : public TProCustomPanel {
    Q_OBJECT

  public:
    using TProCustomPanel::TProCustomPanel;
};
