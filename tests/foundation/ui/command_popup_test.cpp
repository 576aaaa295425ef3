#include "foundation/ui/command_popup.h"

#include <gtest/gtest.h>

#include "foundation/base/service_slot.h"
#include "foundation/ui/command_services.h"

using namespace qv;

namespace {

class DisablingCommands : public TCommandService {
 public:
  int updates = 0;
  void UpdateMenuState(plat::Menu& menu) override {
    ++updates;
    if (plat::MenuItem* item = menu.FindCommand(3340)) item->Enabled = false;
  }
};

TEST(CommandPopup, CopiesOfEachSourceWithSeparatorsAndCommandStates) {
  ScopedService<TCommandService, DisablingCommands> commands;
  DisablingCommands* rec = &*commands;

  plat::PopupMenu edit, format;
  int clicks = 0, setUps = 0;
  edit.Items().Add(u"Cu&t", 3420);
  plat::MenuItem& copy = edit.Items().Add(u"&Copy", 3340);
  copy.Tag = 77;
  copy.OnClick = [&](plat::MenuItem&) { ++clicks; };
  plat::MenuItem& sub = format.Items().Add(u"&Font");
  sub.Add(u"&Bold", 1000).SetChecked(true);
  format.OnPopup = [&](plat::Menu&, plat::MenuItem&) {
    ++setUps;
    if (format.Items().Count() == 1) format.Items().Add(u"&Paragraph", 1001);
  };

  plat::PopupMenu& menu = BuildCommandPopup({&edit, nullptr, &format, nullptr, nullptr}, 4);
  const plat::MenuItem& items = menu.Items();
  ASSERT_EQ(items.Count(), 5);
  EXPECT_EQ(items[0].Caption, u"Cu&t");
  EXPECT_EQ(items[1].Tag, 77);
  EXPECT_FALSE(items[1].Enabled);  // the command manager's state
  EXPECT_TRUE(items[2].IsSeparator());
  EXPECT_EQ(items[3][0].Command, 1000u);
  EXPECT_TRUE(items[3][0].Checked());
  EXPECT_EQ(items[4].Caption, u"&Paragraph");
  EXPECT_EQ(setUps, 1);
  EXPECT_EQ(rec->updates, 1);
  const_cast<plat::MenuItem&>(items[1]).Click();
  EXPECT_EQ(clicks, 1);
  // The sources keep their own items.
  EXPECT_TRUE(edit.Items()[1].Enabled);

  // A new popup replaces the old one; the last index limits the list.
  plat::PopupMenu& again = BuildCommandPopup({&edit, nullptr, &format}, 0);
  EXPECT_EQ(again.Items().Count(), 2);
}

}  // namespace
