// The command line. The calculator itself takes no arguments; --version and --help (or -h) are
// answered on standard output, without a display and without touching any file, and every
// other argument is ignored.
#pragma once

#include <string>

enum class CommandLineRequest { RunCalculator, PrintVersion, PrintHelp };

// What the arguments after the program's name ask for: the first of --version, --help and -h
// among them (none after "--", which ends the options), or the calculator.
CommandLineRequest RequestOf(int argc, const char* const* argv);

// "tessel " and the version, on a line.
std::string VersionText();
// What the program is, what it takes, where it keeps its settings and finds its pictures, and
// where the rest is told.
std::string HelpText();
