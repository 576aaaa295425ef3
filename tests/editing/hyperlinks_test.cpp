// Hyperlinks: their character format, deactivation (the text reads like the text around it),
// link texts set to their addresses, following links to bookmarks, addresses, files and other
// open documents, the fields at the selection, and links to bookmarks that are gone.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "document/content_tags.h"
#include "document/doc.h"
#include "document/doc_services.h"
#include "document/field.h"
#include "document/field_edit_services.h"
#include "document/field_index.h"
#include "document/field_text.h"
#include "edit_test_support.h"
#include "editing/edit_codes.h"
#include "editing/edit_operation_providers.h"
#include "editing/field_edit_services.h"
#include "foundation/system/shell_services.h"

using namespace qv;

namespace {

// Format tags carry the character property of their number.
constexpr uint8_t ctUnderline = 6;
constexpr uint8_t ctColor = 15;

struct LinkScope {
  TEngineScope Engine;
  ScopedService<TFieldEditServices> Fields{MakeFieldEditServices()};
  ScopedService<TEditOperationProviders> Providers{MakeFieldEditProviders()};
};

// "ab" + field(text) + "ef" (text in blue underline when `styled`), the field a hyperlink.
TField* PutLink(TDoc& doc, int32_t par, const std::string& before, const std::u16string& instruction,
                const std::string& text, const std::string& after) {
  auto owned = std::make_unique<TField>();
  TField* f = owned.get();
  f->FieldType = ftHyperlink;
  f->Instruction = instruction;
  doc.Fields.push_back(std::move(owned));
  TPar& p = *doc.Par(par);
  p.Content.Clear();
  AppendContentTag(p.Content, ctUnderline, 0);
  AppendContentTag(p.Content, ctColor, 0x00FF00);
  p.Content.AppendString(before);
  AppendContentTag(p.Content, ctFieldStart, TagRefOf(f));
  AppendContentTag(p.Content, ctUnderline, 1);
  AppendContentTag(p.Content, ctColor, 0xFF0000);
  p.Content.AppendString(text);
  AppendContentTag(p.Content, ctFieldEnd, TagRefOf(f));
  AppendContentTag(p.Content, ctUnderline, 0);
  AppendContentTag(p.Content, ctColor, 0x0000FF);
  p.Content.AppendString(after);
  AppendContentTag(p.Content, ctSpecialChar, scParagraphEnd);
  p.RebuildCodes();
  p.ContentChanged();
  doc.InvalidateFieldIndex();
  return f;
}

TCharFormat FormatOf(TDoc& doc, int32_t par, int32_t offset) {
  TCharFormat f;
  doc.Par(par)->GetCharFormatAt(offset, f);
  return f;
}

int32_t Links(TDoc& doc) {
  doc.RebuildFieldIndex();
  int32_t n = 0;
  for (TField* f : doc.FieldIndex().Fields) n += f->Kind == fkField && f->FieldType == ftHyperlink;
  return n;
}

// Records what the shell was asked to open.
struct RecShell : THyperlinkServices {
  std::vector<std::string> Opened;
  bool IsTrustedFile(const std::string&) override { return true; }
  plat::ShellResult ShellOpen(const std::string& target) override {
    Opened.push_back(target);
    return plat::ShellResult::Ok;
  }
};

// Knows one other open document.
struct OtherDocument : TDocServices {
  TDoc* Other = nullptr;
  std::string Path;
  TDoc* FindOpenDocument(const std::string& file) override { return file == Path ? Other : nullptr; }
};

}  // namespace

TEST(Hyperlinks, DeactivatedLinksTakeTheUnderlineAndColourAroundThem) {
  struct Case {
    const char* name;
    std::string before, after;
    int32_t color;  // the colour the link's text ends with
  } cases[] = {
      {"text before: its format", "ab", "ef", 0x00FF00},
      {"at the paragraph start: the format after", "", "ef", 0x0000FF},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LinkScope scope;
    TDoc doc(true);
    SetMainText(doc, {"x"});
    PutLink(doc, 0, c.before, u"HYPERLINK \"http://a.org/\"", "cd", c.after);
    const int32_t at = static_cast<int32_t>(c.before.size());
    doc.SetSelection(0, at, 0, at + 2);
    const std::string before = DumpDoc(doc);
    doc.ExecuteEdit(ecDeactivateHyperlinks, nullptr, -1);
    EXPECT_EQ(Links(doc), 0);
    EXPECT_EQ(FormatOf(doc, 0, at).Underline, 0);
    EXPECT_EQ(FormatOf(doc, 0, at + 1).Color, c.color);
    EXPECT_EQ(MainText(doc), c.before + "cd" + c.after);
    const std::string after = DumpDoc(doc);
    doc.Undo();
    EXPECT_EQ(DumpDoc(doc), before);
    doc.Redo();
    EXPECT_EQ(DumpDoc(doc), after);
  }
}

TEST(Hyperlinks, InsertedLinksGetTheHyperlinkFormatAndTextsBecomeAddresses) {
  LinkScope scope;
  TDoc doc(true);
  SetMainText(doc, {"see here now"});
  doc.SetSelection(0, 4, 0, 8);
  std::u16string instruction = u"HYPERLINK \"http://x.org/\" \\l \"top\"";
  std::u16string none;
  void* args[] = {&instruction, &none};
  doc.ExecuteEdit(ecInsertHyperlink, args, 1);
  ASSERT_EQ(Links(doc), 1);
  EXPECT_EQ(FormatOf(doc, 0, 5).Underline, HyperlinkCharFormat().Underline);
  EXPECT_EQ(FormatOf(doc, 0, 5).Color, HyperlinkCharFormat().Color);
  EXPECT_EQ(FormatOf(doc, 0, 9).Color, DefaultCharFormat.Color);
  // The link's text becomes its address; the link stays around the new text.
  doc.SetSelection(0, 5, 0, 6);
  const std::string before = DumpDoc(doc);
  doc.ExecuteEdit(ecUpdateHyperlinkTexts, nullptr, -1);
  EXPECT_EQ(MainText(doc), "see http://x.org/#top now");
  doc.RebuildFieldIndex();
  TField* link = doc.FieldIndex().Fields.at(0);
  EXPECT_EQ(link->Range.Start.Offset, 4);
  EXPECT_EQ(link->Range.End.Offset, 21);
  doc.Undo();
  EXPECT_EQ(DumpDoc(doc), before);
}

TEST(Hyperlinks, FollowingLinksJumpsOrOpensTheirTargets) {
  LinkScope scope;
  ScopedService<THyperlinkServices, RecShell> shell;
  TDoc doc(true);
  doc.FileName = "/home/u/docs/main.rtf";
  SetMainText(doc, {"a link", "target"});
  auto mark = std::make_unique<TField>();
  mark->Kind = fkBookmark;
  mark->Instruction = u"there";
  {
    std::unique_ptr<TUndoableOperation> op = EditServices().CreateOperation(doc, 0);
    doc.BeginOperation(op.get());
    TDocRange r;
    MakeRange(1, 0, 1, 6, r);
    doc.InsertFieldMarks(std::move(mark), r);
    doc.EndOperation();
    doc.CommitOperation(std::move(op));
  }
  TField* internal = PutLink(doc, 0, "a ", u"HYPERLINK \\l \"there\"", "link", "");
  doc.FollowHyperlink(internal);
  EXPECT_EQ(doc.Caret.Par, 1);
  ASSERT_EQ(doc.HyperlinkHistory.size(), 1u);
  EXPECT_EQ(doc.HyperlinkHistory[0], internal);

  TField web;
  web.FieldType = ftHyperlink;
  web.Instruction = u"HYPERLINK \"www.example.com\" \\l \"part\"";
  doc.FollowHyperlink(&web);
  TField file;
  file.FieldType = ftHyperlink;
  file.Instruction = u"HYPERLINK \"notes/readme.txt\"";
  doc.FollowHyperlink(&file);
  EXPECT_EQ(shell->Opened,
            (std::vector<std::string>{"www.example.com#part", "/home/u/docs/notes/readme.txt"}));

  // A bookmark in another open document: that document jumps there.
  TDoc other(true);
  SetMainText(other, {"one", "two"});
  {
    auto otherMark = std::make_unique<TField>();
    otherMark->Kind = fkBookmark;
    otherMark->Instruction = u"far";
    std::unique_ptr<TUndoableOperation> op = EditServices().CreateOperation(other, 0);
    other.BeginOperation(op.get());
    TDocRange r;
    MakeRange(1, 1, 1, 2, r);
    other.InsertFieldMarks(std::move(otherMark), r);
    other.EndOperation();
    other.CommitOperation(std::move(op));
  }
  auto services = std::make_unique<OtherDocument>();
  services->Other = &other;
  services->Path = "/home/u/docs/other.rtf";
  ScopedService<TDocServices, OtherDocument> docs(std::move(services));
  TField away;
  away.FieldType = ftHyperlink;
  away.Instruction = u"HYPERLINK \"other.rtf\" \\l \"far\"";
  doc.FollowHyperlink(&away);
  EXPECT_EQ(other.Caret.Par, 1);
  EXPECT_EQ(other.Caret.Offset, 1);
  EXPECT_EQ(shell->Opened.size(), 2u);
}

TEST(Hyperlinks, LinksToMissingBookmarksAreOfferedForSelection) {
  LinkScope scope;
  TDoc doc(true);
  SetMainText(doc, {"x", "y", "z"});
  PutLink(doc, 0, "", u"HYPERLINK \\l \"gone\"", "lost", "");
  PutLink(doc, 1, "", u"HYPERLINK \"http://a.org/\"", "web", "");
  PutLink(doc, 2, "ok ", u"HYPERLINK \\l \"gone too\"", "lost", "");
  EXPECT_TRUE(doc.CheckHyperlinksToMissingBookmarks());  // the message box answers its default
  ASSERT_EQ(doc.Selection->Count(), 2);
  EXPECT_EQ(doc.Selection->GetRange(0)->Start.Par, 0);
  EXPECT_EQ(doc.Selection->GetRange(1)->Start.Offset, 3);
  // The fields at that selection: the two links.
  doc.UpdateSelectedFieldLists(255);
  EXPECT_EQ(doc.SelectedFields.Hyperlinks.size(), 2u);
}

TEST(Hyperlinks, WalkingForwardFollowsAPageReferenceWhateverItsSwitchOrder) {
  LinkScope scope;
  TDoc doc(true);
  SetMainText(doc, {"ref", "target"});
  std::unique_ptr<TUndoableOperation> op = EditServices().CreateOperation(doc, 0);
  doc.BeginOperation(op.get());
  auto mark = std::make_unique<TField>();
  mark->Kind = fkBookmark;
  mark->Instruction = u"there";
  TDocRange r;
  MakeRange(1, 2, 1, 4, r);
  doc.InsertFieldMarks(std::move(mark), r);
  auto ref = std::make_unique<TField>();
  ref->FieldType = ftPageRef;
  ref->Instruction = u"PAGEREF there \\h";
  MakeRange(0, 0, 0, 3, r);
  TField* pageRef = doc.InsertFieldMarks(std::move(ref), r);
  doc.EndOperation();
  doc.CommitOperation(std::move(op));
  doc.HyperlinkHistory = {pageRef};
  doc.HyperlinkHistoryIndex = -1;
  doc.HyperlinkHistoryForward();
  EXPECT_EQ(doc.Caret.Par, 1);
  EXPECT_EQ(doc.Caret.Offset, 2);
  EXPECT_EQ(doc.HyperlinkHistoryIndex, 0);
}
