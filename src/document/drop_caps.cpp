// Drop caps: made (sized to span their lines), changed, removed, kept through a replacement of
// their letters, and checked after edits that can leave them where no drop cap may stand.
#include "document/drop_caps.h"

#include <algorithm>
#include <utility>

#include "document/compound_fragment.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/drop_cap_metrics.h"
#include "document/edit_services.h"
#include "document/field_index.h"
#include "document/table_edit_helpers.h"
#include "foundation/base/service_slot.h"
#include "foundation/base/units.h"
#include "foundation/fonts/font_manager.h"

namespace qv {

namespace {

constexpr int32_t kSmallestSize = 2;
constexpr int32_t kLargestSize = 2000;

int32_t PixelHeight(int32_t halfPoints) { return std::max(1, MulDiv(halfPoints, 2, 3)); }

TFontKey KeyAt(const TCharFormat& format, int32_t halfPoints) {
  TFontKey key = FontKeyOf(format);
  key.Size = PixelHeight(halfPoints);
  return key;
}

int32_t SizeOf(const TCharFormat& f) { return f.Size == CharUnset || f.Size <= 0 ? 24 : f.Size; }

// Twips to sixteenths of a screen pixel.
int32_t TwipsTo16ths(int32_t twips) { return MulDiv(twips, 16, 15); }

struct TEnclosed {
  TField* Field = nullptr;
  TDocRange Range;
};

// The drop cap of the paragraph with its range; none when it has none.
TEnclosed DropCapOf(TDoc& doc, int32_t par) {
  TEnclosed e;
  e.Field = doc.GetDropCapField(par);
  if (e.Field != nullptr && !doc.GetFieldRange(e.Field, e.Range)) e.Field = nullptr;
  return e;
}

void InsertDropCapField(TDoc& doc, int32_t par, int32_t end, const TDropCapSettings& settings) {
  auto field = std::make_unique<TField>();
  field->Kind = fkDropCap;
  auto record = std::make_unique<TDropCapRecord>();
  record->Settings = settings;
  record->Settings.Last = 0;
  field->Attachment = std::move(record);
  TField* f = field.get();
  TDocPosition start, stop;
  MakePosition(par, 0, start);
  MakePosition(par, end, stop);
  EditServices().InsDelFieldMarks(doc, 0, f, 3, start, FieldSlotLast, stop, FieldSlotLast,
                                  std::move(field));
  doc.InvalidateFieldIndex();
}

}  // namespace

int32_t TDropCapMetrics::LineHeight(const TCharFormat& format) {
  const int32_t size = SizeOf(format);
  if (TFontManager* fonts = FontManager()) {
    TSharedFont& font = fonts->SelectFont(KeyAt(format, size), PixelHeight(size), true, false, nullptr);
    return font.LineHeight * 16;
  }
  return MulDiv(PixelHeight(size) * 16, 115, 100);
}

void TDropCapMetrics::GlyphExtent(const TCharFormat& format, int32_t halfPoints,
                                  const std::u16string& text, int32_t& ascent, int32_t& descent) {
  ascent = descent = 0;
  if (TFontManager* fonts = FontManager()) {
    TSharedFont& font = fonts->SelectFont(KeyAt(format, halfPoints), PixelHeight(halfPoints), true, false, nullptr);
    for (char16_t c : text) {
      const plat::GlyphMetrics m = font.Font.GetGlyphMetrics(c);
      ascent = std::max(ascent, m.GlyphOrigin.y * 16);
      descent = std::max(descent, (m.BlackBoxY - m.GlyphOrigin.y) * 16);
    }
    return;
  }
  ascent = MulDiv(PixelHeight(halfPoints) * 16, 70, 100);
  descent = 0;
}

void RegisterDropCapMetrics(std::unique_ptr<TDropCapMetrics> metrics) {
  RegisterService(std::move(metrics));
}
TDropCapMetrics& DropCapMetrics() { return Service<TDropCapMetrics>(); }

TDropCapSettings DropCapSettingsOf(const TField& field) {
  if (const auto* r = dynamic_cast<const TDropCapRecord*>(field.Attachment.get())) return r->Settings;
  return TDropCapSettings{};
}

void TDoc::ApplyDropCaps(const std::vector<TField*>* fields, const TDropCapSettings* settings,
                         const std::string& fontName) {
  if (settings == nullptr) {
    RemoveSelectedDropCaps();
    return;
  }
  std::vector<int32_t> pars;
  if (fields != nullptr) {
    for (TField* f : *fields) {
      TDocRange r;
      if (f != nullptr && GetFieldRange(f, r)) pars.push_back(r.Start.Par);
    }
  } else if (HasSelection()) {
    for (int32_t i = 0; i < Selection->Count(); ++i) pars.push_back(Selection->GetRange(i)->Start.Par);
  } else {
    pars.push_back(Caret.Par);
  }
  std::sort(pars.begin(), pars.end());
  pars.erase(std::unique(pars.begin(), pars.end()), pars.end());
  for (size_t i = pars.size(); i-- > 0;) MakeDropCap(pars[i], *settings, fontName);
  tables::KeepPostSelection(*this);
}

void TDoc::MakeDropCap(int32_t par, const TDropCapSettings& settings, const std::string& fontName) {
  if (par < 0 || par >= ParCount()) return;
  TCharFormat chars;
  GetCharFormatAt(par, 0, chars);
  if (!fontName.empty()) {
    if (TFontManager* fonts = FontManager()) {
      const int32_t font = fonts->FontIndex(fontName, chars.Font >= 0 && fonts->IsValidFont(chars.Font)
                                                          ? fonts->RegFonts[static_cast<size_t>(chars.Font)].Charset
                                                          : kAnyCharset,
                                            true);
      if (font >= 0) chars.Font = font;
    }
  }
  const TEnclosed old = DropCapOf(*this, par);
  int32_t enclosed = 1;
  TDropCapSettings s = settings;
  TCharFormat format;
  if (old.Field != nullptr) {
    enclosed = std::max(1, old.Range.End.Offset);
    const TDropCapSettings was = DropCapSettingsOf(*old.Field);
    RemoveField(old.Field);
    s = was;
    if (settings.First != TDropCapSettings::Unchanged8) s.First = settings.First;
    if (settings.Lines != TDropCapSettings::Unchanged8) s.Lines = settings.Lines;
    if (settings.Value16 != TDropCapSettings::Unchanged16) s.Value16 = settings.Value16;
    format = chars;
  } else {
    format = UnsetCharFormat;
    format.Font = chars.Font;
  }
  if (StoryOfParagraph(par) != stMain || tables::InTable(*this, par)) return;
  const TPar& p = *Par(par);
  if (old.Field == nullptr && (p.CharCount() < 2 || (p.CodeAt(0) <= 32 && p.CodeAt(0) != scWideChar)))
    return;
  enclosed = std::min(enclosed, p.CharCount() - 1);
  if (enclosed < 1) return;
  InsertDropCapField(*this, par, enclosed, s);
  // The size that lets the letters span their lines.
  TCharFormat measured;
  GetCharFormatAt(par, 0, measured);
  if (chars.Font != CharUnset) measured.Font = chars.Font;
  TDropCapMetrics& metrics = DropCapMetrics();
  int32_t b = std::max(1, metrics.LineHeight(measured));
  int32_t c = b;
  const int32_t rule = p.Format.LineRule == ParUnset16 ? 1 : p.Format.LineRule;
  const int32_t spacing = p.Format.LineSpacing == ParUnset16 ? 240 : p.Format.LineSpacing;
  if (rule == 1) {
    c = std::max(1, b + MulDiv(b, spacing - 240, 240));
  } else if (spacing < 0) {
    b = c = TwipsTo16ths(-spacing);
  } else {
    b = c = std::max(b, TwipsTo16ths(spacing));
  }
  const int32_t lines = std::max<int32_t>(1, s.Lines);
  const int32_t target = MulDiv(b + c * (lines - 1), 95, 100);
  TDocRange letters;
  MakeRange(par, 0, par, enclosed, letters);
  const std::u16string text = GetRangeWideText(letters, 0);
  int32_t size = SizeOf(measured), descent = 0;
  int32_t below = -1, belowDescent = 0;
  for (int32_t k = kSmallestSize; k <= kLargestSize; ++k) {
    int32_t up = 0, down = 0;
    metrics.GlyphExtent(measured, k, text, up, down);
    if (up + down >= target) break;
    below = k;
    belowDescent = down;
  }
  if (below >= 0) {
    size = below;
    descent = belowDescent;
  } else {
    int32_t up = 0;
    metrics.GlyphExtent(measured, size, text, up, descent);
  }
  format.Size = size;
  format.VertOffset = MulDiv(descent - MulDiv(target, 20, 100), 15, 320);
  if (chars.Font != CharUnset) format.Font = chars.Font;
  EditServices().FormatCharRange(*this, letters, format);
}

void TDoc::RemoveDropCap(TField* field) {
  TDocRange r;
  if (field == nullptr || !GetFieldRange(field, r)) return;
  TCharFormat after;
  GetCharFormatAt(r.End.Par, r.End.Offset + 1, after);
  RemoveField(field);
  if (!IsRangeEmpty(r)) EditServices().FormatCharRange(*this, r, after);
  tables::SetPostCaret(*this, Caret);
}

void TDoc::RemoveSelectedDropCaps() {
  std::vector<TField*> caps;
  TFragmentRef f = GetSelectionFragment();
  for (int32_t i = 0; i < f->Count(); ++i) {
    const TDocRange& r = *f->GetRange(i);
    for (int32_t p = r.Start.Par; p <= r.End.Par && p < ParCount(); ++p)
      if (TField* cap = GetDropCapField(p); cap != nullptr && std::find(caps.begin(), caps.end(), cap) == caps.end())
        caps.push_back(cap);
  }
  for (size_t i = caps.size(); i-- > 0;) RemoveDropCap(caps[i]);
  tables::KeepPostSelection(*this);
}

void TDoc::SaveDropCap(const TDocPosition& position) {
  SavedDropCap.reset();
  if (position.Par < 0 || position.Par >= ParCount()) return;
  const TEnclosed cap = DropCapOf(*this, position.Par);
  if (cap.Field == nullptr || position.Offset >= cap.Range.End.Offset) return;
  TSavedDropCap saved;
  saved.Par = position.Par;
  saved.EndOffset = cap.Range.End.Offset;
  saved.Settings = DropCapSettingsOf(*cap.Field);
  GetCharFormatAt(position.Par, 0, saved.Format);
  // GetCharFormatAt looks before the offset: the first character's own format is at offset 1.
  Par(position.Par)->GetCharFormatAt(0, saved.Format);
  SavedDropCap = saved;
  RemoveDropCap(cap.Field);
}

void TDoc::RestoreDropCap() {
  if (!SavedDropCap) return;
  const TSavedDropCap saved = *SavedDropCap;
  SavedDropCap.reset();
  if (saved.Par >= ParCount() || StoryOfParagraph(saved.Par) != stMain) return;
  if (saved.EndOffset >= Par(saved.Par)->CharCount() || saved.EndOffset < 1) return;
  InsertDropCapField(*this, saved.Par, saved.EndOffset, saved.Settings);
  TDocRange letters;
  MakeRange(saved.Par, 0, saved.Par, saved.EndOffset, letters);
  EditServices().FormatCharRange(*this, letters, saved.Format);
}

void TDoc::CheckDropCaps(int32_t par) {
  if (par < 0 || par >= ParCount()) return;
  TDocRange whole;
  MakeRange(par, 0, par, Par(par)->CharCount(), whole);
  std::vector<TField*> overlap;
  FindOverlappingFields(whole, overlap);
  std::vector<TField*> caps;
  for (TField* f : overlap)
    if (f->Kind == fkDropCap && std::find(caps.begin(), caps.end(), f) == caps.end()) caps.push_back(f);
  std::vector<int32_t> starts;
  std::vector<TField*> invalid;
  for (TField* f : caps) {
    TDocRange r;
    if (!GetFieldRange(f, r)) continue;
    bool bad = r.Start.Par != r.End.Par || r.Start.Offset > 0 ||
               r.End.Offset >= Par(r.Start.Par)->CharCount() || StoryOfParagraph(r.Start.Par) != stMain ||
               tables::InTable(*this, r.Start.Par) ||
               std::find(starts.begin(), starts.end(), r.Start.Par) != starts.end();
    for (int32_t k = r.Start.Offset; !bad && k < r.End.Offset && r.Start.Par == r.End.Par; ++k) {
      const uint8_t code = Par(r.Start.Par)->CodeAt(k);
      bad = code <= 8 || (code >= 10 && code <= 13);
    }
    starts.push_back(r.Start.Par);
    if (bad) invalid.push_back(f);
  }
  for (TField* f : invalid) RemoveField(f);
}

}  // namespace qv
