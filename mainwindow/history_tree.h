#pragma once
// The history tree's nodes and its load. Four levels: site ("name  (address)"), direction
// ("Upload" first, "Download" second), day (the head's date text) and transfer (the detail's
// local name). Every node carries the `ftpsite.id` of the site whose subtree holds it; a
// transfer node also points at its record in the page's THistoryItems.
#include <QIcon>
#include <QTreeWidgetItem>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "mainwindow/history_record.h"
#include "mainwindow/history_tables.h"

class QTreeWidget;
class Tdm;

// The six pictures of the tree: 0 site, 1 day, 2 upload, 3 download, 4 file, 5 folder.
using THistoryImages = std::array<QIcon, 6>;
THistoryImages MakeHistoryImages();

class THistoryNode : public QTreeWidgetItem {
  public:
    static constexpr int kType = QTreeWidgetItem::UserType + 23;
    // `stored` is the node's text as the table holds it (kept for day nodes, whose head is
    // found by it).
    THistoryNode(std::string stored, const QIcon& icon, std::int32_t siteId,
                 const rhd* record = nullptr);

    std::int32_t SiteId() const { return siteId_; }
    // The transfer's record (owned by the page's THistoryItems); null above the transfer level.
    const rhd* Record() const { return record_; }
    const std::string& StoredText() const { return stored_; }

  private:
    std::string stored_;
    std::int32_t siteId_;
    const rhd* record_;
};

// Keeps the tree from drawing while one action changes it, and draws it once afterwards, also
// when the action throws.
class TTreeUpdatesHeld {
  public:
    explicit TTreeUpdatesHeld(QTreeWidget& tree);
    ~TTreeUpdatesHeld();
    TTreeUpdatesHeld(const TTreeUpdatesHeld&) = delete;
    TTreeUpdatesHeld& operator=(const TTreeUpdatesHeld&) = delete;

  private:
    QTreeWidget& tree_;
    bool was_;
};

// The node as a history node; null for anything else (or null).
const THistoryNode* AsHistoryNode(const QTreeWidgetItem* item);
// 0 site, 1 direction, 2 day, 3 transfer.
int NodeLevel(const QTreeWidgetItem& item);

// Builds the tree from rows already read: removes every node and empties `items`, then adds
// every site of `sites` in order with both direction nodes; under them the site's heads from
// the last of `heads` to the first, each on the day node of its date text (made at the end
// when the direction has none yet: heads of one day and direction share it); under a head's
// day node its details in their order. The details' records move into `items`. Each site's
// subtree enters the tree whole, and the tree is drawn once, at the end.
void BuildHistoryTree(QTreeWidget& tree, const THistoryImages& images,
                      const std::vector<mainwindow::HistorySite>& sites,
                      const std::vector<mainwindow::HistoryHead>& heads,
                      mainwindow::THistoryDetailsByHead details, THistoryItems& items);

// Rebuilds the tree from `ftpsite`, `hmaster` and `hdital` of `data`, each read once, as
// BuildHistoryTree says. Throws the tables' errors: the tables are closed again, and the tree
// and `items` are left empty.
void LoadHistoryTree(QTreeWidget& tree, const THistoryImages& images, Tdm& data,
                     THistoryItems& items);
