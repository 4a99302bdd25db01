// The program's start: command line, log redirection, banner, screenplay search,
// absolute file arguments and change of directory (runEntryPoint), then the
// application itself through EntryHooks. main() and test fixture executables
// call runEntryPoint with their own hooks, so the start-up code exists once.
// Also declares Logger, the application's convenience writer to the debug log.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "CommandLine.h"

// What the start-up has prepared when the application takes over.
struct EntryContext {
    // The raw command line, for options that the GUI engine reads itself
    // (GuiEngine::takeCommandLineOptions takes argc by reference).
    int argc = 0;
    char** argv = nullptr;
    CommandLine commandLine;
    // The flag "--testmode" was given.
    bool testMode = false;
    // Value of "--log" (empty: none).
    std::string logFile;
    // Directory of the executable, now also the working directory; empty when
    // it could not be determined.
    std::filesystem::path executableDir;
    // Absolute path of the screenplay to play ("--demo", or the default
    // screenplay in test mode); empty when there is none.
    std::string screenplay;
    // The plain arguments made absolute against the starting directory, in order.
    std::vector<std::string> files;

    EntryContext(int argcIn, char** argvIn) : argc(argcIn), argv(argvIn), commandLine(argcIn, argvIn) {}
};

// How the start-up hands over to the application.
struct EntryHooks {
    // Builds and runs the application: create the application object (a
    // GuiEngine subclass, owned by this function), let it take its command-line
    // options, check the file arguments, load the diagram, attach and load the
    // screenplay runner, run the main loop, destroy the application object and
    // turn the runner's final state into the exit code, which it returns.
    // Called after the working directory has changed to the executable's
    // directory. A corekit::Error escaping from it is written as an error line
    // of the debug log and makes the exit code 1.
    // Left empty while the application cannot be built: runEntryPoint then
    // ends after the start-up with an info line (exit code 0, in test mode 1,
    // since no screenplay was played).
    std::function<int(EntryContext&)> runApplication;
};

// Runs the whole start-up and then hooks.runApplication; returns the process
// exit code: 0 for "--help", 2 for an invalid call (test mode without a
// screenplay), else the application's code.
int runEntryPoint(int argc, char** argv, const EntryHooks& hooks);

// The usage text printed by "--help".
extern const char* const kUsageText;

// Writes one debug-log line from the entry module. The message is formatted
// with printf rules into a 1024-byte buffer (at most 1022 characters; longer
// messages are cut). Level 0 writes nothing; level -1 writes a line without a
// prefix whenever the filter is not zero; other levels are written when the
// debug filter passes them.
void Logger(int level, const char* fmt, ...) __attribute__((format(printf, 2, 3)));
// The same as an info call with the text as the message, written literally.
void Logger(const std::string& text);
