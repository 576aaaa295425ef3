#pragma once
// The option blobs: the dispatcher's per-document "WritingData" and "EbookMeta" lists and the
// overused-words "LangCustomData", each a zlib stream kept as a hex blob in a key of its own.
// Decoding never raises: a damaged stream gives what was whole before the damage (nothing when
// the zlib stream itself does not inflate), and the other settings are not touched.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "foundation/settings/options_io.h"

namespace qv {

// zlib streams. Inflating stops (false) past `limit` bytes of output or at any stream error.
std::vector<uint8_t> ZlibCompress(const std::vector<uint8_t>& data);
bool ZlibDecompress(const std::vector<uint8_t>& stream, std::vector<uint8_t>& data,
                    size_t limit = size_t{256} << 20);

// Name compression of the per-document lists: each name (already in stored-path form) after the
// first that shares k >= 2 leading characters (at most 18) with the previous one is written as
// the character k + 13 followed by the rest from character k + 1.
std::vector<std::string> CompressNames(const std::vector<std::string>& names);
// Expands one name read after `previous` (the previous expanded name).
std::string ExpandName(const std::string& previous, const std::string& name);

// The record size written at the head of "WritingData".
constexpr uint16_t kWritingDataRecordSize = 12;

// Streams (uncompressed) of the two lists; names are given and returned as real paths (they are
// put in stored-path form and back). Entries whose name cannot be stored (more than 255 bytes
// after compression) are left out. Decoding sorts the list by name.
std::vector<uint8_t> EncodeWritingData(const TOptionsContext& c,
                                       std::vector<TWritingDataEntry> entries);
std::vector<TWritingDataEntry> DecodeWritingData(const TOptionsContext& c,
                                                 const std::vector<uint8_t>& stream);
std::vector<uint8_t> EncodeEbookMeta(const TOptionsContext& c,
                                     std::vector<TEbookMetaEntry> entries);
std::vector<TEbookMetaEntry> DecodeEbookMeta(const TOptionsContext& c,
                                             const std::vector<uint8_t>& stream);

// Drops, from the last entry to the first, entries whose file is gone (every absolute path in
// portable mode, else those on the program's drive) and, for writing data, entries last used
// more than 180 days before today.
void PruneWritingData(const TOptionsContext& c, std::vector<TWritingDataEntry>& entries);
void PruneEbookMeta(const TOptionsContext& c, std::vector<TEbookMetaEntry>& entries);

// Overused-words per-language data. Languages in their built-in state (first two lists empty,
// third equal to the built-in text, fourth empty) are not stored.
std::vector<uint8_t> EncodeOverusedLangData(
    const std::vector<TOverusedWordsLangData>& langs,
    const std::function<std::string(int32_t)>& builtInText);
std::vector<TOverusedWordsLangData> DecodeOverusedLangData(const std::vector<uint8_t>& stream);
// The per-language data, decoded from the stored block on first use. The block is then dropped,
// so that changes the finder makes to the list are what gets saved.
std::vector<TOverusedWordsLangData>& GetOverusedWordsLangData(TOverusedWordsOptions& options);

// Reading and writing the three blobs through a store (keys of their own under the root;
// "LangCustomData" below "OverusedWords\").
void LoadDocumentBlobs(TSettingsStorage& s, const TOptionsContext& c, TOptions& o);
void SaveDocumentBlobs(TSettingsStorage& s, const TOptionsContext& c, const TOptions& o);
void LoadLangCustomData(TSettingsStorage& s, TOverusedWordsOptions& o);
void SaveLangCustomData(TSettingsStorage& s, const TOverusedWordsOptions& o);

}  // namespace qv
