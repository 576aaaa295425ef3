#pragma once
// Shared helpers of the editing tests: a document with the engine registered, paragraphs built
// from text, and a full dump of a document (paragraphs, formats, sections, styles, lists,
// fields and settings) to compare states before and after undo and redo.
#include <cstddef>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "document/auto_list.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/edit_services.h"
#include "document/field.h"
#include "document/section.h"
#include "document/styles.h"
#include "editing/edit_layout_hooks.h"
#include "editing/editing_services.h"
#include "foundation/base/service_slot.h"

namespace qv {

// The engine and recording layout hooks for the extent of a test.
struct TEngineScope {
  ScopedService<TEditServices> Services{MakeEditingServices()};
  ScopedService<TEditLayoutHooks> Hooks;
};

// Replaces the main text with one paragraph per string ("|B" inside a string switches bold on,
// "|b" off); each paragraph ends with a paragraph mark.
inline void SetMainText(TDoc& doc, const std::vector<std::string>& pars) {
  while (doc.StoryCounts[stMain] > 1) doc.RemoveParagraph(doc.StoryCounts[stMain] - 1);
  for (size_t i = 0; i < pars.size(); ++i) {
    TPar* p = i == 0 ? doc.Par(0) : doc.InsertParagraph(static_cast<int32_t>(i), stMain,
                                                        std::make_unique<TPar>(&doc));
    p->Format = DefaultParFormat;
    p->Content.Clear();
    const std::string& t = pars[i];
    std::string run;
    for (size_t k = 0; k < t.size(); ++k) {
      if (t[k] == '|' && k + 1 < t.size()) {
        p->Content.AppendString(run);
        run.clear();
        AppendContentTag(p->Content, ctBold, t[k + 1] == 'B' ? 1 : 0);
        ++k;
      } else {
        run.push_back(t[k]);
      }
    }
    p->Content.AppendString(run);
    AppendContentTag(p->Content, ctSpecialChar, scParagraphEnd);
    p->RebuildCodes();
    p->ContentChanged();
  }
  doc.SectionRangesStale = true;
}

inline std::string Hex(const void* data, size_t n) {
  static const char kDigits[] = "0123456789abcdef";
  std::string s(2 * n, '0');
  for (size_t i = 0; i < n; ++i) {
    const uint8_t b = static_cast<const uint8_t*>(data)[i];
    s[2 * i] = kDigits[b >> 4];
    s[2 * i + 1] = kDigits[b & 15];
  }
  return s;
}

// Every paragraph (normalised) with its story, codes and format; sections; styles; lists;
// fields; document settings.
inline std::string DumpDoc(TDoc& doc) {
  std::string out;
  auto put = [&out](const std::string& part) { out.append(part); };
  for (int32_t i = 0; i < doc.ParCount(); ++i) {
    TPar& p = *doc.Par(i);
    NormalizeParagraphTags(p);
    put("P");
    put(std::to_string(i));
    put(" s");
    put(std::to_string(doc.StoryOfParagraph(i)));
    put(" ");
    put(Hex(p.Content.Data, static_cast<size_t>(p.Content.Length)));
    put(" c");
    put(Hex(p.Codes.Data, static_cast<size_t>(p.Codes.Length)));
    put(" f");
    put(Hex(&p.Format, sizeof(TParFormat)));
    put("\n");
  }
  doc.UpdateSectionRanges();
  for (auto& s : doc.Sections) {
    put("S");
    put(std::to_string(s->FirstPar));
    put("-");
    put(std::to_string(s->LastPar));
    put(" ");
    put(Hex(&s->Format, sizeof(TSectionFormat)));
    put(" ");
    put(Hex(&s->PageParams, offsetof(TPageParams, LineNumRestart) + 1));
    put(" n");
    put(std::to_string(s->PageNumberFormat));
    put("/");
    put(std::to_string(s->PageNumberStart));
    put(" fn");
    put(Hex(&s->Footnotes, sizeof(TNoteSettings)));
    put(Hex(&s->Endnotes, sizeof(TNoteSettings)));
    for (TField* f : s->HeaderFooter) put(f ? " h" : " -");
    put("\n");
  }
  for (int32_t i = 0; i < doc.Styles->Count(); ++i) {
    const TStyle& st = (*doc.Styles)[i];
    put("Y");
    put(st.Name);
    put(" ");
    put(Hex(&st.CharFmt, sizeof(TCharFormat)));
    put(Hex(&st.ParFmt, sizeof(TParFormat)));
    put("\n");
  }
  for (auto& l : doc.Lists) {
    put("L");
    put(std::to_string(l->Number));
    for (auto& lv : l->ListLevels) {
      put(" ");
      put(Hex(&lv.CharFormat, sizeof(TCharFormat)));
      put(Hex(&lv.ParFormat, sizeof(TParFormat)));
      put(std::to_string(lv.NumberFormat));
    }
    put("\n");
  }
  for (auto& f : doc.Fields) {
    put("F");
    put(std::to_string(f->Kind));
    put("/");
    put(std::to_string(f->FieldType));
    put(" ");
    put(std::string(f->Instruction.begin(), f->Instruction.end()));
    put(" nc");
    put(std::to_string(f->NoteClass));
    put("\n");
  }
  put("D");
  for (const std::u16string* text : doc.Props.Texts()) {
    put(Hex(text->data(), text->size() * sizeof(char16_t)));
    put("|");
  }
  for (int32_t v : {doc.DefaultTabStop, doc.DefaultLanguage, int32_t{doc.NoteSeparatorFlags},
                    int32_t{doc.AutoHyphenation}, int32_t{doc.HyphenateCaps}, doc.HyphenationZone,
                    doc.HyphenationLimit}) {
    put(" ");
    put(std::to_string(v));
  }
  put(" fm");
  put(Hex(&doc.FootnoteMarkFormat, sizeof(TCharFormat)));
  put(Hex(&doc.EndnoteMarkFormat, sizeof(TCharFormat)));
  put("\n");
  return out;
}

// The main text's plain text, paragraphs separated by "/".
inline std::string MainText(TDoc& doc) {
  std::string s;
  for (int32_t i = 0; i < doc.StoryCounts[stMain]; ++i) {
    const TPar& p = *doc.Par(i);
    for (int32_t c = 0; c + 1 < p.CharCount(); ++c) s.push_back(static_cast<char>(p.CodeAt(c)));
    if (i + 1 < doc.StoryCounts[stMain]) s.push_back('/');
  }
  return s;
}

}  // namespace qv
