#pragma once
// The program as a whole, from its start to its end, in a fixed order.
//
// Start: the units' values (foundation unit, word delimiters, default formats), the window
// system and the application object, every registered service, the settings store (and the
// version that wrote it), the command line and the shared character tables, the clipboard and
// autocorrect managers; then, under the top-level handler: the special modes that end the run and
// the hand-over of the command line's files to a running instance (a silent end), the hot-key
// settings, the application's title, the start sound, the shared managers, the toolbar manager,
// the main window with its menus, the Find/Replace dialog and the document dispatcher, all
// options, the start-up documents; the start-up-done message is posted and the main window shown.
// The main loop runs the application object's message step until it is told to terminate.
// Shutdown undoes it in order: the options are saved (unless a portable copy's drive has gone),
// the dispatcher closes the documents, the dialogs, managers and the main window go, the services
// go back to their stand-ins; the exit steps run the program waiting to run at exit and delete
// the temporary files.
#include <memory>
#include <string>
#include <vector>

namespace qv {

class TDocDispatcher;
class TMainForm;

struct TStartupOptions {
  std::vector<std::string> Arguments;  // the command line without the program itself
  bool Headless = false;               // the headless window system on its test clock (tests)
  std::string Screenshot;              // where the main window saves its image once painted
  // Registers the real services of every subsystem, and puts the stand-ins back (the program's
  // entry wires them; null: none).
  void (*RegisterServices)() = nullptr;
  void (*UnregisterServices)() = nullptr;
};

class TProgram {
 public:
  explicit TProgram(TStartupOptions options);
  // Shuts down whatever is still running.
  ~TProgram();
  TProgram(const TProgram&) = delete;
  TProgram& operator=(const TProgram&) = delete;

  // Everything up to the start-up documents and the start-up-done message. False when the run
  // ends here: no window system (the reason on standard error), a special mode or a hand-over to
  // a running instance (silently), or an error (shown); what was started is shut down again.
  bool Start();
  // The main loop, until the application is told to terminate. The exit code.
  int Run();
  // Shutdown and the exit steps (once).
  void ShutDown();

  bool Started() const { return started_; }
  // The exit code of a run that ended in Start: 1 when the program could not run at all.
  int StartExitCode() const { return startExitCode_; }
  // The main window; null once it is gone.
  TMainForm* MainForm() const;
  TDocDispatcher* Dispatcher() const { return dispatcher_.get(); }

 private:
  void StartUnits();
  bool StartWindowSystem();
  void ReadLastRunVersion();
  void ReadHotKeySettings();
  void CreateMainWindow();
  void ShowMainWindow();
  void OpenStartupDocuments();
  void SaveSettings();
  void CollectLiveState();
  void FreeShellObjects();
  void ExitSteps();
  void TopLevelHandler(const std::exception* e);

  TStartupOptions options_;
  bool started_ = false;
  bool windowSystem_ = false;
  bool servicesRegistered_ = false;
  bool settingsSaved_ = false;
  bool managersCreated_ = false;
  int startExitCode_ = 0;
  std::unique_ptr<TMainForm> mainForm_;
  std::unique_ptr<TDocDispatcher> dispatcher_;
};

// The whole run of the program (main): the exit code.
int RunProgram(TStartupOptions options);

}  // namespace qv
