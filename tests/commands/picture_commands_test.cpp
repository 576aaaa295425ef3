// The picture commands through the command manager on floating pictures built in code: format,
// wrapping, position presets, wrap-point editing and z-order, each change one undo step that
// undo takes back exactly, and no step at all when nothing changes.
#include <gtest/gtest.h>

#include "../editing/object_edit_support.h"
#include "commands/command_environment_services.h"
#include "commands/command_manager.h"
#include "commands/format_dialog_services.h"
#include "commands/picture_section_commands.h"
#include "document/shape_props_table.h"

using namespace qv;

namespace {

using W = TShapeProps::TWrapStyle;

struct PictureEnvironment : TCommandEnvironment {
  TDoc* Active = nullptr;
  TDoc* ActiveDoc() override { return Active; }
  void RequestInterfaceUpdate() override {}
};

struct PictureDialogs : TFormatDialogServices {
  int32_t NewScale = 0;  // 0: OK without a change
  size_t Shapes = 0;
  bool ExecuteShapeFormatDialog(const std::vector<TShape*>& shapes, std::vector<TShapeProps>& props) override {
    Shapes = shapes.size();
    if (NewScale != 0)
      for (TShapeProps& p : props) p.ScaleX = NewScale;
    return true;
  }
};

class PictureCommandsTest : public ::testing::Test {
 protected:
  PictureCommandsTest() {
    FreeCommandManager();
    RegisterPictureSectionCommands(GetCommandManager());
    env->Active = &doc;
    SetMainText(doc, {"text"});
    for (int32_t z = 0; z < 2; ++z) {
      auto s = std::make_unique<TShape>(&doc);
      s->Props.WrapStyle = W::Square;
      s->Props.ZOrder = z;
      shapes.push_back(doc.AddShape(std::move(s)));
    }
    doc.ClearUndo();
    doc.SelectedShapes = {shapes[0]};
  }
  ~PictureCommandsTest() override { FreeCommandManager(); }
  int32_t Run(int32_t id) {
    const int32_t before = doc.UndoPosition;
    GetCommandManager().Execute(id);
    return doc.UndoPosition - before;
  }
  void RunOneStep(int32_t id) {
    const std::string before = DumpAll(doc);
    EXPECT_EQ(Run(id), 1) << id;
    doc.Undo();
    EXPECT_EQ(DumpAll(doc), before) << id;
    doc.Redo();
  }

  TObjectEngineScope engine;
  ScopedService<TCommandEnvironment, PictureEnvironment> env;
  ScopedService<TFormatDialogServices, PictureDialogs> dialogs;
  TDoc doc{true};
  std::vector<TShape*> shapes;
};

TEST_F(PictureCommandsTest, PictureFormatRecordsOnlyAChange) {
  EXPECT_EQ(Run(15000), 0);
  EXPECT_EQ(dialogs->Shapes, 1u);
  dialogs->NewScale = 50;
  RunOneStep(15000);
  EXPECT_EQ(shapes[0]->Props.ScaleX, 50);
  EXPECT_EQ(shapes[1]->Props.ScaleX, 100);
}

TEST_F(PictureCommandsTest, WrappingAndPositionPresets) {
  struct Case {
    int32_t id;
    W wrap;
    int32_t behind;  // kShapePropUnset: removed
  } cases[] = {
      {15084, W::None, 1},
      {15085, W::None, kShapePropUnset},
      {15083, W::TopBottom, kShapePropUnset},
      {15087, W::Through, 1},
      {15086, W::Tight, 1},
  };
  for (const Case& c : cases) {
    RunOneStep(c.id);
    EXPECT_EQ(shapes[0]->Props.WrapStyle, c.wrap) << c.id;
    EXPECT_EQ(shapes[0]->Props.HasProp(spBehindDocument) ? shapes[0]->Props.GetProp(spBehindDocument)
                                                          : kShapePropUnset,
              c.behind)
        << c.id;
  }
  // A preset keeps tight wrapping and sets the place: right column, bottom row.
  RunOneStep(15105);
  EXPECT_EQ(shapes[0]->Props.WrapStyle, W::Tight);
  EXPECT_EQ(shapes[0]->Props.GetProp(spPosH), 3);
  EXPECT_EQ(shapes[0]->Props.GetProp(spPosV), 3);
  EXPECT_EQ(shapes[0]->Props.GetProp(spPosRelV), 0);
  Run(15082);  // square again
  RunOneStep(15099);  // left column, bottom row
  EXPECT_EQ(shapes[0]->Props.WrapStyle, W::Square);
  EXPECT_EQ(shapes[0]->Props.GetProp(spPosH), 1);
  EXPECT_EQ(shapes[0]->Props.GetProp(spPosV), 3);
  EXPECT_EQ(Run(15099), 0);  // the same again changes nothing
}

TEST_F(PictureCommandsTest, TightWrappingKeepsTheShapesOwnPolygon) {
  const std::vector<TShapeProps::TPoint> polygon = {{0, 0}, {100, 0}, {100, 100}, {0, 0}};
  shapes[0]->Props.SetWrapPolygon(polygon);
  Run(15086);
  EXPECT_EQ(shapes[0]->Props.WrapStyle, W::Tight);
  EXPECT_EQ(shapes[0]->Props.WrapPolygon, polygon);
}

TEST_F(PictureCommandsTest, EditWrapPointsTwiceEndsWrapEditing) {
  EXPECT_EQ(Run(15088), 1);  // square becomes tight
  EXPECT_EQ(shapes[0]->Props.WrapStyle, W::Tight);
  EXPECT_EQ(doc.WrapEditShape, shapes[0]);
  EXPECT_EQ(Run(15088), 0);
  EXPECT_EQ(doc.WrapEditShape, nullptr);
}

TEST_F(PictureCommandsTest, ZOrder) {
  RunOneStep(15092);  // bring to front
  EXPECT_EQ(shapes[0]->Props.ZOrder, 1);
  EXPECT_EQ(shapes[1]->Props.ZOrder, 0);
  RunOneStep(15093);  // send to back
  EXPECT_EQ(shapes[0]->Props.ZOrder, 0);
  doc.SelectedShapes.clear();
  EXPECT_EQ(Run(15092), 0);  // no picture selected: refused
}

}  // namespace
