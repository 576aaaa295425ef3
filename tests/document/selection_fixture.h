#pragma once
// Documents built paragraph by paragraph for the selection, format and word tests, and a record
// of what the selection asks the view to repaint.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "document/compound_fragment.h"
#include "document/doc.h"
#include "document/selection_services.h"
#include "document/stream_builder.h"
#include "foundation/base/service_slot.h"

using namespace qv;

class TTestDoc {
 public:
  TDoc doc{true};

  // Appends a paragraph with the stream to the story; the document's first (empty) paragraph is
  // used for the first one of the main text.
  TPar& Add(const TStreamBuilder& stream, int32_t story = stMain, bool inTable = false) {
    TPar* p = nullptr;
    if (!firstUsed_ && story == stMain) {
      p = doc.Par(0);
      firstUsed_ = true;
    } else {
      p = doc.AppendParagraph(story, DefaultParFormat);
    }
    if (inTable) p->Format.InTable = 1;
    stream.Into(*p);
    return *p;
  }
  TPar& Text(const std::string& text, int32_t story = stMain) {
    return Add(TStreamBuilder().Text(text).End(), story);
  }
  // A table row of one-paragraph cells and its row-end paragraph.
  void Row(const std::vector<std::string>& cells) {
    for (const std::string& c : cells) Add(TStreamBuilder().Text(c).Tag(ctCellEnd, 0), stMain, true);
    Add(TStreamBuilder().Tag(ctRowEnd, 0), stMain, true);
  }

 private:
  bool firstUsed_ = false;
};

inline TDocRange Range(int32_t sp, int32_t so, int32_t ep, int32_t eo) {
  TDocRange r;
  MakeRange(sp, so, ep, eo, r);
  return r;
}

inline TDocPosition Pos(int32_t par, int32_t offset) {
  TDocPosition p;
  MakePosition(par, offset, p);
  return p;
}

// The ranges of a fragment as "(p,o)-(p,o)" items, for readable comparisons.
inline std::string Describe(const TCompoundFragment& f) {
  std::string s;
  char buf[64];
  for (int32_t i = 0; i < f.Count(); ++i) {
    const TDocRange& r = *f.GetRange(i);
    std::snprintf(buf, sizeof buf, "%s(%d,%d)-(%d,%d)", i > 0 ? " " : "", r.Start.Par,
                  r.Start.Offset, r.End.Par, r.End.Offset);
    s += buf;
  }
  return s;
}

// Records the repaints the selection asks for (registered with ScopedService).
class TRecordingSelectionServices : public TSelectionServices {
 public:
  std::vector<std::string> Repaints;  // "all" or the fragment's ranges
  void Repaint(TDoc& /*doc*/, const TCompoundFragment* fragment) override {
    Repaints.push_back(fragment == nullptr ? "all" : Describe(*fragment));
  }
};
