#include "platform/controls/dialogs/print_dialog.h"

#include <algorithm>

#include "platform/controls/dialogs/dialog_text.h"

namespace plat {
namespace {

std::u16string Num(int32_t v) { return Utf8To16(std::to_string(v)); }

}  // namespace

PrintDialog::PrintDialog() = default;
PrintDialog::~PrintDialog() = default;

void PrintDialog::Begin() {
  printers_ = GetPrinterList().Printers();
  if (printers_.empty()) printers_.push_back(PdfFilePrinter());
  printer_ = FindPrinter(printers_, PrinterName);
  if (printer_ < 0) printer_ = FindPrinter(printers_, GetPrinterList().DefaultPrinterName());
  if (printer_ < 0) printer_ = 0;
  MaxPage = std::max(MaxPage, MinPage);
  range_ = Range;
  if ((range_ == PrintRange::Selection && !AllowSelection) || (range_ == PrintRange::Pages && !AllowPageNums) ||
      (range_ == PrintRange::CurrentPage && !AllowCurrentPage)) {
    range_ = PrintRange::All;
  }
  int32_t from = std::clamp(FromPage, MinPage, MaxPage);
  int32_t to = std::clamp(ToPage, from, MaxPage);
  pagesText_ = from == to ? Num(from) : Num(from) + u"-" + Num(to);
  copiesText_ = Num(std::clamp(Copies, 1, 9999));
  collate_ = Collate;
  settings_ = Settings;
  const PrinterInfo& p = printers_[static_cast<size_t>(printer_)];
  if (settings_.paperCode != 0 && FindPaper(p, settings_.paperCode, 0, 0) < 0) settings_.paperCode = 0;
  if (!p.duplex) settings_.duplex = false;
  SyncForm();
}

void PrintDialog::End(bool accepted) {
  if (!accepted) return;
  PrinterName = printers_[static_cast<size_t>(printer_)].name;
  Range = range_;
  Ranges = ranges_;
  if (!Ranges.empty()) {
    FromPage = Ranges.front().from;
    ToPage = Ranges.back().to;
  }
  Copies = copies_;
  Collate = collate_;
  Settings = settings_;
}

void PrintDialog::SelectPrinter(int32_t index) {
  if (index < 0 || index >= static_cast<int32_t>(printers_.size()) || index == printer_) return;
  printer_ = index;
  // Another printer may not know the paper or both sides.
  const PrinterInfo& p = printers_[static_cast<size_t>(index)];
  if (settings_.paperCode != 0 && FindPaper(p, settings_.paperCode, 0, 0) < 0) settings_.paperCode = 0;
  if (!p.duplex) settings_.duplex = false;
  SyncForm();
}

void PrintDialog::SetRange(PrintRange r) {
  if ((r == PrintRange::Selection && !AllowSelection) || (r == PrintRange::Pages && !AllowPageNums) ||
      (r == PrintRange::CurrentPage && !AllowCurrentPage)) {
    return;
  }
  range_ = r;
  SyncForm();
}

void PrintDialog::SetPagesText(const std::u16string& text) {
  pagesText_ = text;
  if (AllowPageNums) range_ = PrintRange::Pages;
  SyncForm();
}

void PrintDialog::SetCopiesText(const std::u16string& text) {
  copiesText_ = text;
  SyncForm();
}

void PrintDialog::SetCollate(bool v) {
  collate_ = v;
  SyncForm();
}

void PrintDialog::SetSettings(const PrinterSettings& s) {
  settings_ = s;
  SyncForm();
}

void PrintDialog::EditProperties() {
  PrinterSettings s = settings_;
  if (ExecutePrinterProperties(printers_[static_cast<size_t>(printer_)], s, DialogForm())) SetSettings(s);
}

bool PrintDialog::Confirm() {
  std::vector<PageRange> ranges;
  if (range_ == PrintRange::Pages) {
    auto parsed = ParsePageRanges(pagesText_, MinPage, MaxPage);
    if (!parsed) {
      std::string limits = std::to_string(MinPage) + " and " + std::to_string(MaxPage);
      Tell(FormatOne(kMsgBadRange, limits));
      return false;
    }
    ranges = *parsed;
  } else if (range_ == PrintRange::All) {
    ranges.push_back({MinPage, MaxPage});
  }
  std::string copies = Utf16To8(copiesText_);
  int32_t n = 0;
  bool digits = !copies.empty() && copies.size() <= 4 &&
                std::all_of(copies.begin(), copies.end(), [](char c) { return c >= '0' && c <= '9'; });
  if (digits) n = std::stoi(copies);
  if (n < 1) {
    Tell(kMsgBadCopies);
    return false;
  }
  ranges_ = ranges;
  copies_ = n;
  if (OnConfirm && !OnConfirm(*this)) return false;
  return true;
}

}  // namespace plat
