// Form1 on screen: renders TForm1's component models (labels, list box, status bar, height,
// visibility, cursor), runs Timer1 as a Qt timer, and turns the menu, the close box and the
// timer into calls of TForm1's handlers.
#pragma once

#include <QMainWindow>
#include <QTimer>
#include <cstddef>
#include <functional>

#include "frontends/qt/list_box_view.h"
#include "frontends/qt/settings_panel.h"
#include "frontends/qt/status_bar_view.h"
#include "platform/forms.h"
#include "ui/form1.h"

namespace qm::qt {

class MainWindow : public QMainWindow, public ModelObserver {
 public:
  // What the frame, caption and menu bar of the design system add to the client area.
  static constexpr int kDesignFrameWidth = 8;
  static constexpr int kDesignFrameHeight = 46;

  // `onFailure` shows what escaped a handler (a handler's failure never ends the program).
  MainWindow(TForm1& form, std::function<void(const std::string&)> onFailure);
  ~MainWindow() override;

  void ModelChanged(Change what, size_t first, size_t count) override;
  // Brings coalesced list changes to the screen.
  void FlushPending() { list_->Flush(); }
  // The outer height of the design the window currently stands for.
  int DesignHeight() const;

  ListBoxView& ListBox() { return *list_; }
  StatusBarView& StatusBar() { return *status_; }
  QTimer& Timer() { return timer_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenu();
  void ApplyHeight();
  void ApplyCursor();
  void TimerChanged();
  // Runs a handler of TForm1, keeping any failure from escaping into the event loop.
  void Dispatch(const std::function<void()>& handler);

  TForm1& form_;
  std::function<void(const std::string&)> onFailure_;
  SettingsPanel* panel_ = nullptr;
  ListBoxView* list_ = nullptr;
  StatusBarView* status_ = nullptr;
  QTimer timer_;
  bool waitCursor_ = false;
};

}  // namespace qm::qt
