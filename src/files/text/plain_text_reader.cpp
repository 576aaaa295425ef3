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
#include "files/text/text_decoding.h"
#include "files/text/text_detection.h"
#include "files/text/text_encodings.h"
#include "foundation/fonts/font_manager.h"
#include "foundation/text/code_pages.h"

namespace qv {
namespace {

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

  // A text byte in the code page of the font in force (bytes from 32 to 127 are the same in
  // every code page).
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
    const int32_t font = FontForCodePage(curFont_, codePage);
    if (font < 0) return false;
    AppendTag(content_, ctFont, font);
    curFont_ = font;
    curCp_ = codePage;
    return true;
  }

  // The face of `font` in the character set of the code page, -1 when none reads the page. Text
  // that mixes scripts switches back and forth between a few fonts, so the answers are kept (the
  // font manager answers the same once it has registered the font).
  int32_t FontForCodePage(int32_t font, uint32_t codePage) {
    for (const TSwitch& s : switches_)
      if (s.From == font && s.CodePage == codePage) return s.To;
    int32_t to = FontInCharset(font, CodePageToCharset(codePage));
    if (TextCodePageOfFont(to) != codePage) to = -1;
    if (switches_.size() < kMaxSwitches) switches_.push_back({font, codePage, to});
    return to;
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
  struct TSwitch {
    int32_t From;
    uint32_t CodePage;
    int32_t To;
  };
  static constexpr size_t kMaxSwitches = 64;
  std::vector<TSwitch> switches_;
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

// A character of Unicode text that is no line end and no zero.
void AppendUnicodeUnit(char16_t ch, TTextBuilder& builder) {
  const int special = ch <= 255 ? SpecialOfUnit(ch) : -1;
  if (special >= 0)
    builder.AppendSpecial(special);
  else if (ch >= 32)
    builder.AppendChar(ch);
}

// The length of the run of bytes from 32 to 127 at data[i], which every encoding but UTF-16
// reads as the same characters.
size_t AsciiRun(const uint8_t* data, size_t n, size_t i) {
  size_t end = i;
  while (end < n && data[end] >= 32 && data[end] < 128) ++end;
  return end - i;
}

void ReadUtf8Text(const uint8_t* data, size_t n, TTextBuilder& builder, TLineEndRecord& record,
                  TTxtReadResult& result) {
  auto at = [data](size_t k) { return static_cast<uint32_t>(data[k]); };
  for (size_t i = 0; i < n;) {
    const uint8_t b = data[i];
    if (b >= 32 && b < 128) {
      const size_t run = AsciiRun(data, n, i);
      builder.AppendBytes(data + i, run);
      i += run;
      continue;
    }
    if (b == 0) {
      result.StoppedAtZero = i + 1 < n;
      return;
    }
    if (b == 13 || b == 10) {
      // The byte after a CR or LF is a character of its own (a byte below 128 always is).
      i += TakeLineEnd(b, i, n, at, record);
      builder.EndParagraph();
      continue;
    }
    const TDecodedChar c = DecodeUtf8Char(data, n, i);
    i += c.Taken;
    result.Replacements += c.Replaced ? 1 : 0;
    for (uint8_t u = 0; u < c.UnitCount; ++u) AppendUnicodeUnit(c.Units[u], builder);
  }
}

void ReadUtf16Text(const uint8_t* data, size_t size, bool bigEndian, TTextBuilder& builder,
                   TLineEndRecord& record, TTxtReadResult& result) {
  const size_t n = size / 2;
  auto at = [data, bigEndian](size_t k) -> uint32_t { return Utf16UnitAt(data, k, bigEndian); };
  for (size_t i = 0; i < n;) {
    const char16_t u = Utf16UnitAt(data, i, bigEndian);
    if (u == 0) {
      // An odd last byte would still have been a character.
      result.StoppedAtZero = i + 1 < n || size % 2 != 0;
      return;
    }
    if (u == 13 || u == 10) {
      i += TakeLineEnd(u, i, n, at, record);
      builder.EndParagraph();
      continue;
    }
    if (u >= 32 && u < 128) {
      builder.AppendByte(static_cast<uint8_t>(u));
      ++i;
      continue;
    }
    const TDecodedChar c = DecodeUtf16Char(data, n, i, bigEndian);
    i += c.Taken;
    result.Replacements += c.Replaced ? 1 : 0;
    for (uint8_t k = 0; k < c.UnitCount; ++k) AppendUnicodeUnit(c.Units[k], builder);
  }
  if (size % 2 != 0) {
    ++result.Replacements;
    AppendUnicodeUnit(kReplacementChar, builder);
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
    if (IsCodePageEncoding(encoding))
      ReadCodePageText(body, bodySize, builder, record, result);
    else if (encoding <= teUtf8Bom)
      ReadUtf8Text(body, bodySize, builder, record, result);
    else
      ReadUtf16Text(body, bodySize, encoding == teUtf16BE, builder, record, result);
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
