// The zark program.
#include "app/program.h"

int main(int argc, char** argv) { return zark::RunProgram(argc, argv); }
