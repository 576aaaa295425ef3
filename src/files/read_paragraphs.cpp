#include "files/read_paragraphs.h"

#include <cstdlib>
#include <cstring>
#include <iterator>

#include "document/content_tags.h"
#include "document/doc.h"
#include "document/par.h"
#include "document/par_format.h"
#include "foundation/base/exceptions.h"

namespace qv {

void AppendContentTag(std::string& stream, uint8_t kind, int32_t value) {
  const uint32_t v = static_cast<uint32_t>(value);
  const char tag[ContentTagSize] = {0, static_cast<char>(kind), static_cast<char>(v & 0xFF),
                                    static_cast<char>((v >> 8) & 0xFF),
                                    static_cast<char>((v >> 16) & 0xFF),
                                    static_cast<char>(v >> 24), 1};
  stream.append(tag, ContentTagSize);
}

namespace {

// Gives the buffer a block of exactly the bytes' size: a large text is read into many paragraphs
// that mostly stay as they are, and the buffers' rounding up would nearly double their memory.
void SetExactly(TMemory& buffer, const std::string& bytes) {
  if (bytes.size() > static_cast<size_t>(TMemory::MaxLength)) throw EOutOfMemory();
  if (bytes.empty()) {
    buffer.Clear();
    return;
  }
  void* block = std::malloc(bytes.size());
  if (block == nullptr) throw EOutOfMemory();
  std::memcpy(block, bytes.data(), bytes.size());
  buffer.Attach(block, static_cast<int32_t>(bytes.size()));
}

}  // namespace

std::unique_ptr<TPar> TakeParagraph(TDoc& doc, const TParFormat& format, std::string& content,
                                    std::string& codes) {
  auto par = std::make_unique<TPar>(&doc);
  par->Format = format;
  SetExactly(par->Content, content);
  SetExactly(par->Codes, codes);
  par->ContentChanged();
  content.clear();
  codes.clear();
  return par;
}

void AddToMainText(TDoc& doc, std::vector<std::unique_ptr<TPar>>& pars) {
  int32_t at = doc.LastParagraphOfStory(stMain) + 1;
  if (doc.StoryCounts[stMain] == 1 && doc.Par(0)->CharCount() <= 1) {
    TPar& first = *doc.Par(0);
    first.Content = std::move(pars.front()->Content);
    first.Codes = std::move(pars.front()->Codes);
    first.Format = pars.front()->Format;
    first.ContentChanged();
    pars.erase(pars.begin());
    at = 1;
  }
  for (auto& p : pars) p->Doc = &doc;
  doc.Paragraphs.insert(doc.Paragraphs.begin() + at, std::make_move_iterator(pars.begin()),
                        std::make_move_iterator(pars.end()));
  doc.StoryCounts[stMain] += static_cast<int32_t>(pars.size());
  doc.ReindexParagraphs(at);
  pars.clear();
}

}  // namespace qv
