#include "foundation/fonts/font_substitution.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>

using namespace qv;

namespace {

TEST(FontSubstitution, RemoveLastWord) {
  const struct {
    const char* face;
    const char* expected;
  } cases[] = {
      {"Arial Narrow", "Arial"},
      {"Liberation Sans Foo Bar", "Liberation Sans Foo"},
      {"Arial", ""},
      {"A", ""},
      {"", ""},
      {"Arial ", "Arial"},
  };
  for (const auto& c : cases) EXPECT_EQ(RemoveLastWord(c.face), c.expected) << c.face;
}

TEST(FontSubstitution, TableHasEachFaceOnce) {
  const auto entries = FontSubstituteEntries();
  ASSERT_EQ(entries.size(), 71u);
  std::set<std::string> faces;
  for (const char* e : entries) {
    std::string face(e);
    face = face.substr(0, face.find(','));
    for (char& c : face) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_TRUE(faces.insert(face).second) << e;
  }
  EXPECT_EQ(FontSubstitute("helvetica"), "Arial");
  EXPECT_EQ(FontSubstitute("CG Times (W1)"), "Times New Roman");  // split at the first comma
  EXPECT_EQ(FontSubstitute("Nothing Like It"), "");
}

TEST(FontSubstitution, FollowsChainsToAnInstalledFace) {
  const struct {
    const char* face;
    std::set<std::string> installed;
    const char* expected;
  } cases[] = {
      {"Helvetica", {"Arial"}, "Arial"},
      {"Tms Rmn", {"Times New Roman"}, "Times New Roman"},   // via Times Roman
      {"Courier", {}, ""},                                   // Courier, Courier New, Courier loops
      {"Courier", {"Courier New"}, "Courier New"},
      {"Roman 10cpi", {"Roman 10cpi"}, ""},                  // the face itself is never the answer
      {"Univers_Scale", {"Arial"}, "Arial"},                 // three steps
      {"No Such Face", {"Arial"}, ""},
  };
  for (const auto& c : cases) {
    auto installed = [&](std::string_view n) { return c.installed.count(std::string(n)) > 0; };
    EXPECT_EQ(FollowSubstitutes(c.face, installed), c.expected) << c.face;
  }
}

}  // namespace
