#include "document/doc_properties.h"

#include <memory>
#include <utility>

#include "foundation/ui/interface_scale.h"
#include "foundation/ui/std_dlg_form.h"
#include "foundation/ui/unicode_controls.h"
#include "platform/controls/label.h"

namespace qv {

namespace {

// The Document Properties dialog: seven one-line texts and the comments.
class TDocPropertiesForm : public TStdDlgForm {
 public:
  static constexpr int32_t LineCount = 7;

  TDocPropertiesForm() {
    SetCaption(u"Document Properties");
    SetPosition(plat::FormPosition::ScreenCenter);
    SetClientSize(ScaleUI(392), ScaleUI(298));
    static const char16_t* const kCaptions[LineCount] = {
        u"&Title:",   u"&Subject:",  u"&Author:",  u"&Manager:",
        u"C&ompany:", u"Cat&egory:", u"&Keywords:"};
    for (int32_t i = 0; i < LineCount; ++i) {
      Edits[i] = std::make_unique<TEditW>();
      Edits[i]->SetParent(this);
      Edits[i]->SetBounds(ScaleUI(100), ScaleUI(10 + 25 * i), ScaleUI(280), ScaleUI(21));
      Edits[i]->SetMaxLength(TDocProps::MaxTextLength);
      AddLabel(kCaptions[i], 14 + 25 * i, Edits[i].get());
    }
    CommentMemo = std::make_unique<TMemoW>();
    CommentMemo->SetParent(this);
    CommentMemo->SetBounds(ScaleUI(100), ScaleUI(185), ScaleUI(280), ScaleUI(72));
    CommentMemo->SetMaxLength(TDocProps::MaxTextLength);
    AddLabel(u"&Comments:", 189, CommentMemo.get());
    DlgButtons().Rebuild();
  }

  std::unique_ptr<TEditW> Edits[LineCount];
  std::unique_ptr<TMemoW> CommentMemo;

 private:
  void AddLabel(const char16_t* caption, int32_t top, plat::Control* focus) {
    auto label = std::make_unique<plat::Label>();
    label->SetParent(this);
    label->SetCaption(caption);
    label->SetAutoSize(true);
    label->SetBounds(ScaleUI(10), ScaleUI(top), ScaleUI(85), ScaleUI(16));
    label->SetFocusControl(focus);
    labels_.push_back(std::move(label));
  }
  std::vector<std::unique_ptr<plat::Label>> labels_;
};

// The dialog's controls cut a text to their bound; so does the record when it is filled.
std::u16string Bounded(const std::u16string& text) {
  return text.substr(0, static_cast<size_t>(TDocProps::MaxTextLength));
}

}  // namespace

std::array<std::u16string*, 8> TDocProps::Texts() {
  return {&Title, &Subject, &Author, &Manager, &Company, &Category, &Keywords, &Comments};
}

std::array<const std::u16string*, 8> TDocProps::Texts() const {
  return {&Title, &Subject, &Author, &Manager, &Company, &Category, &Keywords, &Comments};
}

void TDocProps::SwapDescriptive(TDocProps& other) {
  std::array<std::u16string*, 8> mine = Texts(), theirs = other.Texts();
  for (size_t i = 0; i < mine.size(); ++i) std::swap(*mine[i], *theirs[i]);
}

bool EditDocProperties(TDocProps& props) {
  TDocPropertiesForm form;
  std::array<std::u16string*, 8> texts = props.Texts();
  for (int32_t i = 0; i < TDocPropertiesForm::LineCount; ++i) {
    form.Edits[i]->SetTextW(Bounded(*texts[static_cast<size_t>(i)]));
  }
  form.CommentMemo->SetTextW(Bounded(props.Comments));
  if (form.ShowModal() != plat::mrOk) return false;
  for (int32_t i = 0; i < TDocPropertiesForm::LineCount; ++i) {
    *texts[static_cast<size_t>(i)] = form.Edits[i]->GetTextW();
  }
  props.Comments = form.CommentMemo->GetTextW();
  return true;
}

}  // namespace qv
