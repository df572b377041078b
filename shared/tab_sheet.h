#pragma once
// A tab sheet of a page control: a page widget with the caption and tag the program finds its
// pages by. The caption is the text as the program holds it (a site name); the tab shows it
// with "&" kept literal.
#include <QWidget>

#include <string>

class QTabWidget;

class TTabSheet : public QWidget {
    Q_OBJECT

  public:
    // Appends the sheet to `pageControl` (which owns it) with that object name, caption and tag.
    TTabSheet(QTabWidget& pageControl, const QString& objectName, const std::string& caption,
              int tag);

    int Tag() const { return tag_; }
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);

    bool TabVisible() const;
    void SetTabVisible(bool visible);
    // The sheet's index in its page control.
    int PageIndex() const;
    // The number of the image its tab shows (-1: none); the caller sets the icon with it.
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int image) { imageIndex_ = image; }

  private:
    QTabWidget& pageControl_;
    std::string caption_;
    int tag_;
    int imageIndex_ = -1;
};
