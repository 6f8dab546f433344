#include "ExternalTools.h"

#include "TempTree.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <mutex>
#include <sys/stat.h>

namespace tarvo::test
{

namespace
{

    // A placeable metafile that fills a 10 × 10 square red: the smallest real job for a reader.
    constexpr std::array<std::uint8_t, 110> kOneRectangle = {
        0xD7, 0xCD, 0xC6, 0x9A, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x0A, 0x00, 0x0A, 0x00, 0x60, 0x00, // placeable
        0x00, 0x00, 0x00, 0x00, 0x71, 0x57, //
        0x01, 0x00, 0x09, 0x00, 0x00, 0x03, 0x2C, 0x00, 0x00, 0x00, 0x01, 0x00, 0x07, 0x00, 0x00, 0x00, // header
        0x00, 0x00, //
        0x05, 0x00, 0x00, 0x00, 0x0B, 0x02, 0x00, 0x00, 0x00, 0x00, // SetWindowOrg 0, 0
        0x05, 0x00, 0x00, 0x00, 0x0C, 0x02, 0x0A, 0x00, 0x0A, 0x00, // SetWindowExt 10, 10
        0x07, 0x00, 0x00, 0x00, 0xFC, 0x02, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, // solid red brush
        0x04, 0x00, 0x00, 0x00, 0x2D, 0x01, 0x00, 0x00, // SelectObject 0
        0x07, 0x00, 0x00, 0x00, 0x1B, 0x04, 0x0A, 0x00, 0x0A, 0x00, 0x00, 0x00, 0x00, 0x00, // Rectangle
        0x04, 0x00, 0x00, 0x00, 0xF0, 0x01, 0x00, 0x00, // DeleteObject 0
        0x03, 0x00, 0x00, 0x00, 0x00, 0x00, // EOF
    };

    // A one-page PDF of 10 × 10 points with nothing on it.
    constexpr const char* kEmptyPage = "%PDF-1.4\n1 0 obj\n<< /Type /Catalog /Pages 2 0 R >>\nendobj\n2 0 obj\n"
                                       "<< /Type /Pages /Kids [3 0 R] /Count 1 >>\nendobj\n3 0 obj\n"
                                       "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 10 10] >>\nendobj\nxref\n0 4\n"
                                       "0000000000 65535 f \n0000000009 00000 n \n0000000058 00000 n \n"
                                       "0000000115 00000 n \ntrailer\n<< /Size 4 /Root 1 0 R >>\nstartxref\n184\n"
                                       "%%EOF\n";

    [[nodiscard]] bool IsNonEmptyFile(const std::string& path)
    {
        struct stat info = {};
        return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0;
    }

    [[nodiscard]] std::string FirstLine(const std::string& text)
    {
        const std::size_t end = text.find('\n');
        return end == std::string::npos ? text : text.substr(0, end);
    }

    // Runs the job and returns "" or the failure with its first line of output.
    [[nodiscard]] std::string Try(const std::vector<std::string>& argv, const std::string& expectedOutput)
    {
        int exitCode = -1;
        std::string errors;
        const std::string output = RunProgram(argv, &exitCode, &errors);
        if (exitCode == 0 && (expectedOutput.empty() || IsNonEmptyFile(expectedOutput)))
            return {};
        const std::string said = FirstLine(errors.empty() ? output : errors);
        return argv.front() + (exitCode < 0 ? " cannot be started" : " failed")
            + (said.empty() ? "" : " (" + said + ")");
    }

    [[nodiscard]] std::string Check(Tool tool)
    {
        const TempTree folder;
        const std::string wmf = folder.Path() + "/one-rectangle.wmf";
        const std::string png = folder.Path() + "/one-rectangle.png";
        std::ofstream(wmf, std::ios::binary)
            .write(reinterpret_cast<const char*>(kOneRectangle.data()),
                static_cast<std::streamsize>(kOneRectangle.size()));
        const std::string pdf = folder.Path() + "/empty.pdf";
        std::ofstream(pdf, std::ios::binary) << kEmptyPage;
        std::string problem;
        std::string packages;
        switch (tool) {
        case Tool::tlWmf2gd:
            problem = Try({ ToolProgram(tool), "-t", "png", "-o", png, wmf }, png);
            packages = "libwmf-bin fonts-urw-base35";
            break;
        case Tool::tlConvert:
            problem = Try({ ToolProgram(tool), "-density", "96", wmf, png }, png);
            packages = "imagemagick libmagickcore-6.q16-6-extra";
            break;
        case Tool::tlPython3:
            problem = Try({ ToolProgram(tool), "-c", "import sys" }, {});
            packages = "python3";
            break;
        case Tool::tlPdftoppm:
            problem = Try({ ToolProgram(tool), "-png", "-singlefile", pdf, folder.Path() + "/page" },
                folder.Path() + "/page.png");
            packages = "poppler-utils";
            break;
        case Tool::tlPdfinfo:
            problem = Try({ ToolProgram(tool), pdf }, {});
            packages = "poppler-utils";
            break;
        case Tool::tlPdftotext:
            problem = Try({ ToolProgram(tool), pdf, folder.Path() + "/empty.txt" }, {});
            packages = "poppler-utils";
            break;
        case Tool::tlXmllint: {
            const std::string xml = folder.Path() + "/one.xml";
            std::ofstream(xml) << "<svg/>\n";
            problem = Try({ ToolProgram(tool), "--noout", xml }, {});
            packages = "libxml2-utils";
            break;
        }
        case Tool::tlLocaledef:
            problem = Try({ ToolProgram(tool), "-i", "de_DE", "-f", "UTF-8", folder.Path() + "/de_DE.UTF-8" },
                folder.Path() + "/de_DE.UTF-8/LC_NUMERIC");
            packages = "locales";
            break;
        }
        return problem.empty() ? problem : problem + ": install the Debian package(s) " + packages;
    }

} // namespace

const char* ToolProgram(Tool tool)
{
    switch (tool) {
    case Tool::tlWmf2gd:
        return "wmf2gd";
    case Tool::tlConvert:
        return "/usr/bin/convert";
    case Tool::tlPython3:
        return "python3";
    case Tool::tlLocaledef:
        return "localedef";
    case Tool::tlPdftoppm:
        return "pdftoppm";
    case Tool::tlPdfinfo:
        return "pdfinfo";
    case Tool::tlPdftotext:
        return "pdftotext";
    case Tool::tlXmllint:
        return "xmllint";
    }
    return "";
}

const std::string& ToolProblem(Tool tool)
{
    static std::mutex mutex;
    static std::map<Tool, std::string> known;
    const std::lock_guard lock(mutex);
    auto found = known.find(tool);
    if (found == known.end())
        found = known.emplace(tool, Check(tool)).first;
    return found->second;
}

bool UnderCi()
{
    const char* ci = std::getenv("CI");
    return ci != nullptr && *ci != '\0';
}

ToolResult RunTool(Tool tool, const std::vector<std::string>& arguments)
{
    std::vector<std::string> argv { ToolProgram(tool) };
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    ToolResult result;
    std::string errors;
    result.output = RunProgram(argv, &result.exitCode, &errors);
    result.output += errors;
    return result;
}

std::string CheckerProblem()
{
    if (!IsNonEmptyFile(TARVO_WMFCHECK_SCRIPT))
        return std::string("the strict metafile checker ") + TARVO_WMFCHECK_SCRIPT
            + " is missing (it lives beside the repository, in shared/tools)";
    return ToolProblem(Tool::tlPython3);
}

std::string StrictCheck(const std::string& wmfFile)
{
    const ToolResult result = RunTool(Tool::tlPython3, { TARVO_WMFCHECK_SCRIPT, "check", wmfFile });
    return result.exitCode == 0 ? std::string() : result.output;
}

void ExpectStrictlyValid(const std::string& wmfFile)
{
    if (const std::string problem = CheckerProblem(); !problem.empty()) {
        if (UnderCi())
            ADD_FAILURE() << problem;
        return;
    }
    EXPECT_EQ(StrictCheck(wmfFile), "") << wmfFile;
}

} // namespace tarvo::test
