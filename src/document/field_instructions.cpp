#include "document/field_instructions.h"

#include <algorithm>
#include <cstdio>

#include "document/styles.h"
#include "foundation/text/code_pages.h"

namespace qv {

namespace {

const char* const kKeywords[FieldTypeCount] = {
    "?",           "?",            "BOOKMARK",     "REF",            "XE",
    "FTNREF",      "SET",          "IF",           "INDEX",          "TC",
    "STYLEREF",    "RD",           "SEQ",          "TOC",            "INFO",
    "TITLE",       "SUBJECT",      "AUTHOR",       "KEYWORDS",       "COMMENTS",
    "LASTSAVEDBY", "CREATEDATE",   "SAVEDATE",     "PRINTDATE",      "REVNUM",
    "EDITTIME",    "NUMPAGES",     "NUMWORDS",     "NUMCHARS",       "FILENAME",
    "TEMPLATE",    "DATE",         "TIME",         "PAGE",           "=",
    "QUOTE",       "?",            "PAGEREF",      "ASK",            "FILLIN",
    "?",           "NEXT",         "NEXTIF",       "SKIPIF",         "MERGEREC",
    "DDE",         "DDEAUTO",      "?",            "PRINT",          "EQ",
    "?",           "MACROBUTTON",  "AUTONUMOUT",   "AUTONUMLGL",     "AUTONUM",
    "?",           "LINK",         "SYMBOL",       "EMBED",          "MERGEFIELD",
    "USERNAME",    "USERINITIALS", "USERADDRESS",  "BARCODE",        "DOCVARIABLE",
    "SECTION",     "SECTIONPAGES", "INCLUDEPICTURE", "INCLUDETEXT",  "FILESIZE",
    "FORMTEXT",    "FORMCHECKBOX", "NOTEREF",      "TOA",            "TA",
    "MERGESEQ",    "?",            "PRIVATE",      "DATABASE",       "AUTOTEXT",
    "COMPARE",     "ADDIN",        "?",            "FORMDROPDOWN",   "ADVANCE",
    "DOCPROPERTY", "?",            "?",            "HYPERLINK",      "AUTOTEXTLIST",
    "LISTNUM",     "?",            "?",            "?",              "?",
    "SHAPE"};

std::string ToBytes(const std::u16string& text) { return WideToCodePage(text, DefaultCodePage); }
std::u16string ToWide(const std::string& text) { return CodePageToWide(text, DefaultCodePage); }

char16_t UpperAscii(char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c; }

bool StartsWith(const std::u16string& s, const char16_t* prefix) {
  return s.rfind(prefix, 0) == 0;
}

bool IsSwitchWord(const TFieldWord& w) { return !w.Quoted && !w.Text.empty() && w.Text[0] == u'\\'; }

// Switches of the general formatting that always carry an argument (format, picture, number).
bool IsFormatSwitch(const TFieldWord& w) {
  return w.IsSwitch(u"\\*") || w.IsSwitch(u"\\@") || w.IsSwitch(u"\\#");
}

std::u16string TrimBlanks(const std::u16string& s) {
  size_t a = s.find_first_not_of(u' ');
  if (a == std::u16string::npos) return {};
  size_t b = s.find_last_not_of(u' ');
  return s.substr(a, b - a + 1);
}

std::string TrimBlanks(const std::string& s) {
  size_t a = s.find_first_not_of(' ');
  if (a == std::string::npos) return {};
  size_t b = s.find_last_not_of(' ');
  return s.substr(a, b - a + 1);
}

// A decimal number; 0 when the text is not one. Large values saturate.
int32_t DecimalOf(const std::u16string& s) {
  if (s.empty()) return 0;
  size_t i = s[0] == u'-' ? 1 : 0;
  if (i == s.size()) return 0;
  int64_t v = 0;
  for (; i < s.size(); ++i) {
    if (s[i] < u'0' || s[i] > u'9') return 0;
    v = std::min<int64_t>(v * 10 + (s[i] - u'0'), INT32_MAX);
  }
  return static_cast<int32_t>(s[0] == u'-' ? -v : v);
}

class TWordSplitter {
 public:
  std::vector<TFieldWord> Words;

  void Split(const std::u16string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
      char16_t c = text[i];
      if (c == u'\r' || c == u'\n') {
        EndWord();
      } else if (c == u'\\' && i + 1 < text.size() && (text[i + 1] == u'\\' || text[i + 1] == u'"')) {
        Add(text[++i]);
      } else if (c == u'"') {
        if (quoted_) {
          quoted_ = false;
          EndWord();
        } else {
          quoted_ = true;
          wordQuoted_ = true;
          started_ = true;
        }
      } else if (c == u' ' && !quoted_) {
        EndWord();
      } else {
        Add(c);
      }
    }
    EndWord();
  }

 private:
  void Add(char16_t c) {
    word_ += c;
    started_ = true;
  }
  void EndWord() {
    if (started_ && (!word_.empty() || wordQuoted_)) Words.push_back({word_, wordQuoted_});
    word_.clear();
    started_ = false;
    wordQuoted_ = quoted_;  // a line break inside quotes goes on with a quoted word
  }

  std::u16string word_;
  bool quoted_ = false;
  bool wordQuoted_ = false;
  bool started_ = false;
};

// The words after the keyword; the keyword is the first word, quoted or not.
std::vector<TFieldWord> Arguments(const std::u16string& instruction) {
  TWordSplitter splitter;
  splitter.Split(instruction);
  std::vector<TFieldWord>& w = splitter.Words;
  if (!w.empty()) w.erase(w.begin());
  return w;
}

}  // namespace

const char* FieldKeyword(int32_t fieldType) {
  return fieldType >= 0 && fieldType < FieldTypeCount ? kKeywords[fieldType] : "?";
}

int32_t FieldTypeOfKeyword(const std::u16string& keyword) {
  for (int32_t t = 0; t < FieldTypeCount; ++t) {
    const char* k = kKeywords[t];
    if (k[0] == '?') continue;
    size_t n = 0;
    while (k[n] != 0 && n < keyword.size() && UpperAscii(keyword[n]) == char16_t(k[n])) ++n;
    if (k[n] == 0 && n == keyword.size()) return t;
  }
  return -1;
}

std::vector<TFieldWord> SplitFieldWords(const std::u16string& instruction) {
  return Arguments(instruction);
}

std::vector<std::u16string> SplitFieldInstruction(const std::u16string& instruction) {
  std::vector<std::u16string> out;
  for (TFieldWord& w : Arguments(instruction)) out.push_back(std::move(w.Text));
  return out;
}

std::u16string EscapeFieldArgument(const std::u16string& text) {
  std::u16string out;
  out.reserve(text.size() + 4);
  for (char16_t c : text) {
    if (c == u'"' || c == u'\\') out += u'\\';
    out += c;
  }
  return out;
}

void ParseHyperlinkInstruction(const std::u16string& instruction, std::string& target,
                               std::string& bookmark, std::u16string* tooltip) {
  target.clear();
  bookmark.clear();
  if (tooltip != nullptr) tooltip->clear();
  std::vector<TFieldWord> words = Arguments(instruction);
  bool haveTarget = false;
  for (size_t i = 0; i < words.size(); ++i) {
    if (words[i].IsSwitch(u"\\l")) {
      if (i + 1 < words.size()) bookmark = ToBytes(words[++i].Text);
    } else if (words[i].IsSwitch(u"\\o")) {
      if (i + 1 < words.size()) {
        ++i;
        if (tooltip != nullptr) *tooltip = words[i].Text;
      }
    } else if (IsFormatSwitch(words[i]) || words[i].IsSwitch(u"\\t")) {
      ++i;  // formatting and target-frame switches carry an argument that is no target
    } else if (!haveTarget && !IsSwitchWord(words[i])) {
      target = ToBytes(words[i].Text);
      haveTarget = true;
    }
  }
  if (bookmark.empty() && !target.empty() && target[0] == '#') {
    bookmark = target.substr(1);
    target.clear();
  }
}

std::u16string BuildHyperlinkInstruction(const std::string& target, const std::string& bookmark,
                                         const std::u16string& tooltip) {
  std::u16string out = u"HYPERLINK ";
  std::string t = target;
  std::string lower = t;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; });
  if (t.find('@') != std::string::npos && t.find("//") == std::string::npos &&
      lower.find("mailto:") == std::string::npos) {
    t = "mailto:" + t;
  }
  std::u16string escTarget = EscapeFieldArgument(ToWide(t));
  if (!bookmark.empty()) {
    if (!t.empty()) out += u"\"" + escTarget + u"\" ";
    out += u"\\l \"" + EscapeFieldArgument(ToWide(bookmark)) + u"\"";
  } else {
    out += u"\"" + escTarget + u"\"";
  }
  if (!tooltip.empty()) out += u" \\o \"" + EscapeFieldArgument(tooltip) + u"\"";
  return out;
}

void ParseTocInstruction(const std::u16string& instruction, TGenerateTOC_Options& options) {
  // The instruction says nothing of where the styles come from or of rebuilding.
  TGenerateTOC_Options read;
  read.TemplateName = std::move(options.TemplateName);
  read.StyleSource = options.StyleSource;
  read.UpdateExisting = options.UpdateExisting;
  options = std::move(read);
  std::vector<TFieldWord> words = Arguments(instruction);
  for (size_t i = 0; i < words.size(); ++i) {
    const TFieldWord& w = words[i];
    const bool hasNext = i + 1 < words.size();
    if (w.IsSwitch(u"\\e")) {
      if (hasNext) {
        options.ShowTitle = true;
        options.Title = words[++i].Text;
      }
    } else if (w.IsSwitch(u"\\n")) {
      options.ShowPageNumbers = false;
    } else if (w.IsSwitch(u"\\o")) {
      // Only the last character of the range counts ("1-3" lists three levels).
      if (hasNext && StartsWith(words[i + 1].Text, u"1")) {
        int32_t last = words[++i].Text.back() - 48;
        options.Levels = std::clamp(last, 1, 9);
      }
    } else if (w.IsSwitch(u"\\p")) {
      if (hasNext) ++i;
    } else if (!w.Quoted && w.Text.size() == 3 && StartsWith(w.Text, u"\\r") &&
               w.Text[2] >= u'1' && w.Text[2] <= u'9') {
      options.RightAlignPageNumbers = true;
      options.TabLeader = static_cast<int8_t>(std::min(w.Text[2] - 49, 3));
    }
  }
}

std::u16string BuildTocInstruction(const TGenerateTOC_Options& options) {
  char head[40];
  std::snprintf(head, sizeof head, "TOC \\h \\o \"1-%d\"", std::clamp(options.Levels, 1, 9));
  std::u16string out = ToWide(head);
  if (options.ShowPageNumbers != 0) {
    if (options.RightAlignPageNumbers != 0) {
      out += u" \\r";
      out += char16_t(49 + std::clamp<int>(options.TabLeader, 0, 3));
    } else {
      out += u" \\p \" \"";
    }
  } else {
    out += u" \\n";
  }
  if (options.ShowTitle != 0) out += u" \\e \"" + EscapeFieldArgument(options.Title) + u"\"";
  return out;
}

void ParseXEInstruction(const std::u16string& instruction, TXEOptions& options) {
  options = TXEOptions{};
  std::vector<TFieldWord> words = Arguments(instruction);
  for (size_t i = 0; i < words.size(); ++i) {
    const TFieldWord& w = words[i];
    const bool hasNext = i + 1 < words.size();
    if (w.IsSwitch(u"\\t")) {
      if (hasNext) options.CrossReference = words[++i].Text;
    } else if (w.IsSwitch(u"\\r")) {
      if (hasNext) options.Bookmark = ToBytes(words[++i].Text);
    } else if (w.IsSwitch(u"\\b")) {
      options.BoldPageNumber = 1;
    } else if (w.IsSwitch(u"\\i")) {
      options.ItalicPageNumber = 1;
    } else if (w.IsSwitch(u"\\y") || w.IsSwitch(u"\\f") || IsFormatSwitch(w)) {
      if (hasNext) ++i;  // reading, entry type and format arguments are no entry text
    } else if (!IsSwitchWord(w)) {
      options.EntryText = w.Text;
    }
  }
  options.EntryText = TrimBlanks(options.EntryText);
  options.Bookmark = TrimBlanks(options.Bookmark);
}

void ParseIndexInstruction(const std::u16string& instruction, TGenerateIndex_Options& options) {
  options = TGenerateIndex_Options{};
  std::vector<TFieldWord> words = Arguments(instruction);
  for (size_t i = 0; i < words.size(); ++i) {
    const TFieldWord& w = words[i];
    const bool hasNext = i + 1 < words.size();
    if (w.IsSwitch(u"\\c")) {
      if (hasNext) options.Columns = std::clamp(DecimalOf(words[++i].Text), 0, 4);
    } else if (w.IsSwitch(u"\\e")) {
      if (hasNext) options.TabSeparator = words[++i].Text == u"\t" ? 1 : 0;
    } else if (w.IsSwitch(u"\\h")) {
      options.Heading = 1;
      if (hasNext) ++i;
    } else if (w.IsSwitch(u"\\r")) {
      options.RunIn = 1;
    } else if (w.IsSwitch(u"\\z")) {
      if (hasNext) options.Language = DecimalOf(words[++i].Text);
    } else if (!w.Quoted && w.Text.size() == 3 && StartsWith(w.Text, u"\\y") &&
               w.Text[2] >= u'1' && w.Text[2] <= u'9') {
      options.TabLeader = static_cast<uint8_t>(std::min(w.Text[2] - 49, 3));
    }
  }
  if (options.Language == 0) options.Language = UserLocaleLanguageId();
}

int32_t ParseSymbolInstruction(const std::string& instruction, std::string& fontName) {
  fontName.clear();
  size_t blank = instruction.find(' ');
  if (blank == std::string::npos) return 63;
  int64_t code = 0;
  for (size_t i = blank + 1; i < instruction.size() && instruction[i] >= '0' && instruction[i] <= '9';
       ++i) {
    code = std::min<int64_t>(code * 10 + (instruction[i] - '0'), INT32_MAX);
  }
  size_t f = instruction.find("\\f ");
  if (f != std::string::npos && f + 4 <= instruction.size()) {
    size_t open = f + 3;  // the opening quote
    size_t close = instruction.find('"', open + 1);
    if (close != std::string::npos) fontName = instruction.substr(open + 1, close - open - 1);
  }
  return static_cast<int32_t>(code);
}

std::string BuildSymbolInstruction(int32_t code, const std::string& fontName) {
  std::string out = "SYMBOL " + std::to_string(code) + " \\f \"" + fontName + "\"";
  if (code >= 256) out += " \\u";
  return out;
}

bool ParseStyleRefInstruction(const TStyleList& styles, const std::u16string& instruction,
                              int32_t& styleIndex, bool& numberOnly, std::string& styleName) {
  bool fromBottom = false;
  numberOnly = false;
  styleName.clear();
  styleIndex = -1;
  bool haveName = false;
  std::vector<TFieldWord> words = Arguments(instruction);
  for (size_t i = 0; i < words.size(); ++i) {
    const TFieldWord& w = words[i];
    if (w.IsSwitch(u"\\l")) {
      fromBottom = true;
    } else if (w.IsSwitch(u"\\n")) {
      numberOnly = true;
    } else if (IsFormatSwitch(w)) {
      ++i;
    } else if (!haveName && !IsSwitchWord(w)) {
      styleName = ToBytes(w.Text);
      haveName = true;
    }
  }
  if (size_t comma = styleName.find(','); comma != std::string::npos) styleName.resize(comma);
  int32_t index = styles.IndexOfName(styleName);
  if (index < 0) index = styles.IndexOfDisplayName(styleName);
  if (index < 0) {
    // A shown (translated) name of a built-in style stands for the built-in name.
    for (int32_t b = 0; b < BuiltInStyleCount && index < 0; ++b) {
      if (styleName == BuiltInStyleDisplayNames[b]) index = styles.IndexOfName(BuiltInStyleNames[b]);
    }
  }
  if (index >= 0) {
    styleIndex = index;
    styleName = styles[index].DisplayName;
  }
  return fromBottom;
}

void ParsePageRefInstruction(const std::u16string& instruction, bool* hyperlink, bool* relative,
                             std::string& bookmark) {
  if (hyperlink != nullptr) *hyperlink = false;
  if (relative != nullptr) *relative = false;
  bookmark.clear();
  bool haveName = false;
  std::vector<TFieldWord> words = Arguments(instruction);
  for (size_t i = 0; i < words.size(); ++i) {
    const TFieldWord& w = words[i];
    if (w.IsSwitch(u"\\h")) {
      if (hyperlink != nullptr) *hyperlink = true;
    } else if (w.IsSwitch(u"\\p")) {
      if (relative != nullptr) *relative = true;
    } else if (IsFormatSwitch(w)) {
      ++i;
    } else if (!haveName && !IsSwitchWord(w)) {
      bookmark = ToBytes(w.Text);
      haveName = true;
    }
  }
}

void ParseNoteRefInstruction(const std::string& instruction, bool* hyperlink, bool* markFormat,
                             std::string& bookmark) {
  if (hyperlink != nullptr) *hyperlink = false;
  if (markFormat != nullptr) *markFormat = false;
  bookmark.clear();
  bool haveName = false;
  std::vector<TFieldWord> words = Arguments(ToWide(instruction));
  for (size_t i = 0; i < words.size(); ++i) {
    const TFieldWord& w = words[i];
    if (w.IsSwitch(u"\\h")) {
      if (hyperlink != nullptr) *hyperlink = true;
    } else if (w.IsSwitch(u"\\f")) {
      if (markFormat != nullptr) *markFormat = true;
    } else if (IsFormatSwitch(w)) {
      ++i;
    } else if (!haveName && !IsSwitchWord(w)) {
      bookmark = ToBytes(w.Text);
      haveName = true;
    }
  }
}

std::u16string GetDateTimeFormatSwitchWide(const std::u16string& instruction) {
  std::vector<TFieldWord> words = Arguments(instruction);
  for (size_t i = words.size() >= 2 ? words.size() - 1 : 0; i-- > 0;) {
    if (words[i].IsSwitch(u"\\@")) return words[i + 1].Text;
  }
  return {};
}

std::string GetDateTimeFormatSwitch(const std::u16string& instruction) {
  return ToBytes(GetDateTimeFormatSwitchWide(instruction));
}

uint8_t NumberStyleOfSwitch(const std::string& instruction, uint8_t defaultStyle) {
  static const char* const kWords[] = {"alphabetic", "ALPHABETIC", "roman", "ROMAN"};
  for (uint8_t i = 0; i < 4; ++i) {
    if (instruction.find(kWords[i]) != std::string::npos) return static_cast<uint8_t>(i + 1);
  }
  return defaultStyle == 255 ? 0 : defaultStyle;
}

bool HasFieldSwitch(const std::u16string& instruction, const char16_t* name) {
  for (const TFieldWord& w : Arguments(instruction)) {
    if (w.IsSwitch(name)) return true;
  }
  return false;
}

std::u16string FirstFieldArgument(const std::u16string& instruction) {
  std::vector<TFieldWord> words = Arguments(instruction);
  for (size_t i = 0; i < words.size(); ++i) {
    if (IsFormatSwitch(words[i])) {
      ++i;
    } else if (!IsSwitchWord(words[i])) {
      return words[i].Text;
    }
  }
  return {};
}

}  // namespace qv
