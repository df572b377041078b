#include "platform/ui/help_viewer.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

#include "platform/ui/control_sizes.h"
#include "platform/ui/handler_guard.h"
#include "platform/ui/help_markup.h"
#include "platform/ui/qt_text.h"

namespace ui {

namespace {

constexpr const char* kLinkScheme = "topic";
const QString kWindowTitle = QStringLiteral("Zantrope Help");

QString Escaped(const std::string& text) {
    return ToQt(text).toHtmlEscaped();
}

QString SpansHtml(const HelpBlock& block) {
    QString html;
    for (const HelpSpan& span : block.spans) {
        if (span.link.empty()) {
            html += Escaped(span.text);
        } else {
            QUrl url;
            url.setScheme(QString::fromLatin1(kLinkScheme));
            url.setPath(ToQt(span.link));
            html += QStringLiteral("<a href=\"%1\">%2</a>")
                        .arg(url.toString(QUrl::FullyEncoded).toHtmlEscaped(), Escaped(span.text));
        }
    }
    return html;
}

QString TopicHtml(const HelpTopic& topic, const HelpMarkup& markup) {
    QString html = QStringLiteral("<h2>%1</h2>").arg(Escaped(topic.title));
    bool inList = false;
    for (const HelpBlock& block : markup.blocks) {
        const bool item = block.kind == HelpBlockKind::kItem;
        if (item != inList)
            html += item ? QStringLiteral("<ul>") : QStringLiteral("</ul>");
        inList = item;
        switch (block.kind) {
            case HelpBlockKind::kHeading:
                html += QStringLiteral("<h3>%1</h3>").arg(SpansHtml(block));
                break;
            case HelpBlockKind::kItem:
                html += QStringLiteral("<li>%1</li>").arg(SpansHtml(block));
                break;
            case HelpBlockKind::kParagraph:
                html += QStringLiteral("<p>%1</p>").arg(SpansHtml(block));
                break;
        }
    }
    if (inList)
        html += QStringLiteral("</ul>");
    return html;
}

constexpr int kContextRole = Qt::UserRole;
constexpr int kTopicRole = Qt::UserRole + 1;  // the topic's place in the file

}  // namespace

namespace {

// A plain widget is a "filler" to a screen reader even as a window of its own: the help
// window tells itself as a window, as the main window does.
QAccessibleInterface* HelpWindowAccessible(const QString& key, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget == nullptr || key != QLatin1String(THelpViewer::staticMetaObject.className()))
        return nullptr;
    return new QAccessibleWidget(widget, QAccessible::Window);
}

}  // namespace

THelpViewer::THelpViewer(QWidget* parent) : QWidget(parent, Qt::Window) {
    static const bool accessibleAsWindow =
        (QAccessible::installFactory(&HelpWindowAccessible), true);
    (void)accessibleAsWindow;
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(kWindowTitle);
    auto* layout = new QVBoxLayout(this);
    auto* buttons = new QHBoxLayout;
    layout->addLayout(buttons);
    auto button = [&](const char* name, const char* caption) {
        auto* made = new QPushButton(QString::fromUtf8(caption), this);
        made->setObjectName(QString::fromLatin1(name));
        made->setAutoDefault(false);
        buttons->addWidget(made);
        return made;
    };
    ContentsButton = button("ContentsButton", "&Contents");
    BackButton = button("BackButton", "&Back");
    TopicsButton = button("TopicsButton", "&Find topics");
    buttons->addStretch();

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    layout->addWidget(splitter, 1);
    FinderPanel = new QWidget(splitter);
    FinderPanel->setObjectName(QStringLiteral("FinderPanel"));
    auto* finder = new QVBoxLayout(FinderPanel);
    finder->setContentsMargins(0, 0, 0, 0);
    FindLabel = new QLabel(QStringLiteral("&Type the words to find:"), FinderPanel);
    FindEdit = new QLineEdit(FinderPanel);
    FindEdit->setObjectName(QStringLiteral("FindEdit"));
    FindEdit->setAccessibleName(QStringLiteral("Words to find"));
    FindEdit->setClearButtonEnabled(true);
    FindLabel->setBuddy(FindEdit);
    TopicList = new QListWidget(FinderPanel);
    TopicList->setObjectName(QStringLiteral("TopicList"));
    TopicList->setAccessibleName(QStringLiteral("Help topics"));
    finder->addWidget(FindLabel);
    finder->addWidget(FindEdit);
    finder->addWidget(TopicList, 1);
    TopicText = new QTextBrowser(splitter);
    TopicText->setObjectName(QStringLiteral("TopicText"));
    TopicText->setAccessibleName(QStringLiteral("Help topic"));
    TopicText->setOpenLinks(false);
    splitter->addWidget(FinderPanel);
    splitter->addWidget(TopicText);
    splitter->setStretchFactor(1, 1);

    // Room for some 90 characters of text beside a list of 30, and 36 lines (design sizes
    // of 6 pixels a character and 13 a line).
    resize(ScaledSize(*this, 120 * 6, 36 * 13));
    splitter->setSizes({ScaledWidth(*this, 30 * 6), ScaledWidth(*this, 90 * 6)});

    connect(ContentsButton, &QPushButton::clicked, this, Guarded([this] {
                if (!current_.empty())
                    history_.push_back(current_);
                Open(kHelpIndexTopic);
            }));
    connect(BackButton, &QPushButton::clicked, this, Guarded([this] { GoBack(); }));
    connect(TopicsButton, &QPushButton::clicked, this, Guarded([this] {
                SetFinderShown(!FinderShown());
                if (FinderShown())
                    FindEdit->setFocus();
            }));
    connect(FindEdit, &QLineEdit::textChanged, this,
            Guarded([this](const QString& words) { Narrow(words); }));
    connect(FindEdit, &QLineEdit::returnPressed, this, Guarded([this] { OpenListed(); }));
    connect(TopicList, &QListWidget::itemActivated, this, Guarded([this] { OpenListed(); }));
    connect(TopicList, &QListWidget::itemClicked, this, Guarded([this] { OpenListed(); }));
    connect(TopicText, &QTextBrowser::anchorClicked, this,
            Guarded([this](const QUrl& link) { LinkClicked(link); }));
    BackButton->setEnabled(false);
}

void THelpViewer::ShowTopic(const std::string& helpFile, const std::string& topic) {
    history_.clear();
    if (!Load(helpFile))
        return;
    SetFinderShown(false);
    Open(topic);
}

void THelpViewer::ShowFinder(const std::string& helpFile) {
    history_.clear();
    const bool loaded = Load(helpFile);
    SetFinderShown(true);
    FindEdit->setFocus();
    if (!loaded)
        return;
    if (FindHelpTopic(topics_, kHelpIndexTopic) != nullptr)
        Open(kHelpIndexTopic);
    else
        ShowMessage(QStringLiteral("Choose a topic from the list."));
}

bool THelpViewer::FinderShown() const {
    return !FinderPanel->isHidden();
}

QStringList THelpViewer::ListedTitles() const {
    QStringList titles;
    for (int row = 0; row < TopicList->count(); ++row) {
        if (!TopicList->item(row)->isHidden())
            titles << TopicList->item(row)->text();
    }
    return titles;
}

bool THelpViewer::Load(const std::string& helpFile) {
    file_ = helpFile;
    topics_.clear();
    searchText_.clear();
    TopicList->clear();
    FindEdit->clear();
    try {
        topics_ = ReadHelpFile(helpFile);
    } catch (const HelpFileError& error) {
        ShowMessage(QString::fromUtf8(error.what()));
        return false;
    }
    // The index first, then the topics by title.
    std::vector<std::size_t> order(topics_.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    const HelpTopic* index = FindHelpTopic(topics_, kHelpIndexTopic);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const bool aIndex = &topics_[a] == index;
        const bool bIndex = &topics_[b] == index;
        if (aIndex != bIndex)
            return aIndex;
        return ToQt(topics_[a].title).compare(ToQt(topics_[b].title), Qt::CaseInsensitive) < 0;
    });
    for (const HelpTopic& topic : topics_) {
        searchText_.push_back(
            (ToQt(topic.title) + u'\n' + ToQt(HelpPlainText(ParseHelpMarkup(topic.text))))
                .toCaseFolded());
    }
    for (const std::size_t i : order) {
        auto* item = new QListWidgetItem(ToQt(topics_[i].title), TopicList);
        item->setData(kContextRole, ToQt(topics_[i].context));
        item->setData(kTopicRole, static_cast<qulonglong>(i));
    }
    return true;
}

bool THelpViewer::Open(const std::string& context) {
    const HelpTopic* topic = FindHelpTopic(topics_, context);
    if (topic == nullptr) {
        ShowMessage(QStringLiteral("The help file \"%1\" has no topic \"%2\". Choose a topic "
                                   "from the list.")
                        .arg(ToQt(file_), ToQt(context)));
        SetFinderShown(true);
        return false;
    }
    current_ = topic->context;
    message_.clear();
    TopicText->setHtml(TopicHtml(*topic, ParseHelpMarkup(topic->text)));
    setWindowTitle(kWindowTitle + QStringLiteral(" - ") + ToQt(topic->title));
    for (int row = 0; row < TopicList->count(); ++row) {
        if (TopicList->item(row)->data(kContextRole).toString() == ToQt(current_)) {
            TopicList->setCurrentRow(row);
            break;
        }
    }
    BackButton->setEnabled(!history_.empty());
    return true;
}

void THelpViewer::ShowMessage(const QString& message) {
    current_.clear();
    message_ = message;
    TopicText->setHtml(
        QStringLiteral("<h2>Help cannot be shown</h2><p>%1</p>").arg(message.toHtmlEscaped()));
    setWindowTitle(kWindowTitle);
    BackButton->setEnabled(!history_.empty());
}

void THelpViewer::SetFinderShown(bool shown) {
    FinderPanel->setVisible(shown);
}

void THelpViewer::Narrow(const QString& words) {
    const QStringList wanted = words.toCaseFolded().split(u' ', Qt::SkipEmptyParts);
    for (int row = 0; row < TopicList->count(); ++row) {
        QListWidgetItem* item = TopicList->item(row);
        const QString& text = searchText_[item->data(kTopicRole).toULongLong()];
        item->setHidden(!std::all_of(wanted.begin(), wanted.end(),
                                     [&](const QString& word) { return text.contains(word); }));
    }
}

void THelpViewer::OpenListed() {
    QListWidgetItem* item = TopicList->currentItem();
    if (item == nullptr || item->isHidden()) {
        item = nullptr;
        for (int row = 0; row < TopicList->count() && item == nullptr; ++row) {
            if (!TopicList->item(row)->isHidden())
                item = TopicList->item(row);
        }
    }
    if (item == nullptr)
        return;
    const std::string context = FromQt(item->data(kContextRole).toString());
    if (context == current_)
        return;
    if (!current_.empty())
        history_.push_back(current_);
    Open(context);
}

void THelpViewer::LinkClicked(const QUrl& link) {
    if (link.scheme() != QString::fromLatin1(kLinkScheme))
        return;
    if (!current_.empty())
        history_.push_back(current_);
    Open(FromQt(link.path()));
}

void THelpViewer::GoBack() {
    if (history_.empty())
        return;
    const std::string previous = history_.back();
    history_.pop_back();
    Open(previous);
}

}  // namespace ui
