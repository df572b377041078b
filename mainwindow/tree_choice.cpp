#include "mainwindow/tree_choice.h"

#include <QItemSelectionModel>
#include <QTreeWidget>

namespace mainwindow {

QTreeWidgetItem* ChosenNode(const QTreeWidget& tree) {
    QTreeWidgetItem* current = tree.currentItem();
    return current != nullptr && current->isSelected() ? current : nullptr;
}

void KeepChoiceVisible(QTreeWidget& tree) {
    QTreeWidgetItem* current = tree.currentItem();
    if (current == nullptr)
        return;
    // The highest collapsed node above the current one is the nearest that shows.
    QTreeWidgetItem* shown = current;
    for (QTreeWidgetItem* parent = current->parent(); parent != nullptr;
         parent = parent->parent()) {
        if (!parent->isExpanded())
            shown = parent;
    }
    if (shown == current)
        return;
    if (current->isSelected())
        tree.setCurrentItem(shown);  // selected and current, the selection before cleared
    else
        tree.setCurrentItem(shown, 0, QItemSelectionModel::NoUpdate);
}

void FollowChoice(QTreeWidget& tree, QObject& context, std::function<void()> changed) {
    // A click makes the node current before it selects it, a program selects before it makes
    // current: following both signals ends on the final state either way. A click on the
    // current node that was not selected changes only the selection.
    QObject::connect(&tree, &QTreeWidget::currentItemChanged, &context, [changed] { changed(); });
    QObject::connect(&tree, &QTreeWidget::itemSelectionChanged, &context, changed);
    QObject::connect(&tree, &QTreeWidget::itemCollapsed, &context,
                     [&tree] { KeepChoiceVisible(tree); });
}

}  // namespace mainwindow
