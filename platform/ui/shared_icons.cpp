#include "platform/ui/shared_icons.h"

#include <QApplication>
#include <QHash>
#include <QObject>
#include <QPointer>

namespace ui {

namespace {

// The made pictures, a child of the application object so that they go before it does.
class IconCache : public QObject {
  public:
    using QObject::QObject;
    QHash<QString, QIcon> icons;
};

IconCache* Cache() {
    static QPointer<IconCache> cache;
    QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr)
        return nullptr;
    if (cache == nullptr)
        cache = new IconCache(application);
    return cache;
}

}  // namespace

QIcon SharedIcon(const QString& kind, const std::function<QIcon()>& make) {
    IconCache* cache = Cache();
    if (cache == nullptr)
        return make();
    const auto found = cache->icons.constFind(kind);
    if (found != cache->icons.constEnd())
        return *found;
    const QIcon icon = make();
    cache->icons.insert(kind, icon);
    return icon;
}

QIcon ThemedIcon(const char* themeName, QStyle::StandardPixmap fallback) {
    const QString name = QString::fromLatin1(themeName);
    return SharedIcon(QStringLiteral("theme:%1:%2").arg(name).arg(static_cast<int>(fallback)),
                      [&] { return QIcon::fromTheme(name, StyleIcon(fallback)); });
}

QIcon StyleIcon(QStyle::StandardPixmap picture) {
    return SharedIcon(QStringLiteral("style:%1").arg(static_cast<int>(picture)),
                      [picture] { return QApplication::style()->standardIcon(picture); });
}

}  // namespace ui
