// The application part of the program's start: runApplication with the main window
// object Velmaris and its editor panel's diagram loader. Installed as
// EntryHooks::runApplication by main().
#pragma once

#include "RunApplication.h"

struct EntryContext;

int runVelmaris(EntryContext& ctx);
