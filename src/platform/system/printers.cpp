// Paper codes, an open printer's forms and the device page a device mode gives.
#include "platform/system/printers.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <mutex>

#include "platform/system/mul_div.h"

namespace plat {
namespace {

struct PaperCodeRow {
  int32_t code;
  int32_t width, height;  // tenths of a millimetre, portrait
};

// The system's paper numbers of the sizes printers commonly offer.
constexpr PaperCodeRow kPaperCodes[] = {
    {1, 2159, 2794},   // Letter
    {3, 2794, 4318},   // Tabloid
    {5, 2159, 3556},   // Legal
    {6, 1397, 2159},   // Statement
    {7, 1841, 2667},   // Executive
    {8, 2970, 4200},   // A3
    {9, 2100, 2970},   // A4
    {11, 1480, 2100},  // A5
    {12, 2500, 3540},  // B4
    {13, 1820, 2570},  // B5 (JIS)
    {14, 2159, 3302},  // Folio
    {15, 2150, 2750},  // Quarto
    {19, 984, 2254},   // Envelope #9
    {20, 1048, 2413},  // Envelope #10
    {21, 1143, 2635},  // Envelope #11
    {22, 1207, 2794},  // Envelope #12
    {23, 1270, 2921},  // Envelope #14
    {27, 1100, 2200},  // Envelope DL
    {28, 1620, 2290},  // Envelope C5
    {29, 3240, 4580},  // Envelope C3
    {30, 2290, 3240},  // Envelope C4
    {31, 1140, 1620},  // Envelope C6
    {32, 1140, 2290},  // Envelope C65
    {33, 2500, 3530},  // Envelope B4
    {34, 1760, 2500},  // Envelope B5
    {35, 1250, 1760},  // Envelope B6
    {36, 1100, 2300},  // Envelope Italy
    {37, 984, 1905},   // Envelope Monarch
    {38, 921, 1651},   // Envelope 6 3/4
    {70, 1050, 1480},  // A6
};

bool Near(int32_t a, int32_t b) { return std::abs(a - b) <= 10; }

bool SameSize(int32_t w1, int32_t h1, int32_t w2, int32_t h2) {
  return (Near(w1, w2) && Near(h1, h2)) || (Near(w1, h2) && Near(h1, w2));
}

// Forms added to printers, by printer name (the spooler keeps them for every program).
struct AddedForms {
  std::mutex lock;
  std::map<std::string, std::vector<PaperForm>> byPrinter;
};

AddedForms& Added() {
  static AddedForms forms;
  return forms;
}

int32_t TenthsMmToDots(int32_t tenths) { return MulDiv(tenths, Printer::kDpi, 254); }
int32_t TenthsMmToMilliInches(int32_t tenths) { return MulDiv(tenths, 1000, 254); }
int32_t MicronsToTenthsMm(int32_t microns) { return MulDiv(microns, 1, 100); }

}  // namespace

int32_t PaperCodeOfSize(int32_t width, int32_t height) {
  for (const PaperCodeRow& row : kPaperCodes)
    if (SameSize(width, height, row.width, row.height)) return row.code;
  return 0;
}

// ---- Printer
// ---------------------------------------------------------------------------------------

Printer::Printer(PrinterInfo info) : info_(std::move(info)) { Reset(DefaultDeviceMode()); }

std::unique_ptr<Printer> Printer::Open(const std::string& name) {
  std::vector<PrinterInfo> printers = GetPrinterList().Printers();
  const int32_t i = FindPrinter(printers, name);
  if (i < 0) return nullptr;
  return std::unique_ptr<Printer>(new Printer(std::move(printers[static_cast<size_t>(i)])));
}

Printer::Paper Printer::DefaultPaper() const {
  if (info_.papers.empty()) return {2100, 2970, 9};  // a printer that says nothing prints on A4
  const size_t i = static_cast<size_t>(
      std::clamp<int32_t>(info_.defaultPaper, 0, static_cast<int32_t>(info_.papers.size()) - 1));
  const PaperInfo& p = info_.papers[i];
  return {p.width, p.height, p.code, p.minLeft, p.minTop, p.minRight, p.minBottom};
}

DeviceMode Printer::DefaultDeviceMode() const {
  const Paper p = DefaultPaper();
  DeviceMode m;
  m.Fields = dm::Orientation | dm::PaperSize | dm::Duplex;
  m.PaperSize = p.code;
  m.PaperWidth = p.width;
  m.PaperLength = p.height;
  return m;
}

std::vector<Size> Printer::PaperSizes() const {
  std::vector<Size> sizes;
  for (const PaperInfo& p : info_.papers) sizes.push_back({p.width, p.height});
  return sizes;
}

std::vector<PaperForm> Printer::Forms() const {
  std::vector<PaperForm> forms;
  for (const PaperInfo& p : info_.papers) forms.push_back({p.name, p.width * 100, p.height * 100});
  AddedForms& added = Added();
  std::lock_guard<std::mutex> guard(added.lock);
  auto it = added.byPrinter.find(info_.name);
  if (it != added.byPrinter.end()) forms.insert(forms.end(), it->second.begin(), it->second.end());
  return forms;
}

bool Printer::AddForm(const PaperForm& form) {
  if (form.Name.empty() || form.Width <= 0 || form.Height <= 0) return false;
  for (const PaperInfo& p : info_.papers)
    if (p.name == form.Name) return false;
  AddedForms& added = Added();
  std::lock_guard<std::mutex> guard(added.lock);
  std::vector<PaperForm>& list = added.byPrinter[info_.name];
  for (const PaperForm& f : list)
    if (f.Name == form.Name) return false;
  list.push_back(form);
  return true;
}

bool Printer::DeleteForm(const std::string& name) {
  AddedForms& added = Added();
  std::lock_guard<std::mutex> guard(added.lock);
  auto it = added.byPrinter.find(info_.name);
  if (it == added.byPrinter.end()) return false;
  auto& list = it->second;
  auto f =
      std::find_if(list.begin(), list.end(), [&](const PaperForm& x) { return x.Name == name; });
  if (f == list.end()) return false;
  list.erase(f);
  return true;
}

void Printer::ForgetAddedForms() {
  AddedForms& added = Added();
  std::lock_guard<std::mutex> guard(added.lock);
  added.byPrinter.clear();
}

Printer::Paper Printer::SizedPaper(int32_t width, int32_t height) const {
  for (const PaperInfo& p : info_.papers) {
    if (Near(p.width, width) && Near(p.height, height))
      return {p.width, p.height, p.code, p.minLeft, p.minTop, p.minRight, p.minBottom};
  }
  if (info_.TakesCustomSize(width, height)) {
    Paper custom = DefaultPaper();  // a size of its own keeps the margins of the default paper
    custom.width = width;
    custom.height = height;
    custom.code = 0;
    return custom;
  }
  return DefaultPaper();
}

Printer::Paper Printer::PaperOf(const DeviceMode& mode) const {
  if ((mode.Fields & dm::FormName) && !mode.FormName.empty()) {
    for (const PaperForm& f : Forms()) {
      if (f.Name == mode.FormName)
        return SizedPaper(MicronsToTenthsMm(f.Width), MicronsToTenthsMm(f.Height));
    }
  }
  if ((mode.Fields & dm::PaperSize) && mode.PaperSize > 0) {
    for (const PaperInfo& p : info_.papers) {
      if (p.code == mode.PaperSize)
        return {p.width, p.height, p.code, p.minLeft, p.minTop, p.minRight, p.minBottom};
    }
  }
  if ((mode.Fields & dm::PaperWidth) && (mode.Fields & dm::PaperLength) && mode.PaperWidth > 0 &&
      mode.PaperLength > 0)
    return SizedPaper(mode.PaperWidth, mode.PaperLength);
  return DefaultPaper();
}

DeviceMode Printer::Merge(const DeviceMode& mode) const {
  DeviceMode merged = mode;
  const Paper p = PaperOf(mode);
  merged.PaperSize = p.code;
  merged.PaperWidth = p.width;
  merged.PaperLength = p.height;
  return merged;
}

void Printer::Reset(const DeviceMode& mode) {
  const Paper p = PaperOf(mode);
  DevicePage page;
  page.Landscape = (mode.Fields & dm::Orientation) && mode.Orientation == 2;
  page.Duplex = (mode.Fields & dm::Duplex) && info_.duplex && mode.Duplex >= 1 && mode.Duplex <= 3
                    ? mode.Duplex
                    : 1;
  // A landscape page is the portrait paper turned a quarter turn anticlockwise: its left edge is
  // the paper's top edge.
  int32_t left = p.minLeft, top = p.minTop, right = p.minRight, bottom = p.minBottom;
  page.PaperWidth = p.width;
  page.PaperHeight = p.height;
  if (page.Landscape) {
    std::swap(page.PaperWidth, page.PaperHeight);
    left = p.minTop;
    top = p.minRight;
    right = p.minBottom;
    bottom = p.minLeft;
  }
  page.PhysicalWidth = TenthsMmToDots(page.PaperWidth);
  page.PhysicalHeight = TenthsMmToDots(page.PaperHeight);
  page.PhysicalOffsetX = TenthsMmToDots(left);
  page.PhysicalOffsetY = TenthsMmToDots(top);
  page.MinLeft = TenthsMmToMilliInches(left);
  page.MinTop = TenthsMmToMilliInches(top);
  page.MinRight = TenthsMmToMilliInches(right);
  page.MinBottom = TenthsMmToMilliInches(bottom);
  page_ = page;
}

}  // namespace plat
