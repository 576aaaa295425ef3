// Documents written as RTF and read back must come out the same: every kind of content is
// compared through a full dump of both documents.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "document/content_tags.h"
#include "document/doc.h"
#include "document/doc_builder.h"
#include "document/field.h"
#include "files/files_test_support.h"
#include "files/open_context.h"
#include "files/open_road.h"
#include "files/rtf/rtf_reader.h"
#include "files/rtf/rtf_write_support.h"

using namespace qv;

namespace {

// A paragraph whose stream is made of pieces: text, and format tags given as {kind, value}.
struct TPiece {
  std::string Text;
  int Kind = -1;
  int32_t Value = 0;
};

int32_t AddPieces(TDoc& doc, bool first, const std::vector<TPiece>& pieces,
                  const TParFormat& format = DefaultParFormat) {
  TPar* par = first ? doc.Par(0) : doc.AppendParagraph(stMain, format);
  par->Format = format;
  par->Content.SetLength(0);
  for (const TPiece& p : pieces) {
    if (p.Kind >= 0) AppendContentTag(par->Content, static_cast<uint8_t>(p.Kind), p.Value);
    else par->Content.AppendString(p.Text);
  }
  AppendContentTag(par->Content, ctSpecialChar, scParagraphEnd);
  par->RebuildCodes();
  par->ContentChanged();
  return par->Index;
}

// A footnote reference (an automatic mark) at the end of the paragraph's text, and its note: a
// paragraph of the footnote story that starts with the note mark.
void AddNote(TDoc& doc, int32_t par, const std::string& text) {
  auto reference = std::make_unique<TField>();
  reference->Kind = fkNoteReference;
  reference->Flags = 1;
  auto note = std::make_unique<TField>();
  note->Kind = fkNoteText;
  auto mark = std::make_unique<TField>();
  mark->Kind = fkNoteMark;
  reference->LinkedField = note.get();
  note->LinkedField = reference.get();
  TPar& p = *doc.Par(par);
  TMemory tail;
  AppendContentTag(tail, ctFieldStart, TagRefOf(reference.get()));
  AppendContentTag(tail, ctSpecialChar, scAutoNoteMark);
  AppendContentTag(tail, ctFieldEnd, TagRefOf(reference.get()));
  p.Content.Insert(tail.Data, p.Content.Length - ContentTagSize, tail.Length);
  p.RebuildCodes();
  p.ContentChanged();
  TPar* n = doc.AppendParagraph(stFootnotes, DefaultParFormat);
  AppendContentTag(n->Content, ctFieldStart, TagRefOf(note.get()));
  AppendContentTag(n->Content, ctFieldStart, TagRefOf(mark.get()));
  AppendContentTag(n->Content, ctSpecialChar, scAutoNoteMark);
  AppendContentTag(n->Content, ctFieldEnd, TagRefOf(mark.get()));
  n->Content.AppendString(" " + text);
  AppendContentTag(n->Content, ctSpecialChar, scParagraphEnd);
  AppendContentTag(n->Content, ctFieldEnd, TagRefOf(note.get()));
  n->RebuildCodes();
  n->ContentChanged();
  MakeRange(n->Index, 0, n->Index, n->CharCount(), note->Range);
  doc.Fields.push_back(std::move(reference));
  doc.Fields.push_back(std::move(note));
  doc.Fields.push_back(std::move(mark));
  doc.InvalidateFieldIndex();
}

std::unique_ptr<TDoc> ReadBack(const std::string& rtf) {
  // Through the open road, so that the post-load steps bring the document to normal form.
  auto doc = std::make_unique<TDoc>(true);
  doc->FileState.FullDocument = true;
  std::vector<uint8_t> bytes(rtf.begin(), rtf.end());
  TDocOpeningOptions options;
  options.From = TDocOpeningOptions::Source::Memory;
  options.FormatIndex = 0;
  options.Block = bytes.data();
  options.Length = static_cast<int32_t>(bytes.size());
  EXPECT_NE(DocOpen(*doc, options), 0);
  return doc;
}

class RtfRoundTripTest : public ::testing::Test {
 protected:
  void SetUp() override { qvtest::EnsureFontManager(); }
};

TEST_F(RtfRoundTripTest, TextAndCharacterFormatting) {
  TDoc doc(true);
  TParFormat centred = DefaultParFormat;
  centred.Alignment = 1;
  centred.LeftIndent = 720;
  centred.FirstIndent = -360;
  centred.SpaceBefore = 120;
  AddPieces(doc, true,
            {{"Plain "}, {"", ctBold, 1}, {"bold"}, {"", ctBold, 0}, {" and "},
             {"", cpItalic, 1}, {"", cpColor, 0x0000FF}, {"red italic"}, {"", cpItalic, 0},
             {"", cpColor, AutoColor}, {" end \\ {x}"}});
  AddPieces(doc, false,
            {{"Tab"}, {"", ctSpecialChar, scTab}, {"dash"}, {"", ctSpecialChar, scEmDash},
             {"wide"}, {"", ctWideChar, 0x4E2D}, {"", ctWideChar, 0xD7FF}, {"caf\xE9"},
             {"", ctSpecialChar, scLineBreak}, {"", cpSize, 40}, {"big"}},
            centred);
  AddPieces(doc, false, {{"", cpUnderline, 3}, {"double"}, {"", cpUnderline, 0}, {"", cpScript, 1},
                         {"sup"}, {"", cpScript, 0}, {"", cpStrike, 1}, {"gone"}});
  const std::string before = qvtest::DumpDocument(doc);
  const std::string rtf = qvtest::WriteRtfToString(doc);
  auto read = ReadBack(rtf);
  EXPECT_EQ(qvtest::DumpDocument(*read), before) << rtf;
}

TEST_F(RtfRoundTripTest, TablesNotesSectionsAndHeaders) {
  TDoc doc(true);
  TDocBuilder b(doc);
  b.Add("Before the table");
  b.Row({"a1", "b1", "c1"});
  b.Row({"a2", "b2", "c2"});
  b.Add("With a note");
  AddNote(doc, doc.LastParagraphOfStory(stMain), "The note text");
  TSection* second = b.SectionBreak("End of one", sbContinuous);
  b.Add("In section two");
  b.HeaderFooter(*second, hfOddHeader, "Header text");
  b.Finish();
  const std::string before = qvtest::DumpDocument(doc);
  const std::string rtf = qvtest::WriteRtfToString(doc);
  auto read = ReadBack(rtf);
  EXPECT_EQ(qvtest::DumpDocument(*read), before) << rtf;
  EXPECT_EQ(read->Sections.size(), 2u);
}

}  // namespace
