#pragma once
// The program's entry: the shell's start-up (shell/startup.h) with every service of the program
// wired in (program_services.h).
#include "shell/startup.h"

namespace qv {

// The options with the program's services to register at start-up and to put back at shutdown.
TStartupOptions WithProgramServices(TStartupOptions options);

// The whole run of the program (main): the exit code.
int RunProgram(int argc, char** argv);

}  // namespace qv
