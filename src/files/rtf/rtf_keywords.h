#pragma once
// The RTF keyword table: every control word the reader and the writer know, named by its index
// in this one table. The words are lowercase ASCII, 1 to 19 letters, without duplicates and in
// ascending byte order, with one exception kept for the sake of the numbering: the program's own
// word "vadurevavi" stands at index 89, among the "cl" words. Every user names words by index,
// so an entry is never moved or inserted; the lookup (rtf_tokenizer.h) does not rely on the
// order across two-letter prefixes.
//
// In code, name a word by `RtfWord("par")`, which is resolved at compile time and fails to
// compile for a word that is not in the table.
#include <array>
#include <cstdint>
#include <string_view>

namespace qv {

inline constexpr int32_t kRtfKeywordCount = 495;
inline constexpr int32_t kRtfMaxKeywordLength = 19;

inline constexpr std::array<std::string_view, kRtfKeywordCount> RtfKeywordTable = {
    "aenddoc", "aendnotes", "aftncn", "aftnnalc", "aftnnar", "aftnnauc", "aftnnchi", "aftnnrlc",
    "aftnnruc", "aftnrestart", "aftnrstcont", "aftnsep", "aftnsepc", "aftnstart", "alntblind",
    "alt", "annotation", "atnauthor", "atnicn", "atnid", "atnref", "atntime", "atrfend",
    "atrfstart", "author", "autosavedorigfmt", "autosavedorigname", "b", "bkmkend", "bkmkstart",
    "blue", "brdrb", "brdrbtw", "brdrcf", "brdrdash", "brdrdashd", "brdrdashdd", "brdrdashdotstr",
    "brdrdashsm", "brdrdb", "brdrdot", "brdremboss", "brdrengrave", "brdrhair", "brdrinset",
    "brdrl", "brdrnone", "brdroutset", "brdrr", "brdrs", "brdrt", "brdrth", "brdrthtnlg",
    "brdrthtnmg", "brdrthtnsg", "brdrtnthlg", "brdrtnthmg", "brdrtnthsg", "brdrtnthtnlg",
    "brdrtnthtnmg", "brdrtnthtnsg", "brdrtriple", "brdrw", "brdrwavy", "brdrwavydb", "brsp",
    "bullet", "buptim", "bxe", "caps", "category", "cbpat", "cell", "cellx", "cf", "cfpat",
    "charscalex", "chcbpat", "chcfpat", "chftn", "chftnsep", "chftnsepc", "chshdng", "clbrdrb",
    "clbrdrl", "clbrdrr", "clbrdrt", "clcbpat", "clcfpat", "vadurevavi", "clpadb", "clpadfb",
    "clpadfl", "clpadfr", "clpadft", "clpadl", "clpadr", "clpadt", "clrltvwdth", "clshdng",
    "clvertalb", "clvertalc", "clvertalt", "clvmgf", "clvmrg", "collapsedh", "colno", "colortbl",
    "cols", "colsr", "colsx", "column", "colw", "comment", "company", "contextualspace", "cpg",
    "creatim", "cs", "ctrl", "datafield", "deflang", "deflangcoding", "deftab", "deleted", "dn",
    "do", "doccomm", "dptxbxtext", "dropcapli", "dropcapt", "ds", "dskcharnr", "dskparnr",
    "dxfrtext", "dy", "embo", "emdash", "emfblip", "endash", "endnhere", "expnd", "expndtw", "f",
    "facingp", "falt", "fcharset", "fdecor", "fet", "fi", "field", "file", "filetbl", "fldinst",
    "fldrslt", "fmodern", "fn", "fnetwork", "fnil", "fontemb", "fontfile", "fonttbl", "footer",
    "footerf", "footerl", "footerr", "footery", "footnote", "fprq", "froman", "fs", "fscript",
    "fswiss", "ftnalt", "ftnbj", "ftncn", "ftnnalc", "ftnnar", "ftnnauc", "ftnnchi", "ftnnrlc",
    "ftnnruc", "ftnrestart", "ftnrstcont", "ftnrstpg", "ftnsep", "ftnsepc", "ftnstart", "ftntj",
    "generator", "green", "header", "headerf", "headerl", "headerr", "headery", "highlight", "hr",
    "htmautsp", "hyphauto", "hyphcaps", "hyphconsec", "hyphhotz", "hyphpar", "i", "ilvl", "impr",
    "info", "intbl", "ixe", "jclisttab", "jpegblip", "jpegdata", "keep", "keepn", "keepnoff",
    "keepoff", "kerning", "keycode", "keywords", "landscape", "lang", "ldblquote", "levelfollow",
    "leveljc", "levellegal", "levelnfc", "levelnorestart", "levelnumbers", "levelpicture",
    "levelstartat", "leveltext", "lfolevel", "li", "line", "linebetcol", "linecont", "linemod",
    "lineppage", "linerestart", "linestarts", "linex", "list", "listhybrid", "listid", "listlevel",
    "listoverride", "listoverridecount", "listoverridestartat", "listoverridetable", "listpicture",
    "listsimple", "listtable", "listtext", "lndscpsxn", "lquote", "ls", "mac", "manager", "margb",
    "margbsxn", "margl", "marglsxn", "margmirror", "margr", "margrsxn", "margt", "margtsxn", "min",
    "mo", "nextfile", "nofchars", "nofcharsws", "nofpages", "nofwords", "noline", "nonshppict",
    "nosupersub", "nowidctlpar", "objalias", "objclass", "objdata", "object", "objname", "objsect",
    "objtime", "operator", "outl", "outlinelevel", "page", "pagebb", "pagebboff", "paperh",
    "paperw", "par", "pard", "pghsxn", "pgncont", "pgndec", "pgnlcltr", "pgnlcrm", "pgnrestart",
    "pgnstarts", "pgnucltr", "pgnucrm", "pgwsxn", "pich", "pichgoal", "picprop", "picscalex",
    "picscaley", "pict", "picw", "picwgoal", "plain", "pn", "pnf", "pngblip", "pnhang", "pnindent",
    "pnlvl", "pnlvlblt", "pnprev", "pnseclvl", "pnstart", "pntext", "pntxta", "pntxtb", "printim",
    "private1", "qc", "qj", "ql", "qr", "rdblquote", "red", "result", "revtbl", "revtim", "ri",
    "row", "rquote", "rxe", "s", "sa", "saauto", "saftnnalc", "saftnnar", "saftnnauc", "saftnnchi",
    "saftnnrlc", "saftnnruc", "saftnrestart", "saftnrstcont", "saftnstart", "sb", "sbasedon",
    "sbauto", "sbkcol", "sbkeven", "sbknone", "sbkodd", "sbkpage", "scaps", "sec", "sect", "sectd",
    "sectfullsaved", "sftnbj", "sftnnalc", "sftnnar", "sftnnauc", "sftnnchi", "sftnnrlc",
    "sftnnruc", "sftnrestart", "sftnrstcont", "sftnrstpg", "sftnstart", "sftntj", "shad",
    "shading", "shift", "shp", "shpbottom", "shpbottompg", "shpfhdr", "shpinst", "shpleft",
    "shpleftpg", "shppict", "shpright", "shprightpg", "shprslt", "shpsel", "shptop", "shptoppg",
    "shptxt", "shpwr", "shpwrk", "shpz", "sl", "slmult", "sn", "snext", "sp", "stloverrides",
    "strike", "striked", "stylesheet", "sub", "subject", "super", "sv", "tab", "tb", "tblseltype",
    "tc", "template", "title", "titlepg", "tldot", "tlhyph", "tlul", "tqc", "tqdec", "tqr",
    "trbrdrb", "trbrdrh", "trbrdrl", "trbrdrr", "trbrdrt", "trbrdrv", "trcbpat", "trcfpat",
    "trftswidth", "trgaph", "trhdr", "trkeep", "trleft", "trowd", "trpaddb", "trpaddfb",
    "trpaddfl", "trpaddfr", "trpaddft", "trpaddl", "trpaddr", "trpaddt", "trqc", "trql", "trqr",
    "trrh", "trshdng", "trwwidth", "tx", "txe", "u", "uc", "ud", "ul", "ulc", "uld", "uldash",
    "uldashd", "uldashdd", "uldb", "ulhwave", "ulldash", "ulnone", "ulth", "ulthd", "ulthdash",
    "ulthdashd", "ulthdashdd", "ulthldash", "ululdbwave", "ulw", "ulwave", "up", "upr",
    "useltbaln", "version", "viewscale", "viewzk", "widctlpar", "widowctrl", "wmetafile",
    "wrttarg", "wrttargrelto", "wrttargtype", "xe", "yr", "yxe", "zoomtofitpage",
};

// The index of a word of the table; a word not in it does not compile.
consteval int32_t RtfWord(std::string_view word) {
  for (int32_t i = 0; i < kRtfKeywordCount; ++i)
    if (RtfKeywordTable[i] == word) return i;
  throw "not an RTF keyword";
}

// The words that open a destination, a group whose content is not ordinary document text.
inline constexpr int32_t kRtfDestinationCount = 103;
// Their indexes, ascending.
const std::array<int32_t, kRtfDestinationCount>& RtfDestinationWords();
// True when the word of that index opens a destination (binary search).
bool IsRtfDestinationWord(int32_t index);

// The word of an index; empty for an index outside the table.
std::string_view RtfKeywordName(int32_t index);
// The index of a word (any case is lowercased first), -1 when it is not in the table. Uses the
// same lookup structures as the tokenizer.
int32_t RtfKeywordIndex(std::string_view word);

}  // namespace qv
