// Diagnostics: performance log switch, timing and the usage monitor; see Diagnostics.h.
#include "Diagnostics.h"

#include "corekitc.h"

#include <boost/chrono.hpp>
#include <boost/thread/thread.hpp>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <unistd.h>

std::atomic<bool> running{true};
std::unique_ptr<boost::thread> monitor_thread;

bool PerfLog()
{
  static const bool enabled = std::getenv("VELMARIS_PERF_LOG") != nullptr;
  return enabled;
}

double MsSince(Uint64 start)
{
  const Uint64 now = SDL_GetPerformanceCounter();
  return static_cast<double>(now - start) * 1000.0 / static_cast<double>(SDL_GetPerformanceFrequency());
}

namespace {

// Whole-number prefix of text after leading blanks; 0 when there is none or it
// does not fit a long. Never throws: a malformed /proc line must not end the
// monitor thread (an exception leaving a thread would end the process).
long toLongOrZero(const std::string& text)
{
  const char* begin = text.c_str();
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(begin, &end, 10);
  if (end == begin || errno == ERANGE)
    return 0;
  return value;
}

} // namespace

long read_rss_kb(const std::string& statusPath)
{
  std::ifstream in(statusPath);
  if (!in)
    return 0;
  std::string line;
  while (std::getline(in, line)) {
    if (line.compare(0, 6, "VmRSS:") == 0)
      return toLongOrZero(line.substr(6));
  }
  return 0;
}

long read_ticks(const std::string& statPath)
{
  std::ifstream in(statPath);
  if (!in)
    return 0;
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // Field 1, the command name in parentheses, may itself contain blanks and
  // parentheses; the fields after its closing parenthesis are unambiguous.
  // User time and system time are fields 13 and 14 counting from 0, that is
  // 11 and 12 counting from the field after the name.
  std::size_t rest = 0;
  const std::size_t close = content.rfind(')');
  int firstIndex = 0;
  if (close != std::string::npos) {
    rest = close + 1;
    firstIndex = 2;
  }
  std::istringstream tokens(content.substr(rest));
  std::string token;
  long utime = 0, stime = 0;
  for (int index = firstIndex; index <= 14 && tokens >> token; ++index) {
    if (index == 13)
      utime = toLongOrZero(token);
    else if (index == 14)
      stime = toLongOrZero(token);
  }
  return utime + stime;
}

long get_process_rss_kb()
{
  return read_rss_kb("/proc/self/status");
}

long get_process_ticks()
{
  return read_ticks("/proc/self/stat");
}

void log_usage_loop()
{
  const long ticksPerSecond = sysconf(_SC_CLK_TCK);
  long lastTicks = get_process_ticks();
  auto lastTime = std::chrono::steady_clock::now();
  while (running) {
    boost::this_thread::sleep_for(boost::chrono::seconds(1));
    const long ticks = get_process_ticks();
    const auto now = std::chrono::steady_clock::now();
    const float elapsed = std::chrono::duration<float>(now - lastTime).count();
    float percentage = 0.0f;
    if (ticksPerSecond > 0 && elapsed > 0.0f)
      percentage = (static_cast<float>(ticks - lastTicks) / static_cast<float>(ticksPerSecond)) * 100.0f / elapsed;
    const long rss = get_process_rss_kb();
    _ckDebugTS();
    _ckDebug(0, " | CPU=%.2f%% RAM=%ldKB\n", static_cast<double>(percentage), rss);
    lastTicks = ticks;
    lastTime = now;
  }
}
