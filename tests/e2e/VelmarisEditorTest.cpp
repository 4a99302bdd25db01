// End-to-end: the real program velmaris, copied into a temporary directory beside
// its run-time data, plays screenplays with --testmode. The exit code, the lines of
// its --log file and its settings file are the verdict. Needs a display (Xvfb).
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Outcome {
  int exitCode = -1;
  std::string log;
};

std::string readFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// True when a line of the log ends with the text (lines carry a time stamp and a
// level in front).
bool logLineEndsWith(const std::string& log, const std::string& text) {
  std::istringstream in(log);
  std::string line;
  while (std::getline(in, line))
    if (line.size() >= text.size() && line.compare(line.size() - text.size(), text.size(), text) == 0) return true;
  return false;
}

class VelmarisProgram : public ::testing::Test {
 protected:
  fs::path mDir;  // the program's own directory: velmaris, data/, demo/, velmaris.ini
  fs::path mWork; // screenplays, diagrams and the log
  std::string mLog;

  void SetUp() override {
    const fs::path runtime = VELMARIS_RUNTIME_DIR;
    mDir = fs::temp_directory_path() /
           ("velmaris-editor-e2e-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::error_code ec;
    fs::remove_all(mDir, ec);
    fs::create_directories(mDir / "work");
    mWork = mDir / "work";
    // A copy of the executable, so that it takes this directory as its own and
    // writes its settings file here.
    fs::copy_file(VELMARIS_EXE, mDir / "velmaris");
    fs::permissions(mDir / "velmaris", fs::perms::owner_all, fs::perm_options::add);
    fs::create_directory_symlink(runtime / "data", mDir / "data");
    fs::copy(runtime / "demo", mDir / "demo", fs::copy_options::recursive);
    mLog = (mWork / "log.txt").string();
  }
  void TearDown() override {
    std::error_code ec;
    if (!HasFailure()) fs::remove_all(mDir, ec);
  }

  std::string file(const std::string& name, const std::string& text) {
    const fs::path path = mWork / name;
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
  }

  // Starts the program with --log and the arguments and waits for it (killed after
  // 120 seconds).
  Outcome run(std::vector<std::string> args) {
    args.insert(args.begin(), {(mDir / "velmaris").string(), "--log", mLog});
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
      // Relative paths are resolved against the directory the program starts in.
      if (chdir(mWork.c_str()) != 0) _exit(126);
      execv(argv[0], argv.data());
      _exit(127);
    }
    Outcome out;
    int status = 0;
    for (;;) {
      if (waitpid(pid, &status, WNOHANG) == pid) break;
      const double t = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      if (t > 120) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        ADD_FAILURE() << "velmaris did not end";
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    out.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    out.log = readFile(mLog);
    return out;
  }
};

// A small diagram: two rectangles joined by a connection, and a circle.
const char* const kDiagram =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Map>\n"
    "<Shape Id=\"1\" Name=\"A\" Type=\"Rectangle\" Layer=\"0\">A\n"
    "<Nodes><Node Id=\"0\" X=\"0\" Y=\"0\"/><Node Id=\"1\" X=\"100\" Y=\"0\"/>"
    "<Node Id=\"2\" X=\"100\" Y=\"50\"/><Node Id=\"3\" X=\"0\" Y=\"50\"/></Nodes>\n"
    "<ConnectionNodes><Node Id=\"0\" Name=\"\" Edge=\"0\" Percent=\"50\"/><Node Id=\"1\" Name=\"\" Edge=\"1\" Percent=\"50\"/>"
    "<Node Id=\"2\" Name=\"\" Edge=\"2\" Percent=\"50\"/><Node Id=\"3\" Name=\"\" Edge=\"3\" Percent=\"50\"/></ConnectionNodes>\n"
    "</Shape>\n"
    "<Shape Id=\"2\" Name=\"B\" Type=\"Rectangle\" Layer=\"0\">B\n"
    "<Nodes><Node Id=\"0\" X=\"300\" Y=\"0\"/><Node Id=\"1\" X=\"400\" Y=\"0\"/>"
    "<Node Id=\"2\" X=\"400\" Y=\"50\"/><Node Id=\"3\" X=\"300\" Y=\"50\"/></Nodes>\n"
    "<ConnectionNodes><Node Id=\"0\" Name=\"\" Edge=\"0\" Percent=\"50\"/><Node Id=\"1\" Name=\"\" Edge=\"1\" Percent=\"50\"/>"
    "<Node Id=\"2\" Name=\"\" Edge=\"2\" Percent=\"50\"/><Node Id=\"3\" Name=\"\" Edge=\"3\" Percent=\"50\"/></ConnectionNodes>\n"
    "</Shape>\n"
    "<Shape Id=\"3\" Name=\"K\" Type=\"Circle\" Radius=\"25\" Layer=\"0\">K\n"
    "<Nodes><Node Id=\"0\" X=\"150\" Y=\"200\"/></Nodes>\n"
    "<ConnectionNodes><Node Id=\"0\" Name=\"\" Edge=\"0\" Percent=\"50\"/></ConnectionNodes>\n"
    "</Shape>\n"
    "<Connection Id=\"4\" Name=\"AB\" Layer=\"0\">\n"
    "<ConnectionNodes><Node ShapeId=\"1\" Id=\"1\"/><Node ShapeId=\"2\" Id=\"3\"/></ConnectionNodes>\n"
    "</Connection>\n"
    "</Map>\n";

TEST_F(VelmarisProgram, TestModePlaysTheGuidedTourToItsEnd) {
  const Outcome out = run({"--testmode"});
  EXPECT_EQ(out.exitCode, 0) << out.log;
  EXPECT_TRUE(logLineEndsWith(out.log, "INFO: Testmodus: Drehbuch " + (mDir / "demo" / "rundgang.demo").string()))
      << out.log;
  EXPECT_TRUE(logLineEndsWith(out.log, "INFO: Testmodus: bestanden")) << out.log;
  EXPECT_EQ(out.log.find("Demo-Fehler"), std::string::npos) << out.log;
  // The settings file is written when the program ends: only the "Path" section.
  const std::string ini = readFile(mDir / "velmaris.ini");
  EXPECT_NE(ini.find("[Path]"), std::string::npos) << ini;
  EXPECT_NE(ini.find("RecentFile10"), std::string::npos) << ini;
  EXPECT_EQ(ini.find("720"), std::string::npos) << ini;
}

TEST_F(VelmarisProgram, ToolBarAndModeButtonDriveTheEditor) {
  const std::string play = file("toolbar.demo",
                                "window Velmaris\n"
                                "expect canvas.mode connection\n"
                                "expect tool_select 1\n"
                                "move_to tool_rectangle\nclick\n"
                                "expect tool_rectangle 1\nexpect tool_select 0\n"
                                "move_to tool_polygon\nclick\n"
                                "expect tool_polygon 1\nexpect tool_rectangle 0\n"
                                // Escape in the canvas with a shape tool returns to selection.
                                "key Escape\n"
                                "expect tool_polygon 0\nexpect tool_select 1\n"
                                "move_to tool_image\nclick\nexpect tool_image 1\n"
                                "move_to tool_image\nclick\nexpect tool_image 0\nexpect tool_select 1\n"
                                // set on a button works like a click.
                                "set tool_triangle 1\nexpect tool_triangle 1\nexpect tool_select 0\n"
                                "set tool_select 1\nexpect tool_triangle 0\n"
                                "move_to mode_shape\nclick\n"
                                "expect mode_shape 1\nexpect canvas.mode shape\n"
                                "key F5\n"
                                "expect mode_shape 0\nexpect canvas.mode connection\n"
                                "set mode_shape 1\nexpect canvas.mode shape\n"
                                "finish\n");
  const Outcome out = run({"--testmode", "--demo", play});
  EXPECT_EQ(out.exitCode, 0) << out.log;
  EXPECT_TRUE(logLineEndsWith(out.log, "INFO: Testmodus: bestanden")) << out.log;
}

TEST_F(VelmarisProgram, FileMenuOpensByAltDAndByMouse) {
  const std::string play = file("menu.demo",
                                // Alt+D, arrows and Return on a plain item.
                                "key alt+d\n"
                                "key Down\nkey Down\nkey Return\n"
                                "wait_command menu file_open 2\n"
                                // The mnemonic of the submenu item, then a submenu mnemonic.
                                "key alt+d\nkey u\nkey 3\n"
                                "wait_command menu recent3 2\n"
                                // By mouse: the title, hovering the submenu item, a click.
                                "move_to file\nclick\n"
                                "move_to file_recent\nmove_to recent1\nmove_to recent2\nclick\n"
                                "wait_command menu recent2 2\n"
                                "wait_command 1001 2\n"
                                // Reopened, the submenu has its entries again.
                                "move_to file\nclick\nmove_to file_recent\nmove_to recent1\nmove_to recent3\n"
                                "key Escape\n"
                                "expect canvas.mode connection\n"
                                "finish\n");
  const Outcome out = run({"--testmode", "--demo", play});
  EXPECT_EQ(out.exitCode, 0) << out.log;
  EXPECT_TRUE(logLineEndsWith(out.log, "GOT CMD EVENT FROM GuiMenu")) << out.log;
}

TEST_F(VelmarisProgram, RecentFilesSubmenuHasNoFourthEntry) {
  const std::string play = file("recent4.demo",
                                "key alt+d\nkey u\nmove_to recent3\nmove_to recent4\nfinish\n");
  const Outcome out = run({"--testmode", "--demo", play});
  EXPECT_EQ(out.exitCode, 1) << out.log;
  EXPECT_TRUE(logLineEndsWith(out.log, "INFO: Demo-Fehler in Zeile 4: Control \"recent4\" nicht gefunden"))
      << out.log;
}

TEST_F(VelmarisProgram, QuitItemEndsTheProgram) {
  // No "finish": only the menu command can end this run.
  const std::string play = file("quit.demo", "key alt+d\nmove_to file_quit\nclick\nwait 10\n");
  const auto start = std::chrono::steady_clock::now();
  const Outcome out = run({"--demo", play});
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(out.exitCode, 0) << out.log;
  EXPECT_LT(seconds, 9.0);
  EXPECT_TRUE(logLineEndsWith(out.log, "Demo-app shutdown")) << out.log;
}

TEST_F(VelmarisProgram, DiagramArgumentIsLoadedAndAddressable) {
  const std::string diagram = file("zwei.vlm", kDiagram);
  const std::string play = file("check.demo",
                                "expect canvas.A.node0 0,0\n"
                                "expect canvas.#2.node2 400,50\n"
                                "expect canvas.A.conn1 99,25\n"
                                "expect canvas.K 175,225\n"
                                "expect canvas.K.conn0 175,225\n"
                                "move_to B\nmove_to A.conn1\nmove_to AB.arrow1\n"
                                "finish\n");
  // A relative diagram path is resolved against the starting directory.
  const Outcome out = run({"--testmode", "--demo", play, "zwei.vlm"});
  EXPECT_EQ(out.exitCode, 0) << out.log;
  (void)diagram;
}

TEST_F(VelmarisProgram, CompanionDiagramOfTheScreenplayIsOpened) {
  file("begleit.vlm", kDiagram);
  const std::string play = file("begleit.demo", "expect canvas.B.node0 300,0\nfinish\n");
  const Outcome out = run({"--testmode", "--demo", play});
  EXPECT_EQ(out.exitCode, 0) << out.log;
}

TEST_F(VelmarisProgram, InvalidCallsExitWithTwo) {
  const std::string ok = file("ok.demo", "finish\n");
  const std::string bad = file("bad.demo", "wait 1\nklick\n");
  const std::string broken = (mWork / "fehlt.vlm").string();
  const std::string missing = (mWork / "fehlt.demo").string();
  struct Case {
    const char* what;
    std::vector<std::string> args;
    std::string line;
  };
  const Case cases[] = {
      {"two files", {"--testmode", "--demo", ok, "a.vlm", "b.vlm"}, "INFO: Nur eine .vlm-Datei kann angegeben werden"},
      {"unloadable diagram", {"--testmode", "--demo", ok, broken},
       "INFO: Datei \"" + broken + "\" kann nicht geladen werden"},
      {"unreadable screenplay", {"--testmode", "--demo", missing}, "INFO: Drehbuch nicht lesbar: " + missing},
      {"bad screenplay", {"--testmode", "--demo", bad}, "INFO: Zeile 2: unbekannter Befehl klick"},
      {"zero speed", {"--testmode", "--demo", ok, "--demo-speed", "0"},
       "INFO: --demo-speed braucht einen positiven Faktor"},
      {"bad window size", {"--testmode", "--demo", ok, "--window-size", "800X600"},
       "--window-size braucht BREITExHOEHE (1 bis 8192) oder fullscreen"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Outcome out = run(c.args);
    EXPECT_EQ(out.exitCode, 2) << out.log;
    EXPECT_TRUE(logLineEndsWith(out.log, c.line)) << c.line << "\n" << out.log;
    EXPECT_EQ(out.log.find("Testmodus: bestanden"), std::string::npos);
  }
}

TEST_F(VelmarisProgram, RejectedWindowSizeDoesNotRewriteTheSettings) {
  const std::string ok = file("ok.demo", "finish\n");
  // The settings are read and rewritten at start (with the window height 720) and
  // replaced by the "Path" section at a normal end; a rejected window size ends the
  // program before that.
  const Outcome out = run({"--demo", ok, "--window-size", "0x600"});
  EXPECT_EQ(out.exitCode, 2) << out.log;
  const std::string ini = readFile(mDir / "velmaris.ini");
  EXPECT_NE(ini.find("720"), std::string::npos) << ini;
}

TEST_F(VelmarisProgram, ScreenplayVerdictsOfTheEditor) {
  struct Case {
    const char* name;
    const char* text;
    int exitCode;
    const char* line;
  };
  const Case cases[] = {
      {"pass.demo", "expect canvas.mode connection\nfinish\n", 0, "INFO: Testmodus: bestanden"},
      {"fail.demo", "expect canvas.mode shape\nfinish\n", 1,
       "INFO: Demo-Fehler in Zeile 1: \"canvas.mode\" hat \"connection\" statt \"shape\""},
      {"unknown-part.demo", "move_to Nirgends.node0\nfinish\n", 1,
       "INFO: Demo-Fehler in Zeile 1: Control \"Nirgends.node0\" nicht gefunden"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Outcome out = run({"--testmode", "--demo", file(c.name, c.text)});
    EXPECT_EQ(out.exitCode, c.exitCode) << out.log;
    EXPECT_TRUE(logLineEndsWith(out.log, c.line)) << c.line << "\n" << out.log;
  }
}

}  // namespace
