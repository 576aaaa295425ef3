#include "docwindow/keystroke_sounds.h"

#include "document/doc.h"
#include "docwindow/doc_form.h"
#include "docwindow/doc_window_services.h"

namespace qv {

int32_t KeystrokeSoundId(uint32_t c) {
  if (c == 32) return 12300;
  if (c >= 48 && c <= 57) return 12200 + static_cast<int32_t>(c - 48);
  if (c >= 65 && c <= 90) return 12100 + static_cast<int32_t>(c - 65);
  if (c == 96) return 12200;
  if (c >= 97 && c <= 122) return 12100 + static_cast<int32_t>(c - 97);
  return 0;
}

void PlayKeystrokeSound(TDocForm& form) {
  TDocWindowServices& services = DocWindowServices();
  const uint32_t c = form.LastKeyCode;
  int32_t id = KeystrokeSoundId(c);
  if (id != 0 && form.DocPtr() != nullptr && services.OvertypeMode()) {
    const TDoc& doc = *form.DocPtr();
    const bool beforeLast = doc.Caret.Par >= 0 && doc.Caret.Par < doc.ParCount() &&
                            doc.Caret.Offset < doc.Par(doc.Caret.Par)->CharCount() - 1;
    if (!doc.HasSelection() && beforeLast && services.HasSound(kSoundOvertyping)) id = kSoundOvertyping;
  }
  if (id != kSoundOvertyping && !services.KeystrokeSoundsEnabled()) return;
  if (id == 0 || !services.HasSound(id)) id = kSoundKeystroke;
  if (form.KeyRepeatCount > 1 && c == form.LastSoundedKey) services.SetLastSpecialEvent(id);
  services.PlayEventSound(id);
  form.LastSoundedKey = c;
}

}  // namespace qv
