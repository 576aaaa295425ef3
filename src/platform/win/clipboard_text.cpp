#include "platform/win/clipboard_text.h"

namespace plat {
namespace {

class InProcessClipboard : public ClipboardText {
 public:
  bool HasText() const override { return has_; }
  std::u16string GetText() const override { return text_; }
  void SetText(const std::u16string& text) override {
    text_ = text;
    has_ = true;
  }

 private:
  std::u16string text_;
  bool has_ = false;
};

std::unique_ptr<ClipboardText>& Current() {
  static std::unique_ptr<ClipboardText> c = std::make_unique<InProcessClipboard>();
  return c;
}

}  // namespace

ClipboardText& GetClipboardText() { return *Current(); }

void SetClipboardText(std::unique_ptr<ClipboardText> clipboard) {
  Current() = clipboard ? std::move(clipboard) : std::make_unique<InProcessClipboard>();
}

}  // namespace plat
