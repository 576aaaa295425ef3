#include "app/startup.h"

#include <utility>

#include "app/program_services.h"

namespace qv {

TStartupOptions WithProgramServices(TStartupOptions options) {
  options.RegisterServices = &RegisterProgramServices;
  options.UnregisterServices = &UnregisterProgramServices;
  return options;
}

int RunProgram(int argc, char** argv) {
  TStartupOptions options;
  for (int i = 1; i < argc; ++i) options.Arguments.emplace_back(argv[i]);
  return RunProgram(WithProgramServices(std::move(options)));
}

}  // namespace qv
