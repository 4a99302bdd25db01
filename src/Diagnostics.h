// Diagnostics of the application: the performance log switch and timer used by
// the editor panel, and a resource usage monitor (CPU and resident memory from
// /proc) meant to run on a thread of its own. Nothing here starts the monitor.
#pragma once

#include <SDL.h>

#include <atomic>
#include <memory>
#include <string>

namespace boost {
class thread;
}

// True when the environment variable VELMARIS_PERF_LOG is set (any value, also
// empty). Read once, on the first call; thread-safe.
bool PerfLog();

// Milliseconds since `start`, a value of SDL_GetPerformanceCounter().
double MsSince(Uint64 start);

// Resident set size of this process in KiB from /proc/self/status; 0 when unknown.
long get_process_rss_kb();
// User plus system CPU time of this process in clock ticks from /proc/self/stat;
// 0 when unknown.
long get_process_ticks();

// The same readings from a file in the format of /proc/<pid>/status or
// /proc/<pid>/stat; a missing file, line or field, or one that is not a
// number, gives 0 for that value.
long read_rss_kb(const std::string& statusPath);
long read_ticks(const std::string& statPath);

// The usage monitor: once a second writes a debug-log line
// "<timestamp> | CPU=<percent>% RAM=<rss>KB" until `running` becomes false.
// The first line comes one second after the start.
void log_usage_loop();

// Keeps the usage monitor looping while true.
extern std::atomic<bool> running;
// Holder of the monitor's thread when a caller starts one; empty otherwise.
extern std::unique_ptr<boost::thread> monitor_thread;
