// TForm1: the main window as plain C++. It owns the run settings, the log, the tree, the entry
// list and the component models, and its handlers are start-up, the run, the menu commands,
// the control message and shutdown. A front end renders the models and calls the handlers.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/settings.h"
#include "cleanup/pass_host.h"
#include "log/run_log.h"
#include "platform/clock.h"
#include "platform/forms.h"
#include "platform/fs.h"
#include "tree/entry_list.h"
#include "tree/file_info.h"
#include "ui/control_message.h"

namespace qm {

struct PassWork;

// The passes see the window only through PassHost, which it implements privately.
class TForm1 : private PassHost {
 public:
  // Design sizes of the window.
  static constexpr int kLeft = 263;
  static constexpr int kTop = 119;
  static constexpr int kWidth = 438;
  static constexpr int kHeight = 358;
  static constexpr int kPanel1Height = 146;

  TForm1(std::vector<std::string> params, TApplication& app, FileSystem& fs, Clock& clock);
  ~TForm1() override;
  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

  // Start-up. False when the process is to end now (refused command line, missing folder).
  bool FormCreate();
  // Shutdown: releases the entries, logs the closing line, closes the log.
  void FormClose();
  // Asks the window to close. During a run or pass the close waits for its end; a second
  // request meanwhile also stops the work at its next event point (a pass before its next
  // entry, no pass after a search), so that the run reaches its last stage and the close soon.
  void Close();
  bool Closed() const { return closed_; }
  // True once a second close request has asked the work in progress to stop.
  bool StopRequested() const { return stopRequested_; }

  void Timer1Timer();
  void N1Click();      // "リスト表示"
  void N2Click();      // "削除実行"
  void Exit1Click();   // "終了(&X)"
  void About1Click();  // "バージョン情報"
  // Returns the message's result (0).
  intptr_t ControlMessage(uint32_t msg, uintptr_t wParam, intptr_t lParam);

  bool ReadParameters();
  bool DeleteFiles(TDateTime startTime);
  bool RemoveFolders(TDateTime startTime);
  void WriteResultListing();
  void FreeEntryList();
  // True while a run or a pass is in progress (requests then wait or are refused).
  bool Busy() const { return busy_ > 0; }

  // Tells the front end of every model change.
  void SetObserver(ModelObserver* observer);

  // Run settings.
  RunSettings Settings;

  // Component models.
  TLabel DirectoryLbl{"Directory"};
  TLabel DaysLbl{"Days"};
  TLabel DateLbl{"Date"};
  TLabel DebugMode{"DebugMode"};
  TLabel DirDelLbl{"DirDelLbl"};
  TLabel LogLbl{"LogLbl"};
  TLabel LogFileLbl{"LogFileLbl"};
  TListBox ListBox1;
  TStatusBar StatBar;
  TTimer Timer1;
  // Window state: height and visibility, and the application-wide cursor.
  int Height() const { return height_; }
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  TCursor Cursor() const { return cursor_; }

  // Run state. The entries refer to the nodes of the tree they were filled from: TreeRoot, or
  // while a new search runs, the previous tree kept aside until the list is filled again.
  TRunLog Log;
  std::unique_ptr<TFileInfo> TreeRoot;
  TEntryList EntryList;
  std::unique_ptr<LineStore> ListingLines;

 private:
  void SetHeight(int h);
  void SetCursor(TCursor c);
  enum class AfterReport { kRepaint, kProcessEvents };
  // Status panel 0 gets the text, panel 1 the seconds since `start` (without one, panel 1 keeps
  // what it shows); both, joined, become one normal log line; then a repaint or the events.
  void ShowStage(const char* text, std::optional<TDateTime> start, AfterReport after);
  void AfterActivity();
  PassWork Work();
  // Before a search replaces TreeRoot: keeps the tree the entry list refers to, so that a
  // failed search leaves the previous run's entries intact.
  void KeepListedTree();

  // PassHost
  void ReportStage(const char* text, TDateTime start) override;
  void MarkLine(size_t i) override;
  void ScrollTo(size_t i) override;
  bool EventPoint() override;
  void WalkEnded(PassKind kind) override;
  void Failed(const char* text) noexcept override;

  std::unique_ptr<TFileInfo> listedTree_;
  std::vector<std::string> params_;
  TApplication& app_;
  FileSystem& fs_;
  Clock& clock_;
  ModelObserver* observer_ = nullptr;
  int height_ = kHeight;
  bool visible_ = false;
  TCursor cursor_ = TCursor::kDefault;
  int busy_ = 0;
  bool closePending_ = false;
  bool stopRequested_ = false;
  bool runDeferred_ = false;
  bool closed_ = false;
};

}  // namespace qm
