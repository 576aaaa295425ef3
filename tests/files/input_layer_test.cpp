// The input layer: fills of the shared read buffer at the sizes that matter, refills that carry
// the unread bytes, nested reads, and whole files read through the lexer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "files/doc_formats.h"
#include "files/open_context.h"
#include "files/read_buffer.h"
#include "files/rtf/rtf_tokenizer.h"
#include "foundation/base/exceptions.h"
#include "support/test_env.h"

using namespace qv;
using namespace qvtest;

namespace {

std::string Pattern(size_t size) {
  std::string s(size, '\0');
  for (size_t i = 0; i < size; ++i) s[i] = char('a' + (i * 7 + i / 251) % 26);
  return s;
}

std::string TempFile(const std::string& bytes, const std::string& name = "in.rtf") {
  const std::string path = MakeTempDir("input") + "/" + name;
  WriteFile(path, bytes);
  return path;
}

// Everything a context yields, consuming all but the look-ahead before each refill.
std::string ReadAll(TOpenContext& context) {
  std::string out;
  for (int guard = 0; guard < 100000; ++guard) {
    out.append(reinterpret_cast<const char*>(context.ReadPos), size_t(context.Unread()));
    context.ReadPos = context.DataEnd;
    if (context.AtEnd) return out;
    context.Refill();
  }
  return out + "HANG";
}

}  // namespace

TEST(InputLayer, FillSizes) {
  struct Case {
    size_t size;
    int32_t firstFill;
    bool atEnd;
  };
  for (const Case& c : {Case{0, 0, true}, Case{100, 100, true}, Case{65568, 65568, true},
                        Case{65569, 65536, false}, Case{200000, 65536, false}}) {
    const std::string bytes = Pattern(c.size);
    TOpenContext context;
    context.BeginFileRead(TempFile(bytes));
    EXPECT_EQ(context.Unread(), c.firstFill) << c.size;
    EXPECT_EQ(context.AtEnd, c.atEnd) << c.size;
    EXPECT_EQ(context.PendingBytes(), int64_t(c.size) - c.firstFill) << c.size;
    EXPECT_EQ(ReadAll(context), bytes) << c.size;
  }
  // 65,569 bytes: the reader keeps 31 unread bytes and the second fill brings the last 33.
  const std::string bytes = Pattern(65569);
  TOpenContext context;
  context.BeginFileRead(TempFile(bytes));
  context.ReadPos = context.DataEnd - 31;
  context.KeepLookAhead();
  EXPECT_EQ(context.Unread(), 64);
  EXPECT_TRUE(context.AtEnd);
  EXPECT_EQ(context.BufferFileOffset, 65536 - 31);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(context.ReadPos), 64), bytes.substr(65505));
}

TEST(InputLayer, RefillIsBoundedWhateverIsLeftUnread) {
  // A caller that refills with much left unread never overfills the buffer.
  const std::string bytes = Pattern(300000);
  TOpenContext context;
  context.BeginFileRead(TempFile(bytes));
  std::string out;
  for (int guard = 0; guard < 1000 && !(context.AtEnd && context.Unread() == 0); ++guard) {
    const int32_t take = std::min(context.Unread(), 40000);
    out.append(reinterpret_cast<const char*>(context.ReadPos), size_t(take));
    context.ReadPos += take;
    ASSERT_LE(context.Unread(), kReadBufferFillLimit);
    context.Refill();
    ASSERT_LE(context.DataEnd - ReadBuffer(), kReadBufferFillLimit);
  }
  EXPECT_EQ(out, bytes);
}

TEST(InputLayer, MissingFileIsAnOpenError) {
  TOpenContext context;
  EXPECT_THROW(context.BeginFileRead(SandboxDir() + "/no such file.rtf"), EFOpenError);
}

TEST(InputLayer, NestedReadsKeepTheOuterBuffer) {
  uint8_t* outer = ReadBuffer();
  std::memcpy(outer, "outer", 5);
  {
    TNestedReadBuffer nested;
    EXPECT_NE(ReadBuffer(), outer);
    EXPECT_EQ(ReadBuffer()[kReadBufferSize - 1], 0);
    std::memcpy(ReadBuffer(), "inner", 5);
  }
  EXPECT_EQ(ReadBuffer(), outer);
  EXPECT_EQ(std::memcmp(ReadBuffer(), "outer", 5), 0);
  {
    TSavedReadBufferBytes saved;
    std::memcpy(ReadBuffer(), "other", 5);
  }
  EXPECT_EQ(std::memcmp(ReadBuffer(), "outer", 5), 0);
}

TEST(InputLayer, LexerReadsAFileAcrossRefillsLikeTheSameBytesInMemory) {
  // A document larger than the buffer, with binary data and escapes on the refill points.
  std::string rtf = "{\\rtf1\\ansi ";
  std::string binary(70000, '\0');
  for (size_t i = 0; i < binary.size(); ++i) binary[i] = char(i * 31 % 256);
  for (int i = 0; i < 3000; ++i) rtf += "{\\b word\\'e9}\\u8364?\\par\n";
  rtf += "{\\*\\blob\\bin" + std::to_string(binary.size()) + " " + binary + "}";
  for (int i = 0; i < 3000; ++i) rtf += "text \\fs" + std::to_string(i) + " ";
  rtf += "}";

  auto trace = [](TInputWindow& window, std::string& bin) {
    TRtfLexer lexer(window);
    std::string t;
    for (TRtfItem item = lexer.Next(); item.Type != TRtfItem::Kind::End; item = lexer.Next()) {
      if (item.Type == TRtfItem::Kind::Text) {
        t += std::string(item.Name());
        continue;
      }
      for (const std::string& part : {std::to_string(int(item.Type)), std::to_string(item.Word),
                                      std::to_string(item.Param)})
        t.append(part).append(1, ',');
      t.append(1, '|');
      if (item.Type == TRtfItem::Kind::Binary) bin = lexer.BinaryData.ToString();
    }
    return t;
  };
  std::string memoryBytes = rtf, memoryBin, fileBin;
  TMemoryInputWindow memory(reinterpret_cast<uint8_t*>(memoryBytes.data()), int32_t(rtf.size()));
  const std::string expected = trace(memory, memoryBin);
  TOpenContext context;
  context.BeginFileRead(TempFile(rtf));
  EXPECT_EQ(trace(context, fileBin), expected);
  EXPECT_EQ(fileBin, binary);
  EXPECT_EQ(memoryBin, binary);
}

TEST(InputLayer, TruncatedBinaryInAFileIsDamage) {
  std::string rtf = "{\\rtf1 \\bin100000 " + std::string(70000, 'x');
  TOpenContext context;
  context.BeginFileRead(TempFile(rtf));
  TRtfLexer lexer(context);
  TRtfItem item;
  int guard = 0;
  do item = lexer.Next();
  while (item.Type != TRtfItem::Kind::Damaged && item.Type != TRtfItem::Kind::End && ++guard < 100);
  EXPECT_EQ(item.Type, TRtfItem::Kind::Damaged);
}
