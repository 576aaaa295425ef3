#pragma once
// What the font manager needs of the subsystems above it (the document dispatcher, the insert-
// symbol dialog, the encryption manager, the message box and the options). The defaults do the
// least the manager needs; the higher subsystems register the real services at start-up.
#include <cstdint>
#include <memory>
#include <string>

namespace qv {

class TFontServices {
 public:
  virtual ~TFontServices() = default;

  // Lays every open document out again after the installed fonts changed.
  virtual void RelayoutAll() {}
  // Refills the font box of the insert-symbol dialog when it is open.
  virtual void ReloadSymbolDialogFonts() {}
  // Mixes a byte into the encryption manager's entropy pool.
  virtual void AddEntropy(uint8_t /*value*/) {}
  // The option to list only the favourite fonts in font boxes.
  virtual bool ShowOnlyFavoriteFonts() { return false; }
  // "Font name cannot be blank." and the like.
  virtual void ShowInfo(const std::string& /*text*/) {}
  // Optional message 10 ("The \"%s\" font is unavailable on this system. Use this font
  // anyway?"); true for Yes.
  virtual bool ConfirmUnavailableFont(const std::string& /*face*/) { return true; }
};

// Registers the services (null restores the defaults); the registered ones, never null.
void RegisterFontServices(std::unique_ptr<TFontServices> services);
TFontServices& FontServices();

}  // namespace qv
