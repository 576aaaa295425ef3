// Encrypted documents: the PC1 cipher against the published routine, the double cipher, the
// digest and password key, whole documents through files and memory, and the password loop.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "files/file_fixtures.h"
#include "files/crypt/encrypted_document.h"
#include "files/crypt/encryption_manager.h"
#include "files/doc_formats.h"
#include "files/open_context.h"
#include "files/rtf/rtf_tokenizer.h"
#include "foundation/base/exceptions.h"
#include "foundation/base/service_slot.h"
#include "foundation/settings/options_holder.h"
#include "support/test_env.h"

using namespace qv;
using namespace qvtest;

namespace {

// The published PC1 routine with a 128-bit key, register by register as it was published, as
// an independent reference for the manager's cipher.
struct PublishedPc1 {
  uint16_t ax = 0, bx = 0, cx = 0, dx = 0, si = 0, tmp = 0, x1a2 = 0, x1a0[8] = {}, res = 0, i = 0,
           inter = 0;
  uint8_t cle[16] = {};

  void code() {
    dx = uint16_t(x1a2 + i);
    ax = x1a0[i];
    cx = 0x015a;
    bx = 0x4e35;
    tmp = ax; ax = si; si = tmp;
    tmp = ax; ax = dx; dx = tmp;
    if (ax != 0) ax = uint16_t(ax * bx);
    tmp = ax; ax = cx; cx = tmp;
    if (ax != 0) {
      ax = uint16_t(ax * si);
      cx = uint16_t(ax + cx);
    }
    tmp = ax; ax = si; si = tmp;
    ax = uint16_t(ax * bx);
    dx = uint16_t(cx + dx);
    ax = uint16_t(ax + 1);
    x1a2 = dx;
    x1a0[i] = ax;
    res = ax ^ dx;
    i = uint16_t(i + 1);
  }
  void assemble() {
    x1a0[0] = uint16_t(cle[0] * 256 + cle[1]);
    code();
    inter = res;
    for (int k = 1; k < 8; ++k) {
      x1a0[k] = uint16_t(x1a0[k - 1] ^ (cle[2 * k] * 256 + cle[2 * k + 1]));
      code();
      inter ^= res;
    }
    i = 0;
  }
  uint8_t Encrypt(uint8_t c) {
    assemble();
    const uint8_t k = uint8_t((inter >> 8) ^ (inter & 255));
    for (uint8_t& b : cle) b ^= c;
    return c ^ k;
  }
};

std::string Encipher(const std::string& rtf, const std::string& password) {
  TMemory image;
  EncipherDocument(reinterpret_cast<const uint8_t*>(rtf.data()), int32_t(rtf.size()), password,
                   image);
  return image.ToString();
}

bool Decipher(const std::string& image, const std::string& password, std::string& rtf) {
  TMemory out;
  const bool ok = DecipherEncryptedBlock(reinterpret_cast<const uint8_t*>(image.data()),
                                         int32_t(image.size()), password, out);
  rtf = out.ToString();
  return ok;
}

std::string SampleRtf(size_t paragraphs) {
  std::string rtf = "{\\rtf1\\ansi ";
  for (size_t i = 0; i < paragraphs; ++i) rtf += "Paragraph " + std::to_string(i) + "\\par\n";
  return rtf + "}";
}

}  // namespace

TEST(Encryption, Pc1MatchesThePublishedRoutine) {
  std::mt19937 rng(21);
  for (int round = 0; round < 20; ++round) {
    PublishedPc1 reference;
    TEncryptionManager::TKey key;
    for (int k = 0; k < 16; ++k) key[k] = reference.cle[k] = uint8_t(rng());
    uint16_t si = 0, x1a2 = 0;
    for (int n = 0; n < 200; ++n) {
      const uint8_t plain = uint8_t(rng());
      const uint8_t expected = reference.Encrypt(plain);
      const uint8_t cipher = plain ^ TEncryptionManager::Pc1Keystream(key, si, x1a2);
      for (uint8_t& b : key) b ^= plain;
      ASSERT_EQ(cipher, expected) << round << " " << n;
    }
  }
}

TEST(Encryption, DoubleCipherIsIndependentOfBlockSplits) {
  TEncryptionManager manager;
  const TEncryptionManager::TKey a = manager.Digest(reinterpret_cast<const uint8_t*>("a"), 1);
  const TEncryptionManager::TKey b = manager.Digest(reinterpret_cast<const uint8_t*>("b"), 1);
  EXPECT_NE(a, b);
  std::string plain = SampleRtf(50);
  std::string whole = plain;
  manager.SetKeys(a, b);
  manager.EncipherBlock(reinterpret_cast<uint8_t*>(whole.data()), int32_t(whole.size()));
  const TEncryptionManager::TKey check = manager.RunningCheck();
  EXPECT_NE(whole, plain);
  std::string split = plain;
  manager.SetKeys(a, b);
  for (size_t at = 0; at < split.size(); at += 7)
    manager.EncipherBlock(reinterpret_cast<uint8_t*>(split.data() + at),
                          int32_t(std::min<size_t>(7, split.size() - at)));
  EXPECT_EQ(split, whole);
  manager.SetKeys(a, b);
  manager.DecipherBlock(reinterpret_cast<uint8_t*>(split.data()), int32_t(split.size()));
  EXPECT_EQ(split, plain);
  EXPECT_EQ(manager.RunningCheck(), check);  // both sides fold the plain bytes
}

TEST(Encryption, DigestAndPasswordKey) {
  TEncryptionManager manager;
  const uint8_t empty = 0;
  const auto d1 = manager.Digest(&empty, 0);
  EXPECT_EQ(d1, manager.Digest(&empty, 0));  // the digest restores stream 1
  const std::string one = "Password1", other = "password1";
  EXPECT_NE(manager.PasswordKey(one), manager.PasswordKey(other));  // case-sensitive
  EXPECT_EQ(manager.PasswordKey(one), manager.PasswordKey(one));
  int32_t rounds = 0;
  static int32_t* counter;
  counter = &rounds;
  manager.PasswordKey(one, [](int32_t) { ++*counter; });
  EXPECT_EQ(rounds, 2048);
  // Passwords kept in memory come back, and are not kept in plain text.
  const std::string kept = manager.EncryptString(one);
  EXPECT_NE(kept, one);
  EXPECT_EQ(manager.DecryptString(kept), one);
}

TEST(Encryption, DocumentsRoundTripAndRefuseWrongPasswordsAndDamage) {
  for (size_t paragraphs : {size_t(0), size_t(1), size_t(3000)}) {
    const std::string rtf = SampleRtf(paragraphs);
    const std::string image = Encipher(rtf, "correct horse");
    ASSERT_EQ(image.size(), rtf.size() + 58);
    EXPECT_EQ(image.substr(0, 10), "987D Ttcad");
    EXPECT_EQ(image.find("Paragraph"), std::string::npos);
    std::string back;
    ASSERT_TRUE(Decipher(image, "correct horse", back)) << paragraphs;
    EXPECT_EQ(back, rtf);
    for (const char* wrong : {"correct hors", "Correct horse", "correct horse ", ""})
      EXPECT_FALSE(Decipher(image, wrong, back)) << wrong;
    EXPECT_TRUE(back.empty());
    // Any damaged byte, a cut or an extra byte fails the check value.
    for (size_t at : {size_t(0), size_t(10), size_t(30), size_t(42), image.size() / 2,
                      image.size() - 17, image.size() - 1}) {
      std::string damaged = image;
      damaged[at] ^= 0x20;
      EXPECT_FALSE(Decipher(damaged, "correct horse", back)) << at;
    }
    EXPECT_FALSE(Decipher(image.substr(0, image.size() - 1), "correct horse", back));
    EXPECT_FALSE(Decipher(image + "x", "correct horse", back));
  }
}

TEST(Encryption, EverySaveHasNewContentKeys) {
  // Nothing feeds the pool between the saves: the system's randomness still makes the keys new.
  const std::string rtf = SampleRtf(2);
  const std::string first = Encipher(rtf, "same password");
  const std::string second = Encipher(rtf, "same password");
  EXPECT_NE(first.substr(10, 32), second.substr(10, 32));
  EXPECT_NE(first.substr(42), second.substr(42));
  std::string back;
  EXPECT_TRUE(Decipher(first, "same password", back));
  EXPECT_TRUE(Decipher(second, "same password", back));
}

TEST(Encryption, SavingPasswordRules) {
  struct Case {
    const char* password;
    const char* retyped;
    const char* problem;
  };
  const Case cases[] = {
      {"", "", "Please specify a non-blank password."},
      {"short", "short", "The password cannot be shorter than 8 characters."},
      {"long enough", "", "Please reenter password."},
      {"long enough", "long Enough", "Both password entries must match."},
      {"long enough", "long enough", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(SavingPasswordProblem(c.password, c.retyped), c.problem);
}

class EncryptedOpening : public ::testing::Test {
 protected:
  ScopedService<TFileServices, ScriptedFileServices> files;
  ScopedService<TMessageDlgService, ScriptedMessages> messages;

  std::string WriteDocument(const std::string& rtf, const std::string& password) {
    const std::string path = MakeTempDir("cod") + "/doc.cod";
    WriteFile(path, Encipher(rtf, password));
    return path;
  }
  // Opens as the open road does: probe read, then a restart with the format known; the RTF the
  // reader would see.
  std::string Open(const std::string& path) {
    TOpenContext context;
    context.BeginFileRead(path);
    EXPECT_EQ(context.Unread() >= 10, true);
    context.Options.FormatIndex = dfEncrypted;
    context.RestartRead();
    std::string out;
    for (int guard = 0; guard < 10000; ++guard) {
      out.append(reinterpret_cast<const char*>(context.ReadPos), size_t(context.Unread()));
      context.ReadPos = context.DataEnd;
      if (context.AtEnd) break;
      context.Refill();
    }
    return out;
  }
};

TEST_F(EncryptedOpening, RightPasswordReadsTheRtfAcrossRefills) {
  const std::string rtf = SampleRtf(8000);  // several buffers
  ASSERT_GT(rtf.size(), 150000u);
  const std::string path = WriteDocument(rtf, "long password");
  files->Passwords = {"long password"};
  EXPECT_EQ(Open(path), rtf);
  EXPECT_EQ(files->Asked, 1);
  EXPECT_TRUE(messages->Shown.empty());
}

TEST_F(EncryptedOpening, WrongPasswordAsksAgainOrGivesUp) {
  const std::string rtf = SampleRtf(3);
  const std::string path = WriteDocument(rtf, "long password");
  // Wrong, then Yes to try another, then right.
  files->Passwords = {"wrong password", "long password"};
  messages->Answers = {mrYes};
  EXPECT_EQ(Open(path), rtf);
  ASSERT_EQ(messages->Shown.size(), 1u);
  EXPECT_EQ(messages->Shown[0],
            "Incorrect password. Would you like to try opening this encrypted document with "
            "another password?");
  // Wrong, then No: the open ends silently.
  files->Passwords = {"wrong password"};
  messages->Answers = {mrNo};
  EXPECT_THROW(Open(path), EAbort);
  // Cancel in the password dialog: no question at all.
  messages->Shown.clear();
  files->Passwords = {"\x01"};
  EXPECT_THROW(Open(path), EAbort);
  EXPECT_TRUE(messages->Shown.empty());
}

TEST_F(EncryptedOpening, RememberedPasswordsAreTriedFirst) {
  const std::string rtf = SampleRtf(3);
  const std::string path = WriteDocument(rtf, "long password");
  // The dispatcher's remembered password for the file opens it without a prompt.
  files->Remembered = GetEncryptionManager().EncryptString("long password");
  EXPECT_EQ(Open(path), rtf);
  EXPECT_EQ(files->Asked, 0);
  // A remembered password that is wrong is forgotten without the question; then the prompt.
  files->Remembered = GetEncryptionManager().EncryptString("stale password");
  files->Passwords = {"long password"};
  EXPECT_EQ(Open(path), rtf);
  EXPECT_EQ(files->Asked, 1);
  EXPECT_TRUE(messages->Shown.empty());
  // With the try-all option the remembered opening password is tried.
  files->Remembered.clear();
  const uint8_t saved = GetOptions().LoadSave.ReuseEncPass;
  GetOptions().LoadSave.ReuseEncPass = kTryAllPasswordsBit;
  RememberedOpeningPassword() = GetEncryptionManager().EncryptString("long password");
  EXPECT_EQ(Open(path), rtf);
  EXPECT_EQ(files->Asked, 1);
  GetOptions().LoadSave.ReuseEncPass = saved;
  RememberedOpeningPassword().clear();
}

TEST_F(EncryptedOpening, TamperedFileIsRefusedBeforeParsing) {
  const std::string path = MakeTempDir("cod") + "/doc.cod";
  std::string image = Encipher(SampleRtf(100), "long password");
  image[image.size() / 2] ^= 1;
  WriteFile(path, image);
  files->Passwords = {"long password"};
  messages->Answers = {mrNo};
  EXPECT_THROW(Open(path), EAbort);
  EXPECT_EQ(messages->Shown.size(), 1u);  // told as an incorrect password
}

TEST_F(EncryptedOpening, MemoryBlocksAreEncipheredLikeFiles) {
  const std::string rtf = SampleRtf(5);
  std::string image = Encipher(rtf, "long password");
  const std::string original = image;
  files->Passwords = {"long password"};
  TOpenContext context;
  context.BeginMemoryRead(reinterpret_cast<uint8_t*>(image.data()), int32_t(image.size()),
                          dfEncrypted);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(context.ReadPos), size_t(context.Unread())), rtf);
  EXPECT_EQ(image, original);  // the caller's block is left as it was
  // A plain RTF block handed in as encrypted is refused, not read as plain text, and no
  // password is asked for.
  std::string plain = "{\\rtf1 not enciphered}";
  files->Asked = 0;
  TOpenContext refused;
  EXPECT_THROW(refused.BeginMemoryRead(reinterpret_cast<uint8_t*>(plain.data()),
                                       int32_t(plain.size()), dfEncrypted),
               EAbort);
  EXPECT_EQ(files->Asked, 0);
}
