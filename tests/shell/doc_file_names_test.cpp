#include "shell/doc_file_names.h"

#include <gtest/gtest.h>

using namespace qv;

namespace {

TEST(DocFileNames, TellsFilesApartByExtension) {
  const struct {
    const char* name;
    bool document;
    uint8_t picture;
    bool web;
    bool project;
  } cases[] = {
      {"/a/Letter.RTF", true, 255, false, false},
      {"/a/b.docx", true, 255, false, false},
      {"/a/b.doc.txt", true, 255, false, false},
      {"/a/photo.JPEG", false, 3, false, false},
      {"/a/photo.jpg", false, 3, false, false},
      {"/a/x.png", false, 5, false, false},
      {"/a/x.bmp", false, 0, false, false},
      {"/a/page.HTML", false, 255, true, false},
      {"/a/song.mp3", false, 255, true, false},
      {"/a/set.QVPJ", false, 255, false, true},
      {"/a/noextension", false, 255, false, false},
      {"/a.rtf/noextension", false, 255, false, false},  // a dot in a folder is no extension
      {"/a/.rtf", true, 255, false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HasDocumentExtension(c.name), c.document) << c.name;
    EXPECT_EQ(GetPictureFormatIndex(c.name), c.picture) << c.name;
    EXPECT_EQ(IsWebFileName(c.name), c.web) << c.name;
    EXPECT_EQ(IsProjectFileName(c.name), c.project) << c.name;
  }
}

TEST(DocFileNames, FormatNamesCompareExactly) {
  EXPECT_EQ(DocFormatFromExactName("COD"), 4);
  EXPECT_EQ(DocFormatFromExactName("TXT"), 6);
  EXPECT_EQ(DocFormatFromExactName("RTF"), 0);
  EXPECT_EQ(DocFormatFromExactName("cod"), kNoDocFormat);
  EXPECT_EQ(DocFormatFromExactName(""), kNoDocFormat);
}

// ODT (3) and Write (5) have no writer: they are not in the save filter, and the indexes of the
// formats after them move down.
TEST(DocFileNames, SaveFilterSkipsTheReadOnlyFormats) {
  const int32_t writable[] = {0, 1, 2, 4, 6};
  for (int32_t i = 0; i < 5; ++i) {
    EXPECT_EQ(SaveFilterIndexOfFormat(writable[i]), i + 1) << writable[i];
    EXPECT_EQ(FormatOfSaveFilterIndex(i + 1), writable[i]) << i + 1;
  }
  EXPECT_FALSE(IsInSaveFilter(3));
  EXPECT_FALSE(IsInSaveFilter(5));
  EXPECT_EQ(SaveDocumentFilter(),
            "Rich Text Format (*.rtf)|*.rtf|MS Word DOC (*.doc)|*.doc|MS Word DOCX (*.docx)|*.docx|"
            "Encrypted Documents (*.cod)|*.cod|Text Files (*.txt)|*.txt");
  const std::string open = OpenDocumentFilter();
  EXPECT_NE(open.find("Text Files (*.txt)|*.txt|All Document Types|"), std::string::npos);
  EXPECT_EQ(open.substr(open.size() - 19), "All Files (*.*)|*.*");
}

TEST(DocFileNames, UnknownExtensionsOpenInThePlainTextViewMode) {
  EXPECT_TRUE(OpensInDocumentViewMode("/a/b.ODT"));
  EXPECT_TRUE(OpensInDocumentViewMode("/a/b.cod"));
  EXPECT_FALSE(OpensInDocumentViewMode("/a/b.txt"));
  EXPECT_FALSE(OpensInDocumentViewMode("/a/b.log"));
  EXPECT_FALSE(OpensInDocumentViewMode("/a/b"));
}

}  // namespace
