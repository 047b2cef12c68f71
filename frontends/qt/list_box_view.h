// ListBox1 on screen: a multi-selection QListView with uniform item heights over ListBoxModel.
// A changed line repaints the rows on screen only (the base class would lay every row out
// again, which on a million rows costs tens of milliseconds per line), and changed lines and the
// top line reach the screen when the window paints, not on every change.
#pragma once

#include <QListView>
#include <cstddef>

#include "frontends/qt/list_box_model.h"
#include "platform/forms.h"

namespace qm::qt {

class ListBoxView : public QListView {
 public:
  static constexpr int kItemHeight = 12;

  ListBoxView(const TListBox& box, QWidget* parent = nullptr);
  ListBoxModel& Model() { return model_; }

  // A change of the TListBox model (lines, top line, visibility).
  void ModelChanged(Change what, size_t first);
  // Brings the screen up to date with the model: changed lines and the top line.
  void Flush();
  // The first row on screen.
  int TopRow() const;

 protected:
  void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                   const QList<int>& roles) override;

 private:
  void ScheduleFlush();

  const TListBox& box_;
  ListBoxModel model_;
  bool topPending_ = false;
  bool flushQueued_ = false;
};

}  // namespace qm::qt
