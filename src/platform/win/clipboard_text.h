#pragma once
// Text on the clipboard, as the edit controls cut, copy and paste it. The layer's clipboard
// service registers its implementation here (the CLIPBOARD selection under X11); until then an
// in-process clipboard holds the text, which is what the headless backend uses.
#include <functional>
#include <memory>
#include <string>

namespace plat {

class ClipboardText {
 public:
  virtual ~ClipboardText() = default;
  virtual bool HasText() const = 0;
  virtual std::u16string GetText() const = 0;
  // Replaces the whole clipboard content with the text.
  virtual void SetText(const std::u16string& text) = 0;
};

// The clipboard the controls use (the in-process one until another is registered).
ClipboardText& GetClipboardText();
// Registers the real clipboard; nullptr goes back to the in-process one.
void SetClipboardText(std::unique_ptr<ClipboardText> clipboard);

}  // namespace plat
