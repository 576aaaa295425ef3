// Tracing a wrap polygon from a picture's pixels: a contour that starts as the border of a grid
// of 2-pixel cells and is pushed inwards across background (near-white) cells until it meets the
// picture, then simplified.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "document/pictures.h"

namespace qv {

namespace {

using TPt = std::array<int32_t, 2>;

class TTracer {
 public:
  TTracer(const TDecodedPicture& pic)
      : pic_(pic), w_(pic.Width), h_(pic.Height), gw_((w_ + 1) / 2), gh_((h_ + 1) / 2),
        step_(std::min(8, std::max(2, (w_ + h_) / 200))),
        cells_(static_cast<size_t>(gw_) * static_cast<size_t>(gh_), kUnknown) {}

  std::vector<TPt> Trace() {
    std::vector<TPt> chain = Border();
    while (Pass(chain)) {}
    return Simplify(std::move(chain));
  }
  int32_t GridWidth() const { return gw_; }
  int32_t GridHeight() const { return gh_; }

 private:
  enum : uint8_t { kUnknown, kInside, kBackground, kSwept };

  bool Background(int32_t a, int32_t b) {
    if (a < 0 || b < 0 || a >= gw_ || b >= gh_) return false;
    uint8_t& c = cells_[static_cast<size_t>(b) * static_cast<size_t>(gw_) + static_cast<size_t>(a)];
    if (c == kUnknown) c = Average(a, b) >= 744 ? kBackground : kInside;
    return c == kBackground;
  }
  void Sweep(int32_t a, int32_t b) {
    cells_[static_cast<size_t>(b) * static_cast<size_t>(gw_) + static_cast<size_t>(a)] = kSwept;
  }
  int64_t Average(int32_t a, int32_t b) const {
    const int32_t x0 = std::max(0, 2 * a - step_ / 2), x1 = std::min(w_, 2 * a + step_ / 2 + 2);
    const int32_t y0 = std::max(0, 2 * b - step_ / 2), y1 = std::min(h_, 2 * b + step_ / 2 + 2);
    int64_t sum = 0, n = 0;
    for (int32_t y = y0; y < y1; ++y)
      for (int32_t x = x0; x < x1; ++x, ++n) {
        const uint32_t c = pic_.ColorAt(x, y);
        sum += (c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF);
      }
    return n == 0 ? 0 : sum / n;
  }

  std::vector<TPt> Border() const {
    std::vector<TPt> pts;
    for (int32_t y = 0; y <= gh_; ++y) pts.push_back({0, y});
    for (int32_t x = 1; x <= gw_; ++x) pts.push_back({x, gh_});
    for (int32_t y = gh_ - 1; y >= 0; --y) pts.push_back({gw_, y});
    for (int32_t x = gw_ - 1; x >= 1; --x) pts.push_back({x, 0});
    return pts;
  }

  // One pass over the edges; whether any moved.
  bool Pass(std::vector<TPt>& chain) {
    bool moved = false;
    std::vector<TPt> out;
    out.reserve(chain.size() + 16);
    out.push_back(chain[0]);
    size_t i = 0;
    while (i + 1 < chain.size()) {
      const TPt p = out.back(), n = chain[i + 1];
      int32_t dx = 0, dy = 0, ca = 0, cb = 0;
      if (p[0] == n[0] && p[1] != n[1]) {
        const int32_t y = std::min(p[1], n[1]);
        if (Background(p[0] - 1, y)) dx = -1, ca = p[0] - 1, cb = y;
        else if (Background(p[0], y)) dx = 1, ca = p[0], cb = y;
      } else if (p[1] == n[1] && p[0] != n[0]) {
        const int32_t x = std::min(p[0], n[0]);
        if (Background(x, p[1] - 1)) dy = -1, ca = x, cb = p[1] - 1;
        else if (Background(x, p[1])) dy = 1, ca = x, cb = p[1];
      }
      if (dx == 0 && dy == 0) {
        out.push_back(n);
        ++i;
        continue;
      }
      moved = true;
      Sweep(ca, cb);
      const TPt p2{p[0] + dx, p[1] + dy}, n2{n[0] + dx, n[1] + dy};
      if (out.size() >= 2 && out[out.size() - 2] == p2) out.pop_back();
      else out.push_back(p2);
      out.push_back(n2);
      if (i + 2 < chain.size() && chain[i + 2] == n2) {
        i += 2;  // the successor already lies there: N goes
      } else {
        out.push_back(n);
        ++i;
      }
    }
    chain = std::move(out);
    return moved;
  }

  // Removes repeated points and spikes (a point whose neighbours coincide), in one pass with a
  // stack so that long contours stay linear; the first and last point stay.
  static void RemoveRedundant(std::vector<TPt>& pts) {
    if (pts.size() < 3) return;
    const TPt last = pts.back();
    std::vector<TPt> out;
    out.reserve(pts.size());
    for (size_t i = 0; i + 1 < pts.size(); ++i) {
      out.push_back(pts[i]);
      for (bool again = true; again;) {
        again = false;
        if (out.size() >= 2 && out[out.size() - 1] == out[out.size() - 2]) {
          out.pop_back();
          again = true;
        } else if (out.size() >= 3 && out[out.size() - 1] == out[out.size() - 3]) {
          out.resize(out.size() - 2);
          again = true;
        }
      }
    }
    while (out.size() >= 2 && (out.back() == last || out[out.size() - 2] == last)) out.pop_back();
    out.push_back(last);
    pts = std::move(out);
  }

  // The same on the chain taken as closed: the start of the chain is a corner of the grid that
  // no edge moves, and would otherwise stay as a spike out to that corner.
  static void RemoveRedundantCyclic(std::vector<TPt>& pts) {
    RemoveRedundant(pts);
    bool changed = true;
    while (changed && pts.size() >= 3) {
      changed = false;
      const size_t n = pts.size();
      for (const size_t i : {size_t{0}, n - 1}) {
        const TPt& prev = pts[(i + n - 1) % n];
        const TPt& next = pts[(i + 1) % n];
        if (prev == next || prev == pts[i]) {
          pts.erase(pts.begin() + static_cast<std::ptrdiff_t>(i));
          changed = true;
          break;
        }
      }
    }
  }

  static int64_t Dist2(const TPt& p, const TPt& a, const TPt& b) {
    const int64_t vx = b[0] - a[0], vy = b[1] - a[1], wx = p[0] - a[0], wy = p[1] - a[1];
    const int64_t len = vx * vx + vy * vy;
    if (len == 0) return wx * wx + wy * wy;
    const double t = std::clamp(static_cast<double>(wx * vx + wy * vy) / static_cast<double>(len), 0.0, 1.0);
    const double dx = static_cast<double>(wx) - t * static_cast<double>(vx);
    const double dy = static_cast<double>(wy) - t * static_cast<double>(vy);
    return static_cast<int64_t>(dx * dx + dy * dy);
  }

  void Reduce(const std::vector<TPt>& pts, size_t from, size_t to, std::vector<char>& keep) const {
    // Iterative, so that long contours cannot exhaust the stack.
    std::vector<std::pair<size_t, size_t>> spans{{from, to}};
    while (!spans.empty()) {
      const auto [a, b] = spans.back();
      spans.pop_back();
      int64_t best = -1;
      size_t at = a;
      for (size_t i = a + 1; i < b; ++i) {
        const int64_t d = Dist2(pts[i], pts[a], pts[b]);
        if (d > best) best = d, at = i;
      }
      if (best > step_) {
        keep[at] = 1;
        spans.push_back({a, at});
        spans.push_back({at, b});
      }
    }
  }

  std::vector<TPt> Simplify(std::vector<TPt> pts) const {
    RemoveRedundantCyclic(pts);
    if (pts.size() < 3) return {};
    pts.push_back(pts.front());
    std::vector<char> keep(pts.size(), 0);
    keep.front() = keep.back() = 1;
    Reduce(pts, 0, pts.size() - 1, keep);
    std::vector<TPt> out;
    for (size_t i = 0; i < pts.size(); ++i)
      if (keep[i]) out.push_back(pts[i]);
    RemoveRedundant(out);
    return out;
  }

  const TDecodedPicture& pic_;
  int32_t w_, h_, gw_, gh_, step_;
  std::vector<uint8_t> cells_;
};

int32_t Scale(int32_t v, int32_t span) {
  const int64_t r = (int64_t{v} * 21600 * 2 + span) / (2 * int64_t{span});
  return static_cast<int32_t>(std::clamp<int64_t>(r, 0, 21600));
}

}  // namespace

std::vector<std::array<int32_t, 2>> TDocGraphic::TraceWrapPolygon() {
  std::vector<TPt> result;
  const bool wasUnloaded = Unloaded();
  SetUnloaded(false);
  if (const TDecodedPicture* pic = Decoded(); pic != nullptr && pic->Width > 0 && pic->Height > 0) {
    TTracer tracer(*pic);
    const std::vector<TPt> pts = tracer.Trace();
    if (pts.size() > 2)
      for (const TPt& p : pts) result.push_back({Scale(p[0], tracer.GridWidth()), Scale(p[1], tracer.GridHeight())});
  }
  if (wasUnloaded && IsPictureMemoryOverLimit()) SetUnloaded(true);
  if (result.empty()) result = {TPt{21600, 0}, TPt{21600, 21600}, TPt{0, 21600}, TPt{0, 0}};
  return result;
}

}  // namespace qv
