#pragma once
// What line fitting needs of the proofing tools' hyphenation: whether a language has
// hyphenation data, and the hyphenation points of a word. The proofing tools register the real
// service at start-up; the default has no data for any language, so nothing is hyphenated.
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace qv {

class THyphenationService {
 public:
  virtual ~THyphenationService() = default;
  // The language has patterns or a word list.
  virtual bool HasData(int32_t /*language*/) { return false; }
  // Offsets inside the word (1 .. length - 1) after which a hyphen may stand, ascending. Words
  // longer than MaxHyphenatedWord are not given.
  virtual std::vector<int32_t> Hyphenate(std::u16string_view /*word*/, int32_t /*language*/) {
    return {};
  }
};

inline constexpr int32_t MaxHyphenatedWord = 48;

// Registers the service (null restores the default); the registered one, never null.
void RegisterHyphenationService(std::unique_ptr<THyphenationService> service);
THyphenationService& HyphenationService();

}  // namespace qv
