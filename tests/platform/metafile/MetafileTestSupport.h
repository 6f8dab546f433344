#pragma once

#include "ExternalTools.h"

#include <QByteArray>
#include <QFile>
#include <QGuiApplication>

#include <cstdint>
#include <vector>

namespace tarvo::test
{

// gtest_main owns main(), so the application object (fonts) is made on first use and lives
// until the program ends.
inline void EnsureApplication()
{
    if (QCoreApplication::instance() != nullptr)
        return; // made by another suite of this program
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    static int argc = 1;
    static char name[] = "tarvo_platform_gui_tests";
    static char* argv[] = { name, nullptr };
    static QGuiApplication application(argc, argv);
}

// One metafile record: its function number and the parameter words after it.
struct Rec {
    std::uint16_t function = 0;
    std::vector<std::int16_t> words;
};

// Little-endian words and double words of a metafile.
inline std::uint16_t U16(const QByteArray& bytes, qsizetype at)
{
    return static_cast<std::uint16_t>(static_cast<uchar>(bytes[at]) | static_cast<uchar>(bytes[at + 1]) << 8);
}

inline std::uint32_t U32(const QByteArray& bytes, qsizetype at)
{
    return U16(bytes, at) | std::uint32_t(U16(bytes, at + 2)) << 16;
}

// The records after both headers (22-byte placeable, 18-byte standard), EOF included.
inline std::vector<Rec> Records(const QByteArray& file)
{
    std::vector<Rec> records;
    for (qsizetype at = 22 + 18; at + 6 <= file.size();) {
        const std::uint32_t size = U32(file, at);
        Rec rec { U16(file, at + 4), {} };
        for (std::uint32_t i = 3; i < size; ++i)
            rec.words.push_back(static_cast<std::int16_t>(U16(file, at + 2 * qsizetype(i))));
        records.push_back(rec);
        at += 2 * qsizetype(size);
    }
    return records;
}

} // namespace tarvo::test
