// The format probe on small documents of every format it knows, named right and wrong.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/file_fixtures.h"
#include "files/crypt/encrypted_document.h"
#include "files/doc_formats.h"
#include "files/format_probe.h"
#include "files/open_context.h"
#include "support/test_env.h"

using namespace qv;
using namespace qvtest;

namespace {

const std::string kDocxTypes =
    "<?xml version=\"1.0\"?><Types><Override PartName=\"/word/document.xml\" ContentType=\""
    "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/></Types>";
const std::string kDotxTypes =
    "<Types><Override ContentType=\""
    "application/vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml\"/></Types>";

std::string Encrypted(const std::string& rtf) {
  TMemory image;
  EncipherDocument(reinterpret_cast<const uint8_t*>(rtf.data()), int32_t(rtf.size()), "password1",
                   image);
  return image.ToString();
}

std::string WordStart(uint16_t ident, uint16_t version) { return Le16(ident) + Le16(version); }

struct Fixture {
  const char* name;  // the file name, with a misleading extension in places
  std::string bytes;
  int32_t detected;
};

std::vector<Fixture> Fixtures() {
  return {
      {"a.rtf", "{\\rtf1\\ansi x}", dfRtf},
      {"letter.doc", "{\\rtf1 misnamed}", dfRtf},
      {"short.rtf", "{\\rtf", dfText},  // fewer than 6 bytes
      {"b.txt", "plain text\r\n", dfText},
      {"empty.rtf", "", dfText},
      {"c.cod", Encrypted("{\\rtf1 secret}"), dfEncrypted},
      {"c.rtf", Encrypted("{\\rtf1 secret}"), dfEncrypted},
      {"cut.cod", Encrypted("{\\rtf1 secret}").substr(0, 58), dfText},
      {"d.wri", MakeWriteFile(), dfWrite},
      {"d2.wri", MakeWriteFile(0xBE32), dfWrite},
      {"odd.wri", MakeWriteFile(0xBE31, 1, 200), dfText},  // size not a multiple of 128
      {"nopages.wri", MakeWriteFile(0xBE31, 0), dfText},
      {"e.docx", MakeZip({{"[Content_Types].xml", kDocxTypes}, {"word/document.xml", "<w/>"}}),
       dfDocx},
      {"e.dotx", MakeZip({{"[Content_Types].xml", kDotxTypes}}, true), dfDocx},
      {"e.odt", MakeZip({{"mimetype", "application/vnd.oasis.opendocument.text"}}), dfOdt},
      {"sheet.odt", MakeZip({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"}}),
       dfText},
      {"other.zip", MakeZip({{"readme.txt", "hello"}}, true), dfText},
      {"f.doc", MakeCompoundFile("WordDocument", WordStart(0xA5EC, 193)), dfDoc},
      {"f95.doc", MakeCompoundFile("WordDocument", WordStart(0xA5DC, 104)), dfDoc},
      {"oldword.doc", MakeCompoundFile("WordDocument", WordStart(0xA5EC, 100)), dfText},
      {"book.xls", MakeCompoundFile("Workbook", WordStart(0xA5EC, 193)), dfText},
      {"g.htm", "<!DOCTYPE html><html></html>", dfText},
  };
}

// An open context over a fixture written to a file, after its first fill.
struct OpenFixture {
  TOpenContext context;
  explicit OpenFixture(const Fixture& f) {
    const std::string path = MakeTempDir("probe") + "/" + f.name;
    WriteFile(path, f.bytes);
    context.BeginFileRead(path);
  }
};

}  // namespace

TEST(FormatProbe, DetectsEveryFormatWhateverTheName) {
  for (const Fixture& f : Fixtures()) {
    OpenFixture open(f);
    EXPECT_EQ(DetectFileFormat(open.context), f.detected) << f.name;
    // The probe of the detected format agrees; plain text always fits.
    EXPECT_TRUE(ProbeFileFormat(f.detected, open.context)) << f.name;
    EXPECT_TRUE(ProbeFileFormat(dfText, open.context)) << f.name;
    for (int32_t other : {dfRtf, dfDoc, dfDocx, dfOdt, dfEncrypted, dfWrite})
      if (other != f.detected) {
        EXPECT_FALSE(ProbeFileFormat(other, open.context)) << f.name << other;
      }
    // Probing reads the file itself for zip and Word documents, but the buffered read goes on
    // where it was.
    EXPECT_EQ(std::ftell(open.context.File()), long(f.bytes.size())) << f.name;
  }
}

TEST(FormatProbe, WordProbeRunsOnceAndKeepsTheHeader) {
  OpenFixture open({"f.doc", MakeCompoundFile("WordDocument", WordStart(0xA5EC, 193)), dfDoc});
  EXPECT_TRUE(ProbeFileFormat(dfDoc, open.context));
  EXPECT_EQ(open.context.WordProbeState, 1);
  EXPECT_EQ(open.context.WordHeader.size(), 1536u);
  open.context.WordHeader.clear();  // a second probe answers from the state, reading nothing
  EXPECT_TRUE(ProbeFileFormat(dfDoc, open.context));
  EXPECT_TRUE(open.context.WordHeader.empty());
}

TEST(FormatProbe, HtmlIsRecognisedWhenAsked) {
  for (const char* html : {"<!DOCTYPE html><p>", "\xEF\xBB\xBF  <HTML lang=en>", "\n<html>"}) {
    OpenFixture open({"page.txt", html, dfText});
    EXPECT_TRUE(ProbeFileFormat(dfHtml, open.context)) << html;
    EXPECT_EQ(DetectFileFormat(open.context), dfText) << html;  // detection keeps its order
  }
  OpenFixture text({"note.txt", "just <html> in text", dfText});
  EXPECT_FALSE(ProbeFileFormat(dfHtml, text.context));
}

TEST(FormatProbe, MemoryBlocksAreProbedByTheirBytes) {
  std::string rtf = "{\\rtf1 clip}";
  TOpenContext context;
  context.BeginMemoryRead(reinterpret_cast<uint8_t*>(rtf.data()), int32_t(rtf.size()), dfRtf);
  EXPECT_TRUE(ProbeFileFormat(dfRtf, context));
  EXPECT_FALSE(ProbeFileFormat(dfDoc, context));   // no file to look into
  EXPECT_FALSE(ProbeFileFormat(dfDocx, context));
  EXPECT_EQ(DetectFileFormat(context), dfRtf);
}
