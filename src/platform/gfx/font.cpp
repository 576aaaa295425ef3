#include "platform/gfx/font.h"

#include <algorithm>
#include <map>

#include "platform/gfx/code_page_table.h"
#include "platform/gfx/font_impl.h"
#include "platform/system/mul_div.h"

namespace plat {

int32_t CharsetToCodePage(int32_t cs) {
  switch (cs) {
    case charset::Symbol: return 0;
    case charset::Mac: return 10000;
    case charset::ShiftJis: return 932;
    case charset::Hangul: return 949;
    case charset::Johab: return 1361;
    case charset::Gb2312: return 936;
    case charset::ChineseBig5: return 950;
    case charset::Greek: return 1253;
    case charset::Turkish: return 1254;
    case charset::Vietnamese: return 1258;
    case charset::Hebrew: return 1255;
    case charset::Arabic: return 1256;
    case charset::Baltic: return 1257;
    case charset::Russian: return 1251;
    case charset::Thai: return 874;
    case charset::EastEurope: return 1250;
    case charset::Oem: return 437;
    default: return 1252;
  }
}

namespace {

int64_t DivCeil(int64_t num, int64_t den) {  // den > 0
  return num >= 0 ? (num + den - 1) / den : -((-num) / den);
}

// The default size when a LogFont gives none: 12 points on a 96 dpi screen.
constexpr int32_t kDefaultEm = 16;
// Sizes beyond this many pixels are taken as this size (the glyph engine's coordinates would
// overflow long before such a font could be drawn).
constexpr int32_t kMaxPixels = 65535;

void ComputeSizes(Font::Impl& f) {
  const gfx_detail::FaceRecord& r = *f.face;
  const int64_t cell = int64_t(r.winAscent) + r.winDescent;
  const int32_t h = std::clamp(f.log.Height, -kMaxPixels, kMaxPixels);
  if (h > 0) {
    f.em64 = std::max<int64_t>(1, MulDiv64(int64_t(h) * 64, r.upem, cell));
  } else {
    f.em64 = int64_t(h == 0 ? kDefaultEm : -int64_t(h)) * 64;
  }
  f.emX64 = f.em64;
  if (f.log.Width > 0 && r.avgWidth > 0)
    f.emX64 = std::max<int64_t>(
        1, MulDiv64(int64_t(std::min(f.log.Width, kMaxPixels)) * 64, r.upem, r.avgWidth));
  TextMetrics& m = f.metrics;
  if (h > 0) {
    m.Ascent = int32_t(MulDiv64(h, r.winAscent, cell));
    m.Descent = h - m.Ascent;
  } else {
    m.Ascent = int32_t(DivCeil(int64_t(r.winAscent) * f.em64, int64_t(r.upem) * 64));
    m.Descent = int32_t(DivCeil(int64_t(r.winDescent) * f.em64, int64_t(r.upem) * 64));
  }
  m.Height = m.Ascent + m.Descent;
  m.InternalLeading = std::max<int32_t>(0, m.Height - int32_t(MulDiv64(f.em64, 1, 64)));
  const int64_t gap = int64_t(r.lineGap) - (cell - (int64_t(r.hheaAscent) - r.hheaDescent));
  m.ExternalLeading = std::max<int32_t>(0, f.ScaleY(gap));
}

void ComputeWidths(Font::Impl& f) {
  const gfx_detail::FaceRecord& r = *f.face;
  for (size_t c = 0; c < f.lowAdvances.size(); ++c)
    f.lowAdvances[c] = f.GlyphAdvance(r.GlyphForChar(char32_t(c)));
  for (int b = 0; b < 256; ++b) {
    uint32_t glyph;
    bool isChar = true;
    if (r.symbol) {
      glyph = r.symbolGlyphs[size_t(b)];
    } else {
      const char16_t c = gfx_detail::DecodeByte(f.codePage, uint8_t(b));
      isChar = c != 0 || b == 0;
      glyph = r.GlyphForChar(c);
    }
    f.byteGlyphs[size_t(b)] = glyph;
    f.byteWidths[size_t(b)] = isChar ? f.GlyphAdvance(glyph) : 0;
  }
  TextMetrics& m = f.metrics;
  m.AveCharWidth = r.avgWidth > 0 ? f.ScaleX(r.avgWidth) : f.Advance(U'x');
  m.MaxCharWidth = std::max(f.ScaleX(r.maxAdvance) + f.boldExtra, m.AveCharWidth);
}

std::shared_ptr<const Font::Impl> MakeImpl(const LogFont& asked) {
  auto f = std::make_shared<Font::Impl>();
  f->log = asked;
  LogFont lf = asked;
  lf.Height = std::clamp(lf.Height, -kMaxPixels, kMaxPixels);
  lf.Width = std::clamp(lf.Width, 0, kMaxPixels);
  const int32_t weight = lf.Weight <= 0 ? 400 : std::clamp(lf.Weight, 1, 1000);
  gfx_detail::ResolvedFace rf = gfx_detail::ResolveFace(lf.FaceName, weight, lf.Italic);
  f->face = rf.face;
  f->faceName = rf.family;
  f->substituted = rf.substituted;
  f->synthBold = rf.synthBold;
  f->synthItalic = rf.synthItalic;
  f->codePage = rf.face->symbol ? 0 : CharsetToCodePage(lf.CharSet);
  ComputeSizes(*f);
  // A face made bold by emboldening its outlines grows by a pixel, as the system's fonts do.
  f->boldExtra = f->synthBold ? 1 : 0;
  ComputeWidths(*f);
  TextMetrics& m = f->metrics;
  m.Weight = rf.synthBold ? 700 : f->face->weightClass;
  m.Italic = lf.Italic;
  m.Underlined = lf.Underline;
  m.StruckOut = lf.StrikeOut;
  m.CharSet = f->face->symbol ? charset::Symbol : lf.CharSet;
  m.FixedPitch = f->face->fixedPitch;
  m.Outline = f->face->scalable;
  return f;
}

struct FontCache {
  std::mutex mutex;
  std::vector<std::pair<LogFont, std::shared_ptr<const Font::Impl>>> entries;
  std::shared_ptr<const Font::Impl> defaultFont;  // every new canvas starts with it
};

FontCache& TheFontCache() {
  static FontCache* c = new FontCache;
  return *c;
}

// Fonts are kept while the cache is below this size; beyond it the oldest half is dropped
// (Font handles still in use keep their own copy alive).
constexpr size_t kMaxCachedFonts = 1024;

std::shared_ptr<const Font::Impl> Lookup(const LogFont& lf) {
  FontCache& c = TheFontCache();
  std::lock_guard lock(c.mutex);
  for (auto it = c.entries.rbegin(); it != c.entries.rend(); ++it)
    if (it->first == lf) return it->second;
  auto impl = MakeImpl(lf);
  if (c.entries.size() >= kMaxCachedFonts)
    c.entries.erase(c.entries.begin(), c.entries.begin() + kMaxCachedFonts / 2);
  c.entries.emplace_back(lf, impl);
  return impl;
}

}  // namespace

int32_t Font::Impl::ScaleX(int64_t units) const {
  return int32_t(MulDiv64(units, emX64, int64_t(face->upem) * 64));
}
int32_t Font::Impl::ScaleY(int64_t units) const {
  return int32_t(MulDiv64(units, em64, int64_t(face->upem) * 64));
}

void FontsChanged() {
  {
    FontCache& c = TheFontCache();
    std::lock_guard lock(c.mutex);
    c.entries.clear();
    c.defaultFont.reset();
  }
  gfx_detail::ClearFaceCaches();
}

Font::Font() {
  FontCache& c = TheFontCache();
  {
    std::lock_guard lock(c.mutex);
    impl_ = c.defaultFont;
  }
  if (impl_) return;
  impl_ = Lookup(LogFont{"Arial", -kDefaultEm});
  std::lock_guard lock(c.mutex);
  c.defaultFont = impl_;
}
Font::Font(const LogFont& lf) : impl_(Lookup(lf)) {}

const LogFont& Font::Log() const { return impl_->log; }
const std::string& Font::FaceName() const { return impl_->faceName; }
bool Font::Substituted() const { return impl_->substituted; }
const std::string& Font::FilePath() const { return impl_->face->path; }
int32_t Font::CodePage() const { return impl_->codePage; }
bool Font::IsSymbolFace() const { return impl_->face->symbol; }
const TextMetrics& Font::Metrics() const { return impl_->metrics; }
const std::array<int32_t, 256>& Font::ByteWidths() const { return impl_->byteWidths; }

int32_t Font::CharAdvance(char32_t c) const {
  if (c >= 0xD800 && c < 0xE000) return 0;
  return impl_->Advance(c);
}

int32_t Font::TextWidth(std::string_view bytes) const {
  int32_t w = 0;
  for (char c : bytes) w += impl_->byteWidths[uint8_t(c)];
  return w;
}

int32_t Font::TextWidth(std::u16string_view text) const {
  int32_t w = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    }
    w += CharAdvance(c);
  }
  return w;
}

std::u16string Font::DecodeBytes(std::string_view bytes) const {
  return gfx_detail::DecodeBytes(impl_->codePage, bytes);
}

const std::vector<KerningPair>& Font::KerningPairs() const {
  const Impl& f = *impl_;
  std::call_once(f.kernOnce, [&f] {
    for (const gfx_detail::CharKernUnits& k : f.face->CharKerning())
      if (const int32_t amount = f.ScaleX(k.amount)) f.kerning.push_back({k.first, k.second, amount});
  });
  return f.kerning;
}

const std::vector<KerningPair>& Font::ByteKerningPairs() const {
  const Impl& f = *impl_;
  std::call_once(f.byteKernOnce, [this, &f] {
    std::map<uint32_t, std::vector<uint8_t>> bytesOfGlyph;
    for (int b = 32; b < 256; ++b)
      if (f.byteGlyphs[size_t(b)] && f.byteWidths[size_t(b)])
        bytesOfGlyph[f.byteGlyphs[size_t(b)]].push_back(uint8_t(b));
    for (const gfx_detail::KernUnits& k : f.face->Kerning()) {
      const int32_t amount = f.ScaleX(k.amount);
      if (amount == 0) continue;
      auto l = bytesOfGlyph.find(k.left), r = bytesOfGlyph.find(k.right);
      if (l == bytesOfGlyph.end() || r == bytesOfGlyph.end()) continue;
      for (uint8_t lb : l->second)
        for (uint8_t rb : r->second) f.byteKerning.push_back({char16_t(lb), char16_t(rb), amount});
    }
    std::sort(f.byteKerning.begin(), f.byteKerning.end(),
              [](const KerningPair& a, const KerningPair& b) {
                return a.First != b.First ? a.First < b.First : a.Second < b.Second;
              });
    (void)this;
  });
  return f.byteKerning;
}

const std::vector<CodeRange>& Font::CharacterRanges() const { return impl_->face->Ranges(); }

bool Font::Covers(char32_t c) const {
  const auto& ranges = impl_->face->Ranges();
  auto it = std::upper_bound(ranges.begin(), ranges.end(), c,
                             [](char32_t v, const CodeRange& r) { return v < r.First; });
  return it != ranges.begin() && c <= std::prev(it)->Last;
}

std::string Font::TableData(std::string_view tag) const {
  if (tag.size() != 4) return {};
  const uint32_t t = (uint32_t(uint8_t(tag[0])) << 24) | (uint32_t(uint8_t(tag[1])) << 16) |
                     (uint32_t(uint8_t(tag[2])) << 8) | uint32_t(uint8_t(tag[3]));
  return impl_->face->Table(t);
}

}  // namespace plat
