// The command line: what the arguments ask for, and what --version and --help print.
#include "app/Cmdline_un.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace {

CommandLineRequest Request(std::vector<const char*> arguments) {
    arguments.insert(arguments.begin(), "tessel");
    return RequestOf(static_cast<int>(arguments.size()), arguments.data());
}

} // namespace

TEST(CommandLine, WithoutArgumentsOrWithUnknownOnesTheCalculatorRuns) {
    EXPECT_EQ(Request({}), CommandLineRequest::RunCalculator);
    EXPECT_EQ(Request({"-x", "file.txt", "--verbose"}), CommandLineRequest::RunCalculator);
    // Only the whole option counts, not a longer word or one with a value.
    EXPECT_EQ(Request({"--versions", "--help=all", "-help", "-hv", "-V", "--"}),
              CommandLineRequest::RunCalculator);
    EXPECT_EQ(Request({""}), CommandLineRequest::RunCalculator);
}

TEST(CommandLine, VersionAndHelpAreFoundAmongOtherArguments) {
    EXPECT_EQ(Request({"--version"}), CommandLineRequest::PrintVersion);
    EXPECT_EQ(Request({"--help"}), CommandLineRequest::PrintHelp);
    EXPECT_EQ(Request({"-h"}), CommandLineRequest::PrintHelp);
    EXPECT_EQ(Request({"ignored", "--version", "ignored"}), CommandLineRequest::PrintVersion);
}

TEST(CommandLine, TheFirstOfTwoRequestsIsAnswered) {
    EXPECT_EQ(Request({"--help", "--version"}), CommandLineRequest::PrintHelp);
    EXPECT_EQ(Request({"--version", "-h"}), CommandLineRequest::PrintVersion);
}

TEST(CommandLine, NothingAfterTheEndOfOptionsIsAnOption) {
    EXPECT_EQ(Request({"--", "--version"}), CommandLineRequest::RunCalculator);
    EXPECT_EQ(Request({"--help", "--", "--version"}), CommandLineRequest::PrintHelp);
}

TEST(CommandLine, ANullArgumentEndsTheList) {
    const char* arguments[] = {"tessel", nullptr, "--help"};
    EXPECT_EQ(RequestOf(3, arguments), CommandLineRequest::RunCalculator);
}

TEST(CommandLine, VersionIsTheProgramNameAndTheProjectVersion) {
    EXPECT_EQ(VersionText(), std::string("tessel ") + TESSEL_PROJECT_VERSION + "\n");
}

TEST(CommandLine, HelpSaysWhatToPassWhereTheFilesAreAndFitsATerminal) {
    const std::string help = HelpText();
    for (const char* part : {"Usage: tessel", "--help", "--version", "config.cfg",
                             "~/.config/tessel/", "share/tessel/tex/", "man tessel"})
        EXPECT_NE(help.find(part), std::string::npos) << part;
    ASSERT_FALSE(help.empty());
    EXPECT_EQ(help.back(), '\n');
    std::istringstream lines(help);
    for (std::string line; std::getline(lines, line);) EXPECT_LE(line.size(), 80u) << line;
}
