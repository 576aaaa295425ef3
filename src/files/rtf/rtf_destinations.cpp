// The RTF reader's destinations: the dispatcher, document information, the font and colour
// tables, bookmarks, fields, notes, headers and footers, note separators, index entries and the
// paired ANSI/Unicode texts.
#include <algorithm>
#include <chrono>
#include <cstring>

#include "document/content_stream.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/field_instructions.h"
#include "document/par.h"
#include "document/section.h"
#include "document/shape.h"
#include "files/open_context.h"
#include "files/reader_steps.h"
#include "files/rtf/rtf_keywords.h"
#include "files/rtf/rtf_read_state.h"
#include "foundation/base/date_time.h"
#include "foundation/fonts/font_manager.h"
#include "foundation/text/code_pages.h"

namespace qv {

namespace {

constexpr int32_t kDocFlagNoteContent = 59;
constexpr uint8_t ftIncludePicture = 67;
constexpr uint8_t ftPrivate = 77;

bool IsCharsetTrim(char c) { return static_cast<unsigned char>(c) <= 13 || c == ' ' || c == ';'; }

// Finds the last tag of the kind and value in the stream; -1 when none.
int32_t FindTagBack(const TMemory& s, uint8_t kind, int32_t value) {
  for (int32_t off = s.Length - ContentTagSize; off >= 0; --off)
    if (s.Data[off] == 0 && IsTagAt(s.Data, s.Length, off)) {
      const TContentTag tag = ReadTagAt(s.Data, off);
      if (tag.Kind == kind && tag.Value == value) return off;
    }
  return -1;
}

// The stream offset of the last character (text byte or character tag); -1 when none.
int32_t LastCharOffset(const TMemory& s) {
  int32_t off = s.Length;
  while (off > 0) {
    if (TagEndsBefore(s.Data, off) && off >= ContentTagSize && IsTagAt(s.Data, s.Length, off - ContentTagSize)) {
      const TContentTag tag = ReadTagAt(s.Data, off - ContentTagSize);
      if (IsCharTagKind(tag.Kind)) return off - ContentTagSize;
      off -= ContentTagSize;
      continue;
    }
    return off - 1;
  }
  return -1;
}

std::u16string Quoted(const std::u16string& text) {
  std::u16string out = u"\"";
  for (char16_t c : text) {
    if (c == u'"' || c == u'\\') out += u'\\';
    out += c;
  }
  return out + u"\"";
}

int32_t FormatIndexOfName(const std::string& name) {
  static const char* const kNames[] = {"RTF", "DOC", "DOCX", "ODT", "COD", "WRI", "TXT"};
  for (int32_t i = 0; i < 7; ++i)
    if (name == kNames[i]) return i;
  return static_cast<int32_t>(0x80000000u);
}

// A PNG of one pixel in the colour (0x00BBGGRR): the picture of placeholders and rules.
std::vector<uint8_t> OnePixelPng(uint32_t colour) {
  const auto crc = [](const uint8_t* p, size_t n) {
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < n; ++i) {
      c ^= p[i];
      for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    return ~c;
  };
  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  const auto chunk = [&](const char* type, const std::vector<uint8_t>& data) {
    const uint32_t n = static_cast<uint32_t>(data.size());
    for (int s = 24; s >= 0; s -= 8) png.push_back(static_cast<uint8_t>(n >> s));
    std::vector<uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    png.insert(png.end(), body.begin(), body.end());
    const uint32_t c = crc(body.data(), body.size());
    for (int s = 24; s >= 0; s -= 8) png.push_back(static_cast<uint8_t>(c >> s));
  };
  chunk("IHDR", {0, 0, 0, 1, 0, 0, 0, 1, 8, 2, 0, 0, 0});
  // One scanline (filter 0, red, green, blue) in a stored deflate block.
  const uint8_t raw[4] = {0, static_cast<uint8_t>(colour), static_cast<uint8_t>(colour >> 8),
                          static_cast<uint8_t>(colour >> 16)};
  uint32_t a = 1, b = 0;
  for (uint8_t v : raw) a = (a + v) % 65521, b = (b + a) % 65521;
  const uint32_t adler = (b << 16) | a;
  std::vector<uint8_t> z = {0x78, 0x01, 0x01, 4, 0, 0xFB, 0xFF};
  z.insert(z.end(), raw, raw + 4);
  for (int s = 24; s >= 0; s -= 8) z.push_back(static_cast<uint8_t>(adler >> s));
  chunk("IDAT", z);
  chunk("IEND", {});
  return png;
}

}  // namespace

std::vector<uint8_t> RtfOnePixelPng(uint32_t colour) { return OnePixelPng(colour); }

// ---- the dispatcher ----

void TRtfReader::Dispatch(int32_t word, int32_t depth) {
  if (destinationDepth_ >= kRtfMaxDestinationDepth) {
    StopDamaged();
    return;
  }
  ++destinationDepth_;
  TDocProps& props = doc_.Props;
  const bool quiet = SkippingText() || (flags_ & rfInstruction) != 0;
  switch (word) {
    case RtfWord("title"): ReadDestinationText(&props.Title, nullptr, depth); break;
    case RtfWord("subject"): ReadDestinationText(&props.Subject, nullptr, depth); break;
    case RtfWord("author"): ReadDestinationText(&props.Author, nullptr, depth); break;
    case RtfWord("manager"): ReadDestinationText(&props.Manager, nullptr, depth); break;
    case RtfWord("company"): ReadDestinationText(&props.Company, nullptr, depth); break;
    case RtfWord("category"): ReadDestinationText(&props.Category, nullptr, depth); break;
    case RtfWord("keywords"): ReadDestinationText(&props.Keywords, nullptr, depth); break;
    case RtfWord("doccomm"): ReadDestinationText(&props.Comments, nullptr, depth); break;
    case RtfWord("operator"): ReadDestinationText(&props.AutoProps.LastSavedBy, nullptr, depth); break;
    case RtfWord("creatim"): ReadDateTime(props.AutoProps.Created, depth); break;
    case RtfWord("revtim"): ReadDateTime(props.AutoProps.Modified, depth); break;
    case RtfWord("printim"): ReadDateTime(props.AutoProps.Printed, depth); break;
    case RtfWord("info"):
    case RtfWord("result"):
    case RtfWord("shpinst"):
    case RtfWord("shppict"):
    case RtfWord("sp"):
    case RtfWord("picprop"):
    case RtfWord("listoverridetable"): ReadGroup(false); break;
    case RtfWord("fldrslt"): ReadGroup(true); break;
    case RtfWord("object"):
      if (quiet) SkipRest(depth);
      else ReadGroup(true);
      break;
    case RtfWord("field"):
      if (quiet) SkipRest(depth);
      else ReadField(depth);
      break;
    case RtfWord("fldinst"): ReadFieldInstruction(depth); break;
    case RtfWord("fonttbl"): ReadFontTable(depth); break;
    case RtfWord("colortbl"): ReadColourTable(depth); break;
    case RtfWord("bkmkstart"): ReadBookmarkStart(depth); break;
    case RtfWord("bkmkend"): ReadBookmarkEnd(depth); break;
    case RtfWord("footnote"): ReadNote(depth); break;
    case RtfWord("header"):
    case RtfWord("headerr"): ReadHeaderFooter(hfOddHeader, depth); break;
    case RtfWord("headerl"): ReadHeaderFooter(hfEvenHeader, depth); break;
    case RtfWord("headerf"): ReadHeaderFooter(hfFirstHeader, depth); break;
    case RtfWord("footer"):
    case RtfWord("footerr"): ReadHeaderFooter(hfOddFooter, depth); break;
    case RtfWord("footerl"): ReadHeaderFooter(hfEvenFooter, depth); break;
    case RtfWord("footerf"): ReadHeaderFooter(hfFirstFooter, depth); break;
    case RtfWord("ftnsep"): ReadNoteSeparator(false, depth); break;
    case RtfWord("aftnsep"): ReadNoteSeparator(true, depth); break;
    case RtfWord("xe"):
      if (quiet || (flags_ & rfHeaderFooter) != 0) SkipRest(depth);
      else ReadIndexEntry(depth);
      break;
    case RtfWord("ud"): ReadUnicodeForm(depth); break;
    case RtfWord("listtext"): ReadListText(depth); break;
    case RtfWord("upr"): ReadPairedText(depth); break;
    case RtfWord("autosavedorigname"): {
      std::string name;
      ReadDestinationText(nullptr, &name, depth);
      doc_.FileName = name.empty() ? doc_.MakeNewDocumentName() : name;
      break;
    }
    case RtfWord("autosavedorigfmt"): {
      std::string name;
      ReadDestinationText(nullptr, &name, depth);
      ctx_.SourceFormat = FormatIndexOfName(name);
      break;
    }
    case RtfWord("jpegdata"): ReadHexInto(jpegData_, depth); break;
    case RtfWord("pict"): ReadPicture(depth); break;
    case RtfWord("shp"): ReadShape(depth); break;
    case RtfWord("shptxt"): ReadShapeText(depth); break;
    case RtfWord("sn"): {
      std::string name;
      ReadDestinationText(nullptr, &name, depth);
      propertyName_ = name;
      break;
    }
    case RtfWord("sv"): ReadShapeProperty(depth); break;
    case RtfWord("stylesheet"): ReadStyleSheet(depth); break;
    case RtfWord("listtable"): ReadListTable(depth); break;
    case RtfWord("list"): ReadListDefinition(depth); break;
    case RtfWord("listlevel"): ReadListLevel(depth); break;
    case RtfWord("listoverride"): ReadListOverride(depth); break;
    case RtfWord("lfolevel"): {
      ReadGroup(false);
      overrideLevel_ = std::min(overrideLevel_ + 1, 8);
      break;
    }
    case RtfWord("listpicture"): ReadListPictures(depth); break;
    case RtfWord("pn"): ReadOldNumbering(depth); break;
    default: SkipRest(depth); break;
  }
  --destinationDepth_;
}

// ---- group text ----

// The text of the rest of the group into a wide or a byte string, up to the group's "}" (left
// unread). Formatting words inside still act; words that would end paragraphs, cells, rows or
// sections do not, since the text goes into a string.
void TRtfReader::ReadGroupText(std::u16string* wide, std::string* bytes, char16_t stop, int32_t depth) {
  if (wide != nullptr) wide->clear();
  if (bytes != nullptr) bytes->clear();
  const auto addBytes = [&](const uint8_t* p, int32_t n) {
    std::string run;
    for (int32_t i = 0; i < n; ++i)
      if (p[i] >= 32 || p[i] == 9) run += static_cast<char>(p[i]);
    if (run.empty()) return;
    if (bytes != nullptr && bytes->size() < 65536) *bytes += run;
    if (wide != nullptr && wide->size() < 65536) *wide += CodePageToWide(run, TextCodePageOfFont(written_.Font));
  };
  const auto addChar = [&](char16_t c) {
    if (wide != nullptr && wide->size() < 65536) *wide += c;
    if (bytes != nullptr && bytes->size() < 65536) {
      uint32_t cp = 0;
      *bytes += c < 128 ? static_cast<char>(c) : static_cast<char>(UnitToByte(c, cp));
    }
  };
  const auto lastIsStop = [&] {
    if (stop == 0) return false;
    if (wide != nullptr) return !wide->empty() && wide->back() == stop;
    return bytes != nullptr && !bytes->empty() && static_cast<char16_t>(bytes->back()) == stop;
  };
  int32_t nested = 0;
  for (;;) {
    const TRtfItem item = Next();
    switch (item.Type) {
      case TRtfItem::Kind::End:
      case TRtfItem::Kind::Damaged:
        for (; nested > 0; --nested) PopState();
        return;
      case TRtfItem::Kind::GroupEnd:
        if (nested == 0 || item.Unbalanced) {
          for (; nested > 0; --nested) PopState();
          Unread(item);
          return;
        }
        PopState();
        --nested;
        break;
      case TRtfItem::Kind::DestinationStart: SkipRest(lex_.Depth()); break;
      case TRtfItem::Kind::GroupStart: {
        const int32_t d = lex_.Depth();
        const TRtfItem first = Next();
        const bool destination = first.Type == TRtfItem::Kind::ControlWord && first.Word >= 0 &&
                                 IsRtfDestinationWord(first.Word);
        if ((flags_ & rfInstruction) != 0 && destination) {
          if (first.Word == RtfWord("field")) Dispatch(first.Word, d);
          else SkipRest(d);
          break;
        }
        Unread(first);
        PushState();
        ++nested;
        break;
      }
      case TRtfItem::Kind::Unicode:
        if (!SkippingText()) addChar(item.Char);
        break;
      case TRtfItem::Kind::ControlWord:
        switch (item.Word) {
          case RtfWord("tab"):
            if ((flags_ & rfInstruction) != 0) addChar(u'\t');
            break;
          case RtfWord("emdash"): addChar(0x2014); break;
          case RtfWord("endash"): addChar(0x2013); break;
          case RtfWord("lquote"): addChar(0x2018); break;
          case RtfWord("rquote"): addChar(0x2019); break;
          case RtfWord("ldblquote"): addChar(0x201C); break;
          case RtfWord("rdblquote"): addChar(0x201D); break;
          case RtfWord("bullet"): addChar(0x2022); break;
          case RtfWord("par"): case RtfWord("sect"): case RtfWord("cell"): case RtfWord("row"):
          case RtfWord("page"): case RtfWord("column"): case RtfWord("line"): case RtfWord("chftn"):
            break;
          default: HandleControlWord(item); break;
        }
        break;
      case TRtfItem::Kind::ControlSymbol:
        if (item.Symbol == '\\' || item.Symbol == '{' || item.Symbol == '}') addChar(item.Symbol);
        break;
      case TRtfItem::Kind::Text:
      case TRtfItem::Kind::EscapedBytes:
        addBytes(item.Bytes, item.Count);
        if (lastIsStop()) {
          for (; nested > 0; --nested) PopState();
          return;
        }
        break;
      case TRtfItem::Kind::Binary: break;
    }
  }
}

void TRtfReader::ReadDestinationText(std::u16string* wide, std::string* bytes, int32_t depth) {
  ReadGroupText(wide, bytes, 0, depth);
  SkipRest(depth);
}

void TRtfReader::ReadDateTime(double& target, int32_t depth) {
  (void)depth;
  date_ = {};
  ReadGroup(false);
  const auto [year, month, day, hour, minute, second] = date_;
  double value = 0;
  static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  if (year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
      day <= (month == 2 && !leap ? 28 : kDays[month - 1]))
    value = EncodeDateTime(year, month, day, 0, 0, 0);
  value += (std::clamp(hour, 0, 23) * 3600 + std::clamp(minute, 0, 59) * 60 + std::clamp(second, 0, 59)) / 86400.0;
  if (value < 1) {
    using namespace std::chrono;
    value = duration<double>(system_clock::now().time_since_epoch()).count() / 86400.0 + 25569.0;
  }
  target = value;
}

// ---- fonts and colours ----

void TRtfReader::ReadFontTable(int32_t depth) {
  TRtfFont entry;
  std::string name;
  bool haveEntry = false, nameDone = false;
  const auto finish = [&] {
    if (haveEntry) {
      while (!name.empty() && IsCharsetTrim(name.back())) name.pop_back();
      if (!name.empty()) {
        if (fonts_.size() >= kRtfMaxFonts) {
          StopDamaged();
        } else {
          entry.Name = name;
          fonts_.push_back(entry);
        }
      }
    }
    entry = TRtfFont{};
    name.clear();
    haveEntry = nameDone = false;
  };
  const auto text = [&](const uint8_t* p, int32_t n) {
    for (int32_t i = 0; i < n && !nameDone; ++i) {
      if (p[i] == ';') nameDone = true;
      else if (name.size() < 255) name += static_cast<char>(p[i]);
    }
  };
  int32_t entryDepth = 0;  // lexer depth of a braced entry, 0 outside one
  for (;;) {
    const TRtfItem item = Next();
    switch (item.Type) {
      case TRtfItem::Kind::End: finish(); FinishFontTable(); return;
      case TRtfItem::Kind::DestinationStart: SkipRest(lex_.Depth()); break;
      case TRtfItem::Kind::GroupStart:
        if (entryDepth == 0) {
          finish();
          entryDepth = lex_.Depth();
          haveEntry = true;
        }
        break;
      case TRtfItem::Kind::GroupEnd:
        if (lex_.Depth() < depth || item.Unbalanced) {
          finish();  // an entry without ";" ends with the table
          FinishFontTable();
          return;
        }
        if (entryDepth != 0 && lex_.Depth() < entryDepth) {
          finish();
          entryDepth = 0;
        }
        break;
      case TRtfItem::Kind::ControlWord:
        if (item.Word == RtfWord("f")) {
          if (entryDepth == 0 && haveEntry && !name.empty()) finish();
          haveEntry = true;
          entry.Number = item.Param;
        } else if (item.Word == RtfWord("fcharset")) {
          entry.Charset = item.Param == MAC_CHARSET ? 0 : std::clamp(item.Param, 0, 255);
        }
        break;
      case TRtfItem::Kind::Text:
      case TRtfItem::Kind::EscapedBytes:
        text(item.Bytes, item.Count);
        if (nameDone && entryDepth == 0) finish();
        break;
      default: break;
    }
  }
}

void TRtfReader::FinishFontTable() {
  if (fonts_.size() <= 1) return;
  TFontManager* fm = FontManager();
  for (size_t i = 1; i < fonts_.size(); ++i) {
    TRtfFont& f = fonts_[i];
    f.Index = fm != nullptr ? fm->FontIndex(f.Name, f.Charset, true) : DefaultCharFormat.Font;
  }
  const TRtfFont first = fonts_[1];
  defaultFont_ = first.Index;
  int32_t writtenFont = first.Index;
  if (fm != nullptr && fm->IsValidFont(first.Index) &&
      fm->RegFonts[static_cast<size_t>(first.Index)].Charset != SYMBOL_CHARSET)
    writtenFont = fm->FontIndex(first.Name, fm->DefaultCharset(), true);
  written_.Font = writtenFont;
  AppendTag(ctFont, writtenFont);
  std::stable_sort(fonts_.begin(), fonts_.end(),
                   [](const TRtfFont& a, const TRtfFont& b) { return a.Number < b.Number; });
  fontsSorted_ = true;
}

void TRtfReader::ReadColourTable(int32_t depth) {
  int32_t red = 0, green = 0, blue = 0;
  bool any = false;
  for (;;) {
    const TRtfItem item = Next();
    switch (item.Type) {
      case TRtfItem::Kind::End: return;
      case TRtfItem::Kind::GroupEnd:
        if (lex_.Depth() < depth || item.Unbalanced) return;
        break;
      case TRtfItem::Kind::GroupStart:
      case TRtfItem::Kind::DestinationStart: SkipRest(lex_.Depth()); break;
      case TRtfItem::Kind::ControlWord:
        any = true;
        if (item.Word == RtfWord("red")) red = item.Param & 0xFF;
        else if (item.Word == RtfWord("green")) green = item.Param & 0xFF;
        else if (item.Word == RtfWord("blue")) blue = item.Param & 0xFF;
        break;
      case TRtfItem::Kind::Text:
        for (int32_t i = 0; i < item.Count; ++i) {
          if (item.Bytes[i] != ';') continue;
          if (colours_.size() >= kRtfMaxColours) {
            StopDamaged();
            return;
          }
          colours_.push_back(any ? (red | (green << 8) | (blue << 16)) : AutoColor);
          red = green = blue = 0;
          any = false;
        }
        break;
      default: break;
    }
  }
}

// ---- bookmarks ----

void TRtfReader::ReadBookmarkStart(int32_t depth) {
  std::u16string name;
  ReadDestinationText(&name, nullptr, depth);
  if (name.empty() || (flags_ & rfHeaderFooter) != 0 || SkippingText()) return;
  const std::u16string key = [&] {
    std::u16string k = name;
    for (char16_t& c : k)
      if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
    return k;
  }();
  if (std::find(bookmarkNames_.begin(), bookmarkNames_.end(), key) != bookmarkNames_.end()) return;
  auto field = std::make_unique<TField>();
  field->Kind = fkBookmark;
  field->Instruction = name;
  TField* made = field.get();
  if (!AddField(std::move(field))) return;
  ctx_.OpenFields.push_back(made);
  AppendTag(ctFieldStart, TagRefOf(made));
  bookmarkNames_.push_back(key);
}

void TRtfReader::ReadBookmarkEnd(int32_t depth) {
  std::u16string name;
  ReadDestinationText(&name, nullptr, depth);
  if (SkippingText()) return;
  auto& open = ctx_.OpenFields;
  for (auto it = open.rbegin(); it != open.rend(); ++it) {
    TField* f = *it;
    if (f->Kind != fkBookmark || f->Instruction != name) continue;
    open.erase(std::next(it).base());
    CloseFieldAtEnd(f, false);
    return;
  }
}

// The end mark of a field: in the paragraph being read when it holds characters or opens this
// very field (or is the only one, or the field is an index entry); otherwise at the end of the
// paragraph before it.
void TRtfReader::CloseFieldAtEnd(TField* field, bool always) {
  auto& list = *ctx_.FillList;
  if (always || HasChars() || list.size() <= 1 || ParagraphOpensField(*field, Cur())) {
    AppendTag(ctFieldEnd, TagRefOf(field));
    return;
  }
  TPar& previous = *list[list.size() - 2];
  AppendContentTag(previous.Content, ctFieldEnd, TagRefOf(field));
}

// ---- fields ----

bool TRtfReader::LastOpenFieldIsShape() const {
  return !ctx_.OpenFields.empty() && ctx_.OpenFields.back()->Kind == fkField &&
         ctx_.OpenFields.back()->FieldType == 95;
}

void TRtfReader::DropField(TField* field) {
  auto& open = ctx_.OpenFields;
  open.erase(std::remove(open.begin(), open.end(), field), open.end());
  auto& removed = ctx_.FieldsToRemove;
  removed.erase(std::remove(removed.begin(), removed.end(), field), removed.end());
  for (auto it = doc_.Fields.begin(); it != doc_.Fields.end(); ++it)
    if (it->get() == field) {
      doc_.Fields.erase(it);
      break;
    }
}

void TRtfReader::ReadField(int32_t depth) {
  (void)depth;
  const size_t parCount = ctx_.FillList->size();
  const int32_t charCount = Cur().Codes.Length;
  TField* const saved = currentField_;
  const uint32_t savedToc = flags_ & rfToc;
  currentField_ = nullptr;
  ReadGroup(true);
  TField* field = currentField_;
  if (field != nullptr && !Stopped()) {
    const bool empty = ctx_.FillList->size() == parCount && Cur().Codes.Length == charCount;
    bool dropped = false;
    if (empty) {
      FinishEmptyField(field);
      dropped = std::find_if(doc_.Fields.begin(), doc_.Fields.end(),
                             [&](const auto& f) { return f.get() == field; }) == doc_.Fields.end();
    }
    if (!dropped) {
      auto& open = ctx_.OpenFields;
      open.erase(std::remove(open.begin(), open.end(), field), open.end());
      CloseFieldAtEnd(field, field->FieldType == ftIndexEntry);
    }
  }
  flags_ = (flags_ & ~rfToc) | savedToc;
  currentField_ = saved;
}

void TRtfReader::ReadFieldInstruction(int32_t depth) {
  const uint32_t saved = flags_ & rfInstruction;
  flags_ |= rfInstruction;
  std::u16string text;
  ReadDestinationText(&text, nullptr, depth);
  flags_ = (flags_ & ~rfInstruction) | saved;
  if (Stopped() || SkippingText()) return;
  if (fieldCount_ >= kRtfMaxFields) {
    StopDamaged();
    return;
  }
  TField* field = CreateFieldFromCode(text, kFieldTypeFromInstruction, (flags_ & rfHeaderFooter) != 0, ctx_);
  if (field == nullptr) return;
  ++fieldCount_;
  currentField_ = field;
  if (field->FieldType == ftToc) flags_ |= rfToc;
}

// A field whose result added nothing.
void TRtfReader::FinishEmptyField(TField* field) {
  const auto removeStart = [&] {
    const int32_t at = FindTagBack(Cur().Content, ctFieldStart, TagRefOf(field));
    if (at >= 0) Cur().Content.Delete(at, ContentTagSize);
    DropField(field);
  };
  switch (field->FieldType) {
    case ftIndexEntry: return;
    case ftSymbol: {
      std::string fontName;
      const int32_t code = ParseSymbolInstruction(WideToCodePage(field->Instruction, DefaultCodePage), fontName);
      if (code < 32) return;
      const int32_t font = written_.Font;
      TFontManager* fm = FontManager();
      const bool switchFont = fm != nullptr && !fontName.empty();
      if (switchFont) AppendTag(ctFont, fm->FontIndex(fontName, fm->DefaultCharset(), true));
      if (code >= 256) {
        AppendCharTag(ctWideChar, code & 0xFFFF, scWideChar);
      } else {
        const uint8_t b = static_cast<uint8_t>(code);
        AppendRawBytes(&b, 1);
      }
      if (switchFont) AppendTag(ctFont, font);
      return;
    }
    case ftIncludePicture: {
      auto shape = std::make_unique<TShape>(&doc_);
      const std::vector<uint8_t> png = OnePixelPng(0xFFFFFF);
      shape->Graphic->AttachData(png, TDocGraphic::TKind::Png);
      shape->Props.PicWidth = shape->Props.PicHeight = 1440;
      PlaceInline(std::move(shape));
      return;
    }
    case ftPrivate: removeStart(); return;
    case ftHyperlink: {
      TMemory& s = Cur().Content;
      if (LastCode() == scInlineShape) {
        const int32_t picture = LastCharOffset(s);
        bool hyperlinkEnds = false;
        for (int32_t off = picture + ContentTagSize; off + ContentTagSize <= s.Length; off += ContentTagSize) {
          if (!IsTagAt(s.Data, s.Length, off)) break;
          const TContentTag tag = ReadTagAt(s.Data, off);
          if (tag.Kind == ctFieldEnd) {
            const TField* f = FieldOfTag(tag);
            hyperlinkEnds = hyperlinkEnds || (f != nullptr && f->FieldType == ftHyperlink);
          }
        }
        if (picture >= 0 && !hyperlinkEnds) {
          uint8_t tag[ContentTagSize];
          std::memcpy(tag, s.Data + picture, ContentTagSize);
          s.Delete(picture, ContentTagSize);
          s.Append(tag, ContentTagSize);
          return;
        }
      }
      removeStart();
      return;
    }
    default: {
      const uint8_t q = '?';
      AppendRawBytes(&q, 1);
      return;
    }
  }
}

// ---- notes, headers and footers ----

void TRtfReader::ReadNote(int32_t depth) {
  if (ctx_.FillList != &doc_.Paragraphs || (doc_.PasteTarget & ptNotMainStory) != 0 || SkippingText() ||
      (flags_ & (rfNote | rfHeaderFooter | rfInstruction)) != 0 || fieldCount_ + 2 > kRtfMaxFields) {
    SkipRest(depth);
    return;
  }
  doc_.ClearScopedFlag(kDocFlagNoteContent);
  flags_ |= rfNote;
  PushState();
  std::unique_ptr<TTableRow> savedRow = std::move(row_);
  const TTableCell savedCell = cell_;
  const int32_t savedCells = cellCount_;
  const TRtfCellMerges savedMerges = merges_;
  NewRowDefinition();
  ResetCellRecord();
  cellCount_ = 0;
  merges_.Words = 0;

  // The reference wraps the note mark in the text.
  auto reference = std::make_unique<TField>();
  reference->Kind = fkNoteReference;
  if (!HasChars()) AppendSpecial(scAutoNoteMark);
  if (LastCode() == scAutoNoteMark) reference->Flags |= 1;
  const int32_t markAt = LastCharOffset(Cur().Content);
  InsertContentTag(Cur().Content, std::max(markAt, 0), ctFieldStart, TagRefOf(reference.get()));
  AppendTag(ctFieldEnd, TagRefOf(reference.get()));

  auto text = std::make_unique<TField>();
  text->Kind = fkNoteText;
  text->LinkedField = reference.get();
  reference->LinkedField = text.get();
  TField* noteText = text.get();
  TField* noteRef = reference.get();
  fieldCount_ += 2;
  doc_.Fields.push_back(std::move(reference));
  doc_.Fields.push_back(std::move(text));

  TPar* host = ctx_.ReadPar;
  std::vector<std::unique_ptr<TPar>>* hostList = ctx_.FillList;
  std::vector<std::unique_ptr<TPar>> pars;
  TParFormat format = DefaultParFormat;
  format.WidowControl = static_cast<int8_t>(doc_.FileSettings.WidowControl);
  pars.push_back(MakePar(format));
  ctx_.FillList = &pars;
  ctx_.ReadPar = pars.back().get();
  AppendTag(ctFieldStart, TagRefOf(noteText));
  for (int kind = TCharFormat::Count - 1; kind >= 0; --kind)
    if (written_[kind] != DefaultCharFormat[kind]) AppendTag(static_cast<uint8_t>(kind), written_[kind]);
  ReadGroup(false);
  // A final paragraph mark opened an empty paragraph that is no part of the note.
  if (pars.size() > 1 && pars.back()->Codes.Length == 0 && pars[pars.size() - 2]->Format.InTable != 1) {
    pars.pop_back();
    ctx_.ReadPar = pars.back().get();
    TMemory& s = Cur().Content;
    if (LastCode() == scParagraphEnd) {  // the mark goes after the note's end mark
      const int32_t at = LastCharOffset(s);
      s.Delete(at, ContentTagSize);
      Cur().Codes.SetLength(Cur().Codes.Length - 1);
    }
  }
  Cur().Format.InTable = 0;
  AppendSpecial(scParagraphEnd);
  AppendTag(ctFieldEnd, TagRefOf(noteText));
  const bool endnote = (flags_ & rfEndnote) != 0;
  noteText->NoteClass = endnote ? 1 : 0;
  noteRef->NoteClass = noteText->NoteClass;
  auto& story = endnote ? ctx_.EndnotePars : ctx_.FootnotePars;
  for (auto& p : pars) story.push_back(std::move(p));

  ctx_.FillList = hostList;
  ctx_.ReadPar = host;
  row_ = std::move(savedRow);
  cell_ = savedCell;
  cellCount_ = savedCells;
  merges_ = savedMerges;
  PopState();
  flags_ &= ~(rfNote | rfEndnote);
  doc_.RestoreScopedFlag();
}

void TRtfReader::ReadHeaderFooter(int slot, int32_t depth) {
  if (ctx_.FillList != &doc_.Paragraphs || (doc_.PasteTarget & (ptNotMainStory | ptTableCell)) != 0 ||
      (flags_ & (rfNote | rfHeaderFooter | rfInstruction)) != 0 || fieldCount_ >= kRtfMaxFields) {
    SkipRest(depth);
    return;
  }
  doc_.ClearScopedFlag(kDocFlagNoteContent);
  flags_ |= rfHeaderFooter;
  PushState();
  std::unique_ptr<TTableRow> savedRow = std::move(row_);
  const TTableCell savedCell = cell_;
  const int32_t savedCells = cellCount_;
  const TRtfCellMerges savedMerges = merges_;
  NewRowDefinition();
  ResetCellRecord();
  cellCount_ = 0;
  merges_.Words = 0;

  TPar* host = ctx_.ReadPar;
  std::vector<std::unique_ptr<TPar>>* hostList = ctx_.FillList;
  std::vector<std::unique_ptr<TPar>> pars;
  TParFormat format = DefaultParFormat;
  format.WidowControl = static_cast<int8_t>(doc_.FileSettings.WidowControl);
  pars.push_back(MakePar(format));
  ctx_.FillList = &pars;
  ctx_.ReadPar = pars.back().get();
  auto field = std::make_unique<TField>();
  field->Kind = fkHeaderFooter;
  AppendTag(ctFieldStart, TagRefOf(field.get()));
  for (int kind = TCharFormat::Count - 1; kind >= 0; --kind)
    if (written_[kind] != DefaultCharFormat[kind]) AppendTag(static_cast<uint8_t>(kind), written_[kind]);
  ReadGroup(false);
  // The empty paragraph that a final paragraph mark opened goes; a last paragraph with text
  // (a header whose text does not end with a paragraph mark) stays.
  if (pars.size() > 1 && pars.back()->Codes.Length == 0 && pars[pars.size() - 2]->Format.InTable != 1) {
    pars.pop_back();
    ctx_.ReadPar = pars.back().get();
  }
  Cur().Format.InTable = 0;
  if (LastCode() != scParagraphEnd) AppendSpecial(scParagraphEnd);
  AppendTag(ctFieldEnd, TagRefOf(field.get()));
  Section().HeaderFooter[static_cast<size_t>(slot)] = field.get();
  ++fieldCount_;
  doc_.Fields.push_back(std::move(field));
  for (auto& p : pars) ctx_.HeaderFooterPars.push_back(std::move(p));

  ctx_.FillList = hostList;
  ctx_.ReadPar = host;
  row_ = std::move(savedRow);
  cell_ = savedCell;
  cellCount_ = savedCells;
  merges_ = savedMerges;
  PopState();
  flags_ &= ~rfHeaderFooter;
  doc_.RestoreScopedFlag();
}

void TRtfReader::ReadNoteSeparator(bool endnote, int32_t depth) {
  bool separator = false;
  while (InGroup(depth)) {
    const TRtfItem item = Next();
    if (item.Type == TRtfItem::Kind::End) break;
    if (item.Type == TRtfItem::Kind::ControlWord &&
        (item.Word == RtfWord("chftnsep") || item.Word == RtfWord("chftnsepc")))
      separator = true;
  }
  if (!separator) doc_.NoteSeparatorFlags &= static_cast<uint8_t>(endnote ? ~2u : ~1u);
}

// ---- index entries and paired texts ----

void TRtfReader::ReadIndexEntry(int32_t depth) {
  std::u16string entry, reading, bookmark, crossRef;
  bool yomi = false, bold = false, italic = false;
  const auto target = [&]() -> std::u16string& { return yomi ? reading : entry; };
  const auto addBytes = [&](const uint8_t* p, int32_t n) {
    std::string run;
    for (int32_t i = 0; i < n; ++i)
      if (p[i] >= 32) run += static_cast<char>(p[i]);
    if (!run.empty() && target().size() < 4096) target() += CodePageToWide(run, TextCodePageOfFont(written_.Font));
  };
  while (InGroup(depth)) {
    const TRtfItem item = Next();
    switch (item.Type) {
      case TRtfItem::Kind::End: return;
      case TRtfItem::Kind::DestinationStart: SkipRest(lex_.Depth()); break;
      case TRtfItem::Kind::GroupStart: {
        const int32_t d = lex_.Depth();
        const TRtfItem first = Next();
        if (first.Type == TRtfItem::Kind::ControlWord && first.Word == RtfWord("rxe")) {
          ReadDestinationText(&bookmark, nullptr, d);
        } else if (first.Type == TRtfItem::Kind::ControlWord && first.Word == RtfWord("txe")) {
          ReadDestinationText(&crossRef, nullptr, d);
        } else if (first.Type == TRtfItem::Kind::ControlWord && first.Word >= 0 &&
                   IsRtfDestinationWord(first.Word)) {
          SkipRest(d);
        } else {
          Unread(first);  // read as part of the entry
        }
        break;
      }
      case TRtfItem::Kind::ControlWord:
        if (item.Word == RtfWord("yxe")) yomi = true;
        else if (item.Word == RtfWord("bxe")) bold = true;
        else if (item.Word == RtfWord("ixe")) italic = true;
        break;
      case TRtfItem::Kind::ControlSymbol:
        if (item.Symbol == '\\' || item.Symbol == '{' || item.Symbol == '}' || item.Symbol == ':')
          target() += static_cast<char16_t>(item.Symbol);
        break;
      case TRtfItem::Kind::Unicode: target() += item.Char; break;
      case TRtfItem::Kind::Text:
      case TRtfItem::Kind::EscapedBytes: addBytes(item.Bytes, item.Count); break;
      default: break;
    }
  }
  if (entry.empty() || fieldCount_ >= kRtfMaxFields) return;
  std::u16string instruction = u"XE " + [&] {
    std::u16string q = u"\"";
    for (char16_t c : entry) {
      if (c == u'"' || c == u'\\') q += u'\\';
      q += c;
    }
    return q + u"\"";
  }();
  if (!bookmark.empty()) instruction += u" \\r " + Quoted(bookmark);
  if (!crossRef.empty()) instruction += u" \\t " + Quoted(crossRef);
  if (yomi) instruction += u" \\y " + Quoted(reading);
  if (bold) instruction += u" \\b";
  if (italic) instruction += u" \\i";
  auto field = std::make_unique<TField>();
  field->Kind = fkField;
  field->FieldType = ftIndexEntry;
  field->Instruction = std::move(instruction);
  TField* made = field.get();
  if (!AddField(std::move(field))) return;
  AppendTag(ctFieldStart, TagRefOf(made));
  AppendTag(ctFieldEnd, TagRefOf(made));
}

// The list number text of a paragraph is no content: the lists number the paragraphs. Some
// writers put the whole paragraph, its mark included, into that group; then what follows the
// number is the paragraph's text and is kept.
void TRtfReader::ReadListText(int32_t depth) {
  (void)depth;
  TPar* host = ctx_.ReadPar;
  std::vector<std::unique_ptr<TPar>>* hostList = ctx_.FillList;
  InternPending(host->Format);
  std::vector<std::unique_ptr<TPar>> scratch;
  scratch.push_back(MakePar(host->Format));
  ctx_.FillList = &scratch;
  ctx_.ReadPar = scratch.back().get();
  ReadGroup(true);
  ctx_.FillList = hostList;
  ctx_.ReadPar = host;
  if (scratch.size() < 2) return;
  // The number text ends at the first tab; the paragraph's own text follows it.
  TPar& first = *scratch.front();
  const TMemory& s = first.Content;
  int32_t textStart = 0;
  for (int32_t off = 0; off < s.Length;) {
    if (s.Data[off] == 0 && IsTagAt(s.Data, s.Length, off)) {
      const TContentTag tag = ReadTagAt(s.Data, off);
      off += ContentTagSize;
      if (tag.Kind == ctSpecialChar && tag.Value == scTab) {
        textStart = off;
        break;
      }
      continue;
    }
    ++off;
  }
  TMemory rest;
  for (int32_t off = 0; off < textStart;) {  // the formatting before the number stays
    if (s.Data[off] == 0 && IsTagAt(s.Data, s.Length, off) && IsFormatTagKind(ReadTagAt(s.Data, off).Kind))
      rest.Append(s.Data + off, ContentTagSize), off += ContentTagSize;
    else
      off += s.Data[off] == 0 && IsTagAt(s.Data, s.Length, off) ? ContentTagSize : 1;
  }
  rest.Append(s.Data + textStart, s.Length - textStart);
  Cur().Content.AppendMemory(rest);
  TMemory codes;
  BuildCharCodes(rest, codes);
  Cur().Codes.AppendMemory(codes);
  Cur().Format = first.Format;
  for (size_t i = 1; i < scratch.size(); ++i) {
    ctx_.FillList->push_back(std::move(scratch[i]));
    ctx_.ReadPar = ctx_.FillList->back().get();
  }
}

void TRtfReader::ReadPairedText(int32_t depth) {
  bool first = true;
  while (InGroup(depth)) {
    const TRtfItem item = Next();
    if (item.Type == TRtfItem::Kind::End) return;
    if (item.Type == TRtfItem::Kind::GroupStart) {
      SkipRest(lex_.Depth());  // the ANSI form, or any other group
      first = false;
    } else if (item.Type == TRtfItem::Kind::DestinationStart) {
      const int32_t d = lex_.Depth();
      const TRtfItem word = Next();
      if (!first && word.Type == TRtfItem::Kind::ControlWord && word.Word == RtfWord("ud")) {
        ReadUnicodeForm(d);
      } else {
        if (word.Type != TRtfItem::Kind::GroupEnd) SkipRest(d);
      }
      first = false;
    }
  }
}

void TRtfReader::ReadUnicodeForm(int32_t depth) {
  PushState();
  while (InGroup(depth)) {
    const TRtfItem item = Next();
    switch (item.Type) {
      case TRtfItem::Kind::End: PopState(); return;
      case TRtfItem::Kind::GroupStart: {
        const int32_t d = lex_.Depth();
        const TRtfItem word = Next();
        if (word.Type == TRtfItem::Kind::ControlWord && word.Word >= 0 && IsRtfDestinationWord(word.Word))
          Dispatch(word.Word, d);
        else if (word.Type != TRtfItem::Kind::GroupEnd)
          SkipRest(d);
        break;
      }
      case TRtfItem::Kind::DestinationStart: {
        const int32_t d = lex_.Depth();
        const TRtfItem word = Next();
        if (word.Type == TRtfItem::Kind::ControlWord) Dispatch(word.Word, d);
        else if (word.Type != TRtfItem::Kind::GroupEnd) SkipRest(d);
        break;
      }
      case TRtfItem::Kind::ControlWord: HandleControlWord(item); break;
      case TRtfItem::Kind::Unicode:
        if (!SkippingText()) AppendUnicode(item.Char);
        break;
      default: break;
    }
  }
  PopState();
}

}  // namespace qv
