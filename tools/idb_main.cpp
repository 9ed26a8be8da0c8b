// glimsel-idb: the image database and picture tool. `glimsel-idb COMMAND ...` runs one
// command; `glimsel-idb --help` lists them.
#include <cstdio>
#include <cstring>

#include "tools/IdbCommand.h"

namespace {

const IdbCommand* const kCommands[] = {
    &renderCommand,
    &createCommand,
    &listCommand,
    &extractCommand,
    &checkCommand,
};

void usage(FILE* out) {
    std::fprintf(out, "Usage: glimsel-idb COMMAND [ARGUMENTS]\n\nCommands:\n");
    for (const IdbCommand* c : kCommands) std::fprintf(out, "  %-10s %s\n", c->name, c->summary);
    std::fprintf(out, "\n'glimsel-idb COMMAND --help' describes a command.\n");
}

bool isHelpOption(const char* arg) {
    return std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        usage(stderr);
        return 2;
    }
    if (isHelpOption(argv[1])) {
        usage(stdout);
        return 0;
    }
    for (const IdbCommand* c : kCommands) {
        if (std::strcmp(argv[1], c->name) != 0) continue;
        // A request for help anywhere among a command's arguments shows its usage.
        for (int i = 2; i < argc; ++i) {
            if (isHelpOption(argv[i])) {
                c->usage(stdout);
                return 0;
            }
        }
        return c->run(argc - 2, argv + 2);
    }
    std::fprintf(stderr, "glimsel-idb: unknown command '%s'\n\n", argv[1]);
    usage(stderr);
    return 2;
}
