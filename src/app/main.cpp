// Entry point of the program. Starts the platform layer, shows the main frame and runs the loop.
int main(int argc, char** argv) { return 0; }
