#include "EntryPoint.h"

#include <SDL.h>
#include <fcntl.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <system_error>

#include "Error.h"
#include "corekitc.h"

namespace fs = std::filesystem;

const char* const kUsageText =
    "Usage: app --log <logfile> --testmode --window-size <WxH|fullscreen>\n"
    "           --demo <screenplay> --demo-speed <factor> [file.vlm]\n"
    "  --testmode  plays demo/rundgang.demo (or --demo) and exits:\n"
    "              0 = played to the end, 1 = failed, 2 = invalid call\n";

namespace {

const char* const kProductVersion = "Velmaris 0.0.4-9-g16d5ee1 [DEBUG]";
const char* const kBuildStamp = "20261126180651";
const char* const kScreenplayFolder = "demo";
const char* const kDefaultScreenplay = "rundgang.demo";

// Parent directory of the running executable; empty when /proc/self/exe
// cannot be read.
fs::path executableDir()
{
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec)
        return fs::path();
    return exe.parent_path();
}

// The path made absolute against the current working directory, without
// resolving links or requiring that it exists; unchanged if that fails.
std::string absoluteUtf8(const std::string& s)
{
    std::error_code ec;
    fs::path result = fs::absolute(fs::path(s), ec);
    if (ec)
        return s;
    return result.string();
}

// The default screenplay beside the executable, or two levels above it (for a
// test executable deeper in the build tree); empty when neither exists.
fs::path findTestScreenplay(const fs::path& dir)
{
    const fs::path candidates[] = {
        dir / kScreenplayFolder / kDefaultScreenplay,
        dir / ".." / ".." / kScreenplayFolder / kDefaultScreenplay,
    };
    for (const fs::path& candidate : candidates) {
        std::error_code ec;
        if (fs::is_regular_file(candidate, ec) && !ec)
            return candidate.lexically_normal();
    }
    return fs::path();
}

// SDL log output while a log file is active: "date time.mmm PRIORITY: message"
// on standard error, which then shares the log file with standard output.
void logToStderr(void* /*userdata*/, int /*category*/, SDL_LogPriority priority, const char* message)
{
    static const char* const names[] = {"VERBOSE", "DEBUG", "INFO", "WARN", "ERROR", "CRITICAL"};
    const char* name = (priority >= 1 && priority <= 6) ? names[priority - 1] : "";

    struct timeval tv;
    gettimeofday(&tv, nullptr);
    char stamp[32] = "";
    time_t seconds = tv.tv_sec;
    struct tm local;
    if (localtime_r(&seconds, &local))
        strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
    fprintf(stderr, "%s.%03d %s: %s\n", stamp, static_cast<int>(tv.tv_usec / 1000), name, message ? message : "");
    fflush(stderr);
}

// Sends standard output, standard error and the SDL log into the file. The
// file is emptied first. The descriptors are redirected only once the file is
// open, so a path that cannot be opened leaves every stream where it was.
void redirectOutput(const std::string& path)
{
    FILE* probe = fopen(path.c_str(), "w");
    if (!probe)
        return;
    fclose(probe);

    int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0)
        return;
    fflush(stdout);
    fflush(stderr);
    bool ok = dup2(fd, STDOUT_FILENO) >= 0;
    ok = ok && dup2(fd, STDERR_FILENO) >= 0;
    close(fd);
    if (!ok)
        return;
    // Unbuffered, so that lines of both streams land in the order written.
    setvbuf(stdout, nullptr, _IONBF, 0);
    setvbuf(stderr, nullptr, _IONBF, 0);
    SDL_LogSetOutputFunction(logToStderr, nullptr);
    CK_INFO("Using logfile %s", path.c_str());
}

}  // namespace

int runEntryPoint(int argc, char** argv, const EntryHooks& hooks)
{
    EntryContext ctx(argc, argv);

    if (ctx.commandLine.hasFlag("help")) {
        fputs(kUsageText, stdout);
        fflush(stdout);
        return 0;
    }

    ctx.testMode = ctx.commandLine.hasFlag("testmode");

    ctx.logFile = ctx.commandLine.getOption("log", "");
    if (!ctx.logFile.empty())
        redirectOutput(ctx.logFile);

    SDL_Log("%s, Build %s", kProductVersion, kBuildStamp);

    ctx.executableDir = executableDir();

    // An empty "--demo" value names no screenplay: it counts as not given, so
    // that test mode still needs a screenplay to play instead of running on.
    const std::string demo = ctx.commandLine.getOption("demo", "");
    if (!demo.empty()) {
        ctx.screenplay = absoluteUtf8(demo);
    } else if (ctx.testMode) {
        ctx.screenplay = findTestScreenplay(ctx.executableDir).string();
        if (ctx.screenplay.empty()) {
            SDL_Log("--testmode: demo/rundgang.demo nicht gefunden (neben %s)", ctx.executableDir.c_str());
            return 2;
        }
    }

    // Resolved before the working directory changes below.
    for (const std::string& arg : ctx.commandLine.getArguments())
        ctx.files.push_back(absoluteUtf8(arg));

    if (!ctx.executableDir.empty()) {
        if (chdir(ctx.executableDir.c_str()) != 0)
            SDL_Log("Kann nicht nach %s wechseln: %s", ctx.executableDir.c_str(), strerror(errno));
    }

    if (ctx.testMode)
        SDL_Log("Testmodus: Drehbuch %s", ctx.screenplay.c_str());

    CK_INFO("Starting Velmaris");

    if (!hooks.runApplication) {
        CK_INFO("The editor is not built yet: nothing to run after start-up");
        return ctx.testMode ? 1 : 0;
    }

    try {
        return hooks.runApplication(ctx);
    } catch (const corekit::Error& e) {
        // A failure that stopped the application is not a normal end.
        CK_ERROR("%s", e.getErrorMsg().c_str());
        return 1;
    }
}

void Logger(int level, const char* fmt, ...)
{
    if (level == 0)
        return;
    if (level == CK_DEBUG_PLAIN ? corekit_debug_filter == 0 : (corekit_debug_filter & level) == 0)
        return;

    char buffer[1024];
    va_list args;
    va_start(args, fmt);
    // At most 1022 characters; longer messages are cut.
    vsnprintf(buffer, 1023, fmt, args);
    va_end(args);

    _ckDebugTS();
    _ckDebug(CK_DEBUG_PLAIN, " %s:%d: %s ", CK_DEBUG_FILE, __LINE__,
             level == CK_DEBUG_TRACE ? __PRETTY_FUNCTION__ : __func__);
    _ckDebug(level, "%s", buffer);
    _ckDebug(CK_DEBUG_PLAIN, "\n");
}

void Logger(const std::string& text)
{
    Logger(CK_DEBUG_INFO, "%s", text.c_str());
}
