// The main window's handlers: start-up, the timer-driven run, the menu commands, the control
// message and shutdown. A request that arrives while a run or pass is active (through the
// event processing inside it) never frees or rebuilds what the active work uses: a close waits
// for its end, a timer run is deferred until then, a second deletion is refused. A second close
// meanwhile stops the work at its next event point; the run still reports its last stage.
#include "ui/form1.h"

#include "cleanup/passes.h"
#include "log/result_listing.h"

namespace qm {
namespace {

const char* const kStageSearch = "ファイル検索処理中です";
const char* const kStageBuild = "内部構築処理中です";
const char* const kStageSearched = "検索処理が終了しました";
const char* const kStageListing = "一覧表示処理中です";
const char* const kStageDone = "一連の処理が終了しました";
const char* const kSearchError = "■ファイル検索処理でエラーが発生しました■";
const char* const kInternalError = "■内部処理でエラーが発生しました■";
const char* const kClosing = "Quillmoor削除終了しました";
// Appended to the list line of each entry a pass has processed.
const char* const kProcessedMark = "○";
// The earliest date the calendar holds; a cutoff before it deletes nothing.
const char* const kEarliestDate = "0001/01/01";

}  // namespace

TForm1::TForm1(std::vector<std::string> params, TApplication& app, FileSystem& fs, Clock& clock)
    : Log(clock), params_(std::move(params)), app_(app), fs_(fs), clock_(clock) {}

TForm1::~TForm1() {
  // The entries refer to tree nodes: they go first.
  EntryList.clear();
}

void TForm1::SetObserver(ModelObserver* observer) {
  observer_ = observer;
  for (TComponent* c :
       std::initializer_list<TComponent*>{&DirectoryLbl, &DaysLbl, &DateLbl, &DebugMode, &DirDelLbl,
                                          &LogLbl, &LogFileLbl, &ListBox1, &StatBar, &Timer1}) {
    c->Observer = observer;
  }
}

void TForm1::SetHeight(int h) {
  height_ = h;
  if (observer_ != nullptr) observer_->ModelChanged(Change::kFormHeight, 0, 0);
}

void TForm1::SetVisible(bool v) {
  visible_ = v;
  if (observer_ != nullptr) observer_->ModelChanged(Change::kFormVisible, 0, 0);
}

void TForm1::SetCursor(TCursor c) {
  cursor_ = c;
  if (observer_ != nullptr) observer_->ModelChanged(Change::kCursor, 0, 0);
}

bool TForm1::ReadParameters() {
  const std::string message = ParseParameters(params_, Settings);
  if (message.empty()) return true;
  app_.ShowErrorBox(message);
  return false;
}

bool TForm1::FormCreate() {
  EntryList.clear();
  if (!ReadParameters()) return false;
  // A log that cannot be opened switches logging off for the process, and the labels say so.
  if (!Log.OpenLog(Settings.LogPath, Settings.LogLevel, Settings.LogRenew == -1)) {
    Settings.LogLevel = -1;
  }

  DirectoryLbl.SetCaption(Settings.TargetDir);
  CivilTime cutoff;
  DateLbl.SetCaption(DaysBefore(FromDateTime(clock_.Now()), Settings.DaysCount, cutoff)
                         ? FormatDate(cutoff)
                         : kEarliestDate);
  DaysLbl.SetCaption(std::to_string(Settings.DaysCount));
  DirDelLbl.SetCaption(Settings.DirDelete == 0 ? "フォルダを削除する" : "フォルダを削除しない");
  DebugMode.SetCaption(Settings.DebugLevel == 1 ? "手動操作で実行します"
                       : Settings.DebugLevel == 2 ? "手動操作で実行(ｼﾐｭﾚｰﾄ:削除は行わない)"
                                                  : "自動動作中です");
  LogLbl.SetCaption(Settings.LogLevel == 0   ? "通常ログを出力"
                    : Settings.LogLevel == 1 ? "詳細ログを出力"
                                             : "ログ出力しない");
  LogFileLbl.SetCaption(Settings.LogPath);

  Log.WriteLog(0, "Quillmoor削除処理を開始しました 処理内容は以下の通りです----------------");
  Log.WriteLog(0, " ・対象フォルダ:" + DirectoryLbl.Caption());
  Log.WriteLog(0, " ・削除日数　  :" + DaysLbl.Caption());
  Log.WriteLog(0, " ・削除開始日　:" + DateLbl.Caption());
  Log.WriteLog(0, " ・フォルダ処理:" + DirDelLbl.Caption());
  Log.WriteLog(0, " ・ログ出力　　:" + LogLbl.Caption());
  Log.WriteLog(0, " ・ログファイル:" + LogFileLbl.Caption());
  Log.WriteLog(0, Settings.DebugLevel == 1 ? " ・処理方法　　:画面表示し手操作"
                  : Settings.DebugLevel == 2
                      ? " ・処理方法　　:画面表示し手操作かつファイル削除なしのシミュレート"
                      : " ・処理方法　　:自動処理");

  if (!fs_.FolderExists(Settings.TargetDir)) {
    Log.WriteLog(0, "   対象フォルダが存在しません:" + DirectoryLbl.Caption());
    Log.WriteLog(0, "   続行不能のため終了します");
    Log.CloseLog();
    return false;
  }

  TreeRoot = std::make_unique<TFileInfo>();
  ListingLines = std::make_unique<LineStore>();
  if (Settings.DebugLevel > 0) {
    ListBox1.SetVisible(true);
  } else {
    SetHeight(kPanel1Height + TStatusBar::kHeight + 52);
    Timer1.SetEnabled(true);
  }
  SetVisible(true);
  return true;
}

void TForm1::FreeEntryList() {
  EntryList.clear();
  EntryList.shrink_to_fit();
  listedTree_.reset();
}

void TForm1::KeepListedTree() {
  if (listedTree_ || EntryList.empty()) return;
  listedTree_ = std::move(TreeRoot);
  TreeRoot = std::make_unique<TFileInfo>();
}

void TForm1::FormClose() {
  FreeEntryList();
  Log.WriteLog(0, kClosing);
  Log.CloseLog();
}

void TForm1::Close() {
  if (closed_) return;
  if (Busy()) {
    // The first request waits for the work to end; the next one also cuts it short.
    if (closePending_) stopRequested_ = true;
    closePending_ = true;
    return;
  }
  closed_ = true;
  Timer1.SetEnabled(false);
  FormClose();
  SetVisible(false);
  app_.MainWindowClosed();
}

void TForm1::AfterActivity() {
  if (Busy() || closed_) return;
  if (closePending_) {
    Close();
  } else if (runDeferred_) {
    runDeferred_ = false;
    Timer1Timer();
  }
}

void TForm1::ShowStage(const char* text, std::optional<TDateTime> start, AfterReport after) {
  StatBar.SetPanel(0, text);
  if (start) StatBar.SetPanel(1, ElapsedText(clock_.Now(), *start));
  Log.WriteLog(0, StatBar.Panel(0) + StatBar.Panel(1));
  if (after == AfterReport::kProcessEvents) {
    app_.ProcessMessages();
  } else {
    app_.Repaint();
  }
}

void TForm1::Timer1Timer() {
  if (closed_) return;
  if (Busy()) {
    // Armed again from the menu during a run: the new run follows once this one ends.
    runDeferred_ = true;
    Timer1.SetEnabled(false);
    return;
  }
  ++busy_;
  Timer1.SetEnabled(false);
  const TDateTime start = clock_.Now();
  CivilTime cutoffDay;
  const uint32_t cutoff = ParseDate(DateLbl.Caption(), cutoffDay) ? PackDos(cutoffDay) : 0;
  bool error = false;
  const char* errorLine = nullptr;

  // A stop request seen at the event points of stages 1 and 2 skips the rest up to stage 5.
  ShowStage(kStageSearch, std::nullopt, AfterReport::kProcessEvents);
  if (!stopRequested_) KeepListedTree();
  if (stopRequested_) {
    // no search
  } else if (!TreeRoot->BuildTree(Settings.TargetDir, cutoff, fs_, clock_)) {
    errorLine = kSearchError;
  } else {
    ShowStage(kStageBuild, start, AfterReport::kProcessEvents);
    bool filled = false;
    if (!stopRequested_) {
      filled = TreeRoot->FillEntryList(EntryList);
      listedTree_.reset();  // the list no longer refers to it, filled or not
    }
    if (stopRequested_) {
      // no entry list, no listing, no pass
    } else if (!filled) {
      errorLine = kInternalError;
    } else {
      ShowStage(kStageSearched, start, AfterReport::kRepaint);
      if (Settings.DebugLevel > 0) {
        ShowStage(kStageListing, start, AfterReport::kRepaint);
        try {
          TreeRoot->MakeListing(*ListingLines, false, true);
          // The box starts empty so that line i stays the line of entry i; the lines move
          // rather than copy, since nothing else reads them.
          ListBox1.Clear();
          ListBox1.AddLines(std::move(*ListingLines));
          ListingLines->clear();
        } catch (...) {
          errorLine = kInternalError;
        }
      } else if (!DeleteFiles(start)) {
        error = !stopRequested_;  // a stopped pass is no error: the close follows
      } else if (Settings.DirDelete == 0 && !RemoveFolders(start)) {
        error = !stopRequested_;
      }
    }
  }
  if (errorLine != nullptr) {
    ListBox1.Add(errorLine);
    Log.WriteLog(0, errorLine);
    error = true;
  }
  ShowStage(kStageDone, start, AfterReport::kRepaint);
  SetCursor(TCursor::kDefault);
  --busy_;
  if (Settings.DebugLevel == 0) {
    if (error) {
      ListBox1.SetVisible(true);
      SetHeight(height_ + 300);
    } else {
      Close();
    }
  }
  AfterActivity();
}

void TForm1::N1Click() {
  Timer1.SetEnabled(true);
  SetCursor(TCursor::kHourGlass);
  app_.Repaint();
}

void TForm1::N2Click() {
  if (Busy() || closed_) return;  // one pass at a time over the entry list
  ++busy_;
  const TDateTime start = clock_.Now();
  DeleteFiles(start);
  if (Settings.DirDelete == 0 && !stopRequested_) RemoveFolders(start);
  --busy_;
  AfterActivity();
}

void TForm1::Exit1Click() {
  Close();
}

void TForm1::About1Click() {
  app_.ShowAboutBox();
}

intptr_t TForm1::ControlMessage(uint32_t msg, uintptr_t wParam, intptr_t) {
  if (msg != kControlMessage) return 0;
  if (wParam == kControlToggle) {
    SetVisible(!visible_);
  } else if (wParam == kControlClose) {
    Close();
  }
  return 0;
}

PassWork TForm1::Work() {
  const PassMode mode = Settings.DebugLevel == 1   ? PassMode::kManual
                        : Settings.DebugLevel == 2 ? PassMode::kSimulation
                                                   : PassMode::kAutomatic;
  return PassWork{EntryList, fs_, clock_, TreeRoot ? TreeRoot->CutoffDate : 0u, mode};
}

bool TForm1::DeleteFiles(TDateTime startTime) {
  return qm::DeleteFiles(*this, Work(), startTime);
}

bool TForm1::RemoveFolders(TDateTime startTime) {
  return qm::RemoveFolders(*this, Work(), startTime);
}

void TForm1::ReportStage(const char* text, TDateTime start) {
  ShowStage(text, start, AfterReport::kRepaint);
}

void TForm1::MarkLine(size_t i) {
  ListBox1.AppendToLine(i, kProcessedMark);
}

void TForm1::ScrollTo(size_t i) {
  ListBox1.SetTopIndex(i);
}

bool TForm1::EventPoint() {
  app_.ProcessMessages();
  return !stopRequested_;
}

void TForm1::WalkEnded(PassKind kind) {
  // The listing follows the last pass of a cleanup: the folder pass, or the file pass alone
  // when emptied folders are kept.
  const bool lastPass =
      kind == PassKind::kFolders ? Settings.DirDelete == 0 : Settings.DirDelete == 1;
  if (lastPass && Settings.LogLevel == 1) WriteResultListing();
}

void TForm1::Failed(const char* text) noexcept {
  try {
    ListBox1.Add(text);
  } catch (...) {
  }
  try {
    Log.WriteLog(0, text);
  } catch (...) {
  }
}

void TForm1::WriteResultListing() {
  qm::WriteResultListing(Settings, EntryList, ListBox1, Log);
}

}  // namespace qm
