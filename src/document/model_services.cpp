// Registration and default answers of the services the document model asks of other parts.
#include <algorithm>
#include <utility>

#include "document/doc.h"
#include "document/doc_services.h"
#include "document/edit_services.h"
#include "document/layout_services.h"
#include "document/field.h"
#include "document/section.h"
#include "document/shape_binding.h"
#include "foundation/base/service_slot.h"
#include "foundation/text/word_delimiters.h"

namespace qv {

namespace {

bool IsSentenceEnd(char16_t c) { return c == u'.' || c == u'!' || c == u'?'; }

}  // namespace

void RegisterDocLayoutServices(std::unique_ptr<TDocLayoutServices> services) {
  RegisterService(std::move(services));
}
TDocLayoutServices& DocLayoutServices() { return Service<TDocLayoutServices>(); }

void TDocLayoutServices::ReleasePages(TDoc& doc) { doc.Pages.clear(); }

void TDocLayoutServices::RelayoutParagraph(TDoc& doc, int32_t par) { doc.Par(par)->ReleaseLines(0); }

const TSection* TDocLayoutServices::SectionOfPage(const TDoc& doc, int32_t /*page*/) {
  return doc.Sections.empty() ? nullptr : doc.Sections.front().get();
}

void RegisterDocServices(std::unique_ptr<TDocServices> services) {
  RegisterService(std::move(services));
}
TDocServices& DocServices() { return Service<TDocServices>(); }

std::string TDocServices::UserName() { return {}; }

std::unique_ptr<TDoc> TDocServices::OpenHiddenDocument(const std::string& /*fileName*/) {
  return nullptr;
}

void TDocServices::FirstSentence(TDoc& doc, int32_t par, int32_t& start, int32_t& end) {
  TPar& p = *doc.Par(par);
  BuildParagraphWideText(p);
  const std::u16string& w = p.WideText;
  const int32_t n = static_cast<int32_t>(w.size());
  start = 0;
  end = n;
  for (int32_t i = 0; i < n; ++i) {
    if (!IsSentenceEnd(w[static_cast<size_t>(i)])) continue;
    const char16_t next = i + 1 < n ? w[static_cast<size_t>(i) + 1] : u' ';
    if (next == u' ' || next < 32) {
      end = i + 1;
      return;
    }
  }
}

bool TDocServices::IsWordDelimiterByte(uint8_t b) { return WordDelimiters[b]; }

bool TDocServices::IsApostropheLike(uint8_t b, int32_t /*language*/) { return b == '\'' || b == 0x92; }

void RegisterShapeBinding(std::unique_ptr<TShapeBinding> binding) {
  RegisterService(std::move(binding));
}
TShapeBinding& ShapeBinding() { return Service<TShapeBinding>(); }

void RegisterEditServices(std::unique_ptr<TEditServices> services) {
  RegisterService(std::move(services));
}
TEditServices& EditServices() { return Service<TEditServices>(); }

TPostActions& TEditServices::CurrentPostActions(TDoc& doc) {
  if (!doc.OpenOperations.empty() && doc.OpenOperations.back() == nullptr)
    return doc.SecondPostActions;
  return doc.PostActions;
}

void TEditServices::InvalidateFromParagraph(TDoc& doc, int32_t par) {
  TPostActions& pa = CurrentPostActions(doc);
  if (pa.FirstPar == PostActionNone || par < pa.FirstPar) pa.FirstPar = par;
  pa.HasRepaintRange = false;
}

void TEditServices::FormatSectionRange(TDoc& doc, int32_t firstSection, int32_t lastSection,
                                       const std::vector<TSection>& formats,
                                       bool pageNumbersOnly) {
  for (int32_t i = firstSection; i <= lastSection && i < static_cast<int32_t>(doc.Sections.size());
       ++i) {
    const size_t k = static_cast<size_t>(i - firstSection);
    if (k >= formats.size()) break;
    TSection& s = *doc.Sections[static_cast<size_t>(i)];
    if (pageNumbersOnly) {
      s.PageNumberFormat = formats[k].PageNumberFormat;
      s.PageNumberStart = formats[k].PageNumberStart;
    } else {
      s.Format = formats[k].Format;
    }
  }
}

void TEditServices::ChangeSectionHeaders(TDoc& /*doc*/, TSection& section,
                                         const std::array<TField*, 6>& fields) {
  for (size_t i = 0; i < fields.size(); ++i) section.HeaderFooter[i] = fields[i];
}

void TEditServices::FormatNoteSettings(TDoc& doc, int32_t firstSection, int32_t lastSection,
                                       const TNoteSettings& footnotes,
                                       const TNoteSettings& endnotes) {
  for (int32_t i = std::max(firstSection, 0);
       i <= lastSection && i < static_cast<int32_t>(doc.Sections.size()); ++i) {
    doc.Sections[static_cast<size_t>(i)]->Footnotes = footnotes;
    doc.Sections[static_cast<size_t>(i)]->Endnotes = endnotes;
  }
}

TField* TEditServices::InsertEmptyField(TDoc& doc, std::unique_ptr<TField> field,
                                        const TDocPosition& /*at*/, int32_t /*slot*/) {
  TField* f = field.get();
  doc.Fields.push_back(std::move(field));
  return f;
}

void TEditServices::InsDelFieldMarks(TDoc& doc, uint8_t /*state*/, TField* /*field*/,
                                    uint8_t /*parts*/, const TDocPosition& /*start*/,
                                    int32_t /*startSlot*/, const TDocPosition& /*end*/,
                                    int32_t /*endSlot*/, std::unique_ptr<TField> owned) {
  if (owned) doc.Fields.push_back(std::move(owned));
}

void TEditServices::EditFieldInstruction(TDoc& /*doc*/, TField* field,
                                        std::u16string instruction) {
  if (field != nullptr) field->Instruction = std::move(instruction);
}

void TEditServices::ChangeSectionBreak(TDoc& doc, int32_t par, int32_t kind) {
  if (par < 0 || par >= doc.ParCount()) return;
  if (TSection* s = doc.Par(par)->SectionBreak()) s->Format.BreakKind = kind;
}

void TPostActions::Reset() {
  FirstPage = PostActionNone;
  FirstPar = PostActionNone;
  FirstParOffset = 0;
  RestoreRange = TDocRange{};
  RepaintRange = TDocRange{};
  HasRepaintRange = false;
  ScrollTargetY = 0;
  ScrollAnchor = TDocPosition{};
  Caret = TDocPosition{};
  HasCaret = false;
  Selection.reset();
  ClearSelection = false;
  ScrollTarget = PostActionNone;
}

}  // namespace qv
