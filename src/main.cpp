// The program's entry: everything happens in runEntryPoint.
#include "EntryPoint.h"

int main(int argc, char** argv)
{
    EntryHooks hooks;
    return runEntryPoint(argc, argv, hooks);
}
