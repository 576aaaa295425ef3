#include "files/text/plain_text_writer.h"

#include <algorithm>

#include "document/auto_list.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/par.h"
#include "files/output/output_layer.h"
#include "files/text/code_page_bytes.h"
#include "files/text/text_encodings.h"

namespace qv {
namespace {

bool IsHighSurrogate(uint32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(uint32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Appends characters in one encoding.
class TTextEncoder {
 public:
  explicit TTextEncoder(int32_t encoding)
      : encoding_(encoding), codePage_(CodePageOfTextEncoding(encoding)) {}

  void Unit(std::string& out, char16_t u) const {
    switch (encoding_) {
      case teUtf16LE:
        out.push_back(static_cast<char>(u & 0xFF));
        out.push_back(static_cast<char>(u >> 8));
        return;
      case teUtf16BE:
        out.push_back(static_cast<char>(u >> 8));
        out.push_back(static_cast<char>(u & 0xFF));
        return;
      case teUtf8:
      case teUtf8Bom:
        CodePoint(out, (IsHighSurrogate(u) || IsLowSurrogate(u)) ? 0xFFFD : u);
        return;
      default: {
        const int b = ByteOfUnitInCodePage(codePage_, u);
        out.push_back(b >= 0 ? static_cast<char>(b) : '?');
      }
    }
  }

  // A surrogate pair: one 4-byte sequence in UTF-8, two units in UTF-16, one "?" in a code page.
  void Pair(std::string& out, char16_t high, char16_t low) const {
    if (encoding_ == teUtf16LE || encoding_ == teUtf16BE) {
      Unit(out, high);
      Unit(out, low);
    } else if (encoding_ == teUtf8 || encoding_ == teUtf8Bom) {
      CodePoint(out, 0x10000 + ((static_cast<uint32_t>(high) - 0xD800) << 10) +
                         (static_cast<uint32_t>(low) - 0xDC00));
    } else {
      out.push_back('?');
    }
  }

  void Text(std::string& out, const std::u16string& text) const {
    for (size_t i = 0; i < text.size(); ++i) {
      if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
        Pair(out, text[i], text[i + 1]);
        ++i;
      } else {
        Unit(out, text[i]);
      }
    }
  }

 private:
  static void CodePoint(std::string& out, uint32_t c) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }

  int32_t encoding_;
  uint32_t codePage_;
};

int32_t EncodingOfContext(const TSaveContext& context) {
  return IsValidTextEncoding(context.Options.CodePage) ? context.Options.CodePage
                                                       : DefaultTextEncoding();
}

// The text a special character stands for; empty for one that has none in plain text.
std::u16string SpecialText(uint8_t code, bool singleLine, bool cellEndsRow, bool& lineEnd) {
  lineEnd = false;
  switch (code) {
    case scParagraphEnd:
    case scSectionEnd:
    case scColumnBreak:
    case scLineBreak:
      lineEnd = !singleLine;
      return singleLine ? u" " : u"";
    case scCellEnd:
      if (singleLine) return u" ";
      lineEnd = cellEndsRow;
      return cellEndsRow ? u"" : u"\t";
    case scPageBreak: return singleLine ? u" " : u"\f";
    case scTab: return singleLine ? u" " : u"\t";
    case scInlineShape:
    case scNonBreakingSpace:
    case scEnSpace:
    case scEmSpace:
    case scQuarterEmSpace: return u" ";
    case scNonBreakingHyphen: return u"-";
    case scEmDash: return singleLine ? u"-" : u"\u2014";
    case scEnDash: return singleLine ? u"-" : u"\u2013";
    // The soft hyphen is how plain text carries an optional hyphen (and how the reader takes it).
    case scOptionalHyphen: return singleLine ? u"-" : u"\u00AD";
    // A row end closes a row whose last cell already ended the line; a note mark, a UTF-16 tag
    // without text and codes that stand for nothing have no plain-text form.
    default: return u"";
  }
}

bool NextParagraphEndsRow(const TPar& par) {
  const TDoc* doc = par.Doc;
  if (doc == nullptr || par.Index + 1 >= doc->ParCount()) return false;
  const TPar& next = *doc->Par(par.Index + 1);
  return next.CharCount() > 0 && next.CodeAt(next.CharCount() - 1) == scRowEnd;
}

// "* " for a bullet level, else the list number text; empty without a list.
std::u16string ListPrefix(const TPar& par) {
  if (par.Doc == nullptr) return {};
  const TAutoList* list = par.Doc->ListByNumber(par.Format.List);
  if (list == nullptr) return {};
  const int32_t level = par.Format.ListLevel == ParUnset8 ? 0 : par.Format.ListLevel;
  if (list->IsBulletLevel(level)) return u"* ";
  return par.GetNumberText();
}

}  // namespace

std::string EncodePlainText(const std::u16string& text, int32_t encoding) {
  std::string out;
  TTextEncoder(encoding).Text(out, text);
  return out;
}

std::string LineEndBytes(uint8_t style, int32_t encoding) {
  static const char16_t* const kEnds[LineEndStyleCount] = {u"\r\n", u"\r", u"\n", u"\n\r"};
  return EncodePlainText(kEnds[style < LineEndStyleCount ? style : 0], encoding);
}

std::string ByteOrderMark(int32_t encoding) {
  switch (encoding) {
    case teUtf8Bom: return "\xEF\xBB\xBF";
    case teUtf16LE: return "\xFF\xFE";
    case teUtf16BE: return "\xFE\xFF";
    default: return {};
  }
}

namespace {

// Writes paragraphs one after another in one encoding, keeping its buffers from one paragraph
// to the next.
class TTxtParagraphWriter {
 public:
  explicit TTxtParagraphWriter(TSaveContext& context)
      : context_(context),
        encoding_(EncodingOfContext(context)),
        encoder_(encoding_),
        byteTable_(CodePageByteTable(CodePageOfTextEncoding(encoding_))),
        singleLine_(context.Options.HasFlag(TDocSavingOptions::sfSingleLine)),
        lineEnd_(LineEndBytes(context.Options.LineEnd, encoding_)) {}

  void Write(TPar& par, int32_t start, int32_t end) {
    // The characters as UTF-16: the paragraph's own cache when it has one, else made here and
    // not kept (a large document written once would otherwise keep a second copy of its text).
    NormalizeParagraphTags(par);
    made_.clear();
    if (!par.HasFlag(pfWideTextValid)) AppendParagraphText(par, made_);
    const std::u16string& text = par.HasFlag(pfWideTextValid) ? par.WideText : made_;
    const int32_t count = std::min<int32_t>(par.CharCount(), static_cast<int32_t>(text.size()));
    start = std::clamp(start, 0, count);
    end = std::clamp(end, start, count);
    out_.clear();
    const bool wholeFromStart = start == 0 && end >= count - 1;
    if (wholeFromStart && !context_.ToMemory()) encoder_.Text(out_, ListPrefix(par));
    const uint8_t* codes = par.Codes.Data;
    for (int32_t i = start; i < end;) {
      int32_t run = i;
      while (run < end && IsOrdinary(codes[run])) ++run;
      if (run > i) {
        AppendCharacters(text.data(), codes, i, run);
        i = run;
        continue;
      }
      bool isLineEnd = false;
      const bool cellEndsRow = codes[i] == scCellEnd && NextParagraphEndsRow(par);
      const std::u16string special = SpecialText(codes[i], singleLine_, cellEndsRow, isLineEnd);
      if (isLineEnd)
        out_ += lineEnd_;
      else
        encoder_.Text(out_, special);
      ++i;
    }
    WriteOutputBytes(context_, out_.data(), static_cast<int32_t>(out_.size()));
  }

 private:
  // A character that stands for itself: a text byte or a UTF-16 character.
  static bool IsOrdinary(uint8_t code) { return code >= 32 || code == scWideChar; }

  // A high surrogate at i that a UTF-16 character holding the low half follows before `to`.
  static bool PairAt(const char16_t* text, const uint8_t* codes, int32_t i, int32_t to) {
    return IsHighSurrogate(text[i]) && i + 1 < to && codes[i + 1] == scWideChar &&
           IsLowSurrogate(text[i + 1]);
  }

  // The ordinary characters from `from` up to `to`, each encoding in a loop of its own.
  void AppendCharacters(const char16_t* text, const uint8_t* codes, int32_t from, int32_t to) {
    switch (encoding_) {
      case teUtf16LE:
      case teUtf16BE:
        for (int32_t i = from; i < to; ++i) encoder_.Unit(out_, text[i]);
        return;
      case teUtf8:
      case teUtf8Bom:
        for (int32_t i = from; i < to; ++i) {
          if (text[i] < 0x80) {
            out_.push_back(static_cast<char>(text[i]));
          } else if (PairAt(text, codes, i, to)) {
            encoder_.Pair(out_, text[i], text[i + 1]);
            ++i;
          } else {
            encoder_.Unit(out_, text[i]);
          }
        }
        return;
      default:
        for (int32_t i = from; i < to; ++i) {
          const char16_t u = text[i];
          int b = u;
          if (PairAt(text, codes, i, to)) {
            b = -1;  // no code page holds a character outside the basic plane
            ++i;
          } else if (u >= 0x80) {
            b = byteTable_ != nullptr ? byteTable_[u] : -1;
          }
          out_.push_back(b >= 0 ? static_cast<char>(b) : '?');
        }
    }
  }

  TSaveContext& context_;
  int32_t encoding_;
  TTextEncoder encoder_;
  const int16_t* byteTable_;
  bool singleLine_;
  std::string lineEnd_;
  std::u16string made_;
  std::string out_;
};

}  // namespace

void WriteTxtParagraph(TPar& par, int32_t start, int32_t end, TSaveContext& context) {
  TTxtParagraphWriter(context).Write(par, start, end);
}

uint8_t WriteTxt(TSaveContext& context) {
  if (context.Doc == nullptr) return 2;
  TDoc& doc = *context.Doc;
  try {
    const int32_t encoding = EncodingOfContext(context);
    const TDocRange& range = context.Options.Range;
    const int32_t first = std::clamp(range.Start.Par, 0, doc.ParCount() - 1);
    const int32_t last = std::clamp(range.End.Par, first, doc.ParCount() - 1);
    BeginSaveProgress(context);
    if (!context.ToMemory()) WriteOutputString(context, ByteOrderMark(encoding));
    TTxtParagraphWriter writer(context);
    for (int32_t p = first; p <= last; ++p) {
      TPar& par = *doc.Par(p);
      const int32_t start = p == first ? range.Start.Offset : 0;
      int32_t end = par.CharCount();
      if (p == last) {
        end = std::min(end, range.End.Offset);
        // A file does not end with the last paragraph's mark.
        if (!context.ToMemory() && end >= par.CharCount()) end = par.CharCount() - 1;
      }
      writer.Write(par, start, end);
      ++context.ParagraphCounter;
      ReportSaveProgress(context);
    }
    FlushOutput(context);
    EndSaveProgress(context);
    return 0;
  } catch (const std::exception&) {
    EndSaveProgress(context);
    return 2;
  }
}

}  // namespace qv
