// A picture of a form with a menu bar and the standard controls, and of an open menu: written
// as PNG files (into QV_PICTURE_DIR when set, else the sandbox) to look at the flat look.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/controls/list_view.h"
#include "platform/controls/menu_bar.h"
#include "platform/controls/page_control.h"
#include "platform/controls/progress_bar.h"
#include "platform/controls/scroll_bar.h"
#include "platform/controls/status_bar.h"
#include "platform/controls/track_bar.h"
#include "platform/controls/tree_view.h"
#include "platform/controls/up_down.h"
#include "support/test_env.h"
#include "widget_fixture.h"

using namespace plat;
using namespace widgettest;

TEST_F(WidgetTest, PictureOfAFormWithMenusAndControls) {
  const char* env = std::getenv("QV_PICTURE_DIR");
  std::string dir = env && *env ? env : qvtest::MakeTempDir("pictures");
  form->SetBounds(100, 100, 560, 420);
  MainMenu menu;
  MenuItem& file = menu.Items().Add(u"&File");
  file.Add(u"&New\tCtrl+N", 1);
  file.Add(u"&Open...\tCtrl+O", 2);
  file.Add(u"&Save\tCtrl+S", 3).Default = true;
  file.Add(u"-");
  MenuItem& view = file.Add(u"&View");
  view.Add(u"&Draft", 10).RadioItem = true;
  view.Add(u"&Page", 11).RadioItem = true;
  view[1].SetChecked(true);
  file.Add(u"&Ruler", 4).SetChecked(true);
  file.Add(u"&Print...", 5).Enabled = false;
  file.Add(u"-");
  file.Add(u"E&xit", 6);
  menu.Items().Add(u"&Edit").Add(u"&Undo", 20);
  menu.Items().Add(u"&Help").Add(u"&About", 30);
  MenuBar& bar = form->Add<MenuBar>();
  bar.SetMenu(&menu);
  StatusBar& sb = form->Add<StatusBar>();
  sb.AddPanel(u"Page 1 of 3", 110);
  sb.AddPanel(u"English", 90);
  sb.AddPanel(u"Ready", -1);
  PageControl& pc = form->Add<PageControl>();
  pc.SetBounds(8, 32, 260, 200);
  TabSheet& page = pc.AddPage(u"&Tree");
  pc.AddPage(u"&List");
  pc.AddPage(u"&Other");
  TreeView& tv = page.Add<TreeView>();
  tv.SetBounds(6, 6, 230, 150);
  TreeNode& docs = tv.Items().Add(u"Documents");
  docs.Add(u"Letters").Add(u"To the bank");
  docs.Add(u"Reports");
  tv.Items().Add(u"Templates").Add(u"Normal");
  docs.Expand(true);
  tv.SetSelected(&docs[1]);
  ListView& lv = form->Add<ListView>();
  lv.SetBounds(280, 32, 260, 150);
  lv.AddColumn(u"Name", 150);
  lv.AddColumn(u"Size", 80).Alignment = TextAlign::Right;
  for (const char16_t* n : {u"letter.rtf", u"report.docx", u"notes.txt", u"book.odt"}) {
    lv.AddItem(n).SubItems = {u"12 KB"};
  }
  lv.SetItemIndex(1);
  TrackBar& tb = form->Add<TrackBar>();
  tb.SetBounds(280, 190, 200, 32);
  tb.SetPosition(4);
  UpDown& ud = form->Add<UpDown>();
  ud.SetBounds(490, 192, 17, 24);
  ProgressBar& prog = form->Add<ProgressBar>();
  prog.SetBounds(280, 232, 260, 14);
  prog.SetPosition(60);
  ScrollBar& hs = form->Add<ScrollBar>(ScrollBarKind::Horizontal);
  hs.SetBounds(8, 240, 260, 17);
  hs.SetParams(30, 0, 100);
  hs.SetPageSize(20);
  ShowForm();
  lv.SetFocus();
  std::string formPng = dir + "/form_with_controls.png";
  SaveWindowPng(form->Handle(), formPng);
  EXPECT_TRUE(std::filesystem::file_size(formPng) > 1000);
  // The File menu open with its View submenu.
  std::string menuPng = dir + "/open_menu.png";
  std::string subPng = dir + "/open_submenu.png";
  SetTimer(0, 0, 0, [&](Hwnd, uint32_t id) {
    KillTimer(0, id);
    auto levels = MenuTracker::Active()->Levels();
    ASSERT_EQ(levels.size(), 2u);
    SaveWindowPng(levels[0]->Handle(), menuPng);
    SaveWindowPng(levels[1]->Handle(), subPng);
    SaveWindowPng(form->Handle(), dir + "/form_menu_open.png");
    headless::PressKey(VK_ESCAPE);
    headless::PressKey(VK_ESCAPE);
    headless::PressKey(VK_ESCAPE);
  });
  AltLetter('f');
  Press(VK_UP);
  Press(VK_UP);
  Press(VK_UP);
  Press(VK_UP);
  Press(VK_RIGHT);
  PumpPending();
  EXPECT_TRUE(std::filesystem::exists(menuPng));
  EXPECT_TRUE(std::filesystem::exists(subPng));
}
