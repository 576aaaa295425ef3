#include "foundation/settings/option_blobs.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <system_error>

#include "foundation/settings/option_keys.h"

namespace qv {

namespace {

// ----- little-endian byte streams ------------------------------------------------------------

void PutInt(std::vector<uint8_t>& out, int32_t v) {
  auto u = static_cast<uint32_t>(v);
  for (int k = 0; k < 4; ++k) out.push_back(static_cast<uint8_t>(u >> (8 * k)));
}

void PutBytes(std::vector<uint8_t>& out, const std::string& s) { out.insert(out.end(), s.begin(), s.end()); }

class TReader {
 public:
  explicit TReader(const std::vector<uint8_t>& data) : data_(data) {}
  bool AtEnd() const { return pos_ >= data_.size(); }
  bool Byte(uint8_t& v) {
    if (pos_ + 1 > data_.size()) return false;
    v = data_[pos_++];
    return true;
  }
  bool Word(uint16_t& v) {
    if (pos_ + 2 > data_.size()) return false;
    v = static_cast<uint16_t>(data_[pos_] | data_[pos_ + 1] << 8);
    pos_ += 2;
    return true;
  }
  bool Int(int32_t& v) {
    if (pos_ + 4 > data_.size()) return false;
    uint32_t u = 0;
    for (int k = 3; k >= 0; --k) u = u << 8 | data_[pos_ + k];
    v = static_cast<int32_t>(u);
    pos_ += 4;
    return true;
  }
  bool Bytes(size_t n, std::string& s) {
    if (n > data_.size() - pos_) return false;
    s.assign(reinterpret_cast<const char*>(data_.data()) + pos_, n);
    pos_ += n;
    return true;
  }
  // A byte-length name.
  bool Name(std::string& s) {
    uint8_t len;
    return Byte(len) && Bytes(len, s);
  }
  // A 32-bit-length text; a negative length is damage.
  bool Text(std::string& s) {
    int32_t len;
    return Int(len) && len >= 0 && Bytes(static_cast<size_t>(len), s);
  }

 private:
  const std::vector<uint8_t>& data_;
  size_t pos_ = 0;
};

// Sorts the entries by name, leaves out those whose name cannot be stored (more than 255 bytes
// written whole) and gives the names of the rest in their written (compressed) form.
template <class Entry>
std::vector<std::string> StoredNames(const TOptionsContext& c, std::vector<Entry>& entries) {
  std::erase_if(entries, [&](const Entry& e) {
    return WholeNameSize(EncodeOptionPath(c, e.Name)) > 255;
  });
  std::sort(entries.begin(), entries.end(),
            [](const Entry& a, const Entry& b) { return a.Name < b.Name; });
  std::vector<std::string> names;
  for (const auto& e : entries) names.push_back(EncodeOptionPath(c, e.Name));
  return CompressNames(names);
}

// Reads one name of a per-document list and expands it after the previous one; false at the end
// of the stream or at damage (an empty name, cut-off bytes).
bool ReadListName(TReader& r, std::string& previous) {
  std::string name;
  if (!r.Name(name)) return false;
  std::string expanded = ExpandName(previous, name);
  if (expanded.empty()) return false;
  previous = std::move(expanded);
  return true;
}

template <class Entry>
void SortByName(std::vector<Entry>& entries) {
  std::sort(entries.begin(), entries.end(),
            [](const Entry& a, const Entry& b) { return a.Name < b.Name; });
}

bool FileIsGone(const TOptionsContext& c, const std::string& name) {
  // Names that are not absolute paths (special documents) are never tested.
  if (name.empty() || name[0] != '/') return false;
  if (!c.Portable && !name.starts_with(c.ProgramDrive + "/")) return false;
  std::error_code ec;
  return !std::filesystem::exists(name, ec);
}

template <class Entry, class Extra>
void PruneFromLast(const TOptionsContext& c, std::vector<Entry>& entries, Extra dropAlso) {
  for (size_t i = entries.size(); i-- > 0;) {
    if (FileIsGone(c, entries[i].Name) || dropAlso(entries[i]))
      entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(i));
  }
}

void WriteZBlob(TSettingsStorage& s, const std::string& subPath, const std::string& name,
                const std::vector<uint8_t>& stream) {
  WriteBlob(s, subPath, name, stream.empty() ? stream : ZlibCompress(stream));
}

// The inflated stream of a blob; empty when the blob is missing, does not inflate or inflates
// past `limit`.
std::vector<uint8_t> ReadZBlob(TSettingsStorage& s, const std::string& name, size_t limit) {
  std::vector<uint8_t> stream;
  std::vector<uint8_t> blob = ReadBlob(s, "", name);
  if (blob.empty() || !ZlibDecompress(blob, stream, limit)) stream.clear();
  return stream;
}

}  // namespace

// ----- zlib ----------------------------------------------------------------------------------

std::vector<uint8_t> ZlibCompress(const std::vector<uint8_t>& data) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  std::vector<uint8_t> out(size);
  if (compress2(out.data(), &size, data.data(), static_cast<uLong>(data.size()),
                Z_DEFAULT_COMPRESSION) != Z_OK)
    return {};
  out.resize(size);
  return out;
}

bool ZlibDecompress(const std::vector<uint8_t>& stream, std::vector<uint8_t>& data, size_t limit) {
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return false;
  z.next_in = const_cast<Bytef*>(stream.data());
  z.avail_in = static_cast<uInt>(stream.size());
  std::vector<uint8_t> out;
  uint8_t chunk[16384];
  int rc = Z_OK;
  while (rc == Z_OK) {
    z.next_out = chunk;
    z.avail_out = sizeof chunk;
    rc = inflate(&z, Z_NO_FLUSH);
    if (rc != Z_OK && rc != Z_STREAM_END) break;
    out.insert(out.end(), chunk, chunk + (sizeof chunk - z.avail_out));
    if (out.size() > limit) rc = Z_MEM_ERROR;
    // No progress with input left over means a truncated stream.
    if (rc == Z_OK && z.avail_in == 0 && z.avail_out != 0) rc = Z_DATA_ERROR;
  }
  inflateEnd(&z);
  if (rc != Z_STREAM_END) return false;
  data = std::move(out);
  return true;
}

// ----- names ---------------------------------------------------------------------------------

namespace {

// A name written whole must not begin with a byte that reads back as a code or as the escape.
bool NeedsEscape(const std::string& name) {
  if (name.empty()) return false;
  auto first = static_cast<uint8_t>(name[0]);
  return name[0] == kNameEscape || (first >= 14 && first <= 31);
}

}  // namespace

size_t WholeNameSize(const std::string& storedName) {
  return storedName.size() + (NeedsEscape(storedName) ? 1 : 0);
}

std::vector<std::string> CompressNames(const std::vector<std::string>& names) {
  std::vector<std::string> out;
  for (size_t i = 0; i < names.size(); ++i) {
    const std::string& name = names[i];
    size_t k = 0;
    if (i > 0) {
      const std::string& prev = names[i - 1];
      size_t limit = std::min({prev.size(), name.size(), size_t{18}});
      while (k < limit && prev[k] == name[k]) ++k;
    }
    if (k >= 2)
      out.push_back(std::string(1, static_cast<char>(k + 13)) + name.substr(k));
    else if (NeedsEscape(name))
      out.push_back(kNameEscape + name);
    else
      out.push_back(name);
  }
  return out;
}

std::string ExpandName(const std::string& previous, const std::string& name) {
  if (name.empty()) return name;
  if (name[0] == kNameEscape) return name.substr(1);
  auto code = static_cast<uint8_t>(name[0]);
  if (code < 14 || code > 31) return name;
  size_t k = std::min<size_t>(code - 13, previous.size());
  return previous.substr(0, k) + name.substr(1);
}

// ----- the per-document lists ----------------------------------------------------------------

std::vector<uint8_t> EncodeWritingData(const TOptionsContext& c,
                                       std::vector<TWritingDataEntry> entries) {
  std::vector<uint8_t> out;
  if (entries.empty()) return out;
  out.push_back(kWritingDataRecordSize & 0xFF);
  out.push_back(kWritingDataRecordSize >> 8);
  // Names too long for their length byte are left out before compressing, so each name follows
  // the one actually written before it. Every entry then takes at most 268 bytes, so the count
  // bound also keeps the stream within its size bound.
  std::vector<std::string> names = StoredNames(c, entries);
  for (size_t i = 0; i < entries.size() && i < kMaxDocumentBlobEntries; ++i) {
    out.push_back(static_cast<uint8_t>(names[i].size()));
    PutBytes(out, names[i]);
    PutInt(out, entries[i].Data.Value1);
    PutInt(out, entries[i].Data.Value2);
    PutInt(out, entries[i].Data.DayIndex);
  }
  return out;
}

std::vector<TWritingDataEntry> DecodeWritingData(const TOptionsContext& c,
                                                 const std::vector<uint8_t>& stream) {
  std::vector<TWritingDataEntry> entries;
  if (stream.size() > kMaxWritingDataSize) return entries;
  TReader r(stream);
  uint16_t recordSize;
  if (!r.Word(recordSize) || recordSize == 0) return entries;
  std::string previous, record;
  while (!r.AtEnd() && ReadListName(r, previous) && r.Bytes(recordSize, record)) {
    if (entries.size() == kMaxDocumentBlobEntries) return {};
    uint8_t bytes[12] = {};
    std::copy_n(record.begin(), std::min<size_t>(record.size(), 12), bytes);
    auto at = [&](int i) {
      return static_cast<int32_t>(bytes[i] | bytes[i + 1] << 8 | bytes[i + 2] << 16 |
                                  static_cast<uint32_t>(bytes[i + 3]) << 24);
    };
    entries.push_back({DecodeOptionPath(c, previous), {at(0), at(4), at(8)}});
  }
  SortByName(entries);
  return entries;
}

std::vector<uint8_t> EncodeEbookMeta(const TOptionsContext& c,
                                     std::vector<TEbookMetaEntry> entries) {
  std::vector<uint8_t> out;
  std::vector<std::string> names = StoredNames(c, entries);
  size_t written = 0;
  for (size_t i = 0; i < entries.size() && written < kMaxDocumentBlobEntries; ++i) {
    // The stream stays within its bound: a record that does not fit is left out. Each name after
    // the first is compressed against the one before it, so once one is left out the rest are
    // too (a later name would expand against the wrong one).
    const size_t size = 1 + names[i].size() + 4 + entries[i].Data.size();
    if (size > kMaxEbookMetaSize - out.size()) break;
    ++written;
    out.push_back(static_cast<uint8_t>(names[i].size()));
    PutBytes(out, names[i]);
    PutInt(out, static_cast<int32_t>(entries[i].Data.size()));
    out.insert(out.end(), entries[i].Data.begin(), entries[i].Data.end());
  }
  return out;
}

std::vector<TEbookMetaEntry> DecodeEbookMeta(const TOptionsContext& c,
                                             const std::vector<uint8_t>& stream) {
  std::vector<TEbookMetaEntry> entries;
  if (stream.size() > kMaxEbookMetaSize) return entries;
  TReader r(stream);
  std::string previous, data;
  while (!r.AtEnd() && ReadListName(r, previous) && r.Text(data)) {
    if (entries.size() == kMaxDocumentBlobEntries) return {};
    const auto* bytes = reinterpret_cast<const uint8_t*>(data.data());
    entries.push_back({DecodeOptionPath(c, previous), {bytes, bytes + data.size()}});
  }
  SortByName(entries);
  return entries;
}

void PruneWritingData(const TOptionsContext& c, std::vector<TWritingDataEntry>& entries) {
  PruneFromLast(c, entries, [&](const TWritingDataEntry& e) {
    return static_cast<int64_t>(e.Data.DayIndex) < static_cast<int64_t>(c.TodayDayIndex) - 180;
  });
}

void PruneEbookMeta(const TOptionsContext& c, std::vector<TEbookMetaEntry>& entries) {
  PruneFromLast(c, entries, [](const TEbookMetaEntry&) { return false; });
}

// ----- overused words ------------------------------------------------------------------------

std::vector<uint8_t> EncodeOverusedLangData(
    const std::vector<TOverusedWordsLangData>& langs,
    const std::function<std::string(int32_t)>& builtInText) {
  std::vector<uint8_t> out;
  size_t written = 0;
  for (const auto& lang : langs) {
    const auto& l = lang.Lists;
    if (l[0].empty() && l[1].empty() && l[3].empty() && l[2] == builtInText(lang.Lang)) continue;
    size_t size = 4;
    for (const auto& text : l) size += 4 + text.size();
    if (written == kMaxOverusedLanguages) break;
    if (size > kMaxLangCustomDataSize - out.size()) continue;
    PutInt(out, lang.Lang);
    for (const auto& text : l) {
      PutInt(out, static_cast<int32_t>(text.size()));
      PutBytes(out, text);
    }
    ++written;
  }
  return out;
}

std::vector<TOverusedWordsLangData> DecodeOverusedLangData(const std::vector<uint8_t>& stream) {
  std::vector<TOverusedWordsLangData> langs;
  if (stream.size() > kMaxLangCustomDataSize) return langs;
  TReader r(stream);
  while (!r.AtEnd()) {
    TOverusedWordsLangData lang;
    bool whole = r.Int(lang.Lang);
    for (auto& text : lang.Lists) whole = whole && r.Text(text);
    if (!whole) break;
    if (langs.size() == kMaxOverusedLanguages) return {};
    langs.push_back(std::move(lang));
  }
  return langs;
}

std::vector<TOverusedWordsLangData>& GetOverusedWordsLangData(TOverusedWordsOptions& options) {
  if (!options.LangCustomDataRaw.empty()) {
    std::vector<uint8_t> stream;
    if (ZlibDecompress(options.LangCustomDataRaw, stream, kMaxLangCustomDataSize))
      options.LangData = DecodeOverusedLangData(stream);
    options.LangCustomDataRaw.clear();
  }
  return options.LangData;
}

// ----- through the store ---------------------------------------------------------------------

void LoadDocumentBlobs(TSettingsStorage& s, const TOptionsContext& c, TOptions& o) {
  o.WritingData = DecodeWritingData(c, ReadZBlob(s, "WritingData", kMaxWritingDataSize));
  o.EbookMeta = DecodeEbookMeta(c, ReadZBlob(s, "EbookMeta", kMaxEbookMetaSize));
}

void SaveDocumentBlobs(TSettingsStorage& s, const TOptionsContext& c, const TOptions& o) {
  std::vector<TWritingDataEntry> writing = o.WritingData;
  PruneWritingData(c, writing);
  WriteZBlob(s, "", "WritingData", EncodeWritingData(c, std::move(writing)));
  std::vector<TEbookMetaEntry> ebook = o.EbookMeta;
  PruneEbookMeta(c, ebook);
  WriteZBlob(s, "", "EbookMeta", EncodeEbookMeta(c, std::move(ebook)));
}

void LoadLangCustomData(TSettingsStorage& s, TOverusedWordsOptions& o) {
  o.LangCustomDataRaw = ReadBlob(s, "OverusedWords\\", "LangCustomData");
  // A block larger than any stream of the bounded size can compress to cannot inflate within
  // the bound: it is damaged, and not worth holding until the data is first used.
  if (o.LangCustomDataRaw.size() > compressBound(kMaxLangCustomDataSize)) o.LangCustomDataRaw.clear();
}

void SaveLangCustomData(TSettingsStorage& s, const TOverusedWordsOptions& o) {
  if (!o.LangCustomDataRaw.empty()) {
    WriteBlob(s, "OverusedWords\\", "LangCustomData", o.LangCustomDataRaw);
    return;
  }
  std::vector<uint8_t> stream;
  if (!o.LangData.empty()) {
    auto& services = OptionsServices();
    stream = EncodeOverusedLangData(
        o.LangData, [&](int32_t lang) { return services.OverusedBuiltInText(lang); });
  }
  WriteZBlob(s, "OverusedWords\\", "LangCustomData", stream);
}

}  // namespace qv
