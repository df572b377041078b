#include "shared/tab_sheet.h"

#include <QTabWidget>

#include "platform/ui/qt_text.h"

namespace {

// Site names are no mnemonics: "&" shows as itself.
QString TabText(const std::string& caption) {
    return ui::ToQt(caption).replace(QLatin1Char('&'), QLatin1String("&&"));
}

}  // namespace

TTabSheet::TTabSheet(QTabWidget& pageControl, const QString& objectName, const std::string& caption,
                     int tag)
    : QWidget(&pageControl), pageControl_(pageControl), caption_(caption), tag_(tag) {
    setObjectName(objectName);
    pageControl_.addTab(this, TabText(caption_));
}

void TTabSheet::SetCaption(const std::string& caption) {
    caption_ = caption;
    pageControl_.setTabText(PageIndex(), TabText(caption_));
}

bool TTabSheet::TabVisible() const {
    return pageControl_.isTabVisible(PageIndex());
}

void TTabSheet::SetTabVisible(bool visible) {
    pageControl_.setTabVisible(PageIndex(), visible);
}

int TTabSheet::PageIndex() const {
    return pageControl_.indexOf(const_cast<TTabSheet*>(this));
}
