// kavex-cli: the console front end of the replacement run.
#include "cli/ConsoleMain.h"

int main(int argc, char** argv) { return kavex::cli::RunConsole(argc, argv); }
