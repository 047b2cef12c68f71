// The menu commands through the window over real folder trees: the listing and the deletion in
// both manual modes, a failed automatic run, a close that arrives during a run, screenshots.
#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <csignal>

#include "frontends/qt/tests/qt_test_support.h"
#include "tests/fake_fs.h"
#include "tests/temp_tree.h"

namespace qm::qt::test {
namespace {

const QString kRunDone = "一連の処理が終了しました";
const char* const kClosingLine = "Quillmoor削除終了しました";

// Old and new files, some in a folder that the deletion empties.
void FillTree(qm::test::TempTree& t) {
  t.File("old1.txt", LongAgo());
  t.File("keep.txt", Now());
  t.File("sub/old2.txt", LongAgo());
  t.File("sub/keep2.txt", Now());
  t.File("gone/old3.txt", LongAgo());
  t.File("gone/deeper/old4.txt", LongAgo());
}

// Re-arms itself until the form is in a run, then asks the window to close.
void CloseOnceBusy(Session& s) {
  QTimer::singleShot(0, [&s] {
    if (s.Form().Busy()) {
      s.Window().close();
    } else if (!s.Form().Closed()) {
      CloseOnceBusy(s);
    }
  });
}

// Re-arms itself until the form is in a run, then raises the signals one after the other.
void SignalOnceBusy(Session& s, QList<int> closeSignals) {
  QTimer::singleShot(0, [&s, closeSignals] {
    if (s.Form().Busy()) {
      for (int signo : closeSignals) raise(signo);
    } else if (!s.Form().Closed()) {
      SignalOnceBusy(s, closeSignals);
    }
  });
}

}  // namespace

class CommandsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { PrepareApplication(); }

  void listingThenDeletion_data() {
    QTest::addColumn<int>("debug");
    QTest::newRow("manual") << 1;
    QTest::newRow("simulation") << 2;
  }

  void listingThenDeletion() {
    QFETCH(int, debug);
    qm::test::TempTree tree;
    qm::test::TempTree logs;
    FillTree(tree);
    Session s({"PATH=" + tree.Path(), "DAYS=1", "DEBUG=" + std::to_string(debug),
               "LOG=" + (logs / "run.log")});
    QVERIFY(s.qt->Start());
    MainWindow& w = s.Window();
    QCOMPARE(w.findChild<QLabel*>("DebugMode")->text(),
             debug == 1 ? QString("手動操作で実行します")
                        : QString("手動操作で実行(ｼﾐｭﾚｰﾄ:削除は行わない)"));
    QCOMPARE(w.findChild<QLabel*>("DirDelLbl")->text(), QString("フォルダを削除する"));
    QCOMPARE(w.findChild<QLabel*>("LogLbl")->text(), QString("通常ログを出力"));

    Choose(w, "N1");
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QVERIFY(WaitForRunEnd(s));
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QCOMPARE(Panel(w, 0), kRunDone);
    QVERIFY(Panel(w, 1).endsWith("秒"));
    const TEntryList& entries = s.Form().EntryList;
    QCOMPARE(entries.size(), size_t{10});
    QCOMPARE(Rows(w), 10);
    for (int i = 0; i < Rows(w); ++i) {
      QCOMPARE(Row(w, i), QString::fromUtf8(s.Form().ListBox1.Line(static_cast<size_t>(i))));
      QVERIFY(!Row(w, i).endsWith("○"));
    }

    Choose(w, "N2");
    QVERIFY(w.isVisible());
    if (debug == 1) QVERIFY(SaveScreenshot(w, "main_window_manual"));
    QCOMPARE(Panel(w, 0), QString("フォルダ削除処理が終了しました"));
    int marked = 0;
    for (int i = 1; i < Rows(w); ++i) {
      const EFRec& e = entries[static_cast<size_t>(i)];
      const std::string path = PathOf(entries, static_cast<size_t>(i));
      const bool emptiedFolder =
          e.Kind == EntryKind::kTrue && path.find("/gone") != std::string::npos;
      const bool expectMark = e.DelMark == 1 || emptiedFolder;
      QVERIFY2(Row(w, i).endsWith("○") == expectMark, path.c_str());
      QVERIFY(!Row(w, i).endsWith("○○"));
      marked += expectMark ? 1 : 0;
    }
    QCOMPARE(marked, 6);  // four old files, and the two folders they leave empty
    // The list follows the pass: its last marked line, the lowest, stands at the top as far as
    // the list can scroll.
    QVERIFY(s.Form().ListBox1.TopIndex() > 0);
    QCOMPARE(w.ListBox().TopRow(), std::min(static_cast<int>(s.Form().ListBox1.TopIndex()),
                                            w.ListBox().verticalScrollBar()->maximum()));
    const bool deletes = debug == 1;
    QCOMPARE(tree.Exists("old1.txt"), !deletes);
    QCOMPARE(tree.Exists("sub/old2.txt"), !deletes);
    QCOMPARE(tree.Exists("gone"), !deletes);
    QVERIFY(tree.Exists("keep.txt"));
    QVERIFY(tree.Exists("sub/keep2.txt"));

    Choose(w, "Exit1");
    QVERIFY(s.Form().Closed());
    QVERIFY(!w.isVisible());
    const std::string log = ReadLogUtf8(logs / "run.log");
    QVERIFY(log.rfind(kClosingLine) != std::string::npos);
  }

  void automaticRunWithErrorStaysOpenAndGrows() {
    // A date the result listing cannot read fails the file pass of the automatic run.
    qm::test::FakeFileSystem fs("/fake");
    fs.AddFile(fs.Root(), "bad.dat", 0);
    qm::test::TempTree logs;
    Session s({"PATH=/fake", "DAYS=1", "DIRDEL=1", "LOGX=" + (logs / "run.log")}, 1, &fs);
    QVERIFY(s.qt->Start());
    QCOMPARE(s.Window().DesignHeight(), 217);
    QVERIFY(!s.Window().ListBox().isVisible());
    QVERIFY(WaitForRunEnd(s));
    QVERIFY(!s.Form().Closed());
    QVERIFY(s.Window().isVisible());
    QCOMPARE(s.Window().DesignHeight(), 517);
    QVERIFY(s.Window().ListBox().isVisible());
    QCOMPARE(Row(s.Window(), Rows(s.Window()) - 1),
             QString("■ファイル削除でエラーが発生しました■"));
    QVERIFY(SaveScreenshot(s.Window(), "main_window_automatic_error"));
  }

  void automaticRunWithoutErrorCloses() {
    qm::test::TempTree tree;
    FillTree(tree);
    Session s({"PATH=" + tree.Path(), "DAYS=1"});
    QVERIFY(s.qt->Start());
    QVERIFY(WaitForRunEnd(s));
    QVERIFY(s.Form().Closed());
    QVERIFY(!s.Window().isVisible());
    QVERIFY(s.qt->Services().WindowClosed());
    QVERIFY(!tree.Exists("old1.txt"));
  }

  void closeDuringDeletionWaitsForItsEnd() {
    qm::test::TempTree tree;
    qm::test::TempTree logs;
    FillTree(tree);
    Session s({"PATH=" + tree.Path(), "DAYS=1", "DEBUG=1", "LOG=" + (logs / "run.log")});
    QVERIFY(s.qt->Start());
    Choose(s.Window(), "N1");
    QVERIFY(WaitForRunEnd(s));
    s.qt->Services().SetPumpInterval(0);
    CloseOnceBusy(s);
    Choose(s.Window(), "N2");
    QVERIFY(s.Form().Closed());
    QVERIFY(!s.Window().isVisible());
    QVERIFY(s.qt->Services().WindowClosed());
    // Both passes ran to their end before the shutdown.
    QVERIFY(!tree.Exists("gone"));
    const std::string log = ReadLogUtf8(logs / "run.log");
    const size_t end = log.find("フォルダ削除処理が終了しました");
    QVERIFY(end != std::string::npos);
    QVERIFY(log.find(kClosingLine) > end);
  }

  void closeSignalsDuringDeletion_data() {
    QTest::addColumn<QList<int>>("closeSignals");
    QTest::addColumn<bool>("stops");
    QTest::newRow("SIGTERM twice") << QList<int>{SIGTERM, SIGTERM} << true;
    QTest::newRow("hang-up") << QList<int>{SIGHUP} << false;
    QTest::newRow("hang-up, then SIGINT") << QList<int>{SIGHUP, SIGINT} << true;
  }

  // One close signal during a deletion waits for its end; a second one stops the pass before
  // its next entry, without its end report and with no folder pass after it. Either way the
  // window closes with the closing line last in the log.
  void closeSignalsDuringDeletion() {
    QFETCH(QList<int>, closeSignals);
    QFETCH(bool, stops);
    constexpr int kFiles = 200;
    qm::test::TempTree tree;
    qm::test::TempTree logs;
    for (int i = 0; i < kFiles; ++i) tree.File("d/old" + std::to_string(i), LongAgo());
    Session s({"PATH=" + tree.Path(), "DAYS=1", "DEBUG=1", "LOG=" + (logs / "run.log")});
    QVERIFY(s.qt->Start());
    Choose(s.Window(), "N1");
    QVERIFY(WaitForRunEnd(s));
    s.qt->Services().SetPumpInterval(0);
    SignalOnceBusy(s, closeSignals);
    Choose(s.Window(), "N2");
    QTRY_VERIFY(s.Form().Closed());
    QVERIFY(!s.Window().isVisible());
    int left = 0;
    for (int i = 0; i < kFiles; ++i) left += tree.Exists("d/old" + std::to_string(i)) ? 1 : 0;
    const std::string log = ReadLogUtf8(logs / "run.log");
    QVERIFY(log.ends_with(std::string(kClosingLine) + "\r\n"));
    QCOMPARE(log.find("ファイル削除処理が終了しました") == std::string::npos, stops);
    QCOMPARE(log.find("フォルダ削除処理中です") == std::string::npos, stops);
    if (stops) {
      QVERIFY(left > 0 && left < kFiles);
      QVERIFY(tree.Exists("d"));
    } else {
      QCOMPARE(left, 0);
      QVERIFY(!tree.Exists("d"));
    }
  }

  void closeDuringListingRunWaitsForItsEnd() {
    qm::test::TempTree tree;
    FillTree(tree);
    Session s({"PATH=" + tree.Path(), "DAYS=1", "DEBUG=2"});
    QVERIFY(s.qt->Start());
    s.qt->Services().SetPumpInterval(0);
    Choose(s.Window(), "N1");
    CloseOnceBusy(s);
    QTRY_VERIFY(s.Form().Closed());
    QCOMPARE(Panel(s.Window(), 0), kRunDone);
    QCOMPARE(Rows(s.Window()), 10);
    QVERIFY(!s.Window().isVisible());
  }
};

}  // namespace qm::qt::test

QTEST_MAIN(qm::qt::test::CommandsTest)
#include "qt_commands_test.moc"
