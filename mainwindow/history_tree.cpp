#include "mainwindow/history_tree.h"

#include <QApplication>
#include <QStyle>
#include <QTreeWidget>

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "mainwindow/history_tables.h"
#include "mainwindow/named_controls.h"
#include "platform/ui/qt_text.h"
#include "platform/ui/shared_icons.h"
#include "shared/open_table.h"
#include "shared/tdm.h"

namespace {

// One direction node and its day nodes by their date text (the bytes as stored).
struct DirectionDays {
    THistoryNode* node = nullptr;
    std::unordered_map<std::string, THistoryNode*> days;
};

}  // namespace

TTreeUpdatesHeld::TTreeUpdatesHeld(QTreeWidget& tree) : tree_(tree), was_(tree.updatesEnabled()) {
    tree_.setUpdatesEnabled(false);
}

TTreeUpdatesHeld::~TTreeUpdatesHeld() {
    tree_.setUpdatesEnabled(was_);
}

THistoryImages MakeHistoryImages() {
    using mainwindow::ThemedIcon;
    return {ThemedIcon("network-server", QStyle::SP_DriveNetIcon),
            ThemedIcon("x-office-calendar", QStyle::SP_FileDialogInfoView),
            ThemedIcon("go-up", QStyle::SP_ArrowUp),
            ThemedIcon("go-down", QStyle::SP_ArrowDown),
            ui::StyleIcon(QStyle::SP_FileIcon),
            ui::StyleIcon(QStyle::SP_DirIcon)};
}

THistoryNode::THistoryNode(std::string stored, const QIcon& icon, std::int32_t siteId,
                           const rhd* record)
    : QTreeWidgetItem(kType), stored_(std::move(stored)), siteId_(siteId), record_(record) {
    setText(0, ui::ToQt(stored_));
    setIcon(0, icon);
}

const THistoryNode* AsHistoryNode(const QTreeWidgetItem* item) {
    return item != nullptr && item->type() == THistoryNode::kType
               ? static_cast<const THistoryNode*>(item)
               : nullptr;
}

int NodeLevel(const QTreeWidgetItem& item) {
    int level = 0;
    for (const QTreeWidgetItem* parent = item.parent(); parent != nullptr;
         parent = parent->parent())
        ++level;
    return level;
}

void BuildHistoryTree(QTreeWidget& tree, const THistoryImages& images,
                      const std::vector<mainwindow::HistorySite>& sites,
                      const std::vector<mainwindow::HistoryHead>& heads,
                      mainwindow::THistoryDetailsByHead details, THistoryItems& items) {
    const TTreeUpdatesHeld held(tree);
    tree.clear();
    items.clear();
    for (const mainwindow::HistorySite& row : sites) {
        const std::int32_t siteId = row.id;
        auto site =
            std::make_unique<THistoryNode>(row.name + "  (" + row.address + ")", images[0], siteId);
        DirectionDays upload{new THistoryNode("Upload", images[2], siteId), {}};
        DirectionDays download{new THistoryNode("Download", images[3], siteId), {}};
        site->addChild(upload.node);
        site->addChild(download.node);
        for (auto head = heads.rbegin(); head != heads.rend(); ++head) {
            if (head->siteId != siteId)
                continue;
            DirectionDays& direction = head->type == "Upload" ? upload : download;
            THistoryNode*& day = direction.days[head->date];
            if (day == nullptr) {
                day = new THistoryNode(head->date, images[1], siteId);
                direction.node->addChild(day);
            }
            const auto group = details.find(head->key);
            if (group == details.end())
                continue;
            QList<QTreeWidgetItem*> transfers;
            transfers.reserve(static_cast<qsizetype>(group->second.size()));
            for (rhd& detail : group->second) {
                detail.siteid = siteId;
                items.push_back(std::move(detail));
                const rhd& record = items.back();
                transfers.push_back(new THistoryNode(record.lofile, images[record.isfolder ? 5 : 4],
                                                     siteId, &record));
            }
            // A head key is unique: its details are used once.
            details.erase(group);
            day->addChildren(transfers);
        }
        tree.addTopLevelItem(site.release());
    }
}

void LoadHistoryTree(QTreeWidget& tree, const THistoryImages& images, Tdm& data,
                     THistoryItems& items) {
    // The old nodes point at the old records: both go before anything is read.
    tree.clear();
    items.clear();
    std::vector<mainwindow::HistorySite> sites;
    std::vector<mainwindow::HistoryHead> heads;
    mainwindow::THistoryDetailsByHead details;
    {
        OpenTable siteTable(*data.Tftpsite);
        OpenTable headTable(*data.Thm);
        OpenTable detailTable(*data.Thd);
        sites = mainwindow::ReadHistorySites(*siteTable);
        heads = mainwindow::ReadHistoryHeads(*headTable);
        details = mainwindow::ReadHistoryDetailsByHead(*detailTable);
    }
    BuildHistoryTree(tree, images, sites, heads, std::move(details), items);
}
