// Window benchmark under the offscreen platform: a listing of 1,000,000 lines reaching the
// screen, jumps of its top line, and lines of it marked one by one; then the manual-mode passes
// over 100,000 marked files, with the event pump as shipped and, on a fiftieth of the files,
// with one that handles events at every call.
// Usage: qt_pass_bench [listing lines] [marked files]
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "frontends/qt/fonts.h"
#include "frontends/qt/qt_session.h"
#include "platform/line_store.h"
#include "tests/fake_fs.h"
#include "tests/numbered.h"

namespace {

using qm::qt::QtSession;

double Ms(const QElapsedTimer& t) {
  return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

// A tree of `files` old files, a thousand to a folder.
void FillOld(qm::test::FakeFileSystem& fs, long files) {
  const uint32_t old = qm::PackDos(qm::CivilTime{2001, 2, 3, 4, 5, 6, 0});
  int folder = fs.Root();
  for (long i = 0; i < files; ++i) {
    if (i % 1000 == 0) folder = fs.AddFolder(fs.Root(), qm::test::Numbered("d", i / 1000), old);
    fs.AddFile(folder, qm::test::Numbered("file", i, ".dat"), old);
  }
}

void Choose(QtSession& s, const char* name) {
  s.Window().findChild<QAction*>(name)->trigger();
}

void WaitIdle(QtSession& s) {
  do {
    QTest::qWait(2);
  } while (s.Form().Timer1.Enabled() || s.Form().Busy());
}

void ListingBench(long lines) {
  qm::test::FakeFileSystem fs("/bench");
  qm::SystemClock clock;
  QtSession s({"PATH=/bench", "DAYS=1", "DEBUG=1"}, fs, clock);
  s.Start();
  QTest::qWait(20);
  // Built the way the listing is: into a line store the box adopts.
  qm::LineStore text;
  text.reserve(static_cast<size_t>(lines));
  for (long i = 0; i < lines; ++i) {
    text.push_back(" |/bench/d" + std::to_string(i / 1000) + "/file" + std::to_string(i) +
                   ".dat       |2001/02/03 04:05   |DEL|1");
  }
  QElapsedTimer t;
  t.start();
  s.Form().ListBox1.AddLines(std::move(text));
  s.Services().Repaint();
  QCoreApplication::processEvents();
  const double shown = Ms(t);

  std::mt19937 rng(7);
  std::uniform_int_distribution<long> pick(0, lines - 1);
  double worst = 0;
  t.start();
  const int scrolls = 1000;
  for (int i = 0; i < scrolls; ++i) {
    QElapsedTimer one;
    one.start();
    s.Form().ListBox1.SetTopIndex(static_cast<size_t>(pick(rng)));
    s.Services().Repaint();
    worst = std::max(worst, Ms(one));
  }
  const double scrollAll = Ms(t);

  // A pass's step with events handled at every call: mark, scroll, handle events and paint.
  s.Services().SetPumpInterval(0);
  const int marks = 500;
  t.start();
  for (int i = 0; i < marks; ++i) {
    const size_t row = static_cast<size_t>(lines - 1 - i * (lines / marks));
    s.Form().ListBox1.AppendToLine(row, "○");
    s.Form().ListBox1.SetTopIndex(row);
    s.Services().ProcessMessages();
  }
  const double marking = Ms(t);

  std::printf("listing: %ld lines added and painted in %.1f ms\n", lines, shown);
  std::printf("scroll:  %d jumps to random lines, %.3f ms each on average, %.3f ms at worst\n",
              scrolls, scrollAll / scrolls, worst);
  std::printf("mark:    %d lines marked, scrolled to and painted one at a time, %.3f ms each\n",
              marks, marking / marks);
  s.Form().Close();
}

void PassBench(long marked, int pumpIntervalMs, const char* label) {
  qm::test::FakeFileSystem fs("/bench");
  FillOld(fs, marked);
  qm::SystemClock clock;
  QtSession s({"PATH=/bench", "DAYS=1", "DEBUG=2"}, fs, clock);
  s.Form().Timer1.Interval = 1;
  s.Start();
  s.Services().SetPumpInterval(pumpIntervalMs);
  QElapsedTimer t;
  t.start();
  Choose(s, "N1");
  WaitIdle(s);
  const double listing = Ms(t);
  const long roundsBefore = s.Services().PumpRounds();
  t.start();
  Choose(s, "N2");
  const double pass = Ms(t);
  const long rounds = s.Services().PumpRounds() - roundsBefore;
  long marks = 0;
  for (const std::string& line : s.Form().ListBox1.Lines()) {
    if (line.size() >= 3 && line.compare(line.size() - 3, 3, "○") == 0) ++marks;
  }
  std::printf(
      "%s: %ld entries listed in %.1f ms; both passes (simulation) over %ld marked files "
      "in %.1f ms = %.2f us per file, %ld lines marked, %ld event rounds\n",
      label, static_cast<long>(s.Form().EntryList.size()), listing, marked, pass,
      pass * 1000.0 / static_cast<double>(marked), marks, rounds);
  s.Form().Close();
}

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const long lines = argc > 1 ? std::atol(argv[1]) : 1000000;
  const long marked = argc > 2 ? std::atol(argv[2]) : 100000;
  int qtArgc = 1;
  QApplication app(qtArgc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  qm::qt::InstallFontSubstitutions();
  QApplication::setFont(qm::qt::WindowFont());

  ListingBench(lines);
  PassBench(marked, qm::qt::QtServices::kPumpIntervalMs, "pump every 16 ms");
  PassBench(marked / 50, 0, "pump at every call");
  return 0;
}
