#pragma once
// For tests only: edits a list view's caption in place as the user does, typing `text` into
// the editor and confirming it.
#include <gtest/gtest.h>

#include <QAbstractItemDelegate>
#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>

#include "platform/ui/list_view.h"

namespace ui {

inline void EditCaptionInPlace(ListView& list, int row, const QString& text) {
    list.EditCaption(row);
    QAbstractItemView* view = list.CurrentView();
    auto* editor = view->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr) << "no editor opened on row " << row;
    editor->setText(text);
    // What the delegate does when the user confirms the edit.
    emit view->itemDelegate()->commitData(editor);
    emit view->itemDelegate()->closeEditor(editor, QAbstractItemDelegate::SubmitModelCache);
    // The closed editor is freed only as a deferred delete.
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace ui
