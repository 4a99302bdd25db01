// The application part of the start: builds the main window object Velmaris, lets it
// take its command-line options, loads the diagram (the one named on the command line
// or the screenplay's companion diagram), attaches the screenplay runner, runs the
// main loop, destroys the main window object and turns the screenplay's final state
// into the exit code. Installed as EntryHooks::runApplication by main().
#pragma once

#include <string>

struct EntryContext;

int runVelmaris(EntryContext& ctx);

// The diagram that goes with a screenplay: its path with the last suffix replaced by
// ".vlm" (a suffix only counts after the last path separator), e.g. /x/demo/a.demo
// gives /x/demo/a.vlm and /x/a.b/run gives /x/a.b/run.vlm.
std::string companionDiagramPath(const std::string& screenplay);
