#pragma once
// Subcommands of quillomat-cli. Each command file registers itself with a static
// CCommandRegistrar, so adding a command touches no other file.
#include <functional>
#include <string>
#include <vector>

// Exit statuses shared by every subcommand.
enum : int {
    CLI_OK = 0,         // the work succeeded
    CLI_FAILED = 1,     // a file could not be read or written, or the work did not fully succeed
    CLI_BAD_USAGE = 2,  // bad arguments; a one-line message names the problem
};

struct CCliCommand {
    std::string strName;
    std::string strUsage;    // one line: "receive [--link L] [-o OUT.bmp] [--timeout SECONDS]"
    std::string strSummary;  // one line for the command list
    std::function<int(const std::vector<std::string>& args)> fnRun;  // args after the command name
    std::string strDetails = {};  // more lines for 'quillomat-cli <command> --help'
};

std::vector<CCliCommand>& CliCommands();

struct CCommandRegistrar {
    explicit CCommandRegistrar(CCliCommand command) { CliCommands().push_back(std::move(command)); }
};

// Prints "quillomat-cli: <text>" to stderr and returns CLI_BAD_USAGE.
int CliUsageError(const std::string& strText);
