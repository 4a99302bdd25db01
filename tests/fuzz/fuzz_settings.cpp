// Fuzz target: arbitrary bytes as "velmaris.ini". Loading, rewriting at start
// and writing at exit must never crash, whatever the file holds.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "Settings.h"
#include "corekitc.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool ready = false;
    if (!ready) {
        char pattern[] = "/tmp/velmaris-fuzz-settings-XXXXXX";
        if (!mkdtemp(pattern) || chdir(pattern) != 0)
            std::abort();
        ckSetDebugFilter(0);
        ready = true;
    }
    FILE* file = std::fopen("velmaris.ini", "wb");
    if (!file)
        std::abort();
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    Settings* settings = new Settings();
    delete settings;
    return 0;
}
