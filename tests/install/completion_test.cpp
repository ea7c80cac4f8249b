// The bash completion of tapwright-cli, run by bash against the built program: it
// offers what the program takes, read from its --help, never a list of its own.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "cli/graph_args.h"
#include "files/coefficient_export.h"
#include "tests/support/test_support.h"

namespace tapwright {
namespace {

using Words = std::set<std::string>;

// Standard output of `command` run by the shell; "<failed>" when it does not run.
std::string Output(const std::string& command) {
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return "<failed>";
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    return ::pclose(pipe) == 0 ? out : "<failed>";
}

Words Lines(const std::string& text) {
    Words lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        if (end > start) lines.insert(text.substr(start, end - start));
    }
    return lines;
}

class Completion : public ::testing::Test {
  protected:
    // What the completion offers for the command line "tapwright-cli WORDS...", the
    // last word being completed, in the folder `dir_`.
    Words Complete(const std::vector<std::string>& words) {
        std::string line = "COMP_WORDS=(tapwright-cli";
        for (const std::string& w : words) line += " '" + w + "'";
        line += ")\nCOMP_CWORD=" + std::to_string(words.size()) + "\n";
        const auto script = dir_.Write(
            "complete.sh", "PATH='" TAPWRIGHT_BIN_DIR "':\"$PATH\"\nsource '" TAPWRIGHT_COMPLETION
                           "'\n" +
                               line + "_tapwright_cli\nprintf '%s\\n' \"${COMPREPLY[@]}\"\n");
        const std::string out =
            Output("cd '" + dir_.path().string() + "' && bash --norc --noprofile complete.sh");
        EXPECT_NE(out, "<failed>");
        return Lines(out);
    }
    test::TempDir dir_;
};

TEST_F(Completion, OptionValuesAreWhatTheProgramTakes) {
    Words formats, graphs;
    for (int f = 0; f < kExportFormatCount; ++f) {
        formats.insert(ExportFormatDetails(static_cast<ExportFormat>(f)).name);
    }
    for (int k = 0; cli::GraphKindName(static_cast<cli::GraphKind>(k)) != nullptr; ++k) {
        graphs.insert(cli::GraphKindName(static_cast<cli::GraphKind>(k)));
    }
    ASSERT_GE(graphs.size(), 2u);
    const struct {
        std::vector<std::string> words;
        Words offered;
    } cases[] = {
        {{"export", "f.txt", "--format", ""}, formats},
        {{"plot", "f.txt", "-o", "x.png", "--graph", ""}, graphs},
        {{"report", "f.txt", "--kind", "c"}, {"coefficients"}},
        {{"report", "f.txt", "--page", ""}, {"a4", "letter"}},
        {{"report", "f.txt", "--dpi", ""}, {}},  // a number: nothing to list
        {{"export", "f.txt", "--bits", ""}, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Complete(c.words), c.offered) << c.words[c.words.size() - 2];
    }
}

TEST_F(Completion, CommandsAreThoseOfTheManPageAndEachRuns) {
    // The page's command headings: .SS "NAME FILE ...
    std::ifstream page(TAPWRIGHT_CLI_MAN_PAGE);
    Words documented;
    for (std::string line; std::getline(page, line);) {
        if (line.rfind(".SS ", 0) != 0) continue;
        const std::size_t from = line.find_first_not_of(" \"", 4);
        const std::size_t to = line.find(' ', from);
        if (from != std::string::npos && to != std::string::npos) {
            documented.insert(line.substr(from, to - from));
        }
    }
    ASSERT_GE(documented.size(), 2u);
    const Words offered = Complete({""});
    EXPECT_EQ(offered, documented);
    for (const std::string& command : offered) {
        EXPECT_EQ(Output("'" TAPWRIGHT_BIN_DIR "/tapwright-cli' " + command +
                         " 2>&1 | grep -c "
                         "'unknown command' || true"),
                  "0\n")
            << command;
    }
    EXPECT_EQ(Complete({"--he"}), Words{"--help"});
}

TEST_F(Completion, EachCommandOffersItsOwnOptions) {
    const struct {
        const char* command;
        const char* own;
        const char* foreign;
    } cases[] = {
        {"design", "-o", "--graph"},     {"export", "--format", "--graph"},
        {"measure", "--json", "--name"}, {"plot", "--hold", "--json"},
        {"picture", "-n", "--format"},   {"report", "--dpi", "--json"},
    };
    for (const auto& c : cases) {
        const Words offered = Complete({c.command, "f.txt", "-"});
        EXPECT_TRUE(offered.count(c.own)) << c.command;
        EXPECT_FALSE(offered.count(c.foreign)) << c.command;
        EXPECT_TRUE(offered.count("--help")) << c.command;
    }
}

TEST_F(Completion, FileArgumentsAreFileNamesAndDirectories) {
    dir_.Write("lowpass.txt", "x");
    std::filesystem::create_directory(dir_ / "lowframes");
    EXPECT_EQ(Complete({"design", "low"}), (Words{"lowpass.txt", "lowframes"}));
    EXPECT_EQ(Complete({"plot", "f.txt", "--hold", "lowp"}), Words{"lowpass.txt"});
    EXPECT_EQ(Complete({"picture", "f.gif", "-o", "low"}), Words{"lowframes"});
}

}  // namespace
}  // namespace tapwright
