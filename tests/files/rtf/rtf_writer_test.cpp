#include "files/rtf/rtf_writer.h"

#include <gtest/gtest.h>

#include <string>

#include "document/content_tags.h"
#include "document/doc.h"
#include "document/doc_builder.h"
#include "files/files_test_support.h"
#include "files/rtf/rtf_write_support.h"

using namespace qv;

namespace {

class RtfWriterTest : public ::testing::Test {
 protected:
  void SetUp() override { qvtest::EnsureFontManager(); }
};

TEST_F(RtfWriterTest, Smoke) {
  TDoc doc(true);
  TDocBuilder b(doc);
  b.Add("Hello {world}");
  b.Add("Second");
  b.Finish();
  std::string rtf = qvtest::WriteRtfToString(doc);
  std::printf("%s\n", rtf.c_str());
}

}  // namespace
