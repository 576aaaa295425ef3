// The printer list of CUPS destinations and their media.
#include <cups/cups.h>
#include <cups/pwg.h>

#include <algorithm>
#include <cstring>

#include "platform/system/mul_div.h"
#include "platform/system/printers.h"

namespace plat {
namespace {

int32_t RoundHundredthsToTenths(int32_t v) { return MulDiv(std::max(v, 0), 1, 10); }
int32_t CeilHundredthsToTenths(int32_t v) { return (std::max(v, 0) + 9) / 10; }

std::string DestName(const cups_dest_t& d) {
  std::string name = d.name ? d.name : "";
  if (d.instance && *d.instance) name += std::string("/") + d.instance;
  return name;
}

// The range of sizes of its own that a destination takes, from the "custom_min_..." and
// "custom_max_..." names among its supported media.
void ReadCustomRange(cups_dest_t* dest, cups_dinfo_t* dinfo, PrinterInfo& p) {
  ipp_attribute_t* media = cupsFindDestSupported(CUPS_HTTP_DEFAULT, dest, dinfo, CUPS_MEDIA);
  if (!media) return;
  int32_t minW = 0, minH = 0, maxW = 0, maxH = 0;
  for (int i = 0, n = ippGetCount(media); i < n; ++i) {
    const char* value = ippGetString(media, i, nullptr);
    if (!value) continue;
    const bool isMin = std::strncmp(value, "custom_min_", 11) == 0;
    const bool isMax = std::strncmp(value, "custom_max_", 11) == 0;
    if (!isMin && !isMax) continue;
    pwg_media_t* size = pwgMediaForPWG(value);
    if (!size) continue;
    const int32_t w = RoundHundredthsToTenths(size->width),
                  h = RoundHundredthsToTenths(size->length);
    if (isMin) {
      minW = w;
      minH = h;
    } else {
      maxW = w;
      maxH = h;
    }
  }
  if (maxW > 0 && maxH > 0 && minW <= maxW && minH <= maxH) {
    p.customMinWidth = minW;
    p.customMinHeight = minH;
    p.customMaxWidth = maxW;
    p.customMaxHeight = maxH;
  }
}

void ReadMedia(cups_dest_t* dest, cups_dinfo_t* dinfo, PrinterInfo& p) {
  const int count = cupsGetDestMediaCount(CUPS_HTTP_DEFAULT, dest, dinfo, CUPS_MEDIA_FLAGS_DEFAULT);
  for (int i = 0; i < count; ++i) {
    cups_size_t size{};
    if (!cupsGetDestMediaByIndex(CUPS_HTTP_DEFAULT, dest, dinfo, i, CUPS_MEDIA_FLAGS_DEFAULT,
                                 &size))
      continue;
    CupsMedium m;
    m.name = size.media;
    if (const char* text =
            cupsLocalizeDestMedia(CUPS_HTTP_DEFAULT, dest, dinfo, CUPS_MEDIA_FLAGS_DEFAULT, &size))
      m.caption = text;
    m.width = size.width;
    m.length = size.length;
    m.left = size.left;
    m.top = size.top;
    m.right = size.right;
    m.bottom = size.bottom;
    if (m.width > 0 && m.length > 0) p.papers.push_back(PaperOfMedium(m));
  }
  cups_size_t def{};
  if (cupsGetDestMediaDefault(CUPS_HTTP_DEFAULT, dest, dinfo, CUPS_MEDIA_FLAGS_DEFAULT, &def)) {
    const int32_t i =
        FindPaper(p, 0, RoundHundredthsToTenths(def.width), RoundHundredthsToTenths(def.length));
    if (i >= 0) p.defaultPaper = i;
  }
}

PrinterInfo ReadDest(cups_dest_t* dest) {
  PrinterInfo p;
  p.name = DestName(*dest);
  const char* location = cupsGetOption("printer-location", dest->num_options, dest->options);
  if (!location || !*location)
    location = cupsGetOption("printer-info", dest->num_options, dest->options);
  if (location) p.location = location;
  if (cups_dinfo_t* dinfo = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest)) {
    ReadMedia(dest, dinfo, p);
    ReadCustomRange(dest, dinfo, p);
    p.duplex = cupsCheckDestSupported(CUPS_HTTP_DEFAULT, dest, dinfo, CUPS_SIDES,
                                      CUPS_SIDES_TWO_SIDED_PORTRAIT) != 0;
    cupsFreeDestInfo(dinfo);
  }
  if (p.papers.empty()) {
    p.papers = StandardPapers();
    p.defaultPaper = std::max(0, FindPaper(p, 9, 0, 0));
  }
  return p;
}

}  // namespace

PaperInfo PaperOfMedium(const CupsMedium& m) {
  PaperInfo p;
  p.width = RoundHundredthsToTenths(m.width);
  p.height = RoundHundredthsToTenths(m.length);
  p.code = PaperCodeOfSize(p.width, p.height);
  p.name = !m.caption.empty() ? m.caption : m.name;
  if (p.name.empty())
    p.name = std::to_string(p.width / 10) + " x " + std::to_string(p.height / 10) + " mm";
  p.minLeft = CeilHundredthsToTenths(m.left);
  p.minTop = CeilHundredthsToTenths(m.top);
  p.minRight = CeilHundredthsToTenths(m.right);
  p.minBottom = CeilHundredthsToTenths(m.bottom);
  return p;
}

std::vector<PrinterInfo> CupsPrinterList::Printers() const {
  std::vector<PrinterInfo> printers;
  cups_dest_t* dests = nullptr;
  const int n = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
  for (int i = 0; i < n; ++i) {
    PrinterInfo p = ReadDest(&dests[i]);
    if (!p.name.empty() && p.name != kPdfPrinterName) printers.push_back(std::move(p));
  }
  cupsFreeDests(n, dests);
  printers.push_back(PdfFilePrinter());
  return printers;
}

std::string CupsPrinterList::DefaultPrinterName() const {
  cups_dest_t* dests = nullptr;
  const int n = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
  std::string name;
  if (cups_dest_t* d = cupsGetDest(nullptr, nullptr, n, dests)) name = DestName(*d);
  cupsFreeDests(n, dests);
  return name.empty() ? std::string(kPdfPrinterName) : name;
}

void UseSystemPrinters() { SetPrinterList(std::make_unique<CupsPrinterList>()); }

}  // namespace plat
