// Writes the six settings of a close over and over, as the window writes them, round n giving
// every key the value n (counting from FIRST), until it is killed: the forced-kill test checks
// that no kill ever leaves a file that lost a key or mixes two rounds.

#include "IniStuff.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fputs("usage: tarvo_settings_writer FILE FIRST\n", stderr);
        return 2;
    }
    try {
        for (int round = std::atoi(argv[2]);; ++round) {
            tarvo::IniWriteBatch batch;
            for (const char* key : { "left", "width", "top", "height" })
                batch.WriteInteger("Bounds", key, round);
            batch.WriteInteger("Page", "TabSheet", round);
            batch.WriteString("LastDir", "Start with", std::to_string(round));
            batch.Commit(argv[1]);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}
