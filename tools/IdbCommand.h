// One command of the glimsel-idb tool. Each command lives in its own file and is listed
// once in idb_main.cpp.
#pragma once

#include <cstdio>

struct IdbCommand {
    const char* name;
    const char* summary;  // one line for the tool's usage
    // Runs the command with the arguments after its name; returns the exit status. A
    // request for help never reaches it: the tool prints `usage` instead.
    int (*run)(int argc, char** argv);
    // Prints the command's own usage.
    void (*usage)(FILE* out);
};

extern const IdbCommand renderCommand;
extern const IdbCommand createCommand;
extern const IdbCommand listCommand;
extern const IdbCommand extractCommand;
extern const IdbCommand checkCommand;
