#pragma once
// What the RTF reader tests share: reading RTF from memory into a fresh document the way the
// open road does, and looking at what came out.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "document/char_format.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/par.h"
#include "files/files_test_support.h"
#include "files/open_context.h"
#include "files/reader_steps.h"
#include "files/rtf/rtf_reader.h"
#include "foundation/base/service_slot.h"
#include "foundation/ui/message_dlg_service.h"

namespace qvtest {

using namespace qv;

class RtfReaderTest : public ::testing::Test {
 protected:
  void SetUp() override { qvtest::EnsureFontManager(); }

  // Reads the RTF into a fresh document as the open road does (the text made whole, the note
  // and header stories after the main text); false when the read failed or the reader reported
  // damage.
  bool Read(const std::string& rtf) {
    ScopedService<TMessageDlgService, qvtest::ScriptedBox> box;
    doc = std::make_unique<TDoc>(true);
    bytes.assign(rtf.begin(), rtf.end());
    context = std::make_unique<TOpenContext>();
    context->Document = doc.get();
    context->BeginMemoryRead(bytes.data(), static_cast<int32_t>(bytes.size()), 0);
    if (!ReadRtf(*context)) return false;
    FinishReadText(*context);
    AppendReadStories(*context);
    messages = box->Texts;
    return messages.empty();
  }
  // The character format at a place of a main paragraph.
  TCharFormat FormatAt(int32_t par, int32_t offset) {
    TCharFormat f;
    doc->GetCharFormatAt(par, offset, f);
    return f;
  }
  std::vector<uint8_t> bytes;
  std::unique_ptr<TDoc> doc;
  std::unique_ptr<TOpenContext> context;
  std::vector<std::string> messages;
};

// The tags of a kind in a paragraph's stream, in order, as their values.
inline std::vector<int32_t> TagValues(const TPar& par, uint8_t kind) {
  std::vector<int32_t> values;
  const TMemory& s = par.Content;
  for (int32_t off = 0; off < s.Length;) {
    if (s.Data[off] == 0 && IsTagAt(s.Data, s.Length, off)) {
      const TContentTag tag = ReadTagAt(s.Data, off);
      if (tag.Kind == kind) values.push_back(tag.Value);
      off += ContentTagSize;
    } else {
      ++off;
    }
  }
  return values;
}

// The text of every paragraph of a story (without its mark).
inline std::vector<std::u16string> StoryTexts(TDoc& doc, int32_t story) {
  std::vector<std::u16string> out;
  const int32_t first = doc.FirstParagraphOfStory(story);
  for (int32_t i = first; i <= doc.LastParagraphOfStory(story); ++i) {
    TPar& par = *doc.Par(i);
    BuildParagraphWideText(par);
    std::u16string text = par.WideText;
    if (!text.empty()) text.pop_back();
    out.push_back(text);
  }
  return out;
}

}  // namespace qvtest
