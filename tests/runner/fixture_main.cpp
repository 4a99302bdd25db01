// The fixture program: the program's own start-up and application steps with
// the small fixture application in place of the editor, so that command-line
// handling, screenplay loading and the verdict can be tested end to end.
#include "EntryPoint.h"
#include "FixtureApp.h"
#include "RunApplication.h"

int main(int argc, char** argv)
{
    EntryHooks hooks;
    hooks.runApplication = [](EntryContext& ctx) {
        GuiApplication app;
        app.create = []() -> GuiEngine* { return new FixtureApp; };
        // The fixture has no diagram: a file argument cannot be loaded.
        return runApplication(ctx, app);
    };
    return runEntryPoint(argc, argv, hooks);
}
