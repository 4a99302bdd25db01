// Performance log switch, frame timer and the resource usage monitor.
#include "Diagnostics.h"

#include "corekitc.h"

#include <boost/thread/thread.hpp>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <thread>

namespace {

class TempFile
{
public:
  explicit TempFile(const std::string& content)
  {
    static int counter = 0;
    mPath = (std::filesystem::temp_directory_path() /
             ("velmaris_diag_" + std::to_string(::getpid()) + "_" + std::to_string(counter++)))
                .string();
    std::ofstream(mPath) << content;
  }
  ~TempFile() { std::filesystem::remove(mPath); }
  const std::string& path() const { return mPath; }

private:
  std::string mPath;
};

TEST(PerfLogSwitch, EmptyValueCountsAndIsReadOnlyOnce)
{
  ::setenv("VELMARIS_PERF_LOG", "", 1);
  EXPECT_TRUE(PerfLog());
  ::unsetenv("VELMARIS_PERF_LOG");
  EXPECT_TRUE(PerfLog());
}

TEST(FrameTimer, MillisecondsFromThePerformanceCounter)
{
  const Uint64 oneSecondAgo = SDL_GetPerformanceCounter() - SDL_GetPerformanceFrequency();
  const double ms = MsSince(oneSecondAgo);
  EXPECT_GE(ms, 1000.0);
  EXPECT_LT(ms, 1500.0);
}

TEST(ProcReadings, ResidentSetSizeFromStatusFiles)
{
  struct Case
  {
    const char* content;
    long expected;
  };
  const Case cases[] = {
      {"Name:\tvelmaris\nVmPeak:\t 9000 kB\nVmRSS:\t   48212 kB\nVmRSS:\t 1 kB\n", 48212},
      {"Name:\tvelmaris\n", 0},
      {"VmRSS:\tviel kB\n", 0},
      {"", 0},
  };
  for (const Case& c : cases) {
    TempFile file(c.content);
    EXPECT_EQ(read_rss_kb(file.path()), c.expected) << c.content;
  }
  EXPECT_EQ(read_rss_kb("/nonexistent/status"), 0);
}

TEST(ProcReadings, CpuTicksFromStatFiles)
{
  struct Case
  {
    const char* content;
    long expected;
  };
  const Case cases[] = {
      {"4242 (velmaris) S 1 4242 4242 0 -1 4194560 100 0 0 0 17 25 0 0 20 0 3 0\n", 42},
      {"4242 (my (odd) prog) R 1 4242 4242 0 -1 4194560 100 0 0 0 5 6 0 0\n", 11},
      {"4242 (velmaris) S 1 4242\n", 0},
      {"4242 (velmaris) S 1 4242 4242 0 -1 4194560 100 0 0 0 x 6 0 0\n", 6},
      {"", 0},
  };
  for (const Case& c : cases) {
    TempFile file(c.content);
    EXPECT_EQ(read_ticks(file.path()), c.expected) << c.content;
  }
  EXPECT_EQ(read_ticks("/nonexistent/stat"), 0);
}

TEST(ProcReadings, ThisProcessHasMemoryAndNoNegativeTime)
{
  EXPECT_GT(get_process_rss_kb(), 0);
  EXPECT_GE(get_process_ticks(), 0);
}

TEST(UsageMonitor, WritesOneLinePerSecondUntilStopped)
{
  std::FILE* out = std::tmpfile();
  ASSERT_NE(out, nullptr);
  ckSetDebugOut(out);
  running = true;
  boost::thread monitor(log_usage_loop);
  std::this_thread::sleep_for(std::chrono::milliseconds(1400));
  running = false;
  monitor.join();
  ckSetDebugOut(nullptr);

  std::rewind(out);
  std::string text;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, out))
    text += buffer;
  std::fclose(out);
  // One line after the first second, then one more when the stop is noticed
  // after the next sleep.
  const std::string line = R"(\d{4}\.\d{2}\.\d{2} \d{2}:\d{2}:\d{2}\.\d{3} \| CPU=\d+\.\d{2}% RAM=[1-9]\d*KB\n)";
  EXPECT_TRUE(std::regex_match(text, std::regex("(" + line + "){2}"))) << text;
}

} // namespace
