// The list box view.
#include "frontends/qt/list_box_view.h"

#include <QMetaObject>

#include "frontends/qt/fonts.h"

namespace qm::qt {

ListBoxView::ListBoxView(const TListBox& box, QWidget* parent)
    : QListView(parent), box_(box), model_(box, kItemHeight, this) {
  setFont(FixedFont(kItemHeight));
  setUniformItemSizes(true);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setTextElideMode(Qt::ElideNone);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  setModel(&model_);
  setVisible(box.Visible());
}

void ListBoxView::ModelChanged(Change what, size_t first) {
  switch (what) {
    case Change::kListAdded:
      model_.LinesAdded();
      break;
    case Change::kListLine:
      model_.LineChanged(first);
      ScheduleFlush();
      break;
    case Change::kListCleared:
      model_.Cleared();
      break;
    case Change::kListTop:
      topPending_ = true;
      ScheduleFlush();
      break;
    case Change::kListVisible:
      setVisible(box_.Visible());
      break;
    default:
      break;
  }
}

void ListBoxView::ScheduleFlush() {
  // One queued flush at a time: changes made between two returns to the event loop are
  // shown together.
  if (flushQueued_) return;
  flushQueued_ = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        flushQueued_ = false;
        Flush();
      },
      Qt::QueuedConnection);
}

void ListBoxView::Flush() {
  // Rows added since the last layout are laid out now, so that a repaint that runs no timer
  // (Repaint) shows them.
  executeDelayedItemsLayout();
  model_.Flush();
  if (topPending_) {
    topPending_ = false;
    const size_t top = box_.TopIndex();
    if (top < static_cast<size_t>(model_.rowCount())) {
      scrollTo(model_.index(static_cast<int>(top)), QAbstractItemView::PositionAtTop);
    }
  }
}

int ListBoxView::TopRow() const {
  const QModelIndex i = indexAt(QPoint(1, 1));
  return i.isValid() ? i.row() : 0;
}

void ListBoxView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                              const QList<int>&) {
  // Lines change their text, never their height: repaint what is on screen of the range.
  const int first = TopRow();
  const int last = first + viewport()->height() / kItemHeight + 1;
  if (bottomRight.row() >= first && topLeft.row() <= last) viewport()->update();
}

}  // namespace qm::qt
