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
  std::string s;
  char b[4];
  for (size_t i = 0; i < n; ++i) {
    std::snprintf(b, sizeof b, "%02x", static_cast<const uint8_t*>(data)[i]);
    s += b;
  }
  return s;
}

// Every paragraph (normalised) with its story, codes and format; sections; styles; lists;
// fields; document settings.
inline std::string DumpDoc(TDoc& doc) {
  std::string out;
  for (int32_t i = 0; i < doc.ParCount(); ++i) {
    TPar& p = *doc.Par(i);
    NormalizeParagraphTags(p);
    out += "P" + std::to_string(i) + " s" + std::to_string(doc.StoryOfParagraph(i)) + " " +
           Hex(p.Content.Data, static_cast<size_t>(p.Content.Length)) + " c" +
           Hex(p.Codes.Data, static_cast<size_t>(p.Codes.Length)) + " f" +
           Hex(&p.Format, sizeof(TParFormat)) + "\n";
  }
  doc.UpdateSectionRanges();
  for (auto& s : doc.Sections) {
    out += "S" + std::to_string(s->FirstPar) + "-" + std::to_string(s->LastPar) + " " +
           Hex(&s->Format, sizeof(TSectionFormat)) + " " + Hex(&s->PageParams, offsetof(TPageParams, LineNumRestart) + 1) +
           " n" + std::to_string(s->PageNumberFormat) + "/" + std::to_string(s->PageNumberStart) +
           " fn" + Hex(&s->Footnotes, sizeof(TNoteSettings)) + Hex(&s->Endnotes, sizeof(TNoteSettings));
    for (TField* f : s->HeaderFooter) out += f ? " h" : " -";
    out += "\n";
  }
  for (int32_t i = 0; i < doc.Styles->Count(); ++i) {
    const TStyle& st = (*doc.Styles)[i];
    out += "Y" + st.Name + " " + Hex(&st.CharFmt, sizeof(TCharFormat)) + Hex(&st.ParFmt, sizeof(TParFormat)) + "\n";
  }
  for (auto& l : doc.Lists) {
    out += "L" + std::to_string(l->Number);
    for (auto& lv : l->ListLevels)
      out += " " + Hex(&lv.CharFormat, sizeof(TCharFormat)) + Hex(&lv.ParFormat, sizeof(TParFormat)) +
             std::to_string(lv.NumberFormat);
    out += "\n";
  }
  for (auto& f : doc.Fields)
    out += "F" + std::to_string(f->Kind) + "/" + std::to_string(f->FieldType) + " " +
           std::string(f->Instruction.begin(), f->Instruction.end()) + " nc" + std::to_string(f->NoteClass) + "\n";
  out += "D" + doc.Props.Author + " tab" + std::to_string(doc.DefaultTabStop) + " lang" +
         std::to_string(doc.DefaultLanguage) + " sep" + std::to_string(doc.NoteSeparatorFlags) +
         " hy" + std::to_string(doc.AutoHyphenation) + std::to_string(doc.HyphenateCaps) + "/" +
         std::to_string(doc.HyphenationZone) + "/" + std::to_string(doc.HyphenationLimit) + " fm" +
         Hex(&doc.FootnoteMarkFormat, sizeof(TCharFormat)) + "\n";
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
