// Fuzz target: a ".mo" image of any content is either registered as a catalog
// or refused; the parser never reads outside the image, crashes or hangs.
// An accepted image is then looked up with a few texts taken from the input.
#include <cstddef>
#include <cstdint>
#include <string>

#include "corekitc.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool initialized = false;
    if (!initialized) {
        ckTrSetLanguage("de_DE");
        initialized = true;
    }
    if (ckTrAddMoData("fuzz", "de", data, size)) {
        // Texts of the image itself, so that existing entries are hit too.
        for (size_t start = 0; start + 1 < size && start < 256; start += 37) {
            std::string msgid(reinterpret_cast<const char*>(data) + start, size - start < 16 ? size - start : 16);
            ckTrD("fuzz", msgid.c_str());
        }
        // Catalogs are never freed; forget the registrations so that lookups
        // stay cheap over millions of runs.
        static unsigned runs = 0;
        if (++runs % 1000 == 0) {
            ckTrReset();
            ckTrSetLanguage("de_DE");
        }
    }
    return 0;
}
