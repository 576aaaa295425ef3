#include "document/auto_list.h"

#include <algorithm>
#include <cstring>

#include "document/doc_object_services.h"
#include "document/number_formats.h"
#include "foundation/text/code_pages.h"

namespace qv {

namespace {

bool SameBytes(const TCharFormat& a, const TCharFormat& b) {
  return std::memcmp(&a, &b, sizeof(TCharFormat)) == 0;
}

bool SameBytes(const TParFormat& a, const TParFormat& b) {
  return std::memcmp(&a, &b, sizeof(TParFormat)) == 0;
}

bool SameLevel(const TListLevel& a, const TListLevel& b, int32_t mode) {
  if (a.NumberFormat != b.NumberFormat) return false;
  if (mode & lcNumberFormatsOnly) return true;
  if (!(mode & lcIgnoreStartNumbers) && a.StartAt != b.StartAt) return false;
  return SameBytes(a.CharFormat, b.CharFormat) && SameBytes(a.ParFormat, b.ParFormat) &&
         a.NumberAlign == b.NumberAlign && a.Follow == b.Follow && a.NoRestart == b.NoRestart &&
         a.Legal == b.Legal && a.LevelText == b.LevelText &&
         SamePictureBullet(a.PictureBullet, b.PictureBullet);
}

}  // namespace

bool SamePictureBullet(const TShape* a, const TShape* b) {
  if (a == nullptr || b == nullptr) return a == b;
  return DocObjectServices().SamePictureFile(a, b);
}

void TAutoList::Assign(const TAutoList& other) {
  if (&other == this) return;
  SingleLevel = other.SingleLevel;
  ListLevels = other.ListLevels;
}

void TAutoList::AssignToDoc(const TAutoList& other, TDoc* doc) {
  Assign(other);
  const TDocObjectServices& services = DocObjectServices();
  for (int32_t i = 0; i < UsedLevelCount(); ++i) {
    TShape*& bullet = ListLevels[i].PictureBullet;
    if (bullet != nullptr) bullet = services.CopyShapeToDoc(bullet, doc);
  }
}

bool TAutoList::SameFormat(const TAutoList& other, int32_t mode) const {
  if (SingleLevel != other.SingleLevel) return false;
  for (int32_t i = UsedLevelCount() - 1; i >= 0; --i) {
    if (!SameLevel(ListLevels[i], other.ListLevels[i], mode)) return false;
  }
  return true;
}

const TListLevel& TAutoList::EffectiveLevel(int32_t level) const {
  if (SingleLevel) return ListLevels[0];
  return ListLevels[std::clamp(level, 0, ListLevelCount - 1)];
}

int32_t TAutoList::GetKind() const {
  if (!SingleLevel) return lkOutline;
  return IsBulletNumberFormat(ListLevels[0].NumberFormat) ? lkBulleted : lkNumbered;
}

bool TAutoList::IsBulletLevel(int32_t level) const {
  return IsBulletNumberFormat(EffectiveLevel(level).NumberFormat);
}

bool TAutoList::IsNumberedLevel(int32_t level) const { return !IsBulletLevel(level); }

bool TAutoList::IsAllBullets() const {
  for (int32_t i = 0; i < UsedLevelCount(); ++i) {
    if (IsNumberedLevel(i)) return false;
  }
  return true;
}

std::u16string ListLevelPreviewText(const TAutoList& list, int32_t level, int32_t language,
                                    std::vector<std::pair<std::u16string, int32_t>>* numbers) {
  level = std::clamp(level, 0, ListLevelCount - 1);
  const TListLevel& shown = list.SingleLevel ? list.ListLevels[0] : list.ListLevels[level];
  std::u16string text = shown.LevelText;
  for (size_t i = text.size(); i-- > 0;) {
    char16_t placeholder = text[i];
    if (placeholder > 8) continue;
    int32_t number;
    int32_t code;
    if (list.SingleLevel) {
      number = static_cast<int32_t>(std::min<int64_t>(int64_t{shown.StartAt} + level, INT32_MAX));
      code = shown.NumberFormat;
    } else {
      const TListLevel& named = list.ListLevels[placeholder];
      number = named.StartAt;
      code = named.NumberFormat;
      bool legalArabic = shown.Legal && code != nfLeadingZero;
      if (IsBulletNumberFormat(code) || legalArabic) code = nfArabic;
    }
    std::u16string numberText = CodePageToWide(FormatListNumber(number, code, language), 1252);
    text.replace(i, 1, numberText);
    if (numbers) numbers->emplace_back(numberText, placeholder);
  }
  return text;
}

}  // namespace qv
