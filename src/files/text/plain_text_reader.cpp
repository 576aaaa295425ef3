#include "files/text/plain_text_reader.h"

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "document/char_format.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/par.h"
#include "files/read_paragraphs.h"
#include "files/text/code_page_bytes.h"
#include "files/text/text_conv_services.h"
#include "files/text/text_detection.h"
#include "files/text/text_encodings.h"
#include "foundation/fonts/font_manager.h"
#include "foundation/text/code_pages.h"

namespace qv {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool InRange(uint8_t b, uint8_t lo, uint8_t hi) { return b >= lo && b <= hi; }
bool IsHighSurrogate(uint32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(uint32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The special character a unit from 0 to 255 stands for, or -1. A soft hyphen (U+00AD) is read
// as the optional hyphen the writer writes it for.
int SpecialOfUnit(uint32_t u) {
  switch (u) {
    case 9: return scTab;
    case 11: return scLineBreak;
    case 12: return scPageBreak;
    case 15: return scColumnBreak;
    case 16: return scNonBreakingHyphen;
    case 31: return scOptionalHyphen;
    case 150: return scEnDash;
    case 151: return scEmDash;
    case 160: return scNonBreakingSpace;
    case 0xAD: return scOptionalHyphen;
    default: return -1;
  }
}

// Builds the paragraphs of the text: their streams and character codes side by side.
class TTextBuilder {
 public:
  TTextBuilder(TDoc& doc, const TTxtReadOptions& options, int32_t charset)
      : doc_(doc), maxParagraphs_(std::max(1, options.MaxParagraphs)) {
    fm_ = FontManager();
    TCharFormat open = DefaultCharFormat;
    parFormat_ = DefaultParFormat;
    if (options.Template != nullptr && options.Template->ParCount() > 0) {
      options.Template->GetCharFormatAt(0, 0, open);
      parFormat_ = options.Template->Par(0)->Format;
    }
    openFont_ = FontInCharset(open.Font == CharUnset ? DefaultCharFormat.Font : open.Font, charset);
    // The opening tags: the font, then what the template's formatting sets beyond the defaults.
    AppendTag(opening_, ctFont, openFont_);
    if (options.Template != nullptr) {
      for (int i = 1; i < TCharFormat::Count; ++i) {
        if (i == cpLanguage || open[i] == CharUnset || open[i] == DefaultCharFormat[i]) continue;
        AppendTag(opening_, static_cast<uint8_t>(i), open[i]);
      }
    }
    openCp_ = TextCodePageOfFont(openFont_);
    StartParagraph();
  }

  // A text byte in the code page of the font in force.
  void AppendByte(uint8_t b) {
    content_.push_back(static_cast<char>(b));
    codes_.push_back(static_cast<char>(b));
  }
  void AppendBytes(const uint8_t* bytes, size_t n) {
    content_.append(reinterpret_cast<const char*>(bytes), n);
    codes_.append(reinterpret_cast<const char*>(bytes), n);
  }
  void AppendSpecial(int code) {
    AppendTag(content_, ctSpecialChar, code);
    codes_.push_back(static_cast<char>(code));
  }
  void AppendWide(char16_t ch) {
    AppendTag(content_, ctWideChar, ch);
    codes_.push_back(static_cast<char>(scWideChar));
  }

  // A character of Unicode text above 31 that has no special code.
  void AppendChar(char16_t ch) {
    if (IsHighSurrogate(ch) || IsLowSurrogate(ch)) {
      AppendWide(ch);
      return;
    }
    int b = ByteIn(curCp_, ch);
    if (b >= 32) {
      AppendByte(static_cast<uint8_t>(b));
      return;
    }
    const uint32_t cp = CodePageOfChar(ch, NO_CODE_PAGE);
    if (cp == NO_CODE_PAGE || fm_ == nullptr || !SwitchFont(cp)) {
      AppendWide(ch);
      return;
    }
    b = ByteIn(curCp_, ch);
    if (b >= 32)
      AppendByte(static_cast<uint8_t>(b));
    else
      AppendWide(ch);
  }

  // Ends the paragraph with its mark, or past the paragraph limit with a line break.
  void EndParagraph() {
    if (static_cast<int32_t>(pars_.size()) + 1 >= maxParagraphs_) {
      AppendSpecial(scLineBreak);
      linesJoined_ = true;
      return;
    }
    FinishParagraph();
    StartParagraph();
  }

  // Closes the last paragraph and puts the paragraphs into the document's main text.
  bool Finish() {
    FinishParagraph();
    AddToMainText(doc_, pars_);
    return true;
  }

  bool LinesJoined() const { return linesJoined_; }

 private:
  static void AppendTag(std::string& s, uint8_t kind, int32_t value) {
    AppendContentTag(s, kind, value);
  }

  static int ByteIn(uint32_t codePage, char16_t ch) { return ByteOfUnitInCodePage(codePage, ch); }

  int32_t FontInCharset(int32_t font, int32_t charset) const {
    if (fm_ == nullptr || !fm_->IsValidFont(font)) return font;
    return fm_->FontWithCharset(fm_->RegFonts[static_cast<size_t>(font)].FontId, charset);
  }

  // Switches to the same face in the character set of the code page; false when no font of the
  // face reads its bytes in that page (a symbol font, say).
  bool SwitchFont(uint32_t codePage) {
    const int32_t font = FontInCharset(curFont_, CodePageToCharset(codePage));
    if (TextCodePageOfFont(font) != codePage) return false;
    AppendTag(content_, ctFont, font);
    curFont_ = font;
    curCp_ = codePage;
    return true;
  }

  void StartParagraph() {
    content_ = opening_;
    codes_.clear();
    curFont_ = openFont_;
    curCp_ = openCp_;
  }

  void FinishParagraph() {
    AppendSpecial(scParagraphEnd);
    pars_.push_back(TakeParagraph(doc_, parFormat_, content_, codes_));
  }

  TDoc& doc_;
  int32_t maxParagraphs_;
  TFontManager* fm_ = nullptr;
  TParFormat parFormat_;
  std::string opening_;
  int32_t openFont_ = 0;
  uint32_t openCp_ = 1252;
  int32_t curFont_ = 0;
  uint32_t curCp_ = 1252;
  std::string content_;
  std::string codes_;
  std::vector<std::unique_ptr<TPar>> pars_;
  bool linesJoined_ = false;
};

// What the line ends of a text were.
class TLineEndRecord {
 public:
  enum Kind : uint8_t { CRLF = 1, LFCR = 2, CR = 4, LF = 8 };
  void Add(Kind kind) { seen_ |= kind; }
  // One style when only its kind was met; CR LF for a mix or none.
  uint8_t Style() const {
    if (seen_ == LFCR) return leLFCR;
    if (seen_ == CR) return leCR;
    if (seen_ == LF) return leLF;
    return leCRLF;
  }

 private:
  uint8_t seen_ = 0;
};

// Handles a CR or LF at position i of units read by `at`; answers how many units it took.
template <class UnitAt>
size_t TakeLineEnd(uint32_t unit, size_t i, size_t count, UnitAt at, TLineEndRecord& record) {
  const uint32_t other = unit == 13 ? 10 : 13;
  if (i + 1 < count && at(i + 1) == other) {
    record.Add(unit == 13 ? TLineEndRecord::CRLF : TLineEndRecord::LFCR);
    return 2;
  }
  record.Add(unit == 13 ? TLineEndRecord::CR : TLineEndRecord::LF);
  return 1;
}

void ReadUnicodeText(const std::u16string& text, TTextBuilder& builder, TLineEndRecord& record,
                     TTxtReadResult& result) {
  const size_t n = text.size();
  auto at = [&text](size_t k) { return static_cast<uint32_t>(text[k]); };
  for (size_t i = 0; i < n;) {
    const char16_t ch = text[i];
    if (ch == 0) {
      result.StoppedAtZero = i + 1 < n;
      return;
    }
    if (ch == 13 || ch == 10) {
      i += TakeLineEnd(ch, i, n, at, record);
      builder.EndParagraph();
      continue;
    }
    ++i;
    const int special = ch <= 255 ? SpecialOfUnit(ch) : -1;
    if (special >= 0) {
      builder.AppendSpecial(special);
    } else if (ch >= 32) {
      builder.AppendChar(ch);
    }
  }
}

void ReadCodePageText(const uint8_t* data, size_t n, TTextBuilder& builder,
                      TLineEndRecord& record, TTxtReadResult& result) {
  auto at = [data](size_t k) { return static_cast<uint32_t>(data[k]); };
  for (size_t i = 0; i < n;) {
    const uint8_t b = data[i];
    if (b == 0) {
      result.StoppedAtZero = i + 1 < n;
      return;
    }
    if (b == 13 || b == 10) {
      i += TakeLineEnd(b, i, n, at, record);
      builder.EndParagraph();
      continue;
    }
    const int special = SpecialOfUnit(b);
    if (special >= 0) {
      builder.AppendSpecial(special);
      ++i;
      continue;
    }
    if (b < 32) {
      ++i;
      continue;
    }
    size_t end = i + 1;
    while (end < n && data[end] >= 32 && SpecialOfUnit(data[end]) < 0) ++end;
    builder.AppendBytes(data + i, end - i);
    i = end;
  }
}

// Chooses the encoding: given, detected, and for a file in a code page or UTF-16 confirmed by
// the user (or the answer given for the same file just before).
int32_t ChooseEncoding(const uint8_t* data, size_t size, const TTxtReadOptions& options,
                       size_t& markSize) {
  markSize = 0;
  if (IsValidTextEncoding(options.Encoding)) return options.Encoding;
  const TTextDetection found = DetectTextEncoding(data, size, false);
  markSize = found.MarkSize;
  int32_t encoding = found.Encoding;
  if (!options.FromFile || encoding == teUtf8 || encoding == teUtf8Bom) return encoding;
  const int32_t remembered = RememberedTextConvAnswer(options.FileName);
  if (IsValidTextEncoding(remembered)) {
    encoding = remembered;
  } else {
    TTextConvRecord record;
    record.Mode = TTextConvRecord::cmOpening;
    record.Data = data;
    record.DataLength = static_cast<int32_t>(std::min<size_t>(size, 0x7FFFFFFF));
    record.Encoding = encoding;
    record.FontIndex = DefaultCharFormat.Font;
    if (options.Template != nullptr && options.Template->ParCount() > 0) {
      TCharFormat f;
      options.Template->GetCharFormatAt(0, 0, f);
      if (f.Font != CharUnset) record.FontIndex = f.Font;
    }
    encoding = TextConvServices().ExecuteTextConvDialog(record) ? record.Encoding : teNone;
    RememberTextConvAnswer(options.FileName, encoding);
  }
  // A mark belongs to its own encoding only.
  if (encoding != found.Encoding) markSize = 0;
  return IsValidTextEncoding(encoding) ? encoding : teNone;
}

}  // namespace

std::u16string DecodeUtf8Text(const uint8_t* data, size_t size, int32_t* replacements) {
  std::u16string out;
  out.reserve(size);
  int32_t bad = 0;
  size_t i = 0;
  while (i < size) {
    const uint8_t b = data[i];
    if (b < 0x80) {
      out.push_back(b);
      ++i;
      continue;
    }
    size_t need = 0;
    uint8_t lo = 0x80, hi = 0xBF;
    uint32_t cp = 0;
    if (InRange(b, 0xC2, 0xDF)) {
      need = 1;
      cp = b & 0x1F;
    } else if (InRange(b, 0xE0, 0xEF)) {
      need = 2;
      cp = b & 0x0F;
      if (b == 0xE0) lo = 0xA0;
    } else if (InRange(b, 0xF0, 0xF4)) {
      need = 3;
      cp = b & 0x07;
      if (b == 0xF0) lo = 0x90;
      if (b == 0xF4) hi = 0x8F;
    }
    size_t k = 1;
    if (need > 0) {
      for (; k <= need && i + k < size; ++k) {
        const uint8_t c = data[i + k];
        if (k == 1 ? !InRange(c, lo, hi) : !InRange(c, 0x80, 0xBF)) break;
        cp = (cp << 6) | (c & 0x3F);
      }
    }
    if (need == 0 || k <= need) {
      // An invalid byte, or a sequence broken off: one replacement for what was read.
      out.push_back(kReplacement);
      ++bad;
      i += k;
      continue;
    }
    i += need + 1;
    if (IsHighSurrogate(cp)) {
      // A pair written as two 3-byte sequences (as files of older writers hold).
      if (i + 2 < size && data[i] == 0xED && InRange(data[i + 1], 0xB0, 0xBF) &&
          InRange(data[i + 2], 0x80, 0xBF)) {
        out.push_back(static_cast<char16_t>(cp));
        out.push_back(static_cast<char16_t>(0xDC00 | ((data[i + 1] & 0x0F) << 6) |
                                            (data[i + 2] & 0x3F)));
        i += 3;
      } else {
        out.push_back(kReplacement);
        ++bad;
      }
    } else if (IsLowSurrogate(cp)) {
      out.push_back(kReplacement);
      ++bad;
    } else if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 | (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 | (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
  }
  if (replacements != nullptr) *replacements += bad;
  return out;
}

std::u16string DecodeUtf16Text(const uint8_t* data, size_t size, bool bigEndian,
                               int32_t* replacements) {
  std::u16string out;
  const size_t units = size / 2;
  out.reserve(units + 1);
  int32_t bad = 0;
  auto unit = [&](size_t k) -> char16_t {
    const uint8_t a = data[2 * k], b = data[2 * k + 1];
    return static_cast<char16_t>(bigEndian ? (a << 8 | b) : (b << 8 | a));
  };
  for (size_t k = 0; k < units; ++k) {
    const char16_t u = unit(k);
    if (IsHighSurrogate(u) && k + 1 < units && IsLowSurrogate(unit(k + 1))) {
      out.push_back(u);
      out.push_back(unit(k + 1));
      ++k;
    } else if (IsHighSurrogate(u) || IsLowSurrogate(u)) {
      out.push_back(kReplacement);
      ++bad;
    } else {
      out.push_back(u);
    }
  }
  if (size % 2 != 0) {
    out.push_back(kReplacement);
    ++bad;
  }
  if (replacements != nullptr) *replacements += bad;
  return out;
}

TTxtReadResult ReadTxt(TDoc& doc, const uint8_t* data, size_t size,
                       const TTxtReadOptions& options) {
  TTxtReadResult result;
  if (options.DontRead) {
    result.Ok = true;
    return result;
  }
  if (data == nullptr) size = 0;
  size_t mark = 0;
  const int32_t encoding = ChooseEncoding(data, size, options, mark);
  result.Encoding = encoding;
  if (encoding == teNone) {
    result.Cancelled = true;
    return result;
  }
  const uint8_t* body = data + mark;
  const size_t bodySize = size - mark;
  const int32_t charset = IsCodePageEncoding(encoding)
                              ? CodePageToCharset(CodePageOfTextEncoding(encoding))
                              : DefaultCharset;
  try {
    TTextBuilder builder(doc, options, charset);
    TLineEndRecord record;
    if (IsCodePageEncoding(encoding)) {
      ReadCodePageText(body, bodySize, builder, record, result);
    } else {
      const std::u16string text =
          encoding <= teUtf8Bom
              ? DecodeUtf8Text(body, bodySize, &result.Replacements)
              : DecodeUtf16Text(body, bodySize, encoding == teUtf16BE, &result.Replacements);
      ReadUnicodeText(text, builder, record, result);
    }
    builder.Finish();
    result.LinesJoined = builder.LinesJoined();
    doc.TxtEncoding = encoding;
    doc.TxtLineEnd = record.Style();
    result.Ok = true;
  } catch (const std::exception&) {
    result.Ok = false;
  }
  return result;
}

}  // namespace qv
