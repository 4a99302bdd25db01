// The application part of the start, shared by the program and by test fixture
// programs: build the application object, let it take its command-line options,
// check the file arguments, load the diagram (the one named on the command line
// or the screenplay's companion diagram), load and attach the screenplay runner,
// run the main loop, destroy the application object and turn the screenplay's
// final state into the exit code.
#pragma once

#include <functional>
#include <string>

struct EntryContext;
class GuiEngine;

struct GuiApplication {
    // Builds the application object (a GuiEngine subclass that creates its
    // main window). runApplication owns and deletes it.
    std::function<GuiEngine*()> create;
    // Loads a diagram file into the application; true when it was loaded.
    std::function<bool(GuiEngine*, const std::string&)> loadDiagram;
};

// Runs the application and returns the process exit code: 0 when it ended
// normally (in test mode: the screenplay was played to the end), 1 when the
// screenplay failed (in test mode also when it did not reach its end), 2 for
// an invalid call (window size, more than one file, a diagram or screenplay
// that cannot be loaded, a speed factor that is not positive).
int runApplication(EntryContext& ctx, const GuiApplication& app);

// The diagram that goes with a screenplay: its path with the last suffix replaced by
// ".vlm" (a suffix only counts after the last path separator), e.g. /x/demo/a.demo
// gives /x/demo/a.vlm and /x/a.b/run gives /x/a.b/run.vlm.
std::string companionDiagramPath(const std::string& screenplay);
