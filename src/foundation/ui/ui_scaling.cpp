#include "foundation/ui/ui_scaling.h"

#include <cmath>
#include <cstdio>

#include "foundation/ui/application.h"
#include "foundation/settings/options_holder.h"
#include "platform/controls/control_look.h"
#include "platform/gfx/canvas.h"
#include "platform/win/keys.h"
#include "platform/win/window_system.h"

namespace qv {

namespace {

int32_t g_testPpi = 0;

// a * b / c rounded to the nearest, halves away from zero, with a 64-bit product.
int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
  if (c == 0) return -1;
  int64_t p = int64_t(a) * b;
  bool neg = (p < 0) != (c < 0);
  int64_t ap = p < 0 ? -p : p, ac = c < 0 ? -int64_t(c) : c;
  int64_t q = (ap + ac / 2) / ac;
  return int32_t(neg ? -q : q);
}

// Rounded division of a non-negative numerator: q, plus 1 when the remainder is at least half.
int32_t DivHalfUp(int64_t n, int64_t d, int64_t half) {
  int64_t q = n / d;
  return int32_t(n % d >= half ? q + 1 : q);
}

int32_t ToLayout(int32_t a, const TDeviceLayoutInfo* doc, int32_t scale) {
  if (!doc || !doc->ForDevice) return a >= 0 ? 16 * a : 16 * a - 15;
  if (scale <= 0) scale = 100;
  if (a >= 0) return DivHalfUp(int64_t(a) * scale, 100, 50);
  return 1 - DivHalfUp((1 - int64_t(a)) * scale, 100, 50);
}

int32_t FromLayout(int32_t v, const TDeviceLayoutInfo* doc, int32_t scale) {
  if (!doc || !doc->ForDevice) {
    if (v >= 0) return v / 16 + ((v & 8) ? 1 : 0);
    int64_t x = 1 - int64_t(v);
    return int32_t(1 - (x / 16 + ((x & 8) ? 1 : 0)));
  }
  if (scale <= 0) scale = 100;
  // Half a pixel is half the scale: a remainder compared with a fixed 50 would round nearly
  // every value up at scales above 100.
  int64_t half = (scale + 1) / 2;
  if (v >= 0) return DivHalfUp(int64_t(v) * 100, scale, half);
  return 1 - DivHalfUp((1 - int64_t(v)) * 100, scale, half);
}

// Days from 1 January of year 1 (proleptic Gregorian) to the date.
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;  // days since 1970-01-01
}

void CivilFromDays(int64_t z, int32_t& y, int32_t& m, int32_t& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  d = int32_t(doy - (153 * mp + 2) / 5 + 1);
  m = int32_t(mp < 10 ? mp + 3 : mp - 9);
  y = int32_t(yoe + era * 400 + (m <= 2));
}

// Days between 1899-12-30 and 1970-01-01.
constexpr int64_t kEpochShift = 25569;

struct DateTimeParts {
  int32_t year, month, day, hour, minute, second;
};

DateTimeParts Decode(double value) {
  double days = std::floor(value);
  // The fraction of a negative value still counts forward from midnight of its day.
  int64_t secs = std::llround((value - days) * 86400.0);
  int64_t dayNo = int64_t(days);
  if (secs >= 86400) {
    secs -= 86400;
    ++dayNo;
  }
  DateTimeParts p{};
  CivilFromDays(dayNo - kEpochShift, p.year, p.month, p.day);
  p.hour = int32_t(secs / 3600);
  p.minute = int32_t(secs / 60 % 60);
  p.second = int32_t(secs % 60);
  return p;
}

bool ValidDate(int32_t y, int32_t m, int32_t d) {
  if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1) return false;
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return d <= kDays[m - 1] + ((m == 2 && leap) ? 1 : 0);
}

bool AllDigits(const std::string& s) {
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return !s.empty();
}

}  // namespace

int32_t InterfaceScale() { return plat::InterfaceScale(); }

int32_t ScreenPixelsPerInch() {
  if (g_testPpi > 0) return g_testPpi;
  static const int32_t ppi = [] {
    int32_t v = plat::Canvas().DpiY();
    return v > 0 ? v : 96;
  }();
  return ppi;
}

void SetScreenPixelsPerInchForTests(int32_t ppi) { g_testPpi = ppi; }

int32_t ScaleUI(int32_t n) {
  int32_t scale = InterfaceScale();
  return scale <= 13 ? n : MulDiv(n, scale, 13);
}

int32_t SmallControlSize() { return ScaleUI(17); }

int32_t ScreenPixelsToTwips(int32_t n) { return MulDiv(n, 1440, ScreenPixelsPerInch()); }

int32_t TwipsToScreenPixels(int32_t n) {
  int64_t p = int64_t(n) * ScreenPixelsPerInch();
  int64_t q = p / 1440, r = p % 1440;
  return int32_t(r >= 720 ? q + 1 : q);
}

int32_t TwipsToScreenPixelsZoomed(int32_t n, int32_t zoomPercent) {
  int32_t zoomed = int32_t(uint32_t(n) * uint32_t(zoomPercent));  // a 32-bit product
  int64_t p = int64_t(zoomed) * ScreenPixelsPerInch();
  int64_t q = p / 144000, r = p % 144000;
  return int32_t(r >= 72000 ? q + 1 : q);
}

int32_t HalfPointsToFontHeight(int32_t halfPoints) {
  int64_t p = int64_t(halfPoints) * ScreenPixelsPerInch();
  int64_t q = p / 144, r = p % 144;
  return int32_t(r < 72 ? -q : -q - 1);
}

int32_t PixelsToLayoutY(int32_t a, const TDeviceLayoutInfo* doc) {
  return ToLayout(a, doc, doc ? doc->ScaleY : 100);
}
int32_t LayoutToPixelsY(int32_t v, const TDeviceLayoutInfo* doc) {
  return FromLayout(v, doc, doc ? doc->ScaleY : 100);
}
int32_t PixelsToLayoutX(int32_t a, const TDeviceLayoutInfo* doc) {
  return ToLayout(a, doc, doc ? doc->ScaleX : 100);
}
int32_t LayoutToPixelsX(int32_t v, const TDeviceLayoutInfo* doc) {
  return FromLayout(v, doc, doc ? doc->ScaleX : 100);
}
int32_t SixteenthsToPixels(int32_t v) { return LayoutToPixelsY(v, nullptr); }

bool IsKeyDown(uint8_t vk) { return (plat::GetKeyState(vk) & 0x8000) != 0; }

plat::ShiftState GetAsyncShiftState() {
  auto down = [](uint8_t vk) { return (plat::GetAsyncKeyState(vk) & 0x8000) != 0; };
  plat::ShiftState s = 0;
  if (down(plat::VK_SHIFT)) s |= plat::ssShift;
  if (down(plat::VK_CONTROL)) s |= plat::ssCtrl;
  if (down(plat::VK_LBUTTON)) s |= plat::ssLeft;
  if (down(plat::VK_RBUTTON)) s |= plat::ssRight;
  return s;
}

double EncodeDateTime(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute,
                      int32_t second) {
  double days = double(DaysFromCivil(year, month, day) + kEpochShift);
  double time = (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
  return days >= 0 ? days + time : days - time;
}

int32_t DateToDayIndex(double dateTime) {
  DateTimeParts p = Decode(dateTime);
  return p.year * 365 + p.month * 31 + p.day;
}

void DateTimeToIso8601(double dateTime, std::string& out) {
  DateTimeParts p = Decode(dateTime);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%d-%.2d-%.2dT%.2d:%.2d:%.2dZ", p.year, p.month, p.day, p.hour,
                p.minute, p.second);
  out = buf;
}

bool Iso8601ToDateTime(const std::string& text, double& value) {
  std::string s;
  for (char c : text)
    if (c != ':' && c != '-') s += c;
  if (s.empty()) return false;
  if (s.back() == 'Z') s.pop_back();
  size_t t = s.find('T');
  if (t == std::string::npos) return false;
  std::string date = s.substr(0, t), time = s.substr(t + 1);
  if (size_t dot = time.find('.'); dot != std::string::npos) time.resize(dot);
  if (date.size() != 8 || time.size() != 6) return false;
  // Digits that do not read give no value: the caller's old one must not pass for a result.
  if (!AllDigits(date) || !AllDigits(time)) return false;
  int32_t y = std::stoi(date.substr(0, 4)), mo = std::stoi(date.substr(4, 2)),
          d = std::stoi(date.substr(6, 2));
  int32_t h = std::stoi(time.substr(0, 2)), mi = std::stoi(time.substr(2, 2)),
          se = std::stoi(time.substr(4, 2));
  if (!ValidDate(y, mo, d) || h > 23 || mi > 59 || se > 59) return false;
  value = EncodeDateTime(y, mo, d, h, mi, se);
  return value != 0;
}

void GetBackupFolder(std::string& out) { out = GetOptionsHolder().Settings.BackupFolder; }

void SetControlCursor(plat::Control& control, int32_t cursorId) {
  plat::CursorShape shape = GetApp().GetCursor(cursorId);
  control.SetCursorShape(shape);
  if (plat::IsWindowSystemStarted()) plat::SetCursor(shape);
}

}  // namespace qv
