// Fuzz target: any byte sequence handed to the screenplay loader must give
// either steps or an error text, never a crash, a hang or a leak.
#include "GuiDemoRunner.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static GuiDemoRunner runner(nullptr);
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (runner.loadFromString(text)) {
        // Every accepted step has a known command and a positive line number.
        for (const auto& step : runner.steps()) {
            if (step.line < 1 || static_cast<int>(step.command) < 0 ||
                static_cast<int>(step.command) > static_cast<int>(GuiDemoRunner::Command::Finish))
                __builtin_trap();
        }
        if (!runner.error().empty()) __builtin_trap();
    } else {
        if (runner.error().rfind("Zeile ", 0) != 0 || !runner.steps().empty()) __builtin_trap();
    }
    return 0;
}
