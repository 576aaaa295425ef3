// The header and footer commands of the view range: editing them in place, hiding the document
// text meanwhile, linking to the previous section, and moving between the headers (or footers)
// of the pages.
#include <string>

#include "commands/command_manager.h"
#include "commands/command_options.h"
#include "commands/view_command_parts.h"
#include "document/doc.h"
#include "document/layout_services.h"
#include "document/section.h"
#include "editing/edit_codes.h"
#include "foundation/ui/message_dlg_service.h"

namespace qv {

namespace {

constexpr int32_t kHeaderFooter = 7200;
constexpr int32_t kShowWhiteSpace = 8110;
constexpr int32_t kSameAsPrevious = 7340;
constexpr int32_t kDocFlagBodyTextHidden = 125;
constexpr uint8_t kSameAsPreviousMessage = 20;

// The section that owns the field, and its slot there; null when no section does.
const TSection* OwnerOf(const TDoc& doc, const TField* field, int& slot) {
  for (const auto& section : doc.Sections)
    for (int s = 0; s < hfCount; ++s)
      if (section->HeaderFooter[static_cast<size_t>(s)] == field) {
        slot = s;
        return section.get();
      }
  return nullptr;
}

bool EditingFooter(TDoc& doc) {
  int slot = -1;
  if (OwnerOf(doc, doc.HeaderFooterInPlace, slot) != nullptr)
    return slot == hfEvenFooter || slot == hfOddFooter || slot == hfFirstFooter;
  return DocLayoutServices().PageHeaderFooter(doc, doc.HeaderFooterPage, true) == doc.HeaderFooterInPlace;
}

// The page's index within its section.
int32_t IndexInSection(const TDoc& doc, int32_t page) {
  const TSection* section = doc.SectionOfPage(page);
  int32_t first = page;
  while (first > 0 && doc.SectionOfPage(first - 1) == section) --first;
  return page - first;
}

// Whether the page shows a header (footer) of its own that another page may move to.
TField* QualifyingField(TDoc& doc, int32_t page, bool footer) {
  TField* field = DocLayoutServices().PageHeaderFooter(doc, page, footer);
  if (field == nullptr) return nullptr;
  const TSection* section = doc.SectionOfPage(page);
  const bool other = section != doc.SectionOfPage(doc.HeaderFooterPage) || field != doc.HeaderFooterInPlace;
  if (!other || section == nullptr) return nullptr;
  const int32_t ownPages = (section->PageParams.DiffFirstPage != 0 ? 1 : 0) +
                           (section->PageParams.DiffOddEven != 0 ? 1 : 0);
  return IndexInSection(doc, page) <= ownPages ? field : nullptr;
}

void ShowNeighbour(TDoc& doc, bool forward) {
  const bool footer = EditingFooter(doc);
  for (int32_t page = doc.HeaderFooterPage + (forward ? 1 : -1); page >= 0; page += forward ? 1 : -1) {
    if (forward && page >= doc.PageCount()) {
      if (doc.Layout.LaidOutToEnd) return;
      const int32_t before = doc.PageCount();
      doc.Paginate(before, before + 1);
      if (doc.PageCount() <= page) return;
    }
    if (TField* field = QualifyingField(doc, page, footer)) {
      doc.EditHeaderFooter(field, page);
      return;
    }
  }
}

void SwitchHeaderFooter(TDoc& doc) {
  const int32_t page = doc.HeaderFooterPage;
  TField* header = DocLayoutServices().PageHeaderFooter(doc, page, false);
  TField* footer = DocLayoutServices().PageHeaderFooter(doc, page, true);
  TField* other = EditingFooter(doc) ? header : footer;
  if (other == nullptr) {
    // The page's layout names none: the page's section's own field of the other kind.
    static constexpr int kPartner[hfCount] = {hfEvenFooter, hfOddFooter, hfEvenHeader,
                                              hfOddHeader,  hfFirstFooter, hfFirstHeader};
    int slot = -1;
    const TSection* section = OwnerOf(doc, doc.HeaderFooterInPlace, slot);
    if (section == nullptr) return;
    other = section->HeaderFooter[static_cast<size_t>(kPartner[slot])];
  }
  if (other != nullptr) doc.EditHeaderFooter(other, page);
}

void SameAsPrevious(TViewRun& run) {
  TDoc& doc = *run.Doc;
  if (run.Manager.GetCheckState(kSameAsPrevious) != 1) {
    const std::string text =
        "Do you want to remove this header/footer and use that of the previous section instead?";
    if (ShowOptionalMsg(text, mkConfirmation, kSameAsPreviousMessage) != mrYes) return;
  }
  doc.ExecuteEdit(ecToggleSameAsPrevious, nullptr, -1);
}

}  // namespace

bool RunHeaderFooterCommand(TViewRun& run) {
  const int32_t id = run.Id;
  if (id != kHeaderFooter && id != 7300 && id != kSameAsPrevious && id != 7350 && id != 7400 && id != 7401 &&
      id != 7410)
    return false;
  if (id == 7410) {
    run.Manager.Execute(kHeaderFooter);
    return true;
  }
  if (run.Doc == nullptr) return true;
  TDoc& doc = *run.Doc;
  if (id == kHeaderFooter) {
    if (ViewOption(opt::ViewWhiteSpaceHidden)) run.Manager.Execute(kShowWhiteSpace);
    doc.ToggleHeaderFooterEditing(nullptr, -1, nullptr);
    return true;
  }
  if (doc.HeaderFooterInPlace == nullptr) return true;
  switch (id) {
    case 7300:
      doc.SetDocFlag(kDocFlagBodyTextHidden, !doc.IsDocFlagSet(kDocFlagBodyTextHidden));
      RedrawDoc(doc);
      break;
    case kSameAsPrevious: SameAsPrevious(run); break;
    case 7350: SwitchHeaderFooter(doc); break;
    default: ShowNeighbour(doc, id == 7401); break;
  }
  return true;
}

}  // namespace qv
