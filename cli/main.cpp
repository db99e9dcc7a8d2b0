// quillomat-cli: the core from a terminal. Messages go to stderr, results to files.
#include "cli/Commands.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

std::vector<CCliCommand>& CliCommands()
{
    static std::vector<CCliCommand> commands;
    return commands;
}

int CliUsageError(const std::string& strText)
{
    std::fprintf(stderr, "quillomat-cli: %s\n", strText.c_str());
    return CLI_BAD_USAGE;
}

static void PrintUsage()
{
    std::vector<CCliCommand> commands = CliCommands();
    std::sort(commands.begin(), commands.end(),
              [](const CCliCommand& a, const CCliCommand& b) { return a.strName < b.strName; });
    std::fprintf(stderr, "usage: quillomat-cli <command> [options]\n\ncommands:\n");
    for (const CCliCommand& command : commands)
        std::fprintf(stderr, "  %-60s %s\n", command.strUsage.c_str(), command.strSummary.c_str());
    std::fprintf(stderr, "\n'quillomat-cli <command> --help' shows a command's usage.\n");
}

int main(int argc, char** argv)
{
    if (argc < 2) {
        PrintUsage();
        return CLI_BAD_USAGE;
    }
    const std::string strName = argv[1];
    if (strName == "--help" || strName == "-h" || strName == "help") {
        PrintUsage();
        return CLI_OK;
    }
    if (strName == "--version") {
        std::printf("quillomat-cli %s\n", QUILLOMAT_VERSION);
        return CLI_OK;
    }
    for (const CCliCommand& command : CliCommands()) {
        if (command.strName != strName)
            continue;
        std::vector<std::string> args(argv + 2, argv + argc);
        if (std::find(args.begin(), args.end(), "--help") != args.end()) {
            std::fprintf(stderr, "usage: quillomat-cli %s\n%s\n%s", command.strUsage.c_str(),
                         command.strSummary.c_str(), command.strDetails.c_str());
            return CLI_OK;
        }
        return command.fnRun(args);
    }
    return CliUsageError("unknown command '" + strName + "' (see quillomat-cli --help)");
}
