#pragma once
// Interface scaling and the small conversions the windows share.
//
// Every interface size is designed for an interface font whose "A" is 13 pixels high; ScaleUI
// multiplies a design size by the real height over 13 once that height is 14 or more (a smaller
// font never shrinks code-computed sizes). The interface scale is the platform's measurement of
// the interface font, taken once.
//
// Layout units: on screen a document is laid out in sixteenths of a pixel; while it is laid out
// for another device (printing) it works in device pixels, with a horizontal and a vertical scale
// in percent of the screen's pixels. The layout conversions take that state as a
// TDeviceLayoutInfo (nullptr: on screen), which the document fills from its own fields.
#include <cstdint>
#include <string>

#include "platform/controls/control.h"

namespace qv {

// The interface font's "A" height (13 at the standard setting).
int32_t InterfaceScale();
// The screen's vertical logical pixels per inch (96 at the standard setting).
int32_t ScreenPixelsPerInch();
// Tests: sets the pixels per inch the conversions use (0 restores the screen's).
void SetScreenPixelsPerInchForTests(int32_t ppi);

// n unchanged up to a scale of 13, else n * scale / 13 rounded to the nearest.
int32_t ScaleUI(int32_t n);
// The height of one-line labels, check boxes and radio buttons in panes and the message box.
int32_t SmallControlSize();

int32_t ScreenPixelsToTwips(int32_t n);
// Rounds half up for non-negative values and truncates toward zero for negative ones.
int32_t TwipsToScreenPixels(int32_t n);
int32_t TwipsToScreenPixelsZoomed(int32_t n, int32_t zoomPercent);
// The negative character height in pixels of a font of that many half-points.
int32_t HalfPointsToFontHeight(int32_t halfPoints);

// How a document is laid out: for another device with these percent scales, or on screen.
struct TDeviceLayoutInfo {
  bool ForDevice = false;
  int32_t ScaleX = 100;  // horizontal device scale, percent of the screen's pixels
  int32_t ScaleY = 100;  // vertical device scale
};

int32_t PixelsToLayoutY(int32_t a, const TDeviceLayoutInfo* doc);
int32_t LayoutToPixelsY(int32_t v, const TDeviceLayoutInfo* doc);
int32_t PixelsToLayoutX(int32_t a, const TDeviceLayoutInfo* doc);
int32_t LayoutToPixelsX(int32_t v, const TDeviceLayoutInfo* doc);
// Sixteenths of a pixel to whole pixels (on screen).
int32_t SixteenthsToPixels(int32_t v);

// True while the key is down, as the message being handled saw it.
bool IsKeyDown(uint8_t vk);
// 1 Shift, 4 Ctrl, 8 left button, 16 right button as they are now (Alt is not reported).
plat::ShiftState GetAsyncShiftState();

// Date-times are days since 30 December 1899 with the time of day as the fraction.
double EncodeDateTime(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute,
                      int32_t second);
// A number that grows with the date: year * 365 + month * 31 + day.
int32_t DateToDayIndex(double dateTime);
// "%d-%.2d-%.2dT%.2d:%.2d:%.2dZ" of the value as it is (no time-zone conversion).
void DateTimeToIso8601(double dateTime, std::string& out);
// Reads 2021-03-04T05:06:07Z, 20210304T050607 or 2021-03-04T05:06:07.123Z. False (value
// unchanged) when the text has no time part, the wrong number of digits, digits that do not
// read, or a date or time that does not exist.
bool Iso8601ToDateTime(const std::string& text, double& value);

// The folder of document backups as the options hold it.
void GetBackupFolder(std::string& out);
// Gives the control the application's cursor of that id and shows it at once.
void SetControlCursor(plat::Control& control, int32_t cursorId);

}  // namespace qv
