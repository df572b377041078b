#pragma once
// The banner bar across the top of the main window: a banner panel 34 pixels high with no
// outer bevel and a single border, filled by two stretched images (Image2, 303 pixels wide at
// the right, Image3 taking the rest), with six flat 70 by 22 buttons in white bold captions
// over them, from the left: "Options", "Feedback", "Homepage", "Help", "About", "Exit".
#include "mainwindow/zezovoz_panel.h"

class QLabel;
class QToolButton;

class TBannerBar : public TZezovozPanel {
    Q_OBJECT

  public:
    explicit TBannerBar(QWidget* parent = nullptr);

    QLabel* Image2;
    QLabel* Image3;
    QToolButton* SpeedButton1;  // "Options"
    QToolButton* SpeedButton3;  // "Feedback"
    QToolButton* SpeedButton4;  // "Homepage"
    QToolButton* SpeedButton5;  // "Help"
    QToolButton* SpeedButton6;  // "About"
    QToolButton* SpeedButton2;  // "Exit"
};
