#include "platform/controls/dialogs/page_setup_dialog.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/controls/dialogs/dialog_text.h"
#include "platform/system/mul_div.h"

namespace plat {

PageSetupDialog::PageSetupDialog() = default;
PageSetupDialog::~PageSetupDialog() = default;

int32_t PageSetupDialog::FromTenthsMm(int32_t v) const {
  if (Units == MarginUnits::HundredthsOfMm) return v * 10;
  return MulDiv(v, 1000, 254);
}

std::u16string PageSetupDialog::LengthText(int32_t v) const {
  char buf[32];
  if (Units == MarginUnits::HundredthsOfMm) std::snprintf(buf, sizeof buf, "%.1f", v / 100.0);
  else std::snprintf(buf, sizeof buf, "%.2f", v / 1000.0);
  return Utf8To16(buf);
}

int32_t PageSetupDialog::ParseLength(const std::u16string& text) const {
  std::string s = Utf16To8(text);
  while (!s.empty() && s.back() == ' ') s.pop_back();
  size_t b = s.find_first_not_of(' ');
  if (b == std::string::npos) return -1;
  s = s.substr(b);
  std::replace(s.begin(), s.end(), ',', '.');
  int dots = 0;
  for (char c : s) {
    if (c == '.') ++dots;
    else if (c < '0' || c > '9') return -1;
  }
  if (dots > 1 || s == "." || s.size() > 12) return -1;
  double v = std::stod(s);
  double scaled = Units == MarginUnits::HundredthsOfMm ? v * 100.0 : v * 1000.0;
  if (scaled > 1e8) return -1;
  return static_cast<int32_t>(std::lround(scaled));
}

void PageSetupDialog::Begin() {
  printers_ = GetPrinterList().Printers();
  if (printers_.empty()) printers_.push_back(PdfFilePrinter());
  printer_ = FindPrinter(printers_, PrinterName);
  if (printer_ < 0) printer_ = FindPrinter(printers_, GetPrinterList().DefaultPrinterName());
  if (printer_ < 0) printer_ = 0;
  const PrinterInfo& p = printers_[static_cast<size_t>(printer_)];
  paper_ = PaperCode ? FindPaper(p, PaperCode, 0, 0) : -1;
  if (paper_ < 0) paper_ = std::clamp<int32_t>(p.defaultPaper, 0, std::max<int32_t>(0, static_cast<int32_t>(p.papers.size()) - 1));
  landscape_ = Landscape;
  const int32_t m[4] = {Margins.left, Margins.top, Margins.right, Margins.bottom};
  for (size_t i = 0; i < 4; ++i) marginText_[i] = LengthText(std::max(0, m[i]));
  SyncForm();
}

PageMargins PageSetupDialog::CurrentMinMargins() const {
  const PrinterInfo& p = printers_[static_cast<size_t>(printer_)];
  if (p.papers.empty()) return {};
  const PaperInfo& paper = p.papers[static_cast<size_t>(paper_)];
  PageMargins m{FromTenthsMm(paper.minLeft), FromTenthsMm(paper.minTop), FromTenthsMm(paper.minRight),
                FromTenthsMm(paper.minBottom)};
  // Turned a quarter anticlockwise: the portrait left edge becomes the bottom.
  if (landscape_) m = PageMargins{m.top, m.right, m.bottom, m.left};
  return m;
}

int32_t PageSetupDialog::CurrentPaperWidth() const {
  const PrinterInfo& p = printers_[static_cast<size_t>(printer_)];
  if (p.papers.empty()) return 0;
  const PaperInfo& paper = p.papers[static_cast<size_t>(paper_)];
  return FromTenthsMm(landscape_ ? paper.height : paper.width);
}

int32_t PageSetupDialog::CurrentPaperHeight() const {
  const PrinterInfo& p = printers_[static_cast<size_t>(printer_)];
  if (p.papers.empty()) return 0;
  const PaperInfo& paper = p.papers[static_cast<size_t>(paper_)];
  return FromTenthsMm(landscape_ ? paper.width : paper.height);
}

void PageSetupDialog::SelectPrinter(int32_t index) {
  if (index < 0 || index >= static_cast<int32_t>(printers_.size()) || index == printer_) return;
  const PrinterInfo& old = printers_[static_cast<size_t>(printer_)];
  int32_t code = old.papers.empty() ? 0 : old.papers[static_cast<size_t>(paper_)].code;
  printer_ = index;
  const PrinterInfo& p = printers_[static_cast<size_t>(index)];
  paper_ = FindPaper(p, code, 0, 0);
  if (paper_ < 0) paper_ = std::max(0, p.defaultPaper);
  SyncForm();
}

void PageSetupDialog::SelectPaper(int32_t index) {
  const PrinterInfo& p = printers_[static_cast<size_t>(printer_)];
  if (index < 0 || index >= static_cast<int32_t>(p.papers.size())) return;
  paper_ = index;
  SyncForm();
}

void PageSetupDialog::SetLandscape(bool v) {
  landscape_ = v;
  SyncForm();
}

void PageSetupDialog::SetMarginText(int32_t side, const std::u16string& text) {
  if (side < 0 || side > 3) return;
  marginText_[static_cast<size_t>(side)] = text;
  SyncForm();
}

bool PageSetupDialog::Confirm() {
  PageMargins min = CurrentMinMargins();
  const int32_t mins[4] = {min.left, min.top, min.right, min.bottom};
  int32_t v[4];
  for (size_t i = 0; i < 4; ++i) {
    v[i] = ParseLength(marginText_[i]);
    int32_t least = EnforceMinMargins ? mins[i] : 0;
    if (v[i] < least) {
      Tell(FormatOne(kMsgBadMargin, Utf16To8(LengthText(least))));
      return false;
    }
  }
  if (v[0] + v[2] >= CurrentPaperWidth() || v[1] + v[3] >= CurrentPaperHeight()) {
    Tell(kMsgNoRoom);
    return false;
  }
  chosen_ = PageMargins{v[0], v[1], v[2], v[3]};
  return true;
}

void PageSetupDialog::End(bool accepted) {
  if (!accepted) return;
  const PrinterInfo& p = printers_[static_cast<size_t>(printer_)];
  PrinterName = p.name;
  PaperCode = p.papers.empty() ? 0 : p.papers[static_cast<size_t>(paper_)].code;
  PaperWidth = CurrentPaperWidth();
  PaperHeight = CurrentPaperHeight();
  Landscape = landscape_;
  Margins = chosen_;
  MinMargins = CurrentMinMargins();
}

void PageSetupDialog::FillDefaults() {
  PageSetupForm* saved = form_;
  form_ = nullptr;
  Begin();
  PageMargins min = CurrentMinMargins();
  chosen_ = PageMargins{std::max(Margins.left, min.left), std::max(Margins.top, min.top),
                        std::max(Margins.right, min.right), std::max(Margins.bottom, min.bottom)};
  End(true);
  form_ = saved;
}

}  // namespace plat
