#include "files/crypt/encryption_manager.h"

#include <chrono>
#include <cstring>

#include "platform/system/random_bytes.h"

namespace qv {

namespace {

constexpr TEncryptionManager::TKey kDigestKey = {0x5c, 0x0e, 0x7a, 0x19, 0xd2, 0x4f, 0x8b, 0x33,
                                                 0x17, 0xa6, 0xe0, 0x9c, 0x4d, 0x52, 0xf8, 0xe1};
constexpr int32_t kDigestExtraSteps = 160;

uint64_t TickCount() {
  using namespace std::chrono;
  return static_cast<uint64_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// Mixes the system's random bytes into a block by XOR; without them the block stays as it is.
template <size_t N>
void MixSystemRandomness(std::array<uint8_t, N>& block) {
  std::array<uint8_t, N> random{};
  plat::FillRandomBytes(random.data(), N);
  for (size_t i = 0; i < N; ++i) block[i] ^= random[i];
}

}  // namespace

uint8_t TEncryptionManager::Pc1Keystream(const TKey& key, uint16_t& si, uint16_t& x1a2) {
  uint32_t previous = 0;  // the x1a0 value of the previous step
  uint32_t inter = 0;
  for (uint32_t i = 0; i < 8; ++i) {
    const uint32_t w = key[2 * i] * 256u + key[2 * i + 1];
    const uint32_t v = (i == 0 ? w : (previous ^ w)) & 0xFFFF;
    const uint32_t oldSi = si;
    si = static_cast<uint16_t>(0x015Au * v);
    x1a2 = static_cast<uint16_t>((x1a2 + i) * 0x4E35u + 0x015Au * v + oldSi);
    previous = (v * 0x4E35u + 1) & 0xFFFF;
    inter ^= previous ^ x1a2;
  }
  inter &= 0xFFFF;
  return static_cast<uint8_t>((inter >> 8) ^ (inter & 0xFF));
}

uint8_t TEncryptionManager::Stream::Encipher(uint8_t plain) {
  const uint8_t cipher = plain ^ Pc1Keystream(Key, Si, X1a2);
  for (uint8_t& k : Key) k ^= plain;
  return cipher;
}

uint8_t TEncryptionManager::Stream::Decipher(uint8_t cipher) {
  const uint8_t plain = cipher ^ Pc1Keystream(Key, Si, X1a2);
  for (uint8_t& k : Key) k ^= plain;
  return plain;
}

TEncryptionManager::TEncryptionManager() {
  // The seed keys the passwords kept in memory; it never leaves the process.
  const double days = std::chrono::duration<double>(
                          std::chrono::system_clock::now().time_since_epoch()).count() / 86400.0;
  std::memcpy(seed_.data(), &days, sizeof days);
  const uint64_t ticks = TickCount();
  std::memcpy(seed_.data() + 8, &ticks, sizeof ticks);
  MixSystemRandomness(seed_);
}

void TEncryptionManager::AddEntropy(uint8_t value) {
  pool_[static_cast<size_t>(poolIndex_)] ^= static_cast<uint8_t>(value ^ (TickCount() & 0xFF));
  poolIndex_ = (poolIndex_ + 1) % 32;
}

TEncryptionManager::TKey TEncryptionManager::Digest(const uint8_t* data, int32_t length) {
  const Stream saved = stream1_;
  stream1_.Reset(kDigestKey);
  TKey h{};
  size_t j = 0;
  auto step = [&](uint8_t b) {
    h[j] = Pc1Keystream(stream1_.Key, stream1_.Si, stream1_.X1a2);
    for (uint8_t& k : stream1_.Key) k ^= b;
    j = (j + 1) % 16;
  };
  for (int32_t i = 0; i < length; ++i) step(data[i]);
  for (int32_t i = 0; i < kDigestExtraSteps; ++i) step(h[j]);
  stream1_ = saved;
  return h;
}

TEncryptionManager::TKey TEncryptionManager::PasswordKey(const std::string& password,
                                                         void (*progress)(int32_t)) {
  TKey p = Digest(reinterpret_cast<const uint8_t*>(password.data()),
                  static_cast<int32_t>(password.size()));
  for (int32_t round = 0; round < kPasswordRounds; ++round) {
    p = Digest(p.data(), 16);
    if (progress) progress(round + 1);
  }
  return p;
}

void TEncryptionManager::KeyBothStreams(const TKey& bytes) {
  const TKey key = Digest(bytes.data(), 16);
  stream1_.Reset(key);
  stream2_.Reset(key);
}

void TEncryptionManager::SetKeys(const TKey& key1, const TKey& key2) {
  stream1_.Reset(key1);
  stream2_.Reset(key2);
  ClearCheck();
}

void TEncryptionManager::ClearCheck() {
  check_.fill(0);
  checkIndex_ = 0;
}

void TEncryptionManager::Fold(uint8_t plain) {
  check_[static_cast<size_t>(checkIndex_)] ^= plain;
  checkIndex_ = (checkIndex_ + 1) % 16;
}

void TEncryptionManager::EncipherBlock(uint8_t* bytes, int32_t count) {
  for (int32_t i = 0; i < count; ++i) {
    Fold(bytes[i]);
    bytes[i] = stream1_.Encipher(bytes[i]);
  }
  for (int32_t i = 0; i < count; ++i) bytes[i] = stream2_.Encipher(bytes[i]);
}

void TEncryptionManager::DecipherBlock(uint8_t* bytes, int32_t count) {
  for (int32_t i = 0; i < count; ++i) bytes[i] = stream2_.Decipher(bytes[i]);
  for (int32_t i = 0; i < count; ++i) {
    bytes[i] = stream1_.Decipher(bytes[i]);
    Fold(bytes[i]);
  }
}

std::string TEncryptionManager::EncryptString(const std::string& text) {
  KeyBothStreams(seed_);
  std::string out = text;
  EncipherBlock(reinterpret_cast<uint8_t*>(out.data()), static_cast<int32_t>(out.size()));
  return out;
}

std::string TEncryptionManager::DecryptString(const std::string& text) {
  KeyBothStreams(seed_);
  std::string out = text;
  DecipherBlock(reinterpret_cast<uint8_t*>(out.data()), static_cast<int32_t>(out.size()));
  return out;
}

void TEncryptionManager::MakeHeader(uint8_t header[kHeaderSize], const std::string& password,
                                    void (*progress)(int32_t)) {
  std::memcpy(header, kMagic, kMagicSize);
  // The pool alone repeats when nothing fed it since the last save; the system's randomness
  // makes every document's content keys new. It is mixed into the pool itself too, so that
  // the pool never returns to an earlier state.
  MixSystemRandomness(pool_);
  const TKey a = Digest(pool_.data(), 16);
  const TKey b = Digest(pool_.data() + 16, 16);
  std::memcpy(header + 10, a.data(), 16);
  std::memcpy(header + 26, b.data(), 16);
  const TKey key = PasswordKey(password, progress);
  SetKeys(key, key);
  EncipherBlock(header + 10, 32);
  SetKeys(a, b);
}

void TEncryptionManager::KeysFromHeader(uint8_t header[kHeaderSize], const std::string& password) {
  const TKey key = PasswordKey(password);
  SetKeys(key, key);
  DecipherBlock(header + 10, 32);
  TKey a, b;
  std::memcpy(a.data(), header + 10, 16);
  std::memcpy(b.data(), header + 26, 16);
  SetKeys(a, b);
}

TEncryptionManager::TKey TEncryptionManager::CheckValue() { return Digest(check_.data(), 16); }

TEncryptionManager& GetEncryptionManager() {
  static TEncryptionManager manager;
  return manager;
}

}  // namespace qv
