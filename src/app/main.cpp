// Entry point of the program: the start-up, the main loop and the shut-down (app/startup.h).
#include "app/startup.h"

int main(int argc, char** argv) { return qv::RunProgram(argc, argv); }
