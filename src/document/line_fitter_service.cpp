#include "document/line_fitter_service.h"

#include <algorithm>

#include "document/char_format.h"
#include "document/doc.h"
#include "document/line.h"
#include "document/par.h"
#include "foundation/base/service_slot.h"

namespace qv {

void TLineFitter::BeginParagraph(TPar&, const TCharFormat& format) { format_ = format; }

void TLineFitter::FitLine(TLine& line, TStreamCursor& cursor, TWrapContext*) {
  line.StreamLength = cursor.Left;
  const int32_t end = cursor.Offset + cursor.Left;
  line.Count = line.Par != nullptr ? std::max(0, line.Par->StreamOffsetToChar(end) - line.FirstChar) : 0;
  line.Positions.assign(static_cast<size_t>(line.Count) + 1, 0);
  cursor.Offset = end;
  cursor.Left = 0;
}

const TCharFormat& TLineFitter::CurrentFormat() const { return format_; }

int32_t TLineFitter::LineHeight(const TLine& line) { return line.Height; }

void TLineFitter::ComputeLineHeight(TLine& line) { line.Height = LineHeight(line); }

int32_t TLineFitter::LineIndentTwips(const TPar& par, int32_t charIndex) {
  const bool draft = par.Doc != nullptr && par.Doc->ViewMode != vmPrintLayout;
  return par.GetLineIndentTwips(charIndex, draft);
}

void RegisterLineFitter(std::unique_ptr<TLineFitter> fitter) { RegisterService(std::move(fitter)); }

TLineFitter& LineFitter() { return Service<TLineFitter>(); }

}  // namespace qv
