#include "Cmdline_un.h"

#include <string_view>

CommandLineRequest RequestOf(int argc, const char* const* argv) {
    for (int i = 1; i < argc && argv[i] != nullptr; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--") break;
        if (argument == "--version") return CommandLineRequest::PrintVersion;
        if (argument == "--help" || argument == "-h") return CommandLineRequest::PrintHelp;
    }
    return CommandLineRequest::RunCalculator;
}

std::string VersionText() {
    return std::string("tessel ") + TESSEL_VERSION + "\n";
}

std::string HelpText() {
    return "Usage: tessel [--help | --version]\n"
           "A pocket calculator shown as a three-dimensional object, in one window. It takes\n"
           "no other arguments; any other is ignored.\n"
           "\n"
           "  -h, --help     print this help and exit\n"
           "      --version  print the name and version and exit\n"
           "\n"
           "Settings: config.cfg in $XDG_CONFIG_HOME/tessel/ (or ~/.config/tessel/), written\n"
           "with commented defaults on the first start. The memory register is kept in\n"
           "$XDG_STATE_HOME/tessel/memory (or ~/.local/state/tessel/memory).\n"
           "Pictures: those installed beside the program, in ../share/tessel/tex/ from its\n"
           "folder. A program with none there (one run from its build tree) uses tex/ and\n"
           "config.cfg of the working folder when it holds tex/, and otherwise the pictures\n"
           "in tessel/tex/ of a folder of $XDG_DATA_DIRS.\n"
           "\n"
           "Keys beyond the calculator's own: the arrow keys turn it, Ctrl+plus and\n"
           "Ctrl+minus zoom, Home brings back the first view, Tab moves a focus mark over\n"
           "the keys and Space presses the marked one. A left drag off the keys turns it.\n"
           "The keys, the mouse and the files are described in the manual: man tessel\n";
}
