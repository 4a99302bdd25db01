// The program's entry: everything happens in runEntryPoint.
#include "EntryPoint.h"
#include "RunVelmaris.h"

int main(int argc, char** argv)
{
    EntryHooks hooks;
    hooks.runApplication = runVelmaris;
    return runEntryPoint(argc, argv, hooks);
}
