#pragma once
// TEncryptionManager: the program's one cipher object for encrypted documents and for the
// passwords kept in memory. Two PC1 streams with 16-byte keys run in series (the double cipher);
// the digest is built on stream 1; the password key is 2,049 digests of the password; the
// content keys of a new document come from an entropy pool that interface events feed, mixed
// with the operating system's randomness.
//
// The cipher state belongs to whichever operation keyed it last: EncryptString and
// DecryptString re-key both streams, so no password may be enciphered or deciphered between
// MakeHeader and the check value of a save, or between KeysFromHeader and the end of a read.
#include <array>
#include <cstdint>
#include <string>

namespace qv {

class TEncryptionManager {
 public:
  using TKey = std::array<uint8_t, 16>;

  static constexpr int32_t kMagicSize = 10;
  static constexpr int32_t kHeaderSize = 42;
  static constexpr int32_t kCheckSize = 16;
  static constexpr char kMagic[kMagicSize + 1] = "987D Ttcad";
  static constexpr int32_t kPasswordRounds = 2048;

  TEncryptionManager();

  // Mixes a byte (XOR the low byte of the tick count) into the pool.
  void AddEntropy(uint8_t value);
  // The 16-byte digest of the data.
  TKey Digest(const uint8_t* data, int32_t length);
  // The password key: the digest of the password, digested again 2,048 times. Calls progress
  // (if given) once per round.
  TKey PasswordKey(const std::string& password, void (*progress)(int32_t round) = nullptr);
  // Key 1 = key 2 = the digest of the bytes; both states 0.
  void KeyBothStreams(const TKey& bytes);
  // Both streams keyed with the given keys as they are; states and running check cleared.
  void SetKeys(const TKey& key1, const TKey& key2);
  // Double encipher or decipher in place, folding the plain bytes into the running check.
  void EncipherBlock(uint8_t* bytes, int32_t count);
  void DecipherBlock(uint8_t* bytes, int32_t count);
  // A password enciphered under the seed for keeping in memory, and back.
  std::string EncryptString(const std::string& text);
  std::string DecryptString(const std::string& text);

  // Save side: writes the magic and the content keys enciphered under the password key, and
  // keys both streams with the content keys for the body.
  void MakeHeader(uint8_t header[kHeaderSize], const std::string& password,
                  void (*progress)(int32_t round) = nullptr);
  // Read side: deciphers the content keys of the header in place with the password key and keys
  // both streams with them for the body.
  void KeysFromHeader(uint8_t header[kHeaderSize], const std::string& password);
  // The digest of the running check: the check value that follows the body (plain; the caller
  // enciphers it with EncipherBlock like the body).
  TKey CheckValue();
  const TKey& RunningCheck() const { return check_; }

  // The pool, for tests of the key material.
  const std::array<uint8_t, 32>& EntropyPool() const { return pool_; }

  // One PC1 keystream byte of a key and state (the published PC1 with a 128-bit key).
  static uint8_t Pc1Keystream(const TKey& key, uint16_t& si, uint16_t& x1a2);

 private:
  struct Stream {
    TKey Key{};
    uint16_t Si = 0;
    uint16_t X1a2 = 0;
    uint8_t Encipher(uint8_t plain);
    uint8_t Decipher(uint8_t cipher);
    void Reset(const TKey& key) {
      Key = key;
      Si = X1a2 = 0;
    }
  };
  void ClearCheck();
  void Fold(uint8_t plain);

  Stream stream1_;
  Stream stream2_;
  std::array<uint8_t, 32> pool_{};
  int32_t poolIndex_ = 0;
  TKey seed_{};
  TKey check_{};
  int32_t checkIndex_ = 0;
};

// The program's single manager, made on first use.
TEncryptionManager& GetEncryptionManager();

}  // namespace qv
