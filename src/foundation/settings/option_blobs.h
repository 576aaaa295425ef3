#pragma once
// The option blobs: the dispatcher's per-document "WritingData" and "EbookMeta" lists and the
// overused-words "LangCustomData", each a zlib stream kept as a hex blob in a key of its own.
// Decoding never raises: a damaged stream gives what was whole before the damage (nothing when
// the zlib stream itself does not inflate, or passes the bounds below), and the other settings
// are not touched.
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
// the character k + 13 followed by the rest from character k + 1. A name written whole whose
// first byte would read as such a code (14 to 31), or as the escape itself, is written after the
// escape byte 0: no path holds a NUL, so blobs of earlier versions never start a name with it.
constexpr char kNameEscape = '\0';
std::vector<std::string> CompressNames(const std::vector<std::string>& names);
// Expands one name read after `previous` (the previous expanded name).
std::string ExpandName(const std::string& previous, const std::string& name);
// The bytes a name in stored-path form takes when written whole (its escape included).
size_t WholeNameSize(const std::string& storedName);

// The record size written at the head of "WritingData".
constexpr uint16_t kWritingDataRecordSize = 12;

// What the blobs can sensibly hold. A blob past these bounds is damaged: it is ignored as a
// whole and the list keeps its default (empty); the encoders leave out what would pass them, so
// every blob this program writes reads back.
// - Per-document lists: one entry a document the user worked on. Writing data is dropped after
//   180 days, so even 300 documents a day stay below 65,536 entries; the eBook data is kept only
//   for documents exported with their own metadata, far fewer.
// - "WritingData" inflates to at most the header and that many entries with the longest names
//   (1 + 255 bytes) and the 12-byte record: about 17 MB.
// - "EbookMeta": a record is ten short texts (title, author, description ...), a few kilobytes;
//   16 MB holds thousands of them with room to spare.
// - "LangCustomData": one record a language whose lists the user changed. Language ids name a
//   few hundred languages; 1,024 is every primary-language number. Its four word lists are a few
//   kilobytes each, so 16 MB is far more than all languages together need.
// Decoding also refuses the damage such bombs are made of, entries of a byte or two each: a
// record size of 0 makes the whole "WritingData" blob damaged, and an empty name ends a list.
constexpr size_t kMaxDocumentBlobEntries = 65536;
constexpr size_t kMaxWritingDataSize =
    2 + kMaxDocumentBlobEntries * (1 + 255 + kWritingDataRecordSize);
constexpr size_t kMaxEbookMetaSize = size_t{16} << 20;
constexpr size_t kMaxOverusedLanguages = 1024;
constexpr size_t kMaxLangCustomDataSize = size_t{16} << 20;

// Streams (uncompressed) of the two lists; names are given and returned as real paths (they are
// put in stored-path form and back). Entries whose name cannot be stored (more than 255 bytes
// written whole) are left out, and so are the last ones by name past the bounds above. Decoding
// sorts the list by name; it gives what was whole before damage (a record size of 0 gives
// nothing, an empty name ends the list), and nothing for a stream past the bounds.
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
// third equal to the built-in text, fourth empty) are not stored; nor are the languages past the
// bounds above. Decoding gives nothing for a stream past them.
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
