#include "FormatSettings.h"
#include "ExternalTools.h"
#include "TempTree.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace tarvo
{
namespace
{

    FormatSettings Separators(std::string decimal, std::string thousand = "")
    {
        FormatSettings settings;
        settings.decimalSeparator = std::move(decimal);
        settings.thousandSeparator = std::move(thousand);
        return settings;
    }

    // The expected texts below are written with "."; other separators take its place.
    std::string WithSeparator(const std::string& text, const std::string& separator)
    {
        std::string result;
        for (char c : text) {
            result += c == '.' ? separator : std::string(1, c);
        }
        return result;
    }

    const std::string kSeparators[] = { ".", ",", "\xd9\xab" /* U+066B, Arabic decimal separator */ };

    struct TextCase {
        double value;
        const char* text;
    };

    const TextCase kTextCases[] = {
        { 0.0, "0" },
        { -0.0, "0" },
        { 1.5, "1.5" },
        { 0.12, "0.12" },
        { 0.38, "0.38" },
        { 4882.81, "4882.81" },
        { 4.77, "4.77" },
        { 5120, "5120" },
        { 1e14, "100000000000000" },
        { 123456789012345, "123456789012345" },
        { 1234567890123456, "1.23456789012346E15" },
        { 1e15, "1E15" },
        { 1.5e20, "1.5E20" },
        { 0.00001, "0.00001" },
        { 0.000012345, "0.000012345" },
        { 0.000001, "1E-6" },
        { 1e-7, "1E-7" },
        { -2.5e-6, "-2.5E-6" },
        { -1.5, "-1.5" },
        { -4882.81, "-4882.81" },
        { 0.1 + 0.2, "0.3" }, // 15 digits hide the binary noise
        { 2.0 / 3.0, "0.666666666666667" },
        { 999999999999999.9, "1E15" }, // rounding carries into a sixteenth digit
        { 0.000009999999999999999, "0.00001" }, // rounds up into the fixed range
        { 1.7976931348623157e308, "1.79769313486232E308" },
        { 4.9406564584124654e-324, "4.94065645841247E-324" },
    };

    TEST(FloatToText, WritesGeneralFormatWithEverySeparator)
    {
        for (const std::string& separator : kSeparators) {
            for (const TextCase& c : kTextCases) {
                EXPECT_EQ(FloatToText(c.value, Separators(separator)), WithSeparator(c.text, separator))
                    << "value " << c.value << " separator " << separator;
            }
        }
    }

    TEST(FloatToText, NeverWritesTheThousandSeparator)
    {
        EXPECT_EQ(FloatToText(1234567.25, Separators(",", ".")), "1234567,25");
        EXPECT_EQ(FloatToText(1234567.25, Separators(".", ",")), "1234567.25");
    }

    TEST(FloatToText, NamesValuesThatAreNotNumbers)
    {
        const FormatSettings settings = FormatSettings::Invariant();
        EXPECT_EQ(FloatToText(std::numeric_limits<double>::quiet_NaN(), settings), "NAN");
        EXPECT_EQ(FloatToText(std::numeric_limits<double>::infinity(), settings), "INF");
        EXPECT_EQ(FloatToText(-std::numeric_limits<double>::infinity(), settings), "-INF");
    }

    TEST(FloatToText, IgnoresTheProcessLocale)
    {
        // C.UTF-8 is always there; what matters is that the result does not follow setlocale.
        const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
        std::setlocale(LC_NUMERIC, "C.UTF-8");
        EXPECT_EQ(FloatToText(1.5, Separators(",")), "1,5");
        EXPECT_EQ(TextToFloat("1,5", Separators(",")), 1.5);
        std::setlocale(LC_NUMERIC, previous.c_str());
    }

    struct ParseCase {
        const char* text;
        std::optional<double> value;
    };

    const ParseCase kParseCases[] = {
        { "1.5", 1.5 }, { "  4882.81\t", 4882.81 }, { "-2.5E-6", -2.5e-6 }, { "+7", 7.0 }, { "1e3", 1000.0 },
        { "1E+3", 1000.0 }, { ".5", 0.5 }, { "5.", 5.0 }, { "0", 0.0 }, { "007.50", 7.5 }, { "", std::nullopt },
        { "   ", std::nullopt }, { ".", std::nullopt }, { "-", std::nullopt }, { "-.", std::nullopt },
        { "1.2.3", std::nullopt }, { "abc", std::nullopt },
        { "1,000", std::nullopt }, // thousands separators are not numbers
        { "1 000", std::nullopt }, { "1e", std::nullopt }, { "1e+", std::nullopt }, { "e5", std::nullopt },
        { "1.5x", std::nullopt }, { "--1", std::nullopt }, { "0x10", std::nullopt },
        { "1E400", std::nullopt }, // beyond a double
    };

    TEST(TextToFloat, AcceptsOnlyPlainDecimalTexts)
    {
        for (const std::string& separator : kSeparators) {
            for (const ParseCase& c : kParseCases) {
                // "1,000" stays a thousands-separated text only where "," is not the decimal separator.
                if (separator == "," && std::string(c.text) == "1,000") {
                    continue;
                }
                EXPECT_EQ(TextToFloat(WithSeparator(c.text, separator), Separators(separator, ",")), c.value)
                    << "text '" << c.text << "' separator " << separator;
            }
        }
    }

    TEST(TextToFloat, RejectsTheOtherSeparator)
    {
        EXPECT_EQ(TextToFloat("1.5", Separators(",")), std::nullopt);
        EXPECT_EQ(TextToFloat("1,5", Separators(".")), std::nullopt);
        EXPECT_EQ(TextToFloat(",", Separators(",")), std::nullopt);
    }

    TEST(TextToFloat, ReadsWhatFloatToTextWritesForNonNumbers)
    {
        const FormatSettings settings = FormatSettings::Invariant();
        EXPECT_TRUE(std::isnan(TextToFloat("NAN", settings).value_or(0)));
        EXPECT_EQ(TextToFloat("INF", settings), std::numeric_limits<double>::infinity());
        EXPECT_EQ(TextToFloat("-INF", settings), -std::numeric_limits<double>::infinity());
    }

    TEST(FloatTextRoundTrip, HundredthsComeBackExactly)
    {
        std::mt19937_64 random(20240601);
        std::uniform_real_distribution<double> exponent(-3, 12);
        for (const std::string& separator : { std::string("."), std::string(",") }) {
            const FormatSettings settings = Separators(separator, separator == "." ? "," : ".");
            for (int i = 0; i < 20000; ++i) {
                const double raw = std::pow(10.0, exponent(random)) * (i % 2 == 0 ? 1 : -1);
                const double value = std::round(raw * 100) / 100;
                const std::string text = FloatToText(value, settings);
                ASSERT_EQ(TextToFloat(text, settings), value) << text;
            }
        }
    }

    TEST(FloatTextRoundTrip, AnyDoubleComesBackToFifteenDigits)
    {
        std::mt19937_64 random(7);
        std::uniform_real_distribution<double> exponent(-300, 300);
        const FormatSettings settings = Separators(",");
        for (int i = 0; i < 20000; ++i) {
            const double value = std::pow(10.0, exponent(random));
            const std::optional<double> back = TextToFloat(FloatToText(value, settings), settings);
            ASSERT_TRUE(back.has_value()) << FloatToText(value, settings);
            EXPECT_NEAR(*back / value, 1.0, 1e-14) << FloatToText(value, settings);
        }
    }

    struct LocaleReading {
        std::string decimalSeparator;
        std::string thousandSeparator;
        std::string processLocale; // LC_NUMERIC of the process after the reading
    };

    // FromUserLocale in a child process with the given environment: setenv is not safe beside
    // other threads, and glibc keeps the LOCPATH list of newlocale for good (a leak report).
    LocaleReading ReadUserLocale(const std::vector<std::pair<const char*, std::string>>& environment)
    {
        int channel[2];
        if (pipe(channel) != 0) {
            ADD_FAILURE() << "no pipe";
            return {};
        }
        const pid_t child = fork();
        if (child == 0) {
            close(channel[0]);
            for (const auto& [name, value] : environment) {
                setenv(name, value.c_str(), 1);
            }
            const FormatSettings settings = FormatSettings::FromUserLocale();
            const std::string message = settings.decimalSeparator + '\0' + settings.thousandSeparator + '\0'
                + std::setlocale(LC_NUMERIC, nullptr);
            const bool written
                = write(channel[1], message.data(), message.size()) == static_cast<ssize_t>(message.size());
            _exit(written ? 0 : 1);
        }
        close(channel[1]);
        std::string message;
        char buffer[256];
        for (ssize_t got; (got = read(channel[0], buffer, sizeof buffer)) > 0;) {
            message.append(buffer, static_cast<std::size_t>(got));
        }
        close(channel[0]);
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the reading child failed";

        LocaleReading reading;
        std::istringstream fields(message);
        std::getline(fields, reading.decimalSeparator, '\0');
        std::getline(fields, reading.thousandSeparator, '\0');
        std::getline(fields, reading.processLocale, '\0');
        return reading;
    }

    TEST(FromUserLocale, ReadsTheCLocale)
    {
        const LocaleReading reading = ReadUserLocale({ { "LC_ALL", "C" } });
        EXPECT_EQ(reading.decimalSeparator, ".");
        EXPECT_EQ(reading.thousandSeparator, ""); // C groups with nothing, and that is kept
    }

    TEST(FromUserLocale, FallsBackWhenTheLocaleIsMissing)
    {
        const LocaleReading reading = ReadUserLocale({ { "LC_ALL", "xx_NOWHERE.UTF-8" } });
        EXPECT_EQ(reading.decimalSeparator, ".");
        EXPECT_EQ(reading.thousandSeparator, ",");
    }

    TEST(FromUserLocale, ReadsACommaLocaleWithoutChangingTheProcess)
    {
        // Only C locales may be installed: compile a German one into a folder of our own.
        TARVO_REQUIRE_TOOL(test::Tool::tlLocaledef);
        const test::TempTree folder;
        const test::ToolResult made
            = test::RunTool(test::Tool::tlLocaledef, { "-i", "de_DE", "-f", "UTF-8", folder.Path() + "/de_DE.UTF-8" });
        ASSERT_EQ(made.exitCode, 0) << made.output;
        const LocaleReading reading
            = ReadUserLocale({ { "LOCPATH", folder.Path() }, { "LC_ALL", "de_DE.UTF-8" }, { "LANG", "C" } });
        EXPECT_EQ(reading.decimalSeparator, ",");
        EXPECT_EQ(reading.thousandSeparator, ".");
        EXPECT_EQ(reading.processLocale, "C");
    }

} // namespace
} // namespace tarvo
