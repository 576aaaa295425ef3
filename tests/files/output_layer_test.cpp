#include "files/output/output_layer.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "document/auto_list.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/styles.h"
#include "files/output/output_cipher.h"
#include "files/output/save_collection.h"
#include "files/output/save_file.h"
#include "files/output/save_progress_services.h"
#include "files_test_support.h"
#include "foundation/base/exceptions.h"
#include "foundation/base/service_slot.h"
#include "support/test_env.h"

using namespace qv;
using namespace qvtest;

namespace {

// A running-key cipher: each byte is XORed with a counter that goes on from block to block.
class CountingCipher : public TOutputCipher {
 public:
  uint8_t Key = 0;
  void EncipherBlock(uint8_t* data, int32_t count) override {
    for (int32_t i = 0; i < count; ++i) data[i] ^= static_cast<uint8_t>(0xA5 + Key++);
  }
};

class RecordingProgress : public TSaveProgressServices {
 public:
  std::vector<std::string> Begun;
  std::vector<int32_t> Positions;
  void BeginProgress(int32_t maximum, const std::string& text) override {
    Begun.push_back(text + "/" + std::to_string(maximum));
  }
  void SetProgressPos(int32_t position) override { Positions.push_back(position); }
};

std::string Pattern(size_t n) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>('a' + i % 26);
  return s;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder))
    names.push_back(e.path().filename().string());
  return names;
}

// Writes the bytes in pieces of the given sizes through a file save.
uint8_t SaveBytes(TSaveContext& context, const std::string& target, const std::string& bytes,
                  size_t piece) {
  return SaveThroughTempFile(context, target, [&](TSaveContext& c) -> uint8_t {
    for (size_t at = 0; at < bytes.size(); at += piece)
      WriteOutputBytes(c, bytes.data() + at,
                       static_cast<int32_t>(std::min(piece, bytes.size() - at)));
    return 0;
  });
}

// Lowers the file-size limit of the process for a scope, so that writes past it fail as on a
// full disk.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &old_);
    rlimit lower = old_;
    lower.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &lower);
  }
  ~FileSizeLimit() { Lift(); }
  void Lift() { ::setrlimit(RLIMIT_FSIZE, &old_); }

 private:
  rlimit old_{};
};

TEST(OutputLayer, MemoryTargetAppendsWithoutTouchingTheSharedBufferProgressOrCipher) {
  ScopedService<TSaveProgressServices, RecordingProgress> progress;
  TDoc doc(true);
  TMemory out;
  out.SetString("head:");
  TDocSavingOptions options;
  options.Target = TDocSavingOptions::tgMemory;
  options.Format = 4;  // an encrypted document, yet memory output is never enciphered
  options.Output = &out;
  const int32_t sharedBefore = SharedOutputBuffer().Length;
  TSaveContext context(&doc, options);
  BeginSaveProgress(context);
  WriteOutputByte(context, 'A');
  WriteOutputWord(context, 0x4342);  // low byte first
  WriteOutputBytes(context, "DEF", 3);
  for (int i = 0; i < 600; ++i) {
    ++context.ParagraphCounter;
    ReportSaveProgress(context);
  }
  FlushOutput(context);
  EXPECT_EQ(out.ToString(), "head:ABCDEF");
  EXPECT_EQ(SharedOutputBuffer().Length, sharedBefore);
  EXPECT_TRUE(progress->Begun.empty());
  EXPECT_TRUE(progress->Positions.empty());
}

TEST(OutputLayer, EncryptedOutputKeepsTheHeaderPlainWhereverTheFlushesFall) {
  ScopedService<TMessageDlgService, ScriptedBox> box;
  TDoc doc(true);
  const std::string dir = MakeTempDir("cipher");
  const std::string plain = Pattern(200000);  // several buffer fills
  std::string expected = plain;
  CountingCipher reference;
  reference.EncipherBlock(reinterpret_cast<uint8_t*>(expected.data()) + EncryptedHeaderSize,
                          static_cast<int32_t>(expected.size()) - EncryptedHeaderSize);
  for (size_t piece : {size_t{1}, size_t{7}, size_t{30}, size_t{65536}, size_t{150000}}) {
    TDocSavingOptions options;
    options.Format = 4;
    TSaveContext context(&doc, options);
    CountingCipher cipher;
    context.Cipher = &cipher;
    const std::string target = dir + "/doc.cod";
    ASSERT_EQ(SaveBytes(context, target, plain, piece), 0) << piece;
    EXPECT_EQ(ReadFile(target), expected) << "pieces of " << piece;
  }
  // Without its cipher an encrypted document is not written in plain text.
  TDocSavingOptions options;
  options.Format = 4;
  TSaveContext context(&doc, options);
  WriteFile(dir + "/old.cod", "old");
  EXPECT_EQ(SaveBytes(context, dir + "/old.cod", plain, 1000), 2);
  EXPECT_EQ(ReadFile(dir + "/old.cod"), "old");
}

TEST(OutputLayer, AWriteLargerThanTheBufferFlushesAndGrowsItToAnEvenSize) {
  ScopedService<TMessageDlgService, ScriptedBox> box;
  TDoc doc(true);
  const std::string dir = MakeTempDir("grow");
  TDocSavingOptions options;
  TSaveContext context(&doc, options);
  ASSERT_GE(context.Buffer().Length, TSaveContext::OutputBufferSize);
  // The shared buffer never shrinks, so the write is made larger than whatever it holds now.
  const int32_t bigSize = context.Buffer().Length + 1001;
  const std::string big = Pattern(static_cast<size_t>(bigSize));
  const uint8_t result = SaveThroughTempFile(context, dir + "/big", [&](TSaveContext& c) {
    WriteOutputBytes(c, "0123", 4);
    WriteOutputBytes(c, big.data(), static_cast<int32_t>(big.size()));
    EXPECT_EQ(c.BytesFlushed, 4);  // what was pending went first
    EXPECT_EQ(c.Buffer().Length, bigSize + 1);
    return uint8_t{0};
  });
  ASSERT_EQ(result, 0);
  EXPECT_EQ(ReadFile(dir + "/big"), "0123" + big);
}

TEST(OutputLayer, ANestedSaveGetsABufferOfItsOwn) {
  TDoc doc(true);
  TDocSavingOptions options;
  TSaveContext outer(&doc, options);
  TSaveContext inner(&doc, options);
  EXPECT_EQ(&outer.Buffer(), &SharedOutputBuffer());
  EXPECT_NE(&inner.Buffer(), &SharedOutputBuffer());
}

TEST(SaveFile, ReplacesTheTargetKeepingItsPermissionsAndLeavesNoTemporaryFile) {
  ScopedService<TMessageDlgService, ScriptedBox> box;
  TDoc doc(true);
  const std::string dir = MakeTempDir("replace");
  const std::string target = dir + "/doc.txt";
  WriteFile(target, "old content");
  ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
  TSaveContext context(&doc, TDocSavingOptions{});
  ASSERT_EQ(SaveBytes(context, target, "new", 10), 0);
  EXPECT_EQ(ReadFile(target), "new");
  struct stat st{};
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(FolderEntries(dir), std::vector<std::string>{"doc.txt"});
  // A symbolic link stays a link; the file it names gets the new content.
  const std::string link = dir + "/link.txt";
  std::filesystem::create_symlink(target, link);
  TSaveContext again(&doc, TDocSavingOptions{});
  ASSERT_EQ(SaveBytes(again, link, "through the link", 4), 0);
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadFile(target), "through the link");
}

// A save that fails half-way (the disk fills) leaves the original byte for byte, removes its
// temporary file and reports failure; Retry after room was made writes the whole file.
TEST(SaveFile, AFullDiskLeavesTheOriginalUntouchedOrRetriesTheSameBytes) {
  ScopedService<TMessageDlgService, ScriptedBox> box;
  TDoc doc(true);
  doc.FileName = "doc.txt";
  const std::string dir = MakeTempDir("full");
  const std::string target = dir + "/doc.txt";
  const std::string original = Pattern(5000) + "original";
  WriteFile(target, original);
  const std::string bytes = Pattern(300000);
  {
    FileSizeLimit limit(100000);
    TSaveContext context(&doc, TDocSavingOptions{});
    EXPECT_EQ(SaveBytes(context, target, bytes, 1000), 2);
  }
  EXPECT_EQ(ReadFile(target), original);
  EXPECT_EQ(FolderEntries(dir), std::vector<std::string>{"doc.txt"});
  ASSERT_EQ(box->Texts.size(), 1u);
  EXPECT_NE(box->Texts[0].find("Error writing file \""), std::string::npos);

  FileSizeLimit limit(150000);
  box->Texts.clear();
  box->Answer = [&limit] {
    limit.Lift();  // the user made room
    return mrRetry;
  };
  TSaveContext context(&doc, TDocSavingOptions{});
  EXPECT_EQ(SaveBytes(context, target, bytes, 777), 0);
  EXPECT_EQ(box->Texts.size(), 1u);
  EXPECT_EQ(ReadFile(target), bytes);
  EXPECT_EQ(FolderEntries(dir), std::vector<std::string>{"doc.txt"});
}

// A process killed in the middle of a save leaves the old file whole.
TEST(SaveFile, AProcessKilledDuringASaveLeavesTheOldFile) {
  const std::string dir = MakeTempDir("killed");
  const std::string target = dir + "/doc.txt";
  WriteFile(target, "the old file");
  EXPECT_EXIT(
      {
        TDoc doc(true);
        TSaveContext context(&doc, TDocSavingOptions{});
        SaveThroughTempFile(context, target, [](TSaveContext& c) -> uint8_t {
          for (int i = 0; i < 20; ++i) WriteOutputString(c, Pattern(60000));  // flushes
          ::raise(SIGKILL);
          return 0;
        });
      },
      ::testing::KilledBySignal(SIGKILL), "");
  EXPECT_EQ(ReadFile(target), "the old file");
}

TEST(SaveFile, FailuresBeforeAndAfterWritingLeaveTheTargetAsItWas) {
  ScopedService<TMessageDlgService, ScriptedBox> box;
  TDoc doc(true);
  const std::string dir = MakeTempDir("fail");
  const std::string target = dir + "/doc.txt";
  WriteFile(target, "keep me");
  bool writerRan = false;
  // The folder does not exist: nothing can be created there; Cancel gives up.
  TSaveContext c1(&doc, TDocSavingOptions{});
  EXPECT_EQ(SaveThroughTempFile(c1, dir + "/missing/doc.txt", [&](TSaveContext&) {
              writerRan = true;
              return uint8_t{0};
            }),
            2);
  EXPECT_FALSE(writerRan);
  EXPECT_EQ(box->Texts.size(), 1u);
  // The writer fails (or throws) after writing: the target keeps its content.
  for (bool throws : {false, true}) {
    TSaveContext c2(&doc, TDocSavingOptions{});
    EXPECT_EQ(SaveThroughTempFile(c2, target, [&](TSaveContext& c) {
                WriteOutputString(c, Pattern(100000));
                if (throws) throw EAbort();
                return uint8_t{2};
              }),
              2);
    EXPECT_EQ(ReadFile(target), "keep me");
    EXPECT_EQ(FolderEntries(dir), std::vector<std::string>{"doc.txt"});
  }
}

TEST(OutputLayer, ProgressNamesTheSaveAndMovesEvery256Paragraphs) {
  ScopedService<TSaveProgressServices, RecordingProgress> progress;
  TDoc doc(true);
  doc.FileName = "/home/u/doc.rtf";
  struct Case {
    TSaveContext::TSaveKind kind;
    std::string text;
  } cases[] = {
      {TSaveContext::TSaveKind::Document, "Saving document \"/home/u/doc.rtf\" .../10"},
      {TSaveContext::TSaveKind::Backup, "Creating backup for \"named\" .../10"},
      {TSaveContext::TSaveKind::SafeCopy, "Creating a Safe Copy for \"named\" .../10"},
  };
  for (const Case& c : cases) {
    TDocSavingOptions options;
    options.Name = "named";
    MakeRange(3, 0, 12, 0, options.Range);
    TSaveContext context(&doc, options);
    context.Kind = c.kind;
    progress->Begun.clear();
    BeginSaveProgress(context);
    EXPECT_EQ(progress->Begun, std::vector<std::string>{c.text});
  }
  TSaveContext context(&doc, TDocSavingOptions{});
  progress->Positions.clear();
  for (int i = 0; i < 600; ++i) {
    ++context.ParagraphCounter;
    ReportSaveProgress(context);
  }
  EXPECT_EQ(progress->Positions, (std::vector<int32_t>{256, 512}));
}

TEST(SaveCollection, ColoursInFirstMetOrderAfterTheAutomaticOneAndListsUsedByStyles) {
  TDoc doc(true);
  doc.Styles->Count();  // the document has its style list
  auto styleList = std::make_unique<TAutoList>();
  styleList->Number = 7;
  styleList->ListLevels[0].CharFormat.Color = 0x00112233;
  auto parList = std::make_unique<TAutoList>();
  parList->Number = 9;
  auto unused = std::make_unique<TAutoList>();
  unused->Number = 11;
  doc.Lists.push_back(std::move(unused));
  doc.Lists.push_back(std::move(styleList));
  doc.Lists.push_back(std::move(parList));
  TStyle* style = nullptr;
  if (doc.Styles->Count() > 0) style = &(*doc.Styles)[0];
  if (style != nullptr) style->ParFmt.List = 7;
  TPar& par = *doc.Par(0);
  par.Format.List = 9;
  par.Content.Clear();
  AppendContentTag(par.Content, ctFont, 3);
  AppendContentTag(par.Content, cpColor, 0x000000FF);
  AppendContentTag(par.Content, cpHighlight, AutoColor);
  AppendContentTag(par.Content, cpUnderlineColor, 0x0000FF00);
  AppendContentTag(par.Content, cpColor, 0x000000FF);
  par.Content.AppendString("x");
  AppendContentTag(par.Content, ctSpecialChar, scParagraphEnd);
  par.RebuildCodes();
  TSaveContext context(&doc, TDocSavingOptions{});
  CollectFontsAndColors(context);
  ASSERT_GE(context.ColorTable.size(), 3u);
  EXPECT_EQ(context.ColorTable[0], 0xFF000000u);
  const std::vector<uint32_t> tail(context.ColorTable.end() - 2, context.ColorTable.end());
  EXPECT_EQ(tail, (std::vector<uint32_t>{0x000000FF, 0x0000FF00}));
  ASSERT_GT(context.FontUsed.size(), 3u);
  EXPECT_EQ(context.FontUsed[3], 1);
  if (style != nullptr) {
    EXPECT_EQ(context.ListOutputNumber, (std::vector<int32_t>{0, 1, 2}));
    EXPECT_NE(std::find(context.ColorTable.begin(), context.ColorTable.end(), 0x00112233u),
              context.ColorTable.end());
  }
  // A document without colours still has the automatic one.
  TDoc empty(true);
  TSaveContext bare(&empty, TDocSavingOptions{});
  CollectFontsAndColors(bare);
  EXPECT_EQ(bare.ColorTable.front(), 0xFF000000u);
  EXPECT_EQ(std::count(bare.ColorTable.begin(), bare.ColorTable.end(), 0xFF000000u), 1);
}

}  // namespace
