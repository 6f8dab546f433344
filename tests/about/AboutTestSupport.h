#pragma once

#include "SystemInfo.h"

#include <QString>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

// Failures show texts as text, not as a list of two-byte objects.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace tarvo::test
{

// A machine as a test wants it.
class FakeSystemInfo : public SystemInfo
{
public:
    ProgramVersion version { 1, 1, 2, 3 };
    std::string programFileName = "tarvo";
    std::string osName = "Debian GNU/Linux 12 (bookworm)";
    KernelVersion osVersion { 6, 1, 0 };
    MemoryStatus memory { 64ull << 20, 20ull << 20 };
    std::vector<VolumeFreeSpace> disks { { "/", 10LL << 30 } };

    [[nodiscard]] ProgramVersion Version() override { return version; }
    [[nodiscard]] std::string ProgramFileName() override { return programFileName; }
    [[nodiscard]] std::string OSName() override { return osName; }
    [[nodiscard]] KernelVersion OSVersion() override { return osVersion; }
    [[nodiscard]] MemoryStatus Memory() override { return memory; }
    [[nodiscard]] std::vector<VolumeFreeSpace> DiskFree() override { return disks; }
};

} // namespace tarvo::test
