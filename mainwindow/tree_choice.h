#pragma once
// The node of a read-only tree that its user sees as chosen, for the trees of the history and
// tasks pages whose commands act on one node (some of them delete without a question). Qt's
// current node is not that: a Ctrl+click takes the highlight off the current node, and the
// tree makes its first node current without selecting it when it gets the focus after a
// reload. Only a current node that is also selected is chosen, and a collapse never leaves
// the choice on a node the user cannot see.
#include <functional>

class QObject;
class QTreeWidget;
class QTreeWidgetItem;

namespace mainwindow {

// The current node when it is selected, else nullptr.
QTreeWidgetItem* ChosenNode(const QTreeWidget& tree);

// When the current node is hidden under a collapsed node, it moves to the nearest node above
// it that shows (after every node was collapsed, its top-level node): selected when it was
// chosen, else current only. Nothing happens while the current node shows.
void KeepChoiceVisible(QTreeWidget& tree);

// Calls `changed` (with `context` as the connections' context) each time the current node or
// the selection changes, once the tree's state is final for that change; and keeps the choice
// visible when the user collapses a node of the tree.
void FollowChoice(QTreeWidget& tree, QObject& context, std::function<void()> changed);

}  // namespace mainwindow
