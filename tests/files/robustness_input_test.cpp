// Hostile input: mutated documents from a fixed seed go through the lexer, the input layer, the
// probe and the decipherer; each ends, within the data, without a fault.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "files/crypt/encrypted_document.h"
#include "files/doc_formats.h"
#include "files/file_fixtures.h"
#include "files/format_probe.h"
#include "files/open_context.h"
#include "files/rtf/rtf_tokenizer.h"
#include "foundation/base/exceptions.h"
#include "support/test_env.h"

using namespace qv;
using namespace qvtest;

namespace {

const char* const kSeeds[] = {
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}{\\colortbl;\\red255\\green0\\blue0;}"
    "\\uc1\\pard\\plain\\f0\\fs24 Caf\\'e9 \\u8364? {\\b bold}\\par{\\*\\generator x;}"
    "{\\pict\\pngblip\\picw10\\pich10 89504e47}\\bin4 \x01\x02}{\\'7d}\\cell\\row}",
    "{\\rtf1{\\*\\shp{\\*\\shpinst{\\sp{\\sn a}{\\sv 1}}}}\\trowd\\cellx100 a\\cell\\row\\uc2\\u-3913ab}",
};

std::string Mutate(std::mt19937& rng, std::string s) {
  const char kInteresting[] = "{}\\'*0123456789-ub\xff\x00";
  const int edits = 1 + int(rng() % 8);
  for (int e = 0; e < edits; ++e) {
    const size_t at = s.empty() ? 0 : rng() % s.size();
    switch (rng() % 6) {
      case 0: if (!s.empty()) s[at] = char(rng()); break;
      case 1: s.insert(at, 1, kInteresting[rng() % (sizeof kInteresting - 1)]); break;
      case 2: if (!s.empty()) s.erase(at, 1 + rng() % 4); break;
      case 3: s.resize(at); break;                                   // truncated
      case 4: s.insert(at, std::string(1 + rng() % 40, '{')); break;  // deep nesting
      case 5: s.insert(at, "\\bin" + std::to_string(int32_t(rng())) + " "); break;
    }
  }
  return s;
}

// Runs the lexer to the end; the number of items it gave (bounded: one per byte or so).
size_t Drain(TInputWindow& window, size_t size) {
  TRtfLexer lexer(window);
  size_t items = 0;
  for (;;) {
    const TRtfItem item = lexer.Next();
    if (item.Type == TRtfItem::Kind::End || item.Type == TRtfItem::Kind::Damaged) break;
    if (item.Count > 0) EXPECT_NE(item.Bytes, nullptr);
    if (++items > size + 10) {
      ADD_FAILURE() << "the lexer does not end";
      break;
    }
  }
  return items;
}

}  // namespace

TEST(InputRobustness, MutatedRtfThroughTheLexer) {
  std::mt19937 rng(2101);
  for (int round = 0; round < 3000; ++round) {
    std::string bytes = Mutate(rng, kSeeds[round % 2]);
    // Exactly as long as the data: any read past the end is caught by the sanitizers.
    std::vector<uint8_t> block(bytes.begin(), bytes.end());
    TMemoryInputWindow window(block.data(), int32_t(block.size()));
    Drain(window, block.size());
  }
}

TEST(InputRobustness, MutatedFilesThroughTheProbeAndTheInputLayer) {
  std::mt19937 rng(2102);
  const std::string folder = MakeTempDir("mutants");
  const std::string seeds[] = {
      kSeeds[0],
      MakeZip({{"[Content_Types].xml", "wordprocessingml.document.main+xml"}, {"mimetype", "x"}},
              true),
      MakeCompoundFile("WordDocument", Le16(0xA5EC) + Le16(193)),
      MakeWriteFile(),
  };
  for (int round = 0; round < 120; ++round) {
    const std::string& seed = seeds[round % 4];
    std::string bytes = seed;
    // Fewer, byte-level edits keep the structures recognisable, so the readers go deep.
    for (int e = 0, n = 1 + int(rng() % 6); e < n && !bytes.empty(); ++e)
      bytes[rng() % bytes.size()] = char(rng() % 3 ? rng() : (rng() % 2 ? 0xFF : 0));
    if (rng() % 5 == 0) bytes.resize(rng() % (bytes.size() + 1));
    const std::string path = folder + "/m" + std::to_string(round);
    WriteFile(path, bytes);
    TOpenContext context;
    context.BeginFileRead(path);
    const int32_t detected = DetectFileFormat(context);
    EXPECT_GE(detected, dfRtf);
    EXPECT_LE(detected, dfText);
    for (int32_t format : {dfRtf, dfDoc, dfDocx, dfOdt, dfEncrypted, dfWrite, dfHtml})
      ProbeFileFormat(format, context);
    Drain(context, bytes.size());
  }
}

TEST(InputRobustness, DamagedEncryptedDocumentsAreRefused) {
  std::mt19937 rng(2103);
  TMemory image;
  const std::string rtf = kSeeds[0];
  EncipherDocument(reinterpret_cast<const uint8_t*>(rtf.data()), int32_t(rtf.size()), "password",
                   image);
  const std::string whole = image.ToString();
  for (int round = 0; round < 12; ++round) {
    std::string bytes = whole;
    bytes[rng() % bytes.size()] ^= char(1 + rng() % 255);
    if (round % 3 == 0) bytes.resize(rng() % bytes.size());
    TMemory out;
    EXPECT_FALSE(DecipherEncryptedBlock(reinterpret_cast<const uint8_t*>(bytes.data()),
                                        int32_t(bytes.size()), "password", out));
    EXPECT_EQ(out.Length, 0);
  }
}
