#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "document/content_tags.h"
#include "document/doc.h"
#include "document/edit_services.h"
#include "document/field.h"
#include "document/par.h"
#include "document/shape.h"
#include "editing/editing_services.h"
#include "files/document_road_services.h"
#include "files/post_load_steps.h"
#include "files_test_support.h"
#include "foundation/base/service_slot.h"
#include "foundation/settings/options_holder.h"
#include "foundation/text/code_pages.h"
#include "support/test_env.h"

using namespace qv;
using namespace qvtest;

namespace {

// Plays the shell: a base address, downloads that succeed for addresses it knows, and picture
// shapes made for every file asked for.
class FakeRoad : public TDocumentRoadServices {
 public:
  std::string Base;
  std::vector<std::string> Downloaded;
  std::vector<std::string> Loaded;
  bool DownloadsSucceed = true;
  std::string HtmlBaseUrl() override { return Base; }
  bool DownloadFile(const std::string& url, const std::string& fileName) override {
    Downloaded.push_back(url);
    if (!DownloadsSucceed) return false;
    std::ofstream(fileName) << "picture";
    return true;
  }
  TShape* LoadPictureShape(TDoc& doc, const std::string& fileName) override {
    Loaded.push_back(fileName);
    return doc.AddShape(std::make_unique<TShape>(&doc));
  }
};

class LinkedPictures : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureFontManager();
    flags_ = GetOptions().LoadSave.Flags;
  }
  void TearDown() override { GetOptions().LoadSave.Flags = flags_; }

  static void AllowDownloads(bool on) {
    uint16_t& flags = GetOptions().LoadSave.Flags;
    flags = static_cast<uint16_t>(on ? (flags | 0x200) : (flags & ~0x200));
  }

  // A paragraph "ab" + result + "cd" (the document's last) with a field of the type around the
  // result.
  static TField* AddField(TDoc& doc, uint8_t type, const std::u16string& instruction,
                          const std::string& result) {
    TPar* par = doc.Par(doc.ParCount() - 1);
    if (par->CharCount() > 0) par = doc.AppendParagraph(stMain, DefaultParFormat);
    par->Content.SetString("ab" + result + "cd");
    AppendContentTag(par->Content, ctSpecialChar, scParagraphEnd);
    par->RebuildCodes();
    par->ContentChanged();
    const int32_t p = par->Index;
    auto field = std::make_unique<TField>();
    field->FieldType = type;
    field->Instruction = instruction;
    TDocRange range;
    MakeRange(p, 2, p, 2 + static_cast<int32_t>(result.size()), range);
    return doc.InsertFieldMarks(std::move(field), range);
  }

  static std::vector<uint8_t> Codes(const TPar& par) {
    return std::vector<uint8_t>(par.Codes.Data, par.Codes.Data + par.CharCount());
  }

  ScopedService<TEditServices> edit_{MakeEditingServices()};
  ScopedService<TDocumentRoadServices, FakeRoad> road_;
  uint16_t flags_ = 0;
};

TEST_F(LinkedPictures, ARelativeLinkIsResolvedAgainstTheBaseAndItsPictureTakesTheResult) {
  road_->Base = "http://example.com/dir/page.html";
  AllowDownloads(true);
  TDoc doc(true);
  ASSERT_NE(AddField(doc, 67, u"INCLUDEPICTURE \"img/a.png\" \\d", "x"), nullptr);
  RetrieveLinkedPictures(doc);
  EXPECT_EQ(road_->Downloaded, std::vector<std::string>{"http://example.com/dir/img/a.png"});
  ASSERT_EQ(road_->Loaded.size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(road_->Loaded[0]));  // the download is not kept
  // The picture stands where the result's first character was; the field is gone.
  EXPECT_EQ(Codes(*doc.Par(0)),
            (std::vector<uint8_t>{'a', 'b', scInlineShape, 'c', 'd', scParagraphEnd}));
  EXPECT_TRUE(doc.Fields.empty());
  ASSERT_EQ(doc.Shapes.size(), 1u);
  EXPECT_EQ(doc.GetShapeAt({0, 2, 0, 0}), doc.Shapes[0].get());
}

TEST_F(LinkedPictures, WithoutAPictureTheFieldKeepsItsResultAndTheResolvedLink) {
  road_->Base = "http://example.com/dir/";
  for (bool download : {false, true}) {
    SCOPED_TRACE(download);
    AllowDownloads(download);
    road_->DownloadsSucceed = false;
    TDoc doc(true);
    TField* field = AddField(doc, 67, u"INCLUDEPICTURE ../b.gif", "xy");
    RetrieveLinkedPictures(doc);
    ASSERT_EQ(doc.Fields.size(), 1u);
    EXPECT_EQ(field->Instruction, u"INCLUDEPICTURE \"http://example.com/b.gif\"");
    EXPECT_EQ(Codes(*doc.Par(0)),
              (std::vector<uint8_t>{'a', 'b', 'x', 'y', 'c', 'd', scParagraphEnd}));
  }
  EXPECT_EQ(road_->Downloaded.size(), 1u);
  EXPECT_TRUE(road_->Loaded.empty());
}

TEST_F(LinkedPictures, LocalFilesAreLoadedAndEachAddressIsFetchedOnce) {
  const std::string folder = MakeTempDir("pictures");
  const std::string file = folder + "/a b.png";
  std::ofstream(file) << "png";
  AllowDownloads(true);
  TDoc doc(true);
  AddField(doc, 67, u"INCLUDEPICTURE \"file://" + Utf8ToWide(folder) + u"/a%20b.png\"", "");
  AddField(doc, 67, u"INCLUDEPICTURE \"http://host/p.png\"", "1");
  AddField(doc, 67, u"INCLUDEPICTURE \"http://host/p.png\"", "2");
  RetrieveLinkedPictures(doc);
  ASSERT_EQ(road_->Loaded.size(), 3u);
  EXPECT_EQ(road_->Loaded[0], file);
  EXPECT_EQ(road_->Downloaded, std::vector<std::string>{"http://host/p.png"});
  // An empty result gets the picture put in.
  EXPECT_EQ(Codes(*doc.Par(0)), (std::vector<uint8_t>{'a', 'b', scInlineShape, 'c', 'd', scParagraphEnd}));
}

TEST_F(LinkedPictures, HyperlinksAreResolvedAgainstTheBaseButLinksWithinTheDocumentStay) {
  struct Case {
    std::u16string instruction;
    std::u16string resolved;
  } cases[] = {
      {u"HYPERLINK \"sub/page.html\"", u"HYPERLINK \"http://example.com/dir/sub/page.html\""},
      {u"HYPERLINK \"/top.html\" \\o \"tip\"",
       u"HYPERLINK \"http://example.com/top.html\" \\o \"tip\""},
      {u"HYPERLINK \\l \"chapter\"", u"HYPERLINK \\l \"chapter\""},
      {u"HYPERLINK \"http://other.org/x\"", u"HYPERLINK \"http://other.org/x\""},
  };
  for (const std::string base : {"", "http://example.com/dir/page.html"}) {
    road_->Base = base;
    for (const Case& c : cases) {
      TDoc doc(true);
      TField* field = AddField(doc, ftHyperlink, c.instruction, "link");
      RetrieveLinkedPictures(doc);
      EXPECT_EQ(field->Instruction, base.empty() ? c.instruction : c.resolved);
    }
  }
}

}  // namespace
