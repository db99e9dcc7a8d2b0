// quillomat-cli: the core from a terminal. Subcommands are added as their subsystems arrive.
#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0) {
        std::fprintf(stderr, "usage: quillomat-cli <command> [options]\n");
        return argc < 2 ? 2 : 0;
    }
    std::fprintf(stderr, "quillomat-cli: unknown command '%s'\n", argv[1]);
    return 2;
}
