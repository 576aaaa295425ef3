// Culture names of language ids: the table of specific cultures and the table of neutral
// languages, with their Windows language ids.
#include <map>
#include <string>

#include "foundation/text/code_pages.h"

namespace qv {

namespace {

struct NameId {
  const char* name;
  int32_t id;
};

const NameId kCultures[] = {
    {"af-ZA", 1078}, {"am-ET", 1118}, {"ar-AE", 14337}, {"ar-BH", 15361}, {"ar-DZ", 5121},
    {"ar-EG", 3073}, {"ar-IQ", 2049}, {"ar-JO", 11265}, {"ar-KW", 13313}, {"ar-LB", 12289},
    {"ar-LY", 4097}, {"ar-MA", 6145}, {"ar-OM", 8193}, {"ar-QA", 16385}, {"ar-SA", 1025},
    {"ar-SY", 10241}, {"ar-TN", 7169}, {"ar-YE", 9217}, {"as-IN", 1101}, {"az-AZ-Cyrl", 2092},
    {"az-AZ-Latn", 1068}, {"be-BY", 1059}, {"ber-DZ", 2143}, {"bg-BG", 1026}, {"bn-IN", 1093},
    {"bo-BT", 2129}, {"bo-CN", 1105}, {"ca-AD", 1027}, {"cs-CZ", 1029}, {"cy-GB", 1106},
    {"da-DK", 1030}, {"de-AT", 3079}, {"de-CH", 2055}, {"de-DE", 1031}, {"de-LI", 5127},
    {"de-LU", 4103}, {"div-MV", 1125}, {"el-GR", 1032}, {"en-AU", 3081}, {"en-BZ", 10249},
    {"en-CA", 4105}, {"en-CB", 9225}, {"en-GB", 2057}, {"en-IE", 6153}, {"en-IN", 16393},
    {"en-JA", 8201}, {"en-MY", 17417}, {"en-NZ", 5129}, {"en-PH", 13321}, {"en-SG", 18441},
    {"en-TT", 11273}, {"en-US", 1033}, {"en-ZA", 7177}, {"en-ZW", 12297}, {"es-AR", 11274},
    {"es-BO", 16394}, {"es-CL", 13322}, {"es-CO", 9226}, {"es-CR", 5130}, {"es-DO", 7178},
    {"es-EC", 12298}, {"es-ES", 3082}, {"es-ES-ts", 1034}, {"es-GT", 4106}, {"es-HN", 18442},
    {"es-MX", 2058}, {"es-NI", 19466}, {"es-PA", 6154}, {"es-PE", 10250}, {"es-PR", 20490},
    {"es-PY", 15370}, {"es-SV", 17418}, {"es-UR", 14346}, {"es-US", 21514}, {"es-VE", 8202},
    {"et-EE", 1061}, {"eu-ES", 1069}, {"fa-IR", 1065}, {"fi-FI", 1035}, {"fil-PH", 1124},
    {"fo-FO", 1080}, {"fr-BE", 2060}, {"fr-CA", 3084}, {"fr-CH", 4108}, {"fr-FR", 1036},
    {"fr-LU", 5132}, {"fr-MC", 6156}, {"fy-NL", 1122}, {"ga-IE", 2108}, {"gl-ES", 1110},
    {"gu-IN", 1095}, {"ha-NG-Latn", 1128}, {"he-IL", 1037}, {"hi-IN", 1081}, {"hr-BA", 4122},
    {"hr-HR", 1050}, {"hu-HU", 1038}, {"hy-AM", 1067}, {"id-ID", 1057}, {"ii-CN", 1144},
    {"is-IS", 1039}, {"it-CH", 2064}, {"it-IT", 1040}, {"iu-CA-Cans", 1117}, {"ja-JP", 1041},
    {"ka-GE", 1079}, {"kk-KZ", 1087}, {"km-KH", 1107}, {"kn-IN", 1099}, {"kok-IN", 1111},
    {"ko-KR", 1042}, {"ky-KG", 1088}, {"la-Latn", 1142}, {"lo-LA", 1108}, {"lt-LT", 1063},
    {"lv-LV", 1062}, {"mi-NZ", 1153}, {"mk-MK", 1071}, {"ml-IN", 1100}, {"mn-MN", 1104},
    {"mr-IN", 1102}, {"ms-BN", 2110}, {"ms-MY", 1086}, {"mt-MT", 1082}, {"nb-NO", 1044},
    {"ne-NP", 1121}, {"nl-BE", 2067}, {"nl-NL", 1043}, {"nn-NO", 2068}, {"or-IN", 1096},
    {"pa-IN", 1094}, {"pl-PL", 1045}, {"ps-AF", 1123}, {"pt-BR", 1046}, {"pt-PT", 2070},
    {"quz-BO", 1131}, {"quz-EC", 2155}, {"quz-PE", 3179}, {"ro-RO", 1048}, {"ru-RU", 1049},
    {"sa-IN", 1103}, {"se-SE", 2107}, {"si-LK", 1115}, {"sk-SK", 1051}, {"sl-SI", 1060},
    {"sq-AL", 1052}, {"sr-SP-Cyrl", 3098}, {"sr-SP-Latn", 2074}, {"sv-FI", 2077},
    {"sv-SE", 1053}, {"sw-KE", 1089}, {"syr-SY", 1114}, {"ta-IN", 1097}, {"te-IN", 1098},
    {"tg-TJ-Cyrl", 1064}, {"th-TH", 1054}, {"tk-TM", 1090}, {"tn-ZA", 1074}, {"tr-IN", 1055},
    {"tr-TR", 1055}, {"tt-RU", 1092}, {"ug-CN", 1152}, {"uk-UA", 1058}, {"ur-PK", 1056},
    {"uz-UZ-Cyrl", 2115}, {"uz-UZ-Latn", 1091}, {"vi-VN", 1066}, {"xh-ZA", 1076},
    {"yo-NG", 1130}, {"zh-CN", 2052}, {"zh-HK", 3076}, {"zh-MO", 5124}, {"zh-SG", 4100},
    {"zh-TW", 1028}, {"zu-ZA", 1077},
};

const NameId kNeutral[] = {
    {"af", 54}, {"ar", 1},  {"as", 77}, {"az", 44}, {"be", 35}, {"bg", 2},   {"bn", 69},
    {"ca", 3},  {"cs", 5},  {"da", 6},  {"de", 7},  {"el", 8},  {"en", 9},   {"es", 10},
    {"et", 37}, {"eu", 45}, {"fa", 41}, {"fi", 11}, {"fo", 56}, {"fr", 12},  {"gl", 86},
    {"gu", 71}, {"he", 13}, {"hi", 57}, {"hr", 26}, {"hu", 14}, {"hy", 43},  {"id", 33},
    {"is", 15}, {"it", 16}, {"ja", 17}, {"ka", 55}, {"kk", 63}, {"kn", 75},  {"ko", 18},
    {"ks", 96}, {"ky", 64}, {"la", 118}, {"lt", 39}, {"lv", 38}, {"mk", 47}, {"ml", 76},
    {"mn", 80}, {"mr", 78}, {"ms", 62}, {"ne", 97}, {"nl", 19}, {"no", 20},  {"or", 72},
    {"pl", 21}, {"pt", 22}, {"ro", 24}, {"ru", 25}, {"sa", 79}, {"sd", 89},  {"sh", 26},
    {"sk", 27}, {"sl", 36}, {"sq", 28}, {"sv", 29}, {"sw", 65}, {"ta", 73},  {"te", 74},
    {"th", 30}, {"tr", 31}, {"tt", 68}, {"uk", 34}, {"ur", 32}, {"uz", 67},  {"vi", 42},
    {"zh", 4},
};

// Byte-wise ordered maps: a name is looked up exactly, as it is written.
template <size_t N>
std::map<std::string, int32_t> ByName(const NameId (&table)[N]) {
  std::map<std::string, int32_t> m;
  for (const auto& e : table) m.emplace(e.name, e.id);
  return m;
}

const std::map<std::string, int32_t>& Cultures() {
  static const auto* m = new std::map<std::string, int32_t>(ByName(kCultures));
  return *m;
}

const std::map<std::string, int32_t>& Neutrals() {
  static const auto* m = new std::map<std::string, int32_t>(ByName(kNeutral));
  return *m;
}

// Later entries win, so an id listed twice is named by its last (most specific) entry.
const std::map<int32_t, std::string>& CulturesById() {
  static const auto* m = [] {
    auto* byId = new std::map<int32_t, std::string>();
    for (const auto& e : kCultures) (*byId)[e.id] = e.name;
    return byId;
  }();
  return *m;
}

}  // namespace

size_t CultureNameCount() { return sizeof kCultures / sizeof kCultures[0]; }
size_t NeutralNameCount() { return sizeof kNeutral / sizeof kNeutral[0]; }

int32_t LanguageIdFromName(const std::string& name) {
  if (name.empty()) return 0;
  if (name[0] >= '0' && name[0] <= '9') {
    int64_t v = 0;
    for (char c : name) {
      if (c < '0' || c > '9') return 0;
      v = v * 10 + (c - '0');
      if (v > 0x7FFFFFFF) return 0;
    }
    return static_cast<int32_t>(v);
  }
  std::string lang = name;
  const size_t dash = name.find('-', 2);
  if (dash != std::string::npos) {
    auto it = Cultures().find(name);
    if (it != Cultures().end()) return it->second;
    lang = name.substr(0, dash);
  }
  auto it = Neutrals().find(lang);
  return it == Neutrals().end() ? 0 : it->second + 1024;
}

std::string LanguageIdToName(int32_t languageId) {
  auto it = CulturesById().find(languageId);
  return it == CulturesById().end() ? std::to_string(languageId) : it->second;
}

}  // namespace qv
