#include "document/field.h"

#include <string_view>

#include "document/content_tags.h"
#include "document/doc_object_services.h"
#include "document/number_formats.h"
#include "document/section.h"
#include "platform/system/text_services.h"

namespace qv {

namespace {

struct TTypeName {
  uint8_t type;
  const char16_t* name;
};

constexpr TTypeName kTypeNames[] = {
    {10, u"Style Reference"},     {13, u"TOC"},
    {15, u"Document Title"},      {16, u"Document Subject"},
    {17, u"Document Author"},     {18, u"Document Keywords"},
    {19, u"Document Comments"},   {20, u"Last Saved By"},
    {21, u"Creation Date"},       {22, u"Last Save Date"},
    {23, u"Print Date"},          {26, u"Page Count"},
    {27, u"Word Count"},          {28, u"Character Count"},
    {29, u"Document Filename"},   {31, u"Current Date"},
    {32, u"Current Time"},        {33, u"Current Page Number"},
    {37, u"Page Reference"},      {57, u"Symbol"},
    {65, u"Number of Current Section"}, {66, u"Section Page Count"},
    {69, u"Document File Size"},  {72, u"Note Reference"},
    {88, u"Hyperlink"},           {90, u"List Element"}};

std::u16string Upper(const std::u16string& text) { return plat::ToUpperForLocale(text, ""); }
std::u16string Lower(const std::u16string& text) { return plat::ToLowerForLocale(text, ""); }

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

// Upper-cases the code unit at `at` (mappings that lengthen, such as sharp s, are taken whole).
void UpperAt(std::u16string& text, size_t at) {
  text.replace(at, 1, Upper(text.substr(at, 1)));
}

// Lower case with the first letter or digit of every blank-separated word upper-cased.
std::u16string CapitalizeWords(const std::u16string& text) {
  std::u16string s = Lower(text);
  bool wordStart = true;
  for (size_t i = 0; i < s.size(); ++i) {
    if (IsBlank(s[i])) {
      wordStart = true;
    } else if (wordStart && plat::IsCharAlphaNumeric(s[i])) {
      size_t before = s.size();
      UpperAt(s, i);
      i += s.size() - before;
      wordStart = false;
    }
  }
  return s;
}

std::string InstructionBytes(const std::u16string& instruction) {
  std::string bytes;
  for (char16_t c : instruction) bytes += c < 0x100 ? static_cast<char>(c) : '?';
  return bytes;
}

std::u16string Widen(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

}  // namespace

const char16_t* FieldTypeDisplayName(int32_t fieldType) {
  for (const auto& entry : kTypeNames) {
    if (entry.type == fieldType) return entry.name;
  }
  return u"";
}

TField::~TField() { ForgetTagRef(this); }

std::u16string TField::GetDisplayName() const {
  std::u16string name = FieldTypeDisplayName(FieldType);
  if (!name.empty()) return name;
  size_t blank = Instruction.find(u' ');
  std::u16string first = Instruction.substr(0, blank);
  return first.empty() ? Instruction : first;
}

std::u16string TField::ApplyCaseSwitch(const std::u16string& text) const {
  static constexpr std::u16string_view kWords[] = {u"Upper", u"Lower", u"FirstCap", u"Caps"};
  for (size_t i = 0; i < 4; ++i) {
    if (Instruction.find(kWords[i]) == std::u16string::npos) continue;
    switch (i) {
      case 0: return Upper(text);
      case 1: return Lower(text);
      case 2: {
        std::u16string s = Lower(text);
        if (!s.empty()) UpperAt(s, 0);
        return s;
      }
      default: return CapitalizeWords(text);
    }
  }
  return text;
}

std::u16string TField::FormatNumberResult(int32_t number, int32_t) const {
  uint8_t style = DocObjectServices().NumberStyleOfSwitch(InstructionBytes(Instruction), 255);
  return ApplyCaseSwitch(Widen(NumberToText(number, style)));
}

std::u16string TField::FormatDateResult(int32_t language, double date) const {
  if (date == 0) return {};
  const TDocObjectServices& services = DocObjectServices();
  std::string picture = services.DateTimePicture(Instruction);
  bool timeFormat = picture.empty() && Kind == fkField && FieldType == ftTime;
  return ApplyCaseSwitch(services.FormatDate(date, picture, language, timeFormat));
}

bool TField::HasLinkSwitch() const {
  if (FieldType != ftPageRef && FieldType != ftNoteRef) return false;
  return DocObjectServices().HasSwitch(Instruction, u"\\h");
}

TField* TField::FindReferencedNote(TDoc* doc) const {
  const TDocObjectServices& services = DocObjectServices();
  TField* bookmark = services.FindBookmark(doc, services.FirstArgument(Instruction));
  if (bookmark == nullptr) return nullptr;
  TField* note = services.NoteReferenceAt(doc, bookmark->Range.Start);
  if (note != nullptr || IsRangeEmpty(bookmark->Range) || bookmark->Range.End.Offset <= 0) {
    return note;
  }
  TDocPosition before = bookmark->Range.End;
  before.Offset -= 1;
  return services.NoteReferenceAt(doc, before);
}

bool TField::SetNoteNumber(const TSection& section, int32_t number) {
  bool endnote = LinkedField != nullptr && LinkedField->NoteClass == 1;
  int32_t code = endnote ? section.Endnotes.NumberFormat : section.Footnotes.NumberFormat;
  std::string text = FormatNumberByCode(number, code);
  NoteNumber = number;
  bool changed = text != Text;
  Text = std::move(text);
  return changed;
}

}  // namespace qv
