#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarvo::test
{

// The programs outside the project that tests hand pictures to.
enum class Tool {
    tlWmf2gd, // libwmf's renderer: needs libwmf's fonts as well
    tlConvert, // ImageMagick, with its metafile reader
    tlPython3, // runs the strict metafile checker
    tlLocaledef, // builds a locale from glibc's locale sources
    tlPdftoppm, // poppler: a PDF page as a picture
    tlPdfinfo, // poppler: a PDF's pages and title
    tlPdftotext, // poppler: the text of a PDF
    tlXmllint, // libxml2: whether a file is well-formed XML
};

// Empty when the tool works on this machine; else one line saying what failed and which Debian
// packages to install. Each tool is tried once per test program, on a tiny real job (wmf2gd
// renders a one-rectangle metafile), so a broken install fails as clearly as a missing one.
[[nodiscard]] const std::string& ToolProblem(Tool tool);

// The program to start for the tool ("/usr/bin/convert": another convert may come first on PATH).
[[nodiscard]] const char* ToolProgram(Tool tool);

// True under CI, where nothing may be skipped for want of a tool or of the metafile checker.
[[nodiscard]] bool UnderCi();

struct ToolResult {
    int exitCode = -1; // -1 when the program could not run
    std::string output; // standard output, then standard error
};

// Runs the tool without a shell.
[[nodiscard]] ToolResult RunTool(Tool tool, const std::vector<std::string>& arguments);

// Empty when the strict metafile checker (a script beside the repository) can run; else why not.
[[nodiscard]] std::string CheckerProblem();

// The strict checker's verdict on a metafile: empty when valid, its report otherwise.
[[nodiscard]] std::string StrictCheck(const std::string& wmfFile);

// For tests whose main subject is something else: the file must pass the checker where it can
// run; under CI a checker that cannot run fails the test.
void ExpectStrictlyValid(const std::string& wmfFile);

// A tool the test cannot do without: its absence fails the test with the install hint.
#define TARVO_REQUIRE_TOOL(tool)                                                                                       \
    do {                                                                                                               \
        if (const std::string& tarvoProblem = ::tarvo::test::ToolProblem(tool); !tarvoProblem.empty())                 \
            FAIL() << tarvoProblem;                                                                                    \
    } while (false)

// The strict checker: fails under CI when it cannot run, skips (saying why) in a clone that lacks it.
#define TARVO_REQUIRE_CHECKER()                                                                                        \
    do {                                                                                                               \
        if (const std::string tarvoProblem = ::tarvo::test::CheckerProblem(); !tarvoProblem.empty()) {                 \
            if (::tarvo::test::UnderCi())                                                                              \
                FAIL() << tarvoProblem;                                                                                \
            GTEST_SKIP() << tarvoProblem;                                                                              \
        }                                                                                                              \
    } while (false)

} // namespace tarvo::test
