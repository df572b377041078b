#pragma once
// The two item views of a ui::ListView (the report view and the icon view for the other three
// styles). Beyond the plain Qt views they start a drag with the list's own payload, hand every
// drag over and drop to the list instead of the model, and report every double click to the
// list's OnDblClick, on a row or on empty space (a list with no rows takes double clicks too).
//
// Both are children of `parent` and keep a reference to `owner`, which must outlive them (it
// does: the views are the owner's grandchildren).
class QListView;
class QTreeView;
class QWidget;

namespace ui {

class ListView;

QTreeView* MakeReportView(ListView& owner, QWidget* parent);
QListView* MakeIconView(ListView& owner, QWidget* parent);

}  // namespace ui
