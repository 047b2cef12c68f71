// The window on a real X server (an Xvfb of the test's own, without a window manager), in the
// test's process: where the about box stands and the window class it carries.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>

#include "frontends/qt/tests/qt_test_support.h"
#include "frontends/qt/tests/x_server.h"
#include "tests/temp_tree.h"
// Last: Xlib's macros (None, Bool) clash with the names of gtest and Qt.
#include "frontends/qt/ctl/x11_control.h"

namespace qm::qt::test {
namespace {

class XcbTest : public ::testing::Test {
 protected:
  void SetUp() override {
    display_ = XOpenDisplay(nullptr);
    ASSERT_NE(display_, nullptr);
  }
  void TearDown() override {
    if (display_ != nullptr) XCloseDisplay(display_);
  }

  std::vector<std::string> Manual() { return {"PATH=" + tree_.Path(), "DAYS=1", "DEBUG=1"}; }

  // Runs `inside` while the about box opened from the menu is shown, then closes it.
  static void WithAboutBox(Session& s, const std::function<void(AboutBox&)>& inside) {
    QTimer::singleShot(0, [&s, inside] {
      AboutBox* box = s.qt->Services().OpenAboutBox();
      if (box == nullptr) return;
      if (QTest::qWaitForWindowExposed(box)) inside(*box);
      if (s.qt->Services().OpenAboutBox() != nullptr)
        box->findChild<QPushButton*>("BitBtn1")->click();
    });
    Choose(s.Window(), "About1");
  }

  Display* display_ = nullptr;
  qm::test::TempTree tree_;
};

TEST_F(XcbTest, AboutBoxFrameIsCentredOverTheMainWindowFrame) {
  Session s(Manual());
  ASSERT_TRUE(s.qt->Start());
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&s.Window()));
  for (const QPoint& at : {QPoint(263, 119), QPoint(40, 30), QPoint(500, 300)}) {
    s.Window().move(at);
    QTest::qWait(50);
    QPoint box;
    bool shown = false;
    WithAboutBox(s, [&](AboutBox& b) {
      shown = true;
      box = b.frameGeometry().center();
    });
    ASSERT_TRUE(shown);
    const QPoint main = s.Window().frameGeometry().center();
    EXPECT_LE((box - main).manhattanLength(), 2) << "box centre " << box.x() << "," << box.y()
                                                 << " main centre " << main.x() << "," << main.y();
  }
}

TEST_F(XcbTest, AboutBoxCarriesItsOwnWindowClass) {
  Session s(Manual());
  ASSERT_TRUE(s.qt->Start());
  std::string cls;
  std::string instance;
  WithAboutBox(s, [&](AboutBox& b) {
    cls = x11::WindowClass(display_, static_cast<Window>(b.winId()));
    instance = x11::WindowInstance(display_, static_cast<Window>(b.winId()));
  });
  EXPECT_EQ(cls, "TVerForm");
  EXPECT_EQ(instance, "TVerForm");
}

}  // namespace
}  // namespace qm::qt::test

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  qm::qt::test::XServer server;
  if (server.Name().empty()) {
    std::fprintf(stderr, "Xvfb did not start\n");
    return 1;
  }
  setenv("DISPLAY", server.Name().c_str(), 1);
  setenv("QT_QPA_PLATFORM", "xcb", 1);
  unsetenv("WAYLAND_DISPLAY");
  int qtArgc = 1;
  QApplication app(qtArgc, argv);
  qm::qt::test::PrepareApplication();
  return RUN_ALL_TESTS();
}
