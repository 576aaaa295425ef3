#include "foundation/text/word_delimiters.h"

#include <gtest/gtest.h>

#include <vector>

using namespace qv;

namespace {

// Puts the tables back as the program starts them, whatever a test did.
class WordDelimitersTest : public ::testing::Test {
 protected:
  void TearDown() override { InitWordDelimiters(0x0409); }
};

std::vector<int> Codes(const TCharFlags& table) {
  std::vector<int> codes;
  for (int c = 0; c < 256; ++c)
    if (table[static_cast<size_t>(c)]) codes.push_back(c);
  return codes;
}

TEST_F(WordDelimitersTest, ContentsForAnEnglishAndASpanishUser) {
  InitWordDelimiters(0x0409);
  const std::vector<int> words = {2,   3,   4,   5,   6,   7,   8,   9,   10,  11,  12,  13,  14,
                                  16,  18,  19,  20,  32,  33,  34,  35,  36,  37,  40,  41,  42,
                                  43,  44,  45,  46,  47,  58,  59,  60,  61,  62,  63,  64,  91,
                                  92,  93,  94,  95,  123, 124, 125, 126, 128, 130, 132, 133, 147,
                                  148, 153, 169, 171, 174, 187};
  EXPECT_EQ(Codes(WordDelimiters), words);
  std::vector<int> punctuation;
  for (int c : words)
    if (c != 32 && c != 11 && c != 18 && c != 19 && c != 20) punctuation.push_back(c);
  EXPECT_EQ(Codes(PunctuationDelimiters), punctuation);

  InitWordDelimiters(0x0C0A);  // Spanish (Spain, modern sort)
  EXPECT_TRUE(WordDelimiters[161] && WordDelimiters[191]);
  EXPECT_TRUE(PunctuationDelimiters[161] && PunctuationDelimiters[191]);
  EXPECT_EQ(Codes(WordDelimiters).size(), words.size() + 2);
}

TEST_F(WordDelimitersTest, ApostrophesJoinOrBoundWordsInBothTables) {
  InitWordDelimiters(0x0409);
  for (int c : {39, 96, 145, 146}) EXPECT_FALSE(WordDelimiters[static_cast<size_t>(c)]) << c;
  ExcludeApostrophesFromWords();
  for (int c : {39, 96, 145, 146}) {
    EXPECT_TRUE(WordDelimiters[static_cast<size_t>(c)]) << c;
    EXPECT_TRUE(PunctuationDelimiters[static_cast<size_t>(c)]) << c;
  }
  EXPECT_FALSE(WordDelimiters['a']);
  IncludeApostrophesInWords();
  for (int c : {39, 96, 145, 146}) {
    EXPECT_FALSE(WordDelimiters[static_cast<size_t>(c)]) << c;
    EXPECT_FALSE(PunctuationDelimiters[static_cast<size_t>(c)]) << c;
  }
  EXPECT_TRUE(WordDelimiters[' ']);  // the rest stays
}

}  // namespace
