#pragma once
// The tip beside the vertical scroll bar's thumb while it is dragged: the page the thumb would
// show and the heading path that governs it, so that a long document can be found by its
// outline without scrolling through it.
#include <cstdint>
#include <functional>
#include <string>

namespace qv {

class TDoc;

// The page shown at a thumb position: the row whose vertical centre is nearest the window's
// centre, clamped to the last page and moved back over pages without lines; -1 without pages.
int32_t PageAtThumb(const TDoc& doc, int32_t position, int32_t pageAreaHeight);

// Heading texts are cut to this many characters and the ellipsis character.
inline constexpr size_t kTipHeadingChars = 100;
inline constexpr char16_t kEllipsis = 0x2026;

// The tip text of the page: "Page %d" in Print Layout, then the heading path (the governing
// heading, the nearest higher-level headings before it, and the deeper headings that follow it
// on the page), one level a line, indented by seven spaces per line already written. Each line
// is cut, with the ellipsis, until its width (measured by `width`) plus 6 fits in `maxWidth`.
// `middleY` is the window's middle in view pixels.
std::u16string ThumbTipText(TDoc& doc, int32_t page, int32_t middleY, int32_t maxWidth,
                            const std::function<int32_t(const std::u16string&)>& width);

}  // namespace qv
