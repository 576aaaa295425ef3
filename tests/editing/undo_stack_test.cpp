// The undo list: grouping of typing, chained operations, the save point and the modified
// state, and the dispatcher's handling of an operation that raises.
#include <gtest/gtest.h>

#include "editing/edit_codes.h"
#include "editing/edit_dispatcher.h"
#include "editing/edit_operation_providers.h"
#include "editing/ins_del_operation.h"
#include "editing/operation.h"
#include "editing/undo_stack.h"
#include "edit_test_support.h"
#include "foundation/base/exceptions.h"
#include "foundation/settings/options_holder.h"

using namespace qv;

namespace {

// Types one character at the caret as its own operation, as the typing code does.
void Type(TDoc& doc, char ch) {
  auto op = std::make_unique<TOperation>(doc, 15);
  op->Flags = ch == ' ' ? TOperation::ofTypedSpace : TOperation::ofTypedChar;
  op->GroupKey = 1;
  doc.BeginOperation(op.get());
  TMemory m;
  m.AppendByte(static_cast<uint8_t>(ch));
  TSubOperation::Execute(TInsDelOperation::ForInsert(doc, m, doc.Caret, stMain, 0));
  doc.EndOperation();
  doc.Caret.Offset += 1;
  doc.PostActions.Caret = doc.Caret;
  doc.PostActions.HasCaret = true;
  doc.PostEditUpdate();
  doc.CommitOperation(std::move(op));
}

class UndoStack : public ::testing::Test {
 protected:
  void SetUp() override {
    savedFlags_ = GetOptions().Edit.Flags;
    SetMainText(doc_, {""});
  }
  void TearDown() override { GetOptions().Edit.Flags = savedFlags_; }
  void GroupUndo(bool on) {
    GetOptions().Edit.Flags = on ? (savedFlags_ | 2u) : (savedFlags_ & ~2u);
  }
  TEngineScope engine_;
  TDoc doc_{true};
  uint32_t savedFlags_ = 0;
};

TEST_F(UndoStack, TypingGroupsAsWordsWithGroupUndo) {
  struct {
    bool group;
    const char* typed;
    std::vector<std::string> afterEachUndo;
  } cases[] = {
      {true, "ab cd", {"ab", ""}},
      {true, "ab ", {""}},
      {false, "ab cd", {"ab c", "ab ", "ab", "a", ""}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    TDoc doc(true);
    SetMainText(doc, {""});
    GroupUndo(c.group);
    for (const char* p = c.typed; *p; ++p) Type(doc, *p);
    EXPECT_EQ(MainText(doc), c.typed);
    for (const std::string& expected : c.afterEachUndo) {
      doc.Undo();
      EXPECT_EQ(MainText(doc), expected);
    }
  }
}

TEST_F(UndoStack, CaretMoveEndsATypingGroup) {
  GroupUndo(true);
  SetMainText(doc_, {"xy"});
  Type(doc_, 'a');
  Type(doc_, 'b');
  MakePosition(0, 4, doc_.Caret);  // moved past "xy": the next character is far from the last
  Type(doc_, 'c');
  EXPECT_EQ(MainText(doc_), "abxyc");
  doc_.Undo();
  EXPECT_EQ(MainText(doc_), "abxy");
  doc_.Undo();
  EXPECT_EQ(MainText(doc_), "xy");
}

TEST_F(UndoStack, ChainedOperationsUndoAndRedoTogether) {
  GroupUndo(false);
  Type(doc_, 'a');
  Type(doc_, 'b');
  OperationAt(doc_, doc_.UndoPosition)->Flags |= TOperation::ofChained;
  doc_.Undo();
  EXPECT_EQ(MainText(doc_), "");
  doc_.Redo();
  EXPECT_EQ(MainText(doc_), "ab");
}

TEST_F(UndoStack, ModifiedFollowsTheSavePoint) {
  GroupUndo(false);
  Type(doc_, 'a');
  EXPECT_EQ(doc_.Modified, 1);
  // Saved here.
  doc_.SavePoint = doc_.UndoPosition;
  doc_.SetModified(0);
  Type(doc_, 'b');
  EXPECT_EQ(doc_.Modified, 1);
  doc_.Undo();
  EXPECT_EQ(doc_.Modified, 0);
  doc_.Undo();
  EXPECT_EQ(doc_.Modified, 1);
  doc_.Redo();
  EXPECT_EQ(doc_.Modified, 0);
  // Below the save point, a new operation makes the saved state unreachable.
  doc_.Undo();
  Type(doc_, 'c');
  EXPECT_EQ(doc_.SavePoint, INT32_MIN);
  doc_.Undo();
  EXPECT_EQ(doc_.Modified, 1);
}

TEST_F(UndoStack, ClearUndoShiftsMarkersOfTheUndonePart) {
  GroupUndo(false);
  Type(doc_, 'a');
  Type(doc_, 'b');
  Type(doc_, 'c');
  doc_.Undo();
  doc_.SafeCopyPoint = 2;  // at the undone operation
  doc_.ClearUndo();
  EXPECT_EQ(doc_.UndoPosition, -1);
  EXPECT_EQ(doc_.UndoList.size(), 1u);
  EXPECT_EQ(doc_.SafeCopyPoint, 0);
  doc_.Redo();
  EXPECT_EQ(MainText(doc_), "abc");
}

// A provider whose operation performs a record and then raises.
struct RaisingProvider : TEditOperationProviders {
  bool RunOperation(TDoc& doc, uint8_t code, void* const*, int32_t) override {
    if (code != ecTypeText) return false;
    TMemory m;
    m.AppendString("half");
    TSubOperation::Execute(TInsDelOperation::ForInsert(doc, m, doc.Caret, stMain, 0));
    throw Exception("failed in the middle");
  }
};

TEST_F(UndoStack, AnOperationThatRaisesLeavesNothingHalfRecorded) {
  ScopedService<TEditOperationProviders, RaisingProvider> provider;
  SetMainText(doc_, {"text"});
  const std::string before = DumpDoc(doc_);
  const uint32_t serial = doc_.LastOperationSerial();
  EXPECT_THROW(doc_.ExecuteEdit(ecTypeText, nullptr, -1), Exception);
  EXPECT_EQ(DumpDoc(doc_), before);
  EXPECT_EQ(doc_.LastOperationSerial(), serial);
  EXPECT_TRUE(doc_.UndoList.empty());
  EXPECT_EQ(doc_.OpenOperations.size(), 0u);
  EXPECT_EQ(CriticalEditCount(), 0);
  EXPECT_FALSE(doc_.IsDocFlagSet(113));
}

TEST_F(UndoStack, ACodeThatChangesNothingLeavesTheListAndNameOverrideNamesTheOperation) {
  SetMainText(doc_, {"text"});
  TParFormat unset = UnsetParFormat;
  TDocRange r;
  MakeRange(0, 0, 0, 1, r);
  void* args[] = {nullptr, &r, &unset};
  doc_.ExecuteEdit(ecFormatParagraphs, args, 2);
  EXPECT_EQ(doc_.LastOperationSerial(), 0u);
  TParFormat centred = UnsetParFormat;
  SetParFormatProp(centred, ppAlignment, 1);
  void* args2[] = {nullptr, &r, &centred};
  doc_.OperationNameOverride = 23;
  doc_.ExecuteEdit(ecFormatParagraphs, args2, 2);
  ASSERT_EQ(doc_.UndoList.size(), 1u);
  EXPECT_STREQ(OperationAt(doc_, 0)->Name(), "Find/Replace");
  EXPECT_EQ(doc_.OperationNameOverride, 255);
  EXPECT_EQ(EditCodeNameIndex(32, nullptr, -1), 0);
  EXPECT_STREQ(OperationName(EditCodeNameIndex(ecFormatFont, nullptr, -1)), "font format");
}

}  // namespace
