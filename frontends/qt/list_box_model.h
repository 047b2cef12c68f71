// ListBox1's lines as a Qt item model, read straight from the TListBox model. Appends and
// clears are passed on at once, so the row count never runs ahead of what the view was told;
// changed lines are gathered into one range that Flush announces, so a pass that marks a line
// per entry costs the view one update per paint instead of one per line.
#pragma once

#include <QAbstractListModel>
#include <cstddef>

#include "platform/forms.h"

namespace qm::qt {

class ListBoxModel : public QAbstractListModel {
 public:
  ListBoxModel(const TListBox& box, int itemHeight, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  void LinesAdded();
  void LineChanged(size_t i);
  void Cleared();
  bool Dirty() const { return dirtyFirst_ <= dirtyLast_; }
  // Announces the lines changed since the last call, as one range.
  void Flush();

 private:
  const TListBox& box_;
  int itemHeight_;
  int rows_ = 0;
  size_t dirtyFirst_ = 1;
  size_t dirtyLast_ = 0;
};

}  // namespace qm::qt
