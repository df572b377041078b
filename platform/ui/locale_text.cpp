#include "platform/ui/locale_text.h"

#include <QDate>
#include <QLocale>

namespace ui {

namespace {

QLocale UserLocale() {
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

}  // namespace

std::string FormatFixed2(double value) {
    return UserLocale().toString(value, 'f', 2).toStdString();
}

std::string FormatGeneral(double value) {
    return UserLocale().toString(value, 'g', 15).toStdString();
}

std::string LongDateText(const os::LocalDateTime& moment) {
    const QDate date(moment.year, moment.month, moment.day);
    return QLocale().toString(date, QLocale::LongFormat).toStdString();
}

}  // namespace ui
