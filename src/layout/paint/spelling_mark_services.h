#pragma once
// What painting asks of the spellchecker for the marks under misspelt words: whether the document
// is checked as the user types, whether the checker is busy, the serial that a paragraph's marks
// must carry to count, and the check of a stretch of a paragraph that painting starts when the
// paragraph has not been checked yet. The marks themselves live in the paragraph (TPar::Spell).
// The stand-in checks nothing, so no marks are painted until the proofing tools register theirs.
#include <cstdint>
#include <memory>

namespace qv {

class TDoc;
class TPar;

class TSpellingMarkServices {
 public:
  virtual ~TSpellingMarkServices() = default;
  // Automatic checking is on and the document is not excluded from proofing.
  virtual bool ChecksAsYouType(const TDoc& /*doc*/) { return false; }
  // A check is running that painting must not start another beside.
  virtual bool IsBusy() { return false; }
  // The serial of the current checking state: marks checked with another one are out of date.
  virtual int32_t CheckSerial() { return 0; }
  // The whole paragraph has been checked with the current serial.
  virtual bool IsParagraphChecked(const TPar& /*par*/) { return true; }
  // Checks characters [start, end) of the paragraph and stores its marks in it.
  virtual void CheckRange(TDoc& /*doc*/, int32_t /*par*/, int32_t /*start*/, int32_t /*end*/) {}
};

void RegisterSpellingMarkServices(std::unique_ptr<TSpellingMarkServices> services);
TSpellingMarkServices& SpellingMarkServices();

}  // namespace qv
