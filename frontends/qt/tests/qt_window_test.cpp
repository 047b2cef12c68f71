// The main window as shown: layout, fonts, menu, list box, status bar, heights, visibility,
// the cursor, the timer, and the event pump and repaint services.
#include <QAction>
#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QMenuBar>
#include <QSet>
#include <QSplitter>
#include <QTest>
#include <csignal>

#include "frontends/qt/tests/qt_test_support.h"
#include "tests/temp_tree.h"

namespace qm::qt::test {

class WindowTest : public QObject {
  Q_OBJECT

 private:
  qm::test::TempTree tree_;
  std::vector<std::string> Manual() { return {"PATH=" + tree_.Path(), "DAYS=1", "DEBUG=1"}; }
  static QPoint In(QWidget* w, QWidget* ancestor) { return w->mapTo(ancestor, QPoint(0, 0)); }

 private slots:
  void initTestCase() {
    PrepareApplication();
    tree_.File("a.txt", LongAgo());
  }

  void designGeometry() {
    Session s(Manual());
    QVERIFY(s.qt->Start());
    MainWindow& w = s.Window();
    QVERIFY(w.isVisible());
    QCOMPARE(w.windowTitle(), QString("Quillmoor"));
    QCOMPARE(w.pos(), QPoint(263, 119));
    QCOMPARE(w.width(), 430);
    QCOMPARE(w.DesignHeight(), 358);
    QWidget* client = w.centralWidget();
    QCOMPARE(client->size(), QSize(430, 312));
    auto* panel = w.findChild<QWidget*>("Panel1");
    QCOMPARE(QRect(In(panel, client), panel->size()), QRect(0, 0, 430, 146));
    auto* splitter = w.findChild<QSplitter*>("Splitter1");
    QWidget* bevel1 = w.findChild<QWidget*>("Bevel1");
    QWidget* bevel2 = w.findChild<QWidget*>("Bevel2");
    QCOMPARE(QRect(In(bevel1, panel), bevel1->size()), QRect(1, 1, 428, 64));
    QCOMPARE(QRect(In(splitter->handle(1), panel), splitter->handle(1)->size()),
             QRect(1, 65, 428, 5));
    QCOMPARE(QRect(In(bevel2, panel), bevel2->size()), QRect(1, 70, 428, 75));
    QCOMPARE(splitter->handle(1)->cursor().shape(), Qt::SizeVerCursor);
    QWidget& list = w.ListBox();
    QCOMPARE(QRect(In(&list, client), list.size()), QRect(0, 146, 430, 147));
    QWidget& bar = w.StatusBar();
    QCOMPARE(QRect(In(&bar, client), bar.size()), QRect(0, 293, 430, 19));
    const int lefts[] = {0, 250, 300};
    for (int i = 0; i < 3; ++i) {
      const QLabel& p = w.StatusBar().PanelLabel(i);
      QCOMPARE(p.x(), lefts[i]);
      QCOMPARE(p.width() + 2, TStatusBar::kPanelWidths[i]);
    }
  }

  void labels_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QPoint>("place");
    QTest::addColumn<QString>("text");  // empty: filled from the form's label model
    QTest::newRow("Label2") << "Label2" << QPoint(21, 18) << "ディレクトリ";
    QTest::newRow("DirectoryLbl") << "DirectoryLbl" << QPoint(83, 18) << "";
    QTest::newRow("Label3") << "Label3" << QPoint(22, 33) << "指定日数";
    QTest::newRow("DaysLbl") << "DaysLbl" << QPoint(90, 33) << "";
    QTest::newRow("Label4") << "Label4" << QPoint(23, 47) << "計算後日付";
    QTest::newRow("DateLbl") << "DateLbl" << QPoint(91, 48) << "";
    QTest::newRow("Label7") << "Label7" << QPoint(5, 5) << "基本動作";
    QTest::newRow("Label5") << "Label5" << QPoint(6, 75) << "処理概要";
    QTest::newRow("DebugMode") << "DebugMode" << QPoint(22, 89) << "";
    QTest::newRow("Label8") << "Label8" << QPoint(15, 109) << "フォルダ";
    QTest::newRow("DirDelLbl") << "DirDelLbl" << QPoint(61, 110) << "";
    QTest::newRow("Label1") << "Label1" << QPoint(186, 108) << "ログレベル";
    QTest::newRow("LogLbl") << "LogLbl" << QPoint(250, 107) << "";
    QTest::newRow("Label6") << "Label6" << QPoint(186, 122) << "ログファイル";
    QTest::newRow("LogFileLbl") << "LogFileLbl" << QPoint(250, 121) << "";
  }

  void labels() {
    QFETCH(QString, name);
    QFETCH(QPoint, place);
    QFETCH(QString, text);
    Session s({"PATH=" + tree_.Path(), "DAYS=1", "DEBUG=2", "LOG=" + (tree_ / "q.log")});
    QVERIFY(s.qt->Start());
    auto* label = s.Window().findChild<QLabel*>(name);
    QVERIFY(label != nullptr);
    QCOMPARE(label->pos(), place);
    QVERIFY(label->isVisible());
    if (text.isEmpty()) {
      const std::map<QString, const TLabel*> models = {
          {"DirectoryLbl", &s.Form().DirectoryLbl}, {"DaysLbl", &s.Form().DaysLbl},
          {"DateLbl", &s.Form().DateLbl},           {"DebugMode", &s.Form().DebugMode},
          {"DirDelLbl", &s.Form().DirDelLbl},       {"LogLbl", &s.Form().LogLbl},
          {"LogFileLbl", &s.Form().LogFileLbl}};
      text = QString::fromUtf8(models.at(name)->Caption());
    }
    QCOMPARE(label->text(), text);
    // Each label sizes itself to its text.
    QVERIFY(label->width() >= label->fontMetrics().horizontalAdvance(text));
  }

  void labelsFollowTheirModels() {
    Session s(Manual());
    QVERIFY(s.qt->Start());
    s.Form().DirectoryLbl.SetCaption("/a/much/longer/folder/name/than/before");
    auto* label = s.Window().findChild<QLabel*>("DirectoryLbl");
    QCOMPARE(label->text(), QString("/a/much/longer/folder/name/than/before"));
    QVERIFY(label->width() >= label->fontMetrics().horizontalAdvance(label->text()));
  }

  void fonts() {
    Session s(Manual());
    QVERIFY(s.qt->Start());
    MainWindow& w = s.Window();
    auto* dir = w.findChild<QLabel*>("Label2");
    QCOMPARE(QFontInfo(dir->font()).family(), QString("IPAPGothic"));
    QCOMPARE(dir->font().pixelSize(), 12);
    QVERIFY(!dir->font().bold());
    for (const char* name : {"Label7", "Label5"}) {
      auto* title = w.findChild<QLabel*>(name);
      QVERIFY2(title->font().bold(), name);
      QCOMPARE(title->font().pixelSize(), 12);
    }
    auto* mode = w.findChild<QLabel*>("DebugMode");
    QVERIFY(mode->font().bold());
    QCOMPARE(mode->font().pixelSize(), 15);
    QCOMPARE(mode->palette().color(QPalette::WindowText), QColor(128, 0, 0));
    QCOMPARE(QFontInfo(w.ListBox().font()).family(), QString("IPAGothic"));
    // The design's 12 px, or less where a whole line of the font would not fit in a row.
    QVERIFY(w.ListBox().font().pixelSize() <= 12 && w.ListBox().font().pixelSize() >= 10);
  }

  void menu() {
    Session s(Manual());
    QVERIFY(s.qt->Start());
    QStringList bar;
    QStringList items;
    for (QAction* top : s.Window().menuBar()->actions()) {
      bar << top->text();
      for (QAction* a : top->menu()->actions()) {
        items << (a->isSeparator() ? QString("-") : a->text());
        QVERIFY(a->isEnabled());
        QVERIFY(a->shortcut().isEmpty());
      }
    }
    QCOMPARE(bar, QStringList({"ファイル(&F)", "ヘルプ(&H)"}));
    QCOMPARE(items, QStringList({"リスト表示", "削除実行", "-", "終了(&X)", "バージョン情報"}));
  }

  void heightsByMode_data() {
    QTest::addColumn<QString>("debug");
    QTest::addColumn<int>("height");
    QTest::addColumn<bool>("listShown");
    QTest::newRow("automatic") << "DEBUG=0" << 217 << false;
    QTest::newRow("manual") << "DEBUG=1" << 358 << true;
    QTest::newRow("simulation") << "DEBUG=2" << 358 << true;
  }

  void heightsByMode() {
    QFETCH(QString, debug);
    QFETCH(int, height);
    QFETCH(bool, listShown);
    // A long countdown: the automatic run is not wanted here.
    Session s({"PATH=" + tree_.Path(), "DAYS=1", debug.toStdString()}, 600000);
    QVERIFY(s.qt->Start());
    QCOMPARE(s.Window().DesignHeight(), height);
    QCOMPARE(s.Window().ListBox().isVisible(), listShown);
    QCOMPARE(s.Window().StatusBar().y() + 19, s.Window().centralWidget()->height());
  }

  void listBoxScalesAndScrolls() {
    Session s(Manual());
    QVERIFY(s.qt->Start());
    ListBoxView& view = s.Window().ListBox();
    QCOMPARE(view.selectionMode(), QAbstractItemView::ExtendedSelection);
    std::vector<std::string> lines;
    for (int i = 0; i < 5000; ++i) lines.push_back("line " + std::to_string(i));
    s.Form().ListBox1.AddLines(std::move(lines));
    QCOMPARE(Rows(s.Window()), 5000);
    QCOMPARE(view.sizeHintForRow(0), ListBoxView::kItemHeight);
    s.Form().ListBox1.SetTopIndex(3000);
    s.Form().ListBox1.SetLine(3000, "line 3000○");
    s.qt->Services().Repaint();
    QCOMPARE(view.TopRow(), 3000);
    QCOMPARE(Row(s.Window(), 3000), QString("line 3000○"));
    // Several lines can be selected together.
    view.selectionModel()->select(view.model()->index(3001, 0), QItemSelectionModel::Select);
    view.selectionModel()->select(view.model()->index(3003, 0), QItemSelectionModel::Select);
    QCOMPARE(view.selectionModel()->selectedRows().size(), 2);
    s.Form().ListBox1.Clear();
    QCOMPARE(Rows(s.Window()), 0);
    s.Form().ListBox1.Add("again");
    QCOMPARE(Row(s.Window(), 0), QString("again"));
  }

  // Every character of a line shows: an underscore is not clipped by the row, so "a_b_c.txt"
  // and "a b c.txt" look different in the list a user checks before deleting.
  void listBoxRowsShowUnderscoresAndDescenders() {
    Session s(Manual());
    QVERIFY(s.qt->Start());
    ListBoxView& view = s.Window().ListBox();
    QVERIFY(QFontMetrics(view.font()).height() <= ListBoxView::kItemHeight);
    s.Form().ListBox1.AddLines({"a_b_c.txt", "a b c.txt", "________", "gjpqy"});
    s.qt->Services().Repaint();
    const QImage shot = view.viewport()->grab().toImage();
    SaveScreenshot(*view.viewport(), "list_box_rows");
    auto rowImage = [&](int row) {
      return shot.copy(view.visualRect(view.model()->index(row, 0)));
    };
    auto darkRows = [](const QImage& img) {
      QSet<int> rows;
      for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
          if (qGray(img.pixel(x, y)) < 128) rows.insert(y);
        }
      }
      return rows;
    };
    QCOMPARE(rowImage(0).height(), ListBoxView::kItemHeight);
    QVERIFY(rowImage(0) != rowImage(1));
    // A line of underscores is drawn dark, in the lower part of its row.
    const QSet<int> underscore = darkRows(rowImage(2));
    QVERIFY(!underscore.isEmpty());
    for (int y : underscore) QVERIFY(y >= ListBoxView::kItemHeight / 2);
    QVERIFY(!darkRows(rowImage(3)).isEmpty());
  }

  void topLineReachesScreenWithoutRepaint() {
    // A change outside any pass still shows once the event loop runs.
    Session s(Manual());
    QVERIFY(s.qt->Start());
    s.Form().ListBox1.AddLines(std::vector<std::string>(400, "x"));
    s.Form().ListBox1.SetTopIndex(250);
    QTRY_COMPARE(s.Window().ListBox().TopRow(), 250);
  }

  void controlMessage() {
    Session s(Manual());
    QVERIFY(s.qt->Start());
    MainWindow& w = s.Window();
    s.Form().ControlMessage(kControlMessage, 5, 0);
    QVERIFY(!w.isVisible());
    s.Form().ControlMessage(kControlMessage, 5, 0);
    QVERIFY(w.isVisible());
    s.Form().ControlMessage(kControlMessage, 0, 0);
    s.Form().ControlMessage(kControlMessage + 1, 5, 0);
    QVERIFY(w.isVisible());
    QVERIFY(!s.Form().Closed());
    s.Form().ControlMessage(kControlMessage, 7, 0);
    QVERIFY(!w.isVisible());
    QVERIFY(s.Form().Closed());
    QVERIFY(s.qt->Services().WindowClosed());
  }

  void signalsToggleAndClose() {
    Session s(Manual());
    QVERIFY(s.qt->Start());
    raise(SIGUSR1);
    QTRY_VERIFY(!s.Window().isVisible());
    raise(SIGUSR1);
    QTRY_VERIFY(s.Window().isVisible());
    raise(SIGTERM);
    QTRY_VERIFY(s.Form().Closed());
    QVERIFY(!s.Window().isVisible());
  }

  void hangUpCloses() {
    // A dropped session asks for a close like SIGTERM; it never ends the process on its own.
    qm::test::TempTree logs;
    std::vector<std::string> params = Manual();
    params.push_back("LOG=" + (logs / "run.log"));
    Session s(params);
    QVERIFY(s.qt->Start());
    raise(SIGHUP);
    QTRY_VERIFY(s.Form().Closed());
    QVERIFY(!s.Window().isVisible());
    QVERIFY(ReadLogUtf8(logs / "run.log").ends_with("Quillmoor削除終了しました\r\n"));
  }

  void closeBoxEndsProgram() {
    Session s(Manual());
    QVERIFY(s.qt->Start());
    s.Window().close();
    QVERIFY(s.Form().Closed());
    QVERIFY(!s.Window().isVisible());
    QVERIFY(s.qt->Services().WindowClosed());
  }

  void listingCommandArmsTimerOnce() {
    Session s(Manual(), 1500);
    QVERIFY(s.qt->Start());
    Choose(s.Window(), "N1");
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QTest::qWait(200);
    Choose(s.Window(), "N1");
    // The second choice leaves the first countdown running.
    QVERIFY(s.Window().Timer().isActive());
    QVERIFY(s.Window().Timer().remainingTime() < 1400);
    QVERIFY(WaitForRunEnd(s));
    QCOMPARE(QApplication::overrideCursor(), nullptr);
  }

  void pumpHandlesEventsAtMostEveryInterval() {
    Session s(Manual());
    QVERIFY(s.qt->Start());
    QtServices& services = s.qt->Services();
    int ran = 0;
    services.SetPumpInterval(3600 * 1000);
    QTimer::singleShot(0, [&] { ++ran; });
    services.ProcessMessages();
    QCOMPARE(ran, 1);
    QTimer::singleShot(0, [&] { ++ran; });
    services.ProcessMessages();
    QCOMPARE(ran, 1);
    services.SetPumpInterval(0);
    services.ProcessMessages();
    QCOMPARE(ran, 2);
  }

  void repaintPaintsButRunsNoOtherEvent() {
    Session s(Manual());
    QVERIFY(s.qt->Start());
    QTest::qWait(20);
    auto* label = s.Window().findChild<QLabel*>("DaysLbl");
    struct PaintCounter : QObject {
      int paints = 0;
      bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
      }
    } counter;
    label->installEventFilter(&counter);
    bool timerRan = false;
    QTimer::singleShot(0, [&] { timerRan = true; });
    s.Form().DaysLbl.SetCaption("12345");
    s.qt->Services().Repaint();
    QVERIFY(counter.paints > 0);
    QVERIFY(!timerRan);
    label->removeEventFilter(&counter);
  }
};

}  // namespace qm::qt::test

QTEST_MAIN(qm::qt::test::WindowTest)
#include "qt_window_test.moc"
