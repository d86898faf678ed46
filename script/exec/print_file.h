// The print file of PRINTFILE, PRINT_STRING and PRINT_VALUE: a text file in the save
// folder that scripts write values to. It stays open until the next PRINTFILE or the end
// of the game (the process exit closes it).
#pragma once

void close_print_file();
bool print_file_open();
