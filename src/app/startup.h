#pragma once
// The program as a whole, from its start to its end (until the shell's start-up takes this over).
//
// Start, in this order: the foundation unit's values and the word-delimiter tables, the command
// line; the window system; the application object (which registers the message box); every real
// service; the settings store; the shared managers; the main window; the options. Then the main
// loop runs the application object's message step until it is told to terminate (the main window
// closed, or the session ended). Shut-down, in this order: the options are saved (unless a
// portable copy's drive has gone), the windows go, the shared managers are freed, the services
// go back to their stand-ins, the options holder, the application object and the window system
// are freed, and the program's temporary files are deleted.
#include <memory>
#include <string>
#include <vector>

namespace qv {

class TMainFrame;

struct TStartupOptions {
  std::vector<std::string> Arguments;  // the command line without the program itself
  bool Headless = false;               // the headless window system on its test clock (tests)
  std::string Screenshot;              // where the main window saves its image once painted
};

class TProgram {
 public:
  explicit TProgram(TStartupOptions options);
  // Shuts down whatever is still running.
  ~TProgram();
  TProgram(const TProgram&) = delete;
  TProgram& operator=(const TProgram&) = delete;

  // Everything up to the main window and the loaded options. False, with the reason on standard
  // error, when the program cannot run (no window system, no main window); what was started is
  // then shut down again.
  bool Start();
  // The main loop, until the application is told to terminate. The exit code.
  int Run();
  void ShutDown();

  bool Started() const { return started_; }
  // The main window; null once it is gone.
  TMainFrame* MainFrame() const;

 private:
  void SaveSettings();

  TStartupOptions options_;
  bool started_ = false;
  bool windowSystem_ = false;
  bool settingsSaved_ = false;
  std::unique_ptr<TMainFrame> frame_;
};

// The whole run of the program (main): the exit code.
int RunProgram(int argc, char** argv);

}  // namespace qv
