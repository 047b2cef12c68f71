// The list box item model.
#include "frontends/qt/list_box_model.h"

#include <QSize>
#include <algorithm>
#include <climits>

namespace qm::qt {
namespace {

int ClampRows(size_t n) {
  return n > INT_MAX ? INT_MAX : static_cast<int>(n);
}

}  // namespace

ListBoxModel::ListBoxModel(const TListBox& box, int itemHeight, QObject* parent)
    : QAbstractListModel(parent),
      box_(box),
      itemHeight_(itemHeight),
      rows_(ClampRows(box.Count())) {}

int ListBoxModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_;
}

QVariant ListBoxModel::data(const QModelIndex& index, int role) const {
  const size_t row = static_cast<size_t>(index.row());
  if (!index.isValid() || row >= box_.Count()) return {};
  switch (role) {
    case Qt::DisplayRole:
      return QString::fromUtf8(box_.Line(row));
    case Qt::SizeHintRole:
      // Every line is one item high; the width is the view's, since lines are clipped.
      return QSize(1, itemHeight_);
    default:
      return {};
  }
}

void ListBoxModel::LinesAdded() {
  const int count = ClampRows(box_.Count());
  if (count <= rows_) return;
  beginInsertRows(QModelIndex(), rows_, count - 1);
  rows_ = count;
  endInsertRows();
}

void ListBoxModel::LineChanged(size_t i) {
  if (i >= static_cast<size_t>(rows_)) return;
  if (!Dirty()) {
    dirtyFirst_ = dirtyLast_ = i;
  } else {
    dirtyFirst_ = std::min(dirtyFirst_, i);
    dirtyLast_ = std::max(dirtyLast_, i);
  }
}

void ListBoxModel::Cleared() {
  beginResetModel();
  rows_ = ClampRows(box_.Count());
  dirtyFirst_ = 1;
  dirtyLast_ = 0;
  endResetModel();
}

void ListBoxModel::Flush() {
  if (!Dirty()) return;
  const QModelIndex first = index(static_cast<int>(dirtyFirst_));
  const QModelIndex last = index(static_cast<int>(dirtyLast_));
  dirtyFirst_ = 1;
  dirtyLast_ = 0;
  emit dataChanged(first, last, {Qt::DisplayRole});
}

}  // namespace qm::qt
