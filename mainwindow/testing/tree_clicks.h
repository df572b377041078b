#pragma once
// For tests only: mouse clicks on a tree's nodes as the user gives them (through the view's
// own mouse handling, so the tree's current node and its selection change as they do for a
// real click).
#include <QTest>
#include <QTreeWidget>

namespace mainwindow::testing {

// A left click on the node's text, with `modifiers` held (Qt::ControlModifier for Ctrl+click).
inline void ClickNode(QTreeWidget& tree, QTreeWidgetItem* node,
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    tree.scrollToItem(node);
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, modifiers,
                      tree.visualItemRect(node).center());
}

// A left click on the node's branch sign, which collapses or expands it.
inline void ClickBranch(QTreeWidget& tree, QTreeWidgetItem* node) {
    tree.scrollToItem(node);
    const QRect row = tree.visualItemRect(node);
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(row.left() - tree.indentation() / 2, row.center().y()));
}

}  // namespace mainwindow::testing
