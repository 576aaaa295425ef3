#pragma once
// What the paragraph line breaker and the line pool need of the layout's line fitting. Lines,
// their pool and the breaker belong to the document model, and the fitter to the layout above
// it: this interface is the one way a paragraph's text crosses into the layout on its way to
// lines, and the one way back for a released line to leave its box. The layout registers its
// fitter at start-up (RegisterLayoutLineFitter). The default puts the whole rest of a stream
// span on one line, which is all the model needs to count and find characters without a layout.
#include <cstdint>
#include <memory>
#include <vector>

#include "document/char_format.h"
#include "platform/gfx/types.h"

namespace qv {

class TLine;
class TPar;

// The unread rest of a paragraph's content stream.
struct TStreamCursor {
  const uint8_t* Data = nullptr;  // the whole stream
  int32_t Offset = 0;             // first unread byte
  int32_t Left = 0;               // bytes left from Offset
};

// Given to the fitter while a paragraph flows round floating shapes (twips, relative to the
// paragraph's area).
struct TWrapContext {
  std::vector<plat::Rect> Exclusions;  // where no text may go
  int32_t BandTop = 0;
  std::vector<plat::Rect> BandRects;   // one per segment of the current band
  int32_t NextFreeX = 0;               // where the next segment may start; INT32_MAX: move down
  int32_t RightLimit = 0;
  int32_t BandHeight = 0;
  int32_t MinBandHeight = 0;
  int32_t MinBandWidth = 0;
};

class TLineFitter {
 public:
  virtual ~TLineFitter() = default;

  // Starts a paragraph (or a re-break inside it) with the format in force at the first line.
  virtual void BeginParagraph(TPar& par, const TCharFormat& format);
  // Fits one line from the cursor and advances the cursor past it. With a wrap context, a line
  // that holds nothing in the band is left with stream length 0 and the context's NextFreeX
  // says where to go on. A drop-cap line (lfDropCap) is measured over the whole span and never
  // broken.
  virtual void FitLine(TLine& line, TStreamCursor& cursor, TWrapContext* wrap);
  // The character format in force at the cursor after the last FitLine.
  virtual const TCharFormat& CurrentFormat() const;
  // The line's height in twips from its metrics and the paragraph's spacing (no alignment).
  virtual int32_t LineHeight(const TLine& line);
  // Aligns a fitted line and sets its height; called once per new line.
  virtual void ComputeLineHeight(TLine& line);
  // Twips from the text area's left edge to the start of a line at the character
  // (TPar::GetLineIndentTwips in the view being laid out).
  virtual int32_t LineIndentTwips(const TPar& par, int32_t charIndex);
  // A released line still lies in a box: the box forgets it (its slot is emptied).
  virtual void DetachLine(TLine& /*line*/) {}

 protected:
  TCharFormat format_ = DefaultCharFormat;
};

// Registers the fitter (null restores the default); the registered one, never null.
void RegisterLineFitter(std::unique_ptr<TLineFitter> fitter);
TLineFitter& LineFitter();

}  // namespace qv
