#include "layout/char_positions.h"

#include <algorithm>
#include <cstdlib>

#include "document/content_tags.h"
#include "document/line.h"
#include "document/par.h"
#include "layout/line_fitter.h"

namespace qv {

namespace {

int64_t FloorDiv(int64_t a, int64_t b) {
  int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

uint32_t ScaleKey(const TLayoutSettings& s) {
  return (static_cast<uint32_t>(s.DeviceScaleY) & 0xFFFFu) |
         (static_cast<uint32_t>(s.DeviceScaleX) << 16);
}

// Makes sure the paragraph's cache has room and the current key; a new key makes every line's
// widths stale.
void CheckCacheKey(TPar& par, const TLayoutSettings& s) {
  const uint32_t key = ScaleKey(s);
  const size_t size = 2 + static_cast<size_t>(std::max(0, par.CharCount()));
  const bool fresh = par.Widths.size() == size &&
                     (par.Widths[0] | (static_cast<uint32_t>(par.Widths[1]) << 16)) == key;
  if (fresh) return;
  par.Widths.assign(size, 0);
  par.Widths[0] = static_cast<uint16_t>(key & 0xFFFF);
  par.Widths[1] = static_cast<uint16_t>(key >> 16);
  for (TLine* l : par.Lines) l->Flags &= ~lfWidthsCurrent;
}

uint16_t* LineWidths(TLine& line) { return line.Par->Widths.data() + 2 + line.FirstChar; }

void MakeLineWidths(TLine& line, const TLayoutSettings& s) {
  const int64_t hs = s.DeviceScaleX > 0 ? s.DeviceScaleX : 100;
  const int64_t vs = s.DeviceScaleY > 0 ? s.DeviceScaleY : 100;
  const std::vector<int32_t>& p = line.Positions;
  const int32_t count = std::min<int32_t>(line.Count, static_cast<int32_t>(p.size()) - 1);
  line.XStart = p.empty() ? 0 : static_cast<int32_t>(p[0] * hs / vs / LayoutUnitsPerPixel);
  uint16_t* widths = LineWidths(line);
  const int32_t room = line.Par->CharCount() - line.FirstChar;
  int64_t previous = 0;
  for (int32_t i = 0; i <= count; ++i) {
    const int64_t h = static_cast<int64_t>(p[i]) * hs;
    int64_t t = FloorDiv(h, 1600);
    const bool afterTab = i > 0 && line.FirstChar + i - 1 < line.Par->CharCount() &&
                          line.Par->CodeAt(line.FirstChar + i - 1) == scTab;
    if (i == 0 || afterTab) {
      if (h - FloorDiv(h, 1600) * 1600 > 800) ++t;
    } else {
      const int64_t own = (static_cast<int64_t>(p[i] - p[i - 1]) * hs + 800) / 1600;
      int64_t f = previous;
      if (own < t - f && i >= 2 && i - 2 < room) {
        widths[i - 2] = static_cast<uint16_t>(widths[i - 2] + 1);
        ++f;
      } else if (t - f < own) {
        ++t;
      }
      previous = f;
    }
    if (i > 0 && i - 1 < room) widths[i - 1] = static_cast<uint16_t>(std::max<int64_t>(0, t - previous));
    previous = t;
  }
  line.Flags |= lfWidthsCurrent;
}

}  // namespace

int32_t GetLineCharX(TLine& line, int32_t n) {
  if (line.Par == nullptr || line.Positions.empty()) return 0;
  const TLayoutSettings& s = LayoutLineFitter().Settings;
  CheckCacheKey(*line.Par, s);
  if (!line.HasFlag(lfWidthsCurrent)) MakeLineWidths(line, s);
  n = std::clamp(n, 0, std::min(line.Count, line.Par->CharCount() - line.FirstChar));
  const uint16_t* widths = LineWidths(line);
  int64_t sum = 0;
  for (int32_t i = 0; i < n; ++i) sum += widths[i];
  const int64_t vs = s.DeviceScaleY > 0 ? s.DeviceScaleY : 100;
  if (vs == 100) return line.XStart + static_cast<int32_t>(sum);
  const int64_t scaled = sum * 100;
  return line.XStart + static_cast<int32_t>(scaled / vs + (scaled % vs >= 50 ? 1 : 0));
}

int32_t CharIndexAtX(TLine& line, int32_t x) {
  for (int32_t i = 0; i < line.Count; ++i) {
    const int32_t at = GetLineCharX(line, i);
    if (x > at) continue;
    if (i == 0) return 0;
    const int32_t before = GetLineCharX(line, i - 1);
    return (x - before < at - x) ? i - 1 : i;
  }
  const bool lastLine = line.Par != nullptr && line.FirstChar + line.Count >= line.Par->CharCount();
  return lastLine && line.Count > 0 ? line.Count - 1 : line.Count;
}

TCharRange BlockSelectionCharRange(TLine& line, int32_t x1, int32_t x2) {
  if (x1 == x2 || line.Par == nullptr) return {};
  const int32_t left = std::min(x1, x2), right = std::max(x1, x2);
  int32_t n = line.Count;
  if (n > 0 && line.FirstChar + line.Count >= line.Par->CharCount()) --n;
  TCharRange range;
  int32_t best = INT32_MAX;
  for (int32_t i = 0; i <= n; ++i) {
    const int32_t d = std::abs(GetLineCharX(line, i) - left);
    if (d <= best) {
      best = d;
      range.First = i;
    }
  }
  best = INT32_MAX;
  range.Last = range.First;
  for (int32_t i = range.First; i <= n; ++i) {
    const int32_t d = std::abs(GetLineCharX(line, i) - right);
    if (d < best) {
      best = d;
      range.Last = i;
    }
  }
  return range;
}

}  // namespace qv
