// tarvo-scan: the folder scanner on the command line. Everything but the wiring lives in
// ScanReport, where the tests reach it.
#include "ScanReport.h"

#include <exception>
#include <iostream>

int main(int argc, char** argv)
{
    try {
        const std::vector<std::string> arguments(argv + 1, argv + argc);
        const auto fileSystem = tarvo::MakeHostFileSystem();
        return tarvo::RunTarvoScan(arguments, *fileSystem, std::cout, std::cerr);
    } catch (const std::exception& error) {
        std::cerr << "tarvo-scan: " << error.what() << '\n';
        return 1;
    }
}
