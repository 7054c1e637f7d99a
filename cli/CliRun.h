#pragma once
#include "cli/CliConsole.h"
#include "cli/CliOptions.h"

// Exit statuses of tarnwell-cli.
constexpr int kExitOk = 0;
constexpr int kExitSomeFailed = 1;
constexpr int kExitUsage = 2;

// Converts what `options` names (standard input when no file is named),
// reporting failures and progress on `console`; returns the exit status.
int RunCli(const CliOptions& options, CliConsole& console);

// The whole program after the program's name: parses, then helps or runs.
int CliMain(const std::vector<std::wstring>& args);
