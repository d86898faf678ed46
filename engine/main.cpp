// The dravo executable: the process entry of the engine library.
#include "engine/engine.h"

int main(int argc, char** argv) { return program_main(argc, argv); }
