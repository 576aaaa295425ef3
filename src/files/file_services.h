#pragma once
// What reading documents asks of the application shell (the status-bar progress and the
// document dispatcher's remembered password) and of the password dialogs, which need the window
// system. The stand-in shows no progress, remembers nothing and answers every password question
// with Cancel; the start-up registers the dialogs (password_forms.h), and the shell the rest.
#include <cstdint>
#include <memory>
#include <string>

namespace qv {

class TFileServices {
 public:
  virtual ~TFileServices() = default;

  // The main window's status-bar progress.
  virtual void BeginProgress(int64_t maximum, const std::string& text) {}
  virtual void SetProgressPos(int64_t position) {}
  virtual void EndProgress() {}

  // The enciphered password that the document dispatcher remembers for a file name, empty when
  // it remembers none for that name.
  virtual std::string RememberedPassword(const std::string& fileName) { return {}; }

  // The password dialogs: true and the password on OK.
  virtual bool AskPasswordForOpening(std::string& password) { return false; }
  virtual bool AskPasswordForSaving(std::string& password) { return false; }
};

void RegisterFileServices(std::unique_ptr<TFileServices> services);
TFileServices& FileServices();

}  // namespace qv
