#include "files/reader_steps.h"

#include <algorithm>
#include <array>
#include <functional>
#include <memory>

#include "document/auto_list.h"
#include "document/char_format.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/field_instructions.h"
#include "document/par.h"
#include "document/section.h"
#include "document/styles.h"
#include "files/open_context.h"
#include "foundation/text/code_pages.h"

namespace qv {

namespace {

constexpr int32_t kShapeFieldType = 95;

char16_t UpperLatin(char16_t c) {
  if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 32);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 32);
  return c;
}

std::u16string UpperText(const std::u16string& text) {
  std::u16string out = text;
  for (char16_t& c : out) c = UpperLatin(c);
  return out;
}

// The general formatting switches in French, German and Spanish, with their English form.
struct TSwitchNames {
  const char16_t* English;
  std::array<const char16_t*, 3> Others;
};
const TSwitchNames kSwitches[] = {
    {u"ALPHABETIC", {u"ALPHABETIQUE", u"ALPHABETISCH", u"ALFAB\u00C9TICO"}},
    {u"ARABIC", {u"ARABE", u"ARABISCH", u"AR\u00C1BIGO"}},
    {u"CAPS", {u"INITIALESMAJ", u"INITIAL", u"MAY\u00DASCULAS"}},
    {u"CARDTEXT", {u"TEXTECARD", u"GRUNDTEXT", u"CARDTEXTO"}},
    {u"CHARFORMAT", {u"FORMATCAR", u"ZEICHENFORMAT", u"FORMATOCAR\u00C1C"}},
    {u"DOLLARTEXT", {u"TEXTEMONNAIE", u"W\u00C4HRUNGSTEXT", u"TEXTOMONEDA"}},
    {u"FIRSTCAP", {u"PREMIEREMAJ", u"SATZANFANGGROSS", u"PRIMERAMAY\u00DAS"}},
    {u"HEXLOWER", {u"HEXMINUSCULE", u"HEXKLEINBUCHSTABEN", u"HEXMIN\u00DAS"}},
    {u"MERGEFORMAT", {u"FUSIONFORMAT", u"FORMATVERBINDEN", u"COMFORMATO"}},
    {u"ORDINAL", {u"ORDINAL", u"ORDNUNGSZAHL", u"ORDINAL"}},
    {u"ORDTEXT", {u"TEXTEORD", u"ORDTEXT", u"ORDTEXTO"}},
    {u"ROMANUPPER", {u"ROMAINMAJUSCULE", u"R\u00D6MISCHGROSSBUCHSTABEN", u"ROMANOMAY\u00DAS"}},
};

bool IsWordChar(char16_t c) { return (c >= u'A' && c <= u'Z') || c >= u'a'; }

// Words outside double quotes that follow a non-letter, scanned from the end, take their
// English form.
void TranslateSwitchWords(std::u16string& text) {
  std::vector<bool> quoted(text.size(), false);
  bool inQuotes = false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'"') inQuotes = !inQuotes;
    quoted[i] = inQuotes || text[i] == u'"';
  }
  size_t end = text.size();
  while (end > 0) {
    if (quoted[end - 1] || !IsWordChar(text[end - 1])) {
      --end;
      continue;
    }
    size_t start = end;
    while (start > 0 && !quoted[start - 1] && IsWordChar(text[start - 1])) --start;
    if (start > 0) {  // the word follows a non-letter
      const std::u16string word = UpperText(text.substr(start, end - start));
      for (const TSwitchNames& s : kSwitches)
        if (std::find(s.Others.begin(), s.Others.end(), word) != s.Others.end()) {
          text.replace(start, end - start, s.English);
          break;
        }
    }
    end = start;
  }
}

// Where a field's marks stand: paragraph and stream offset of each, -1 when not found.
struct TMarkPlaces {
  int32_t StartPar = -1, StartOffset = -1, EndPar = -1, EndOffset = -1;
};

TMarkPlaces FindFieldMarks(const TDoc& doc, const TField* field) {
  TMarkPlaces places;
  const int32_t ref = TagRefOf(field);
  for (int32_t p = 0; p < doc.ParCount(); ++p) {
    const TMemory& c = doc.Par(p)->Content;
    for (int32_t off = 0; off + ContentTagSize <= c.Length;) {
      if (c.Data[off] != 0 || !IsTagAt(c.Data, c.Length, off)) {
        ++off;
        continue;
      }
      const TContentTag tag = ReadTagAt(c.Data, off);
      if (tag.Value == ref && tag.Kind == ctFieldStart && places.StartPar < 0) {
        places.StartPar = p;
        places.StartOffset = off;
      } else if (tag.Value == ref && tag.Kind == ctFieldEnd) {
        places.EndPar = p;
        places.EndOffset = off;
        return places;
      }
      off += ContentTagSize;
    }
  }
  return places;
}

void EraseTagsOf(TPar& par, int32_t ref) {
  TMemory& c = par.Content;
  TMemory kept;
  int32_t off = 0;
  while (off < c.Length) {
    if (c.Data[off] == 0 && IsTagAt(c.Data, c.Length, off)) {
      const TContentTag tag = ReadTagAt(c.Data, off);
      if (!(IsFieldMarkKind(tag.Kind) && tag.Value == ref)) kept.Append(c.Data + off, ContentTagSize);
      off += ContentTagSize;
      continue;
    }
    kept.AppendByte(c.Data[off++]);
  }
  if (kept.Length != c.Length) {
    c = std::move(kept);
    par.ContentChanged();
  }
}

// The stream without its characters between the offsets (positionless tags are kept, the marks
// of the field `ref` dropped).
void DropCharacters(TPar& par, int32_t from, int32_t to, int32_t ref) {
  TMemory& c = par.Content;
  TMemory kept;
  int32_t off = 0;
  while (off < c.Length) {
    const bool inside = off >= from && off < to;
    if (c.Data[off] == 0 && IsTagAt(c.Data, c.Length, off)) {
      const TContentTag tag = ReadTagAt(c.Data, off);
      const bool ours = IsFieldMarkKind(tag.Kind) && tag.Value == ref;
      if (!ours && (!inside || IsPositionlessTagKind(tag.Kind))) kept.Append(c.Data + off, ContentTagSize);
      off += ContentTagSize;
      continue;
    }
    if (!inside) kept.AppendByte(c.Data[off]);
    ++off;
  }
  c = std::move(kept);
  par.RebuildCodes();
  par.ContentChanged();
}

// The stream offset of the paragraph's last character (its mark), the stream length without one.
int32_t LastCharOffset(const TPar& par) {
  const TMemory& c = par.Content;
  if (c.Length >= ContentTagSize && TagEndsBefore(c.Data, c.Length) &&
      IsTagAt(c.Data, c.Length, c.Length - ContentTagSize) &&
      IsCharTagKind(ReadTagAt(c.Data, c.Length - ContentTagSize).Kind))
    return c.Length - ContentTagSize;
  return c.Length;
}

// Deletes what lies between the field's marks, and the marks, without undo.
void DeleteFieldText(TDoc& doc, TField* field, const TMarkPlaces& at) {
  const int32_t ref = TagRefOf(field);
  if (at.StartPar == at.EndPar) {
    DropCharacters(*doc.Par(at.StartPar), at.StartOffset, at.EndOffset, ref);
    return;
  }
  TPar& first = *doc.Par(at.StartPar);
  TPar& last = *doc.Par(at.EndPar);
  DropCharacters(last, 0, at.EndOffset, ref);
  DropCharacters(first, at.StartOffset, LastCharOffset(first), ref);
  // The first paragraph takes the rest of the last one in place of its own mark.
  first.Content.SetLength(LastCharOffset(first));
  first.Content.Append(last.Content.Data, last.Content.Length);
  first.RebuildCodes();
  first.ContentChanged();
  for (int32_t p = at.EndPar; p > at.StartPar; --p) doc.RemoveParagraph(p);
}

std::vector<std::u16string> SplitAt(const std::u16string& text, char16_t separator) {
  std::vector<std::u16string> parts(1);
  for (char16_t c : text) {
    if (c == separator) parts.emplace_back();
    else parts.back() += c;
  }
  return parts;
}

int32_t NumberOf(const std::u16string& text) {
  if (text.empty() || text.size() > 9) return 0;
  int32_t n = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') return 0;
    n = n * 10 + (c - u'0');
  }
  return n;
}

TField* FirstBookmarkWithPrefix(TDoc& doc, const std::u16string& prefix) {
  for (auto& f : doc.Fields)
    if (f && f->Kind == fkBookmark && f->Instruction.compare(0, prefix.size(), prefix) == 0)
      return f.get();
  return nullptr;
}

bool SameName(const std::u16string& a, const std::u16string& b) {
  return a.size() == b.size() && UpperText(a) == UpperText(b);
}

bool NameUsed(const TDoc& doc, const std::vector<std::u16string>& other, const std::u16string& name) {
  for (const std::u16string& n : other)
    if (SameName(n, name)) return true;
  for (const auto& f : doc.Fields)
    if (f && f->Kind == fkBookmark && SameName(f->Instruction, name)) return true;
  return false;
}

// The base of a clashing name: the part before "_qvw" when the name ends in "_qvw" and a
// positive number with at least one character before it.
std::u16string BookmarkBase(const std::u16string& name) {
  const size_t at = name.rfind(u"_qvw");
  if (at == std::u16string::npos || at == 0 || at + 4 >= name.size()) return name;
  const std::u16string digits = name.substr(at + 4);
  if (NumberOf(digits) <= 0) return name;
  return name.substr(0, at);
}

std::u16string NumberText(int32_t n) {
  const std::string s = std::to_string(n);
  return std::u16string(s.begin(), s.end());
}

void ReplaceBookmarkReference(TField& field, const std::u16string& oldName, const std::u16string& newName) {
  std::u16string& text = field.Instruction;
  size_t at = text.find(u" " + oldName);
  if (at != std::u16string::npos) {
    text.replace(at + 1, oldName.size(), newName);
    return;
  }
  at = text.find(u"\"" + oldName);
  if (at != std::u16string::npos) text.replace(at + 1, oldName.size(), newName);
}

}  // namespace

TField* CreateFieldFromCode(const std::u16string& instruction, int32_t fieldType, bool inHeader,
                            TOpenContext& context) {
  TDoc& doc = *context.Document;
  std::u16string text;
  for (char16_t c : instruction)
    if (c >= 32 || c == u'\t') text += c;
  if (text.empty()) return nullptr;
  if (fieldType == kFieldTypeFromInstruction) {
    size_t start = 0;
    while (start < text.size() && text[start] == u' ') ++start;
    const size_t blank = text.find(u' ', start);
    const std::u16string first =
        UpperText(text.substr(start, blank == std::u16string::npos ? std::u16string::npos : blank - start));
    fieldType = FieldTypeOfKeyword(first);
    if (fieldType < 0 && (first == u"EX" || first == u"E")) fieldType = ftIndexEntry;
    if (fieldType < 0) return nullptr;
  }
  if (fieldType < 0 || fieldType >= FieldTypeCount) return nullptr;
  if ((inHeader || (doc.PasteTarget & ptHeaderFooter) != 0) &&
      (fieldType == ftIndexEntry || fieldType == ftToc))
    return nullptr;
  const char* keyword = FieldKeyword(fieldType);
  if (keyword[0] != '?') {
    size_t start = 0;
    while (start < text.size() && text[start] == u' ') ++start;
    size_t end = start;
    while (end < text.size() && ((text[end] | 0x20) >= u'a' && (text[end] | 0x20) <= u'z')) ++end;
    text.replace(start, end - start, std::u16string(keyword, keyword + std::char_traits<char>::length(keyword)));
  }
  TranslateSwitchWords(text);
  auto field = std::make_unique<TField>();
  field->Kind = fkField;
  field->FieldType = static_cast<uint8_t>(fieldType);
  field->Instruction = std::move(text);
  TField* made = field.get();
  doc.Fields.push_back(std::move(field));
  context.OpenFields.push_back(made);
  if (fieldType == kShapeFieldType) context.FieldsToRemove.push_back(made);
  if (context.ReadPar != nullptr) AppendContentTag(context.ReadPar->Content, ctFieldStart, TagRefOf(made));
  return made;
}

bool ParagraphOpensField(const TField& field, const TPar& par) {
  const TMemory& c = par.Content;
  const int32_t ref = TagRefOf(&field);
  for (int32_t off = 0; off + ContentTagSize <= c.Length; off += ContentTagSize) {
    if (c.Data[off] != 0 || !IsTagAt(c.Data, c.Length, off)) return false;
    const TContentTag tag = ReadTagAt(c.Data, off);
    if (!IsPositionlessTagKind(tag.Kind)) return false;
    if (tag.Kind == ctFieldStart && tag.Value == ref) return true;
  }
  return false;
}

void CloseOpenFields(TOpenContext& context) {
  for (auto it = context.OpenFields.rbegin(); it != context.OpenFields.rend(); ++it)
    if (context.ReadPar != nullptr) AppendContentTag(context.ReadPar->Content, ctFieldEnd, TagRefOf(*it));
  context.OpenFields.clear();
  auto& fields = context.Document->Fields;
  fields.erase(std::remove(fields.begin(), fields.end(), nullptr), fields.end());
}

int32_t NormalizeToggleValue(int32_t value) { return value == 129 ? 127 : value; }

int32_t NormalizeLanguageId(int32_t languageId) {
  if (languageId == 0) return DefaultCharFormat.Language;
  if (languageId >= 1 && languageId <= 255) return languageId + 1024;
  return languageId;
}

std::u16string NormalizePathSeparators(std::u16string path) {
  std::replace(path.begin(), path.end(), u'/', u'\\');
  std::u16string out;
  for (char16_t c : path)
    if (!(c == u'\\' && !out.empty() && out.back() == u'\\')) out += c;
  return out;
}

void FixStyleBaseLinks(TDoc& doc) {
  TStyleList& styles = *doc.Styles;
  const int32_t n = styles.Count();
  for (int32_t i = 0; i < n; ++i) {
    TStyle& s = styles[i];
    if (s.BasedOn == i || s.BasedOn < -1 || s.BasedOn >= n) s.BasedOn = -1;
  }
  // A chain that comes back to a style of itself is cut at the style that closes it.
  for (int32_t i = 0; i < n; ++i) {
    std::vector<bool> seen(static_cast<size_t>(n), false);
    int32_t at = i;
    while (at >= 0) {
      seen[static_cast<size_t>(at)] = true;
      const int32_t base = styles[at].BasedOn;
      if (base >= 0 && seen[static_cast<size_t>(base)]) {
        styles[at].BasedOn = -1;
        break;
      }
      at = base;
    }
  }
  static constexpr int kCharToggles[] = {cpBold, cpItalic, cpStrike, cpDoubleStrike, cpSmallCaps,
                                          cpAllCaps, cpShadow, cpOutline, cpEmboss, cpEngrave};
  static constexpr int kParToggles[] = {ppKeepNext, ppKeepLines, ppPageBreakBefore, ppNoHyphenation,
                                         ppContextual, ppNoLineNumbers};
  std::vector<bool> done(static_cast<size_t>(n), false);
  std::function<void(int32_t)> resolve = [&](int32_t i) {
    if (done[static_cast<size_t>(i)]) return;
    done[static_cast<size_t>(i)] = true;
    TStyle& s = styles[i];
    if (s.BasedOn >= 0) resolve(s.BasedOn);
    for (int prop : kCharToggles) {
      if (s.CharFmt[prop] != 129) continue;
      int32_t inherited = DefaultCharFormat[prop];
      for (int32_t b = s.BasedOn; b >= 0; b = styles[b].BasedOn)
        if (styles[b].CharFmt[prop] != CharUnset) {
          inherited = styles[b].CharFmt[prop];
          break;
        }
      s.CharFmt[prop] = (inherited & 0x7F) ^ 1;
    }
    for (int prop : kParToggles) {
      if (GetParFormatProp(s.ParFmt, prop) != 127) continue;
      int32_t inherited = GetParFormatProp(DefaultParFormat, prop);
      for (int32_t b = s.BasedOn; b >= 0; b = styles[b].BasedOn)
        if (!IsParFormatPropUnset(styles[b].ParFmt, prop)) {
          inherited = GetParFormatProp(styles[b].ParFmt, prop);
          break;
        }
      SetParFormatProp(s.ParFmt, prop, (inherited & 0x7F) ^ 1);
    }
  };
  for (int32_t i = 0; i < n; ++i) resolve(i);
}

void FinishReadText(TOpenContext& context) {
  TDoc& doc = *context.Document;
  int32_t last = doc.StoryCounts[stMain] - 1;
  if (last < 0) return;
  if (last > 0 && doc.Par(last)->CharCount() == 0) {
    TPar& previous = *doc.Par(last - 1);
    const int32_t n = previous.CharCount();
    const uint8_t end = n > 0 ? previous.CodeAt(n - 1) : 0;
    if (end != scSectionEnd) {
      if (end != scRowEnd) previous.Content.AppendMemory(doc.Par(last)->Content);
      previous.ContentChanged();
      doc.RemoveParagraph(last);
      --last;
    }
  }
  TPar& par = *doc.Par(last);
  const int32_t n = par.CharCount();
  const uint8_t end = n > 0 ? par.CodeAt(n - 1) : 0;
  if (n > 0 && (end == scParagraphEnd || end == scRowEnd)) return;
  if (end == scSectionEnd) {
    // The final section break becomes the paragraph mark; the empty section after it goes.
    TMemory& s = par.Content;
    for (int32_t off = s.Length - ContentTagSize; off >= 0; --off) {
      if (s.Data[off] != 0 || !IsTagAt(s.Data, s.Length, off)) continue;
      const TContentTag tag = ReadTagAt(s.Data, off);
      if (tag.Kind != ctSectionBreak) continue;
      s.Delete(off, ContentTagSize);
      InsertContentTag(s, off, ctSpecialChar, scParagraphEnd);
      if (doc.Sections.size() > 1 && doc.Sections[doc.Sections.size() - 2].get() == SectionOfTag(tag))
        doc.Sections.pop_back();
      break;
    }
  } else {
    AppendContentTag(par.Content, ctSpecialChar, scParagraphEnd);
  }
  par.Format.InTable = 0;
  par.RebuildCodes();
  par.ContentChanged();
  doc.SectionRangesStale = true;
}

void AppendReadStories(TOpenContext& context) {
  TDoc& doc = *context.Document;
  std::vector<std::unique_ptr<TPar>>* lists[] = {&context.FootnotePars, &context.EndnotePars,
                                                 &context.HeaderFooterPars};
  const int32_t first = doc.ParCount();
  for (int story = stFootnotes; story <= stHeadersFooters; ++story) {
    auto& list = *lists[story - stFootnotes];
    doc.StoryCounts[static_cast<size_t>(story)] += static_cast<int32_t>(list.size());
    for (auto& p : list) doc.Paragraphs.push_back(std::move(p));
    list.clear();
  }
  doc.ReindexParagraphs(first);
}

void ApplyPictureBulletsBookmark(TOpenContext& context) {
  TDoc& doc = *context.Document;
  TField* bookmark = nullptr;
  for (auto& f : doc.Fields)
    if (f && f->Kind == fkBookmark && f->Instruction == u"_PictureBullets") {
      bookmark = f.get();
      break;
    }
  if (bookmark == nullptr) return;
  const TMarkPlaces at = FindFieldMarks(doc, bookmark);
  if (at.StartPar < 0 || at.EndPar < at.StartPar) {
    RemoveFieldWhileLoading(doc, bookmark);
    return;
  }
  // The pictures of the bookmark's first paragraph, in order.
  std::vector<TShape*> pictures;
  const TMemory& c = doc.Par(at.StartPar)->Content;
  const int32_t end = at.EndPar == at.StartPar ? at.EndOffset : c.Length;
  bool empty = true;
  for (int32_t off = at.StartOffset + ContentTagSize; off < end;) {
    if (c.Data[off] == 0 && IsTagAt(c.Data, c.Length, off)) {
      const TContentTag tag = ReadTagAt(c.Data, off);
      if (!IsPositionlessTagKind(tag.Kind)) empty = false;
      if (tag.Kind == ctInlineShape)
        if (TShape* shape = ShapeOfTag(tag)) pictures.push_back(shape);
      off += ContentTagSize;
      continue;
    }
    empty = false;
    ++off;
  }
  if (at.EndPar != at.StartPar) empty = false;
  for (const TPendingPictureBullet& pending : context.PendingPictureBullets)
    if (pending.List != nullptr && pending.PictureIndex >= 0 &&
        pending.PictureIndex < static_cast<int32_t>(pictures.size()) && pending.Level >= 0 &&
        pending.Level < ListLevelCount)
      pending.List->ListLevels[static_cast<size_t>(pending.Level)].PictureBullet =
          pictures[static_cast<size_t>(pending.PictureIndex)];
  if (!empty) DeleteFieldText(doc, bookmark, at);
  RemoveFieldWhileLoading(doc, bookmark);
}

void ApplyOwnStateBookmarks(TOpenContext& context) {
  TDoc& doc = *context.Document;
  if (TField* f = FirstBookmarkWithPrefix(doc, u"_CursorPos_")) {
    const std::vector<std::u16string> parts = SplitAt(f->Instruction, u'_');
    if (parts.size() == 4) {
      context.CaretPar = NumberOf(parts[2]);
      context.CaretOffset = NumberOf(parts[3]);
    }
    RemoveFieldWhileLoading(doc, f);
  }
  if (TField* f = FirstBookmarkWithPrefix(doc, u"_WritingTarget_")) {
    const std::vector<std::u16string> parts = SplitAt(f->Instruction, u'_');
    if (parts.size() == 5) {
      doc.FileSettings.WritingTargetKind = NumberOf(parts[2]);
      doc.FileSettings.WritingTarget = NumberOf(parts[3]);
      doc.FileSettings.WritingTargetRelTo = NumberOf(parts[4]);
    }
    RemoveFieldWhileLoading(doc, f);
  }
  bool collapsed = false;
  while (TField* f = FirstBookmarkWithPrefix(doc, u"_collapsedh_")) {
    const TMarkPlaces at = FindFieldMarks(doc, f);
    if (at.StartPar >= 0) doc.Par(at.StartPar)->Format.Collapsed = 1;
    collapsed = true;
    RemoveFieldWhileLoading(doc, f);
  }
  if (collapsed) doc.FileSettings.CollapsedHeadings = 1;
}

void RenameClashingBookmarks(TOpenContext& context, const std::vector<std::u16string>& otherNames) {
  TDoc& doc = *context.Document;
  std::vector<std::u16string> oldNames, newNames;
  int32_t counter = 0;
  for (auto& f : doc.Fields) {
    if (!f || f->Kind != fkBookmark) continue;
    bool clash = false;
    for (const std::u16string& other : otherNames) clash = clash || SameName(other, f->Instruction);
    if (!clash) continue;
    std::u16string base = BookmarkBase(f->Instruction);
    std::u16string candidate;
    for (;;) {
      ++counter;
      const std::u16string suffix = u"_qvw" + NumberText(counter);
      while (!base.empty() && base.size() + suffix.size() > 40) base.pop_back();
      candidate = base + suffix;
      if (!NameUsed(doc, otherNames, candidate)) break;
    }
    oldNames.push_back(f->Instruction);
    newNames.push_back(candidate);
    f->Instruction = candidate;
  }
  if (oldNames.empty()) return;
  for (auto& f : doc.Fields) {
    if (!f || f->Kind != fkField) continue;
    if (f->FieldType == ftHyperlink) {
      std::string target, bookmark;
      std::u16string tooltip;
      ParseHyperlinkInstruction(f->Instruction, target, bookmark, &tooltip);
      if (!target.empty()) continue;
      const std::u16string name = CodePageToWide(bookmark, DefaultCodePage);
      for (size_t k = 0; k < oldNames.size(); ++k)
        if (oldNames[k] == name) {
          f->Instruction = BuildHyperlinkInstruction(target, WideToCodePage(newNames[k], DefaultCodePage), tooltip);
          break;
        }
    } else if (f->FieldType == ftPageRef || f->FieldType == ftNoteRef) {
      const std::u16string name = FirstFieldArgument(f->Instruction);
      for (size_t k = 0; k < oldNames.size(); ++k)
        if (oldNames[k] == name) {
          ReplaceBookmarkReference(*f, oldNames[k], newNames[k]);
          break;
        }
    }
  }
}

void RemoveFieldWhileLoading(TDoc& doc, TField* field) {
  if (field == nullptr) return;
  const int32_t ref = TagRefOf(field);
  for (int32_t p = 0; p < doc.ParCount(); ++p) EraseTagsOf(*doc.Par(p), ref);
  for (auto it = doc.Fields.begin(); it != doc.Fields.end(); ++it)
    if (it->get() == field) {
      doc.Fields.erase(it);
      break;
    }
  doc.InvalidateFieldIndex();
}

}  // namespace qv
