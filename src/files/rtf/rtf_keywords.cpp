#include "files/rtf/rtf_keywords.h"

#include <algorithm>

#include "files/rtf/rtf_tokenizer.h"

namespace qv {

namespace {

constexpr std::string_view kDestinationNames[kRtfDestinationCount] = {
    "aftncn", "aftnsep", "aftnsepc", "annotation", "atnauthor", "atnicn", "atnid", "atnref",
    "atntime", "atrfend", "atrfstart", "author", "autosavedorigfmt", "autosavedorigname",
    "bkmkend", "bkmkstart", "buptim", "category", "colortbl", "comment", "company", "creatim",
    "datafield", "do", "doccomm", "dptxbxtext", "falt", "field", "file", "filetbl", "fldinst",
    "fldrslt", "fnetwork", "fontemb", "fontfile", "fonttbl", "footer", "footerf", "footerl",
    "footerr", "footnote", "ftncn", "ftnsep", "ftnsepc", "generator", "header", "headerf",
    "headerl", "headerr", "info", "jpegdata", "keywords", "levelnumbers", "leveltext", "lfolevel",
    "list", "listlevel", "listoverride", "listoverridetable", "listpicture", "listtable",
    "listtext", "manager", "nextfile", "nonshppict", "objalias", "objclass", "objdata", "object",
    "objname", "objsect", "objtime", "operator", "picprop", "pict", "pn", "pnseclvl", "pntext",
    "pntxta", "pntxtb", "printim", "private1", "result", "revtbl", "revtim", "rxe", "shp",
    "shpinst", "shppict", "shprslt", "shptxt", "sn", "sp", "stylesheet", "subject", "sv", "tc",
    "template", "title", "txe", "ud", "upr", "xe",
};

consteval std::array<int32_t, kRtfDestinationCount> MakeDestinationWords() {
  std::array<int32_t, kRtfDestinationCount> indexes{};
  for (int32_t i = 0; i < kRtfDestinationCount; ++i) indexes[i] = RtfWord(kDestinationNames[i]);
  return indexes;
}

constexpr std::array<int32_t, kRtfDestinationCount> kDestinationWords = MakeDestinationWords();

}  // namespace

const std::array<int32_t, kRtfDestinationCount>& RtfDestinationWords() { return kDestinationWords; }

bool IsRtfDestinationWord(int32_t index) {
  return std::binary_search(kDestinationWords.begin(), kDestinationWords.end(), index);
}

std::string_view RtfKeywordName(int32_t index) {
  if (index < 0 || index >= kRtfKeywordCount) return {};
  return RtfKeywordTable[index];
}

int32_t RtfKeywordIndex(std::string_view word) {
  if (word.empty() || word.size() > kRtfMaxKeywordLength) return -1;
  uint8_t letters[kRtfMaxKeywordLength];
  for (size_t i = 0; i < word.size(); ++i) {
    const auto c = static_cast<uint8_t>(word[i]);
    letters[i] = (c >= 'A' && c <= 'Z') ? static_cast<uint8_t>(c + 32) : c;
  }
  TRtfToken token;
  token.Word = letters;
  token.WordLength = static_cast<int32_t>(word.size());
  token.Length = token.WordLength;
  return LookupControlWord(token);
}

}  // namespace qv
