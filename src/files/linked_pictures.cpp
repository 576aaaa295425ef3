// The post-load step for linked pictures and links: an INCLUDEPICTURE field whose result shows
// no picture (or a blank one) gets the picture its link names, from a local file or, when the
// options allow, downloaded; HYPERLINK targets are resolved against the base address of the
// last HTML clipboard fragment, which a pasted web page's relative links are relative to.
#include "files/post_load_steps.h"

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "document/content_stream.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/field_instructions.h"
#include "document/par.h"
#include "document/pictures.h"
#include "document/shape.h"
#include "files/document_road_services.h"
#include "foundation/settings/options_holder.h"
#include "foundation/system/shell_services.h"
#include "foundation/system/temp_files.h"
#include "foundation/text/code_pages.h"

namespace qv {
namespace {

constexpr uint16_t kDownloadImagesOption = 0x200;  // Load/Save flags bit 9
constexpr uint8_t kIncludePictureType = 67;

bool StartsWithNoCase(const std::string& s, const char* prefix) {
  size_t i = 0;
  for (; prefix[i] != 0; ++i) {
    if (i >= s.size()) return false;
    const char c = s[i] >= 'A' && s[i] <= 'Z' ? static_cast<char>(s[i] + 32) : s[i];
    if (c != prefix[i]) return false;
  }
  return true;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string PercentDecoded(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size() && HexValue(s[i + 1]) >= 0 && HexValue(s[i + 2]) >= 0) {
      out.push_back(static_cast<char>(HexValue(s[i + 1]) * 16 + HexValue(s[i + 2])));
      i += 2;
    } else {
      out.push_back(s[i]);
    }
  }
  return out;
}

// The file a link names: a "file" link (its host, unless it is this machine, as the start of a
// network path), a path without a scheme, or a drive-letter path; empty for other links.
std::string LocalPathOf(const std::string& link) {
  if (StartsWithNoCase(link, "file:")) {
    std::string rest = link.substr(5);
    rest = rest.substr(0, rest.find_first_of("?#"));
    if (rest.rfind("//", 0) == 0) {
      rest.erase(0, 2);
      const size_t slash = rest.find('/');
      const std::string host = rest.substr(0, slash);
      if (!host.empty() && host != "localhost") return PercentDecoded("//" + rest);
      rest = slash == std::string::npos ? std::string() : rest.substr(slash);
    }
    return PercentDecoded(rest);
  }
  TURLComponents parts;
  ParseUrl(link, parts);
  if (parts.Scheme.empty() || parts.Scheme.size() == 1) return link;
  return {};
}

// The first word of the instruction that is no switch: the picture's link.
std::string LinkOf(const TField& field) {
  for (const TFieldWord& word : SplitFieldWords(field.Instruction))
    if (!word.Text.empty() && (word.Quoted || word.Text[0] != u'\\')) return WideToUtf8(word.Text);
  return {};
}

// Puts the picture at the start of the field's result: in place of the old picture (which is
// deleted) or of the result's first character, or into an empty result.
void PlacePicture(TDoc& doc, const TDocRange& result, TShape* old, TShape* shape) {
  TPar& par = *doc.Par(result.Start.Par);
  const int32_t off = par.CharToStreamOffset(result.Start.Offset);
  TMemory tag;
  AppendContentTag(tag, ctInlineShape, TagRefOf(shape));
  const bool empty = result.Start.Par == result.End.Par && result.Start.Offset >= result.End.Offset;
  TStreamItem item;
  if (!empty && ReadStreamItem(par.Content.Data, par.Content.Length, off, item)) {
    const int32_t size = item.ItemType == TStreamItem::siText ? 1 : item.Size;
    par.Content.Delete(off, size);
  }
  par.Content.Insert(tag.Data, off, tag.Length);
  par.RebuildCodes();
  par.ContentChanged();
  if (old != nullptr) doc.DeleteShape(old);
}

// The picture for the link: a local file's, or a downloaded one's when downloads are allowed
// (each address fetched once per open). Null when there is none.
class TPictureFetcher {
 public:
  explicit TPictureFetcher(TDoc& doc)
      : doc_(doc),
        road_(DocumentRoadServices()),
        download_((GetOptions().LoadSave.Flags & kDownloadImagesOption) != 0) {}
  ~TPictureFetcher() {
    std::error_code ec;
    for (const std::string& file : temporary_) std::filesystem::remove(file, ec);
  }
  TPictureFetcher(const TPictureFetcher&) = delete;
  TPictureFetcher& operator=(const TPictureFetcher&) = delete;

  TShape* Fetch(const std::string& link) {
    const std::string path = LocalPathOf(link);
    std::error_code ec;
    if (!path.empty() && std::filesystem::is_regular_file(path, ec))
      return road_.LoadPictureShape(doc_, path);
    if (!download_ || !StartsWithNoCase(link, "http")) return nullptr;
    auto found = fetched_.find(link);
    if (found == fetched_.end()) {
      const std::string file = MakeTempFileNameExt(tfkTmp);
      temporary_.push_back(file);
      if (!road_.DownloadFile(link, file)) return nullptr;
      found = fetched_.emplace(link, file).first;
    }
    return road_.LoadPictureShape(doc_, found->second);
  }

 private:
  TDoc& doc_;
  TDocumentRoadServices& road_;
  bool download_;
  std::map<std::string, std::string> fetched_;
  std::vector<std::string> temporary_;
};

void RetrievePicture(TDoc& doc, TField* field, const std::string& base, TPictureFetcher& fetcher) {
  TDocRange result;
  if (!doc.GetFieldRange(field, result)) return;
  const bool empty = result.Start.Par == result.End.Par && result.Start.Offset >= result.End.Offset;
  TShape* existing = empty ? nullptr : doc.GetShapeAt(result.Start);
  bool blank = existing == nullptr;
  if (existing != nullptr && existing->Graphic != nullptr) {
    existing->Graphic->SetUnloaded(false);
    const TDecodedPicture* decoded = existing->Graphic->Decoded();
    blank = decoded != nullptr && IsPictureBlank(*decoded);
  }
  if (!blank) {
    doc.RemoveField(field);
    return;
  }
  const std::string link = LinkOf(*field);
  if (link.empty()) return;
  TURLComponents parts;
  std::string resolved;
  ResolveRelativeUrl(base, link, parts, resolved);
  field->Instruction = u"INCLUDEPICTURE \"" + EscapeFieldArgument(Utf8ToWide(resolved)) + u"\"";
  TShape* shape = fetcher.Fetch(resolved);
  if (shape == nullptr) return;  // the field keeps its old result
  PlacePicture(doc, result, existing, shape);
  doc.InvalidateFieldIndex();
  doc.RemoveField(field);
}

// A relative target of a link is made absolute against the base address. A link to a bookmark
// of the document itself has no target and stays as it is.
void ResolveHyperlink(TField& field, const std::string& base) {
  std::string target, bookmark;
  std::u16string tooltip;
  ParseHyperlinkInstruction(field.Instruction, target, bookmark, &tooltip);
  if (target.empty()) return;
  TURLComponents parts;
  std::string resolved;
  ResolveRelativeUrl(base, target, parts, resolved);
  if (resolved != target) field.Instruction = BuildHyperlinkInstruction(resolved, bookmark, tooltip);
}

}  // namespace

bool IsPictureBlank(const TDecodedPicture& picture) {
  const int32_t h = picture.Height;
  for (int32_t y = 0; y < h; ++y) {
    if (y >= h / 3 && y < 2 * h / 3) continue;
    for (int32_t x = 0; x < picture.Width; ++x)
      if ((picture.ColorAt(x, y) & 0xFFFFFF) != 0xFFFFFF) return false;
  }
  return true;
}

void RetrieveLinkedPictures(TDoc& doc) {
  const std::string base = DocumentRoadServices().HtmlBaseUrl();
  std::vector<TField*> pictures, links;
  for (auto& f : doc.Fields) {
    if (f->Kind != fkField) continue;
    if (f->FieldType == kIncludePictureType) pictures.push_back(f.get());
    else if (f->FieldType == ftHyperlink) links.push_back(f.get());
  }
  TPictureFetcher fetcher(doc);
  for (TField* field : pictures) RetrievePicture(doc, field, base, fetcher);
  if (!base.empty())
    for (TField* field : links) ResolveHyperlink(*field, base);
}

}  // namespace qv
