#include "document/doc_object_services.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "foundation/base/service_slot.h"

namespace qv {

namespace {

// Words of an instruction: separated by blanks, a double-quoted stretch is one word.
std::vector<std::u16string> SplitWords(const std::u16string& text) {
  std::vector<std::u16string> words;
  std::u16string word;
  bool quoted = false;
  bool inWord = false;
  for (char16_t c : text) {
    if (c == u'"') {
      quoted = !quoted;
      inWord = true;
    } else if (!quoted && (c == u' ' || c == u'\t')) {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(word);
  return words;
}

std::u16string Widen(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

// Days since 1 January 1970 to year, month and day (proleptic Gregorian calendar).
void CivilFromDays(int64_t z, int64_t& y, unsigned& m, unsigned& d) {
  z += 719468;
  int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  auto doe = static_cast<unsigned>(z - era * 146097);
  unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  y = static_cast<int64_t>(yoe) + era * 400;
  unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  if (m <= 2) ++y;
}

}  // namespace

const TSection* TDocObjectServices::PageSectionOfParagraph(const TDoc*, int32_t) const {
  return nullptr;
}

int32_t TDocObjectServices::ParLength(const TDoc*, int32_t) const { return -1; }

bool TDocObjectServices::IsDocFlagSet(const TDoc*, int32_t) const { return false; }

TField* TDocObjectServices::FindBookmark(TDoc*, const std::u16string&) const { return nullptr; }

TField* TDocObjectServices::NoteReferenceAt(TDoc*, const TDocPosition&) const { return nullptr; }

bool TDocObjectServices::SamePictureFile(const TShape* a, const TShape* b) const { return a == b; }

TShape* TDocObjectServices::CopyShapeToDoc(TShape* shape, TDoc*) const { return shape; }

uint8_t TDocObjectServices::NumberStyleOfSwitch(const std::string& instruction,
                                                uint8_t defaultStyle) const {
  static const char* const kWords[] = {"alphabetic", "ALPHABETIC", "roman", "ROMAN"};
  for (uint8_t i = 0; i < 4; ++i) {
    if (instruction.find(kWords[i]) != std::string::npos) return static_cast<uint8_t>(i + 1);
  }
  return defaultStyle == 255 ? 0 : defaultStyle;
}

std::string TDocObjectServices::DateTimePicture(const std::u16string& instruction) const {
  std::vector<std::u16string> words = SplitWords(instruction);
  for (size_t i = words.size() >= 2 ? words.size() - 1 : 0; i-- > 0;) {
    if (words[i] == u"\\@") {
      std::string picture;
      for (char16_t c : words[i + 1]) picture += c < 0x80 ? static_cast<char>(c) : '?';
      return picture;
    }
  }
  return {};
}

bool TDocObjectServices::HasSwitch(const std::u16string& instruction,
                                   const std::u16string& name) const {
  for (const std::u16string& word : SplitWords(instruction)) {
    if (word == name) return true;
  }
  return false;
}

std::u16string TDocObjectServices::FirstArgument(const std::u16string& instruction) const {
  std::vector<std::u16string> words = SplitWords(instruction);
  for (size_t i = 1; i < words.size(); ++i) {
    if (words[i].empty() || words[i][0] != u'\\') return words[i];
  }
  return {};
}

std::u16string TDocObjectServices::FormatDate(double date, const std::string&, int32_t,
                                              bool timeFormat) const {
  double days = std::floor(date);
  char text[32];
  if (timeFormat) {
    auto seconds = static_cast<int64_t>(std::llround((date - days) * 86400.0)) % 86400;
    std::snprintf(text, sizeof text, "%02d:%02d", static_cast<int>(seconds / 3600),
                  static_cast<int>(seconds / 60 % 60));
  } else {
    int64_t y;
    unsigned m, d;
    CivilFromDays(static_cast<int64_t>(days) - 25569, y, m, d);  // 25569: 1899-12-30 to 1970
    std::snprintf(text, sizeof text, "%04lld-%02u-%02u", static_cast<long long>(y), m, d);
  }
  return Widen(text);
}

void RegisterDocObjectServices(std::unique_ptr<TDocObjectServices> services) {
  RegisterService(std::move(services));
}

const TDocObjectServices& DocObjectServices() { return *ServiceSlot<TDocObjectServices>(); }

}  // namespace qv
