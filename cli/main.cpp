// quillomat-cli: the core from a terminal. Messages go to stderr, results to files, the help
// that was asked for to stdout (so that it can be paged or searched).
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

static void PrintUsage(std::FILE* pOut)
{
    std::vector<CCliCommand> commands = CliCommands();
    std::sort(commands.begin(), commands.end(),
              [](const CCliCommand& a, const CCliCommand& b) { return a.strName < b.strName; });
    std::fprintf(pOut, "usage: quillomat-cli <command> [options]\n\ncommands:\n");
    for (const CCliCommand& command : commands)
        std::fprintf(pOut, "  %-60s %s\n", command.strUsage.c_str(), command.strSummary.c_str());
    std::fprintf(pOut, "\n'quillomat-cli <command> --help' (or 'quillomat-cli help <command>') shows a command's\n"
                       "options with their ranges and defaults.\n");
}

static bool IsHelp(const std::string& strArg)
{
    return strArg == "--help" || strArg == "-h";
}

static const CCliCommand* FindCommand(const std::string& strName)
{
    for (const CCliCommand& command : CliCommands())
        if (command.strName == strName)
            return &command;
    return nullptr;
}

static int PrintCommandHelp(const CCliCommand& command)
{
    std::printf("usage: quillomat-cli %s\n%s\n%s", command.strUsage.c_str(), command.strSummary.c_str(),
                command.strDetails.c_str());
    return CLI_OK;
}

int main(int argc, char** argv)
{
    if (argc < 2) {
        PrintUsage(stderr);
        return CLI_BAD_USAGE;
    }
    const std::string strName = argv[1];
    if (IsHelp(strName) || strName == "help") {
        if (strName == "help" && argc > 2) {
            if (const CCliCommand* pCommand = FindCommand(argv[2]))
                return PrintCommandHelp(*pCommand);
            return CliUsageError("help: unknown command '" + std::string(argv[2]) + "' (see quillomat-cli --help)");
        }
        PrintUsage(stdout);
        return CLI_OK;
    }
    if (strName == "--version") {
        std::printf("quillomat-cli %s\n", QUILLOMAT_VERSION);
        return CLI_OK;
    }
    if (const CCliCommand* pCommand = FindCommand(strName)) {
        std::vector<std::string> args(argv + 2, argv + argc);
        if (std::find_if(args.begin(), args.end(), IsHelp) != args.end())
            return PrintCommandHelp(*pCommand);
        return pCommand->fnRun(args);
    }
    return CliUsageError("unknown command '" + strName + "' (see quillomat-cli --help)");
}
