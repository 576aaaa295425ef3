#include "files/write/write_reader.h"

#include <algorithm>
#include <array>
#include <memory>
#include <span>
#include <vector>

#include "document/char_format.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/par.h"
#include "document/par_format.h"
#include "document/pictures.h"
#include "document/shape.h"
#include "document/tab_stops.h"
#include "files/read_paragraphs.h"
#include "foundation/fonts/font_manager.h"

namespace qv {
namespace {

constexpr size_t kPage = 128;
constexpr size_t kMaxRunsPerPage = (kPage - 1 - 4) / 6;  // 20 entries fit before the count byte
constexpr size_t kCharPropSize = 6;
constexpr size_t kParPropSize = 78;
constexpr std::array<uint8_t, kCharPropSize> kDefaultCharProps = {1, 0, 24, 0, 0, 0};
constexpr uint8_t kRunningHead = 0x06;
constexpr uint8_t kPictureParagraph = 0x10;
constexpr uint32_t kPictureHeaderSize = 40;

// Raised for a damaged file; the read then fails with its reason.
struct TDamaged {
  std::string Reason;
};

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t* p) { return U16(p) | static_cast<uint32_t>(U16(p + 2)) << 16; }

std::array<uint8_t, kParPropSize> DefaultParProps() {
  std::array<uint8_t, kParPropSize> p{};
  const uint8_t start[] = {0x3D, 0, 0x1E, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0};
  std::copy(std::begin(start), std::end(start), p.begin());
  return p;
}

// Walks the runs (character or paragraph) of a stretch of property pages, page after page.
class TRunCursor {
 public:
  TRunCursor(const uint8_t* data, size_t size, size_t firstPage, size_t endPage,
             const uint8_t* defaults, size_t propSize)
      : data_(data), size_(size), page_(firstPage), endPage_(endPage), defaults_(defaults),
        propSize_(propSize) {
    std::copy(defaults, defaults + propSize, props_.begin());
  }

  // Takes the next run; false when the pages have no more.
  bool Next() {
    while (index_ >= count_) {
      if (started_) ++page_;
      started_ = true;
      if (page_ >= endPage_ || (page_ + 1) * kPage > size_) return false;
      count_ = data_[page_ * kPage + kPage - 1];
      index_ = 0;
      if (count_ > kMaxRunsPerPage) throw TDamaged{"too many runs on a property page"};
    }
    const uint8_t* base = data_ + page_ * kPage;
    const uint32_t end = U32(base + 4 + 6 * index_);
    const uint16_t offset = U16(base + 8 + 6 * index_);
    ++index_;
    if (end < end_ || end > size_) throw TDamaged{"a run ends outside the file"};
    end_ = end;
    std::copy(defaults_, defaults_ + propSize_, props_.begin());
    if (offset != 0xFFFF) {
      const size_t at = 4 + static_cast<size_t>(offset);
      if (at >= kPage - 1) throw TDamaged{"a property block lies outside its page"};
      const size_t count = base[at];
      if (count > propSize_ || at + 1 + count > kPage - 1)
        throw TDamaged{"a property block overruns its page"};
      std::copy(base + at + 1, base + at + 1 + count, props_.begin());
    }
    return true;
  }

  // Takes runs until one ends after the position; false when the runs ran out first (the last
  // properties then stay in force).
  bool Cover(uint32_t position) {
    while (end_ <= position)
      if (!Next()) return false;
    return true;
  }

  uint32_t End() const { return end_; }
  const uint8_t* Props() const { return props_.data(); }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t page_;
  size_t endPage_;
  const uint8_t* defaults_;
  size_t propSize_;
  std::array<uint8_t, kParPropSize> props_{};
  size_t count_ = 0;
  size_t index_ = 0;
  bool started_ = false;
  uint32_t end_ = 0;
};

class TWriReader {
 public:
  TWriReader(TDoc& doc, const uint8_t* data, size_t size) : doc_(doc), d_(data), n_(size) {}

  void Run(TWriReadResult& result) {
    ReadHeader();
    ReadFonts();
    const std::array<uint8_t, kParPropSize> parDefaults = DefaultParProps();
    TRunCursor chars(d_, n_, (textEnd_ + kPage - 1) / kPage, pnPara_, kDefaultCharProps.data(),
                     kCharPropSize);
    TRunCursor pars(d_, n_, pnPara_, pnParaEnd_, parDefaults.data(), kParPropSize);
    chars.Cover(kPage);
    pars.Cover(kPage);
    uint32_t pos = kPage;
    SkipSpecialParagraphs(pos, chars, pars, result);
    OpenParagraph(chars);
    while (pos < textEnd_) {
      const uint8_t b = d_[pos];
      if (b == 9 || b == 12) {
        AppendSpecial(b == 9 ? scTab : scPageBreak);
        ++pos;
      } else if (b == 13) {
        EndParagraph(ParFormatOf(pars.Props()));
        pos += 2;
        if (!pars.Cover(pos)) pos = std::max(pos, textEnd_);
        chars.Cover(pos);
        SkipSpecialParagraphs(pos, chars, pars, result);
        OpenParagraph(chars);
        continue;
      } else if (b >= 32) {
        // Up to the end of the character run (or of the text once the runs have run out).
        const uint32_t end = chars.End() > pos ? std::min(chars.End(), textEnd_) : textEnd_;
        const uint32_t start = pos;
        while (pos < end && d_[pos] >= 32) ++pos;
        content_.append(reinterpret_cast<const char*>(d_ + start), pos - start);
        codes_.append(reinterpret_cast<const char*>(d_ + start), pos - start);
      } else {
        ++pos;
      }
      if (pos >= chars.End() && chars.End() < textEnd_ && chars.Cover(pos))
        AppendCharFormatTagsTo(CharFormatOf(chars.Props()));
    }
    lastFormat_ = ParFormatOf(pars.Props());
    Finish();
    result.Ok = true;
  }

 private:
  void ReadHeader() {
    if (n_ < kPage) throw TDamaged{"the file is shorter than its header"};
    const uint16_t id = U16(d_);
    if ((id != 0xBE31 && id != 0xBE32) || U16(d_ + 4) != 0xAB00)
      throw TDamaged{"the file is no Write document"};
    textEnd_ = U32(d_ + 14);
    pnPara_ = U16(d_ + 18);
    pnFont_ = U16(d_ + 28);
    pnMac_ = U16(d_ + 96);
    if (textEnd_ < kPage || textEnd_ > n_) throw TDamaged{"the text ends outside the file"};
    if (static_cast<size_t>(pnMac_) * kPage > n_) throw TDamaged{"the file is cut short"};
    if (pnPara_ * kPage < textEnd_ || pnPara_ > pnMac_)
      throw TDamaged{"the paragraph pages lie outside the file"};
    pnParaEnd_ = (pnFont_ > pnPara_ && pnFont_ <= pnMac_) ? pnFont_ : pnMac_;
  }

  void ReadFonts() {
    TFontManager* fm = FontManager();
    if (pnFont_ >= pnMac_) return;
    size_t off = static_cast<size_t>(pnFont_) * kPage + 2;
    while (true) {
      if (off + 2 > n_) throw TDamaged{"the font table runs past the end of the file"};
      const uint16_t size = U16(d_ + off);
      if (size == 0) break;
      if (size == 0xFFFF) {
        off = (off / kPage + 1) * kPage;
        continue;
      }
      if (off + 2 + size > n_) throw TDamaged{"a font entry runs past the end of the file"};
      const uint8_t* name = d_ + off + 3;
      size_t len = 0;
      while (len + 1 < size && len < 33 && name[len] != 0) ++len;
      const std::string face(reinterpret_cast<const char*>(name), len);
      int32_t font = DefaultCharFormat.Font;
      if (fm != nullptr && !face.empty()) {
        font = fm->FindFont(face);
        if (font < 0) font = fm->FontIndex(face, fm->DefaultCharset(), false);
      }
      fonts_.push_back(font);
      off += 2 + size;
    }
  }

  TCharFormat CharFormatOf(const uint8_t* p) const {
    TCharFormat f = DefaultCharFormat;
    const size_t code = static_cast<size_t>(p[1] >> 2) | static_cast<size_t>(p[4] & 7) << 6;
    if (code < fonts_.size()) f.Font = fonts_[code];
    f.Size = p[2];
    f.Bold = p[1] & 1;
    f.Italic = (p[1] >> 1) & 1;
    if (p[3] & 1) f.Underline = 1;
    const int8_t position = static_cast<int8_t>(p[5]);
    f.Script = position > 0 ? 1 : position < 0 ? 2 : 0;
    return f;
  }

  static TParFormat ParFormatOf(const uint8_t* p) {
    TParFormat f = DefaultParFormat;
    f.Alignment = static_cast<int8_t>(p[1] & 3);
    f.RightIndent = static_cast<int16_t>(U16(p + 4));
    f.LeftIndent = static_cast<int16_t>(U16(p + 6));
    f.FirstIndent = static_cast<int16_t>(U16(p + 8));
    f.LineSpacing = static_cast<int16_t>(U16(p + 10));
    TTabTable tabs;
    for (size_t k = 0; k < 14; ++k) {
      const uint16_t position = U16(p + 22 + 4 * k);
      if (position == 0) break;
      AddTabStop(tabs, PackTabStop(position, (p[24 + 4 * k] & 7) ? tkDecimal : tkLeft, tlNone));
    }
    if (!tabs.empty()) {
      SortTabStops(tabs);
      f.TabSet = static_cast<int16_t>(GetTabManager().AddTable(tabs));
    }
    return f;
  }

  // Running heads (headers and footers) at the position are passed over; a picture paragraph
  // gives its picture to the current paragraph.
  void SkipSpecialParagraphs(uint32_t& pos, TRunCursor& chars, TRunCursor& pars,
                             TWriReadResult& result) {
    while (pos < textEnd_ && pars.End() > pos &&
           (pars.Props()[16] & (kRunningHead | kPictureParagraph)) != 0) {
      if ((pars.Props()[16] & kRunningHead) == 0) TakePicture(pos, pars.End(), result);
      pos = pars.End();
      if (!pars.Cover(pos)) pos = std::max(pos, textEnd_);
      chars.Cover(pos);
    }
  }

  // The metafile picture of a picture paragraph (its 40-byte header, then the data) becomes an
  // inline picture of the current paragraph. An embedded object is left out; so is a picture
  // without data or whose data cannot be kept, which is counted.
  void TakePicture(uint32_t pos, uint32_t end, TWriReadResult& result) {
    end = std::min(end, textEnd_);
    if (pos + kPictureHeaderSize > end) {
      ++result.PicturesSkipped;
      return;
    }
    const uint8_t* h = d_ + pos;
    const uint16_t mappingMode = U16(h);
    if (mappingMode == 227 || mappingMode == 228) return;
    const uint32_t dataSize = U32(h + 16);
    if (dataSize > end - pos - kPictureHeaderSize)
      throw TDamaged{"a picture's data run past its paragraph"};
    auto shape = std::make_unique<TShape>(&doc_);
    TDocGraphic& graphic = *shape->Graphic;
    if (dataSize == 0 ||
        !graphic.AttachData(std::span<const uint8_t>(h + kPictureHeaderSize, dataSize),
                            TDocGraphic::TKind::Metafile)) {
      ++result.PicturesSkipped;
      return;
    }
    graphic.FromWmf = true;
    graphic.MapMode = mappingMode & 0xF;
    graphic.ExtentX = static_cast<int16_t>(U16(h + 2));
    graphic.ExtentY = static_cast<int16_t>(U16(h + 4));
    shape->Props.PicWidth = U16(h + 10);
    shape->Props.PicHeight = U16(h + 12);
    // Tenths of a percent; an unset scale is full size.
    shape->Props.ScaleX = U16(h + 36) == 0 ? 100 : U16(h + 36) / 10;
    shape->Props.ScaleY = U16(h + 38) == 0 ? 100 : U16(h + 38) / 10;
    AppendTag(ctInlineShape, TagRefOf(shape.get()));
    codes_.push_back(static_cast<char>(scInlineShape));
    shapes_.push_back(std::move(shape));
  }

  void AppendTag(uint8_t kind, int32_t value) { AppendContentTag(content_, kind, value); }
  void AppendSpecial(uint8_t code) {
    AppendTag(ctSpecialChar, code);
    codes_.push_back(static_cast<char>(code));
  }
  void AppendCharFormatTagsTo(const TCharFormat& f) {
    for (int i = 0; i < TCharFormat::Count; ++i) AppendTag(static_cast<uint8_t>(i), f[i]);
  }
  // Tags for what the run's format sets beyond the program's defaults.
  void OpenParagraph(const TRunCursor& chars) {
    const TCharFormat f = CharFormatOf(chars.Props());
    for (int i = 0; i < TCharFormat::Count; ++i)
      if (f[i] != DefaultCharFormat[i]) AppendTag(static_cast<uint8_t>(i), f[i]);
  }

  void EndParagraph(const TParFormat& format) {
    AppendSpecial(scParagraphEnd);
    pars_.push_back(TakeParagraph(doc_, format, content_, codes_));
  }

  // The last paragraph takes the format in force; the paragraphs go into the main text, the
  // first one into the empty paragraph of a new document.
  void Finish() {
    EndParagraph(lastFormat_);
    AddToMainText(doc_, pars_);
    for (auto& shape : shapes_) doc_.AddShape(std::move(shape));
  }

  TDoc& doc_;
  const uint8_t* d_;
  size_t n_;
  uint32_t textEnd_ = 0;
  size_t pnPara_ = 0;
  size_t pnParaEnd_ = 0;
  size_t pnFont_ = 0;
  size_t pnMac_ = 0;
  std::vector<int32_t> fonts_;
  std::string content_;
  std::string codes_;
  std::vector<std::unique_ptr<TPar>> pars_;
  // The pictures read; the document takes them only when the whole file was read.
  std::vector<std::unique_ptr<TShape>> shapes_;
  TParFormat lastFormat_ = DefaultParFormat;
};

}  // namespace

TWriReadResult ReadWri(TDoc& doc, const uint8_t* data, size_t size, bool dontRead) {
  TWriReadResult result;
  if (dontRead) {
    result.Ok = true;
    return result;
  }
  if (data == nullptr) size = 0;
  try {
    TWriReader(doc, data, size).Run(result);
  } catch (const TDamaged& damaged) {
    result.Ok = false;
    result.Error = "The Write document is damaged: " + damaged.Reason + ".";
  } catch (const std::exception& e) {
    result.Ok = false;
    result.Error = e.what();
  }
  return result;
}

}  // namespace qv
