#include "foundation/base/memory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "foundation/base/exceptions.h"
#include "support/test_env.h"

using namespace qv;

namespace {

TEST(Memory, CapacityFollowsPowersOfTwoFrom128) {
  struct Step {
    int32_t length;
    int32_t capacity;
  };
  // Each step sets the length on the same buffer.
  const Step steps[] = {{0, 0},    {1, 128},   {128, 128}, {129, 256},
                        {10, 256}, {1000, 1024}, {0, 0},    {5, 128}};
  TMemory m;
  for (const Step& s : steps) {
    m.SetLength(s.length);
    EXPECT_EQ(m.Length, s.length);
    EXPECT_EQ(m.Capacity, s.capacity) << "length " << s.length;
  }
  TMemory jump;
  jump.SetLength(1000);
  EXPECT_EQ(jump.Capacity, 1024);
}

TEST(Memory, ShrinkingKeepsBlockAndBytes) {
  TMemory m;
  for (int i = 0; i < 1000; ++i) m.AppendByte(static_cast<uint8_t>(i));
  m.SetLength(10);
  EXPECT_EQ(m.Capacity, 1024);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(m.Data[i], i);
}

TEST(Memory, AttachAdoptsExactBlock) {
  TMemory m;
  m.AppendString("old");
  void* block = std::malloc(300);
  std::memset(block, 7, 300);
  m.Attach(block, 300);
  EXPECT_EQ(m.Length, 300);
  EXPECT_EQ(m.Capacity, 300);
  EXPECT_EQ(m.Data[299], 7);
  m.AppendByte(1);
  EXPECT_EQ(m.Capacity, 512);
  EXPECT_EQ(m.Data[299], 7);
  EXPECT_EQ(m.Data[300], 1);
}

TEST(Memory, InsertAndDeleteAtBothEnds) {
  TMemory m;
  m.SetString("bcd");
  m.Insert("a", 0, 1);
  m.Insert("ef", m.Length, 2);
  m.Insert("XY", 2, 2);
  EXPECT_EQ(m.ToString(), "abXYcdef");
  m.Delete(2, 2);
  m.Delete(0, 1);
  m.Delete(m.Length - 1, 1);
  EXPECT_EQ(m.ToString(), "bcde");
  m.Delete(0, m.Length);
  EXPECT_EQ(m.Length, 0);
  EXPECT_EQ(m.Capacity, 0);
}

TEST(Memory, LittleEndianStorage) {
  TMemory m;
  m.AppendWord(0x1234);
  m.AppendInt(0xA1B2C3D4u);
  m.AppendWideString(u"\u0102");
  EXPECT_EQ(m.ToString(), std::string("\x34\x12\xD4\xC3\xB2\xA1\x02\x01", 8));
  TMemory w;
  w.SetWideString(u"abc");
  EXPECT_EQ(w.Length, 6);
  EXPECT_EQ(w.ToString(), std::string("a\0b\0c\0", 6));
}

TEST(Memory, SourceInsideOwnBlockIsCopiedSafely) {
  TMemory m;
  m.SetString(std::string(120, 'x') + "abcdefgh");  // capacity 128, the append must grow
  m.Append(m.Data + 120, 8);
  EXPECT_EQ(m.ToString().substr(120), "abcdefghabcdefgh");
  m.Insert(m.Data, 0, 4);
  EXPECT_EQ(m.ToString().substr(0, 6), "xxxxxx");
}

TEST(Memory, RefusedGrowthLeavesBufferUnchanged) {
  TMemory m;
  m.SetString("keep");
  uint8_t* data = m.Data;
  const int32_t tooLong[] = {TMemory::MaxLength + 1, -1};
  for (int32_t n : tooLong) {
    EXPECT_THROW(m.SetLength(n), EOutOfMemory);
  }
  std::string big(16, 'z');
  try {
    m.SetLength(TMemory::MaxLength - 8);  // the address space may refuse it; that part is skipped then
  } catch (const EOutOfMemory&) {
  }
  if (m.Length == TMemory::MaxLength - 8) {
    EXPECT_THROW(m.Append(big.data(), 16), EOutOfMemory);
    EXPECT_EQ(m.Length, TMemory::MaxLength - 8);
    m.SetLength(4);
    data = m.Data;
  }
  EXPECT_EQ(m.Length, 4);
  EXPECT_EQ(m.Data, data);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(m.Data), 4), "keep");
}

TEST(Memory, CopiesAreIndependent) {
  TMemory a;
  a.SetString("abc");
  TMemory b(a);
  b.AppendByte('d');
  TMemory c;
  c = std::move(b);
  EXPECT_EQ(a.ToString(), "abc");
  EXPECT_EQ(c.ToString(), "abcd");
  EXPECT_EQ(b.Length, 0);
}

TEST(Memory, FileRoundTripAndErrors) {
  std::string dir = qvtest::MakeTempDir("mem");
  std::string empty = dir + "/empty.bin";
  qvtest::WriteFile(empty, "");
  TMemory m;
  m.SetString("stale");
  m.LoadFromFile(empty);
  EXPECT_EQ(m.Length, 0);
  EXPECT_EQ(m.Capacity, 0);

  std::string path = dir + "/data.bin";
  qvtest::WriteFile(path, "old content");
  m.SetString(std::string("new\0bytes", 9));
  m.SaveToFile(path);
  EXPECT_EQ(qvtest::ReadFile(path), std::string("new\0bytes", 9));
  TMemory back;
  back.LoadFromFile(path);
  EXPECT_EQ(back.ToString(), m.ToString());

  back.SetString("unchanged");
  EXPECT_THROW(back.LoadFromFile(dir + "/missing.bin"), EFOpenError);
  EXPECT_EQ(back.ToString(), "unchanged");
  EXPECT_THROW(m.SaveToFile(dir + "/no/such/folder/x.bin"), EFCreateError);
}

}  // namespace
