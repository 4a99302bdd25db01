// End-to-end editing: the real program velmaris, copied into a temporary
// directory beside its run-time data, plays screenplays with --testmode that
// edit a small diagram with the mouse and the keyboard the way a person does,
// and checks positions through the editor's object names. Needs a display
// (Xvfb).
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

// Ids 1 to 4 are shapes, 5 the connection A -> B; new objects get 6, 7, ...
// The diagram's box is (0, 0)-(400, 260), so the loaded view centres (200, 130).
//   A rectangle (0, 0)-(100, 50), connection nodes (50, 1) (99, 25) (50, 49) (1, 25)
//   B rectangle (300, 0)-(400, 50), connection nodes (350, 1) (399, 25) (350, 49) (301, 25)
//   C circle at (0, 200), radius 30, connection node (30, 230)
//   D rectangle (300, 200)-(360, 240), connection nodes (330, 201) (359, 220) (330, 239) (301, 220)
const char* const kDiagram =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Map>\n"
    "<Shape Id=\"1\" Name=\"A\" Type=\"Rectangle\">A\n<Nodes>"
    "<Node Id=\"0\" X=\"0\" Y=\"0\"/><Node Id=\"1\" X=\"100\" Y=\"0\"/>"
    "<Node Id=\"2\" X=\"100\" Y=\"50\"/><Node Id=\"3\" X=\"0\" Y=\"50\"/></Nodes>\n"
    "<ConnectionNodes><Node Id=\"0\" Edge=\"0\" Percent=\"50\"/><Node Id=\"1\" Edge=\"1\" Percent=\"50\"/>"
    "<Node Id=\"2\" Edge=\"2\" Percent=\"50\"/><Node Id=\"3\" Edge=\"3\" Percent=\"50\"/></ConnectionNodes>\n"
    "</Shape>\n"
    "<Shape Id=\"2\" Name=\"B\" Type=\"Rectangle\">B\n<Nodes>"
    "<Node Id=\"0\" X=\"300\" Y=\"0\"/><Node Id=\"1\" X=\"400\" Y=\"0\"/>"
    "<Node Id=\"2\" X=\"400\" Y=\"50\"/><Node Id=\"3\" X=\"300\" Y=\"50\"/></Nodes>\n"
    "<ConnectionNodes><Node Id=\"0\" Edge=\"0\" Percent=\"50\"/><Node Id=\"1\" Edge=\"1\" Percent=\"50\"/>"
    "<Node Id=\"2\" Edge=\"2\" Percent=\"50\"/><Node Id=\"3\" Edge=\"3\" Percent=\"50\"/></ConnectionNodes>\n"
    "</Shape>\n"
    "<Shape Id=\"3\" Name=\"C\" Type=\"Circle\" Radius=\"30\">C\n<Nodes>"
    "<Node Id=\"0\" X=\"0\" Y=\"200\"/></Nodes>\n"
    "<ConnectionNodes><Node Id=\"0\" Edge=\"0\" Percent=\"50\"/></ConnectionNodes>\n"
    "</Shape>\n"
    "<Shape Id=\"4\" Name=\"D\" Type=\"Rectangle\">D\n<Nodes>"
    "<Node Id=\"0\" X=\"300\" Y=\"200\"/><Node Id=\"1\" X=\"360\" Y=\"200\"/>"
    "<Node Id=\"2\" X=\"360\" Y=\"240\"/><Node Id=\"3\" X=\"300\" Y=\"240\"/></Nodes>\n"
    "<ConnectionNodes><Node Id=\"0\" Edge=\"0\" Percent=\"50\"/><Node Id=\"1\" Edge=\"1\" Percent=\"50\"/>"
    "<Node Id=\"2\" Edge=\"2\" Percent=\"50\"/><Node Id=\"3\" Edge=\"3\" Percent=\"50\"/></ConnectionNodes>\n"
    "</Shape>\n"
    "<Connection Id=\"5\" Name=\"AB\">\n"
    "<ConnectionNodes><Node ShapeId=\"1\" Id=\"1\"/><Node ShapeId=\"2\" Id=\"3\"/></ConnectionNodes>\n"
    "</Connection>\n"
    "<MapInitScript>\n</MapInitScript>\n"
    "</Map>\n";

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

class VelmarisEditing : public ::testing::Test {
protected:
    fs::path mDir;   // the program's own directory
    fs::path mWork;  // screenplays, diagram, log

    void SetUp() override {
        const fs::path runtime = VELMARIS_RUNTIME_DIR;
        mDir = fs::temp_directory_path() /
               ("velmaris-editing-e2e-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::error_code ec;
        fs::remove_all(mDir, ec);
        mWork = mDir / "work";
        fs::create_directories(mWork);
        // A copy of the executable, so that its settings file is written here.
        fs::copy_file(VELMARIS_EXE, mDir / "velmaris");
        fs::permissions(mDir / "velmaris", fs::perms::owner_all, fs::perm_options::add);
        fs::create_directory_symlink(runtime / "data", mDir / "data");
        std::ofstream(mWork / "diagram.vlm", std::ios::binary) << kDiagram;
    }
    void TearDown() override {
        std::error_code ec;
        if (!HasFailure()) fs::remove_all(mDir, ec);
    }

    // Plays the screenplay on the diagram; returns the exit code, the log in `log`.
    int play(const std::string& screenplay, std::string& log) {
        const fs::path demo = mWork / "play.demo";
        std::ofstream(demo, std::ios::binary) << "window Velmaris\nwait 0.3\n" << screenplay << "finish\n";
        const fs::path logPath = mWork / "log.txt";
        std::vector<std::string> args = {(mDir / "velmaris").string(), "--log", logPath.string(),
                                         "--testmode", "--demo", demo.string(),
                                         (mWork / "diagram.vlm").string()};
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        const auto start = std::chrono::steady_clock::now();
        const pid_t pid = fork();
        if (pid == 0) {
            execv(argv[0], argv.data());
            _exit(127);
        }
        int status = 0;
        for (;;) {
            if (waitpid(pid, &status, WNOHANG) == pid) break;
            if (std::chrono::steady_clock::now() - start > std::chrono::seconds(120)) {
                kill(pid, SIGKILL);
                waitpid(pid, &status, 0);
                ADD_FAILURE() << "velmaris did not end";
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        log = readFile(logPath);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

TEST_F(VelmarisEditing, MoveSelectByBandAndMoveWithArrowKeys) {
    std::string log;
    const int code = play(
        // Dragging A by its middle moves it on the grid; its connection follows.
        "move_to A 0.2\nmouse_down\nmove_to @73,37 0.3\nmouse_up\n"
        "expect canvas.A.node0 20,10\n"
        "expect canvas.B.node0 300,0\n"
        "expect canvas.#5.arrow0 120,35\n"
        "key Right\nkey Down\n"
        "expect canvas.A.node0 30,20\n"
        // A click on empty canvas clears the selection: the keys move nothing.
        "move_to @200,150 0.2\nclick\nkey Right\n"
        "expect canvas.A.node0 30,20\n"
        // A band from the top left selects A only.
        "move_to @-50,-50 0.2\nmouse_down\nmove_to @150,80 0.3\nmouse_up\nkey Right\n"
        "expect canvas.A.node0 40,20\nexpect canvas.B.node0 300,0\n"
        // A band from the bottom right selects B and D, which lie fully inside.
        "move_to @420,270 0.2\nmouse_down\nmove_to @250,-20 0.3\nmouse_up\nkey Down\n"
        "expect canvas.A.node0 40,20\nexpect canvas.B.node0 300,10\nexpect canvas.D.node0 300,210\n"
        // A band that covers only part of D selects nothing.
        "move_to @420,270 0.2\nmouse_down\nmove_to @330,100 0.3\nmouse_up\nkey Down\n"
        "expect canvas.D.node0 300,210\nexpect canvas.B.node0 300,10\n",
        log);
    EXPECT_EQ(code, 0) << log;
}

TEST_F(VelmarisEditing, ResizeByHandleInShapeMode) {
    std::string log;
    const int code = play(
        "key F5\nexpect canvas.mode shape\nexpect mode_shape 1\n"
        "move_to D.node2 0.2\nmouse_down\nmove_to @393,277 0.3\nmouse_up\n"
        "expect canvas.D.node2 390,280\nexpect canvas.D.node0 300,200\n"
        // Below 20 x 20 the rectangle refuses.
        "move_to D.node2 0.2\nmouse_down\nmove_to @305,205 0\nmouse_up\n"
        "expect canvas.D.node2 390,280\n"
        "key F5\nexpect canvas.mode connection\nexpect mode_shape 0\n",
        log);
    EXPECT_EQ(code, 0) << log;
}

TEST_F(VelmarisEditing, NewConnectionsAndReattachedEnds) {
    std::string log;
    const int code = play(
        // From A's bottom node to D's top node: connection 6.
        "move_to A.conn2 0.2\nmouse_down\nmove_to D.conn0 0.4\nmouse_up\n"
        "expect canvas.#6 190,125\n"
        // From A's left node back onto A: nothing.
        "move_to A.conn3 0.2\nmouse_down\nmove_to A.conn0 0.3\nmouse_up\n"
        // The end of AB moves from B onto C's node.
        "move_to AB.arrow1 0.2\nmouse_down\nmove_to C.conn0 0.4\nmouse_up\n"
        "expect canvas.AB 65,128\n"
        // The next connection is 7: the refused drag made none.
        "move_to B.conn2 0.2\nmouse_down\nmove_to D.conn1 0.4\nmouse_up\n"
        "expect canvas.#7 355,135\n",
        log);
    EXPECT_EQ(code, 0) << log;
    EXPECT_NE(log.find("Source and destination of the connection is the same shape"), std::string::npos);
}

TEST_F(VelmarisEditing, ToolsPlaceShapesByClickDragAndPress) {
    std::string log;
    const int code = play(
        // A click places a default rectangle centred on the grid.
        "move_to tool_rectangle 0.2\nclick\n"
        "move_to @500,300 0.2\nclick\n"
        "expect canvas.#6 500,305\nexpect tool_rectangle 1\n"
        // A circle drag places a square box from the press point.
        "move_to tool_circle 0.2\nclick\n"
        "move_to @600,100 0.2\nmouse_down\nmove_to @673,151 0.3\nmouse_up\n"
        "expect canvas.#7 625,125\nexpect canvas.#7.node0 600,100\n"
        // The image is placed on the press, not where the button is released.
        "move_to tool_image 0.2\nclick\n"
        "move_to @200,350 0.2\nmouse_down\nmove_to @250,400 0.3\nmouse_up\n"
        "expect canvas.#8 205,353\n"
        // Escape returns to the selection tool; the tool bar follows.
        "key Escape\nexpect tool_select 1\nexpect tool_image 0\n",
        log);
    EXPECT_EQ(code, 0) << log;
}

TEST_F(VelmarisEditing, MiddleButtonPanFollowsTheMouseInGridSteps) {
    std::string log;
    // The pan starts at (101, 100) and moves the pointer 40 pixels right and
    // 20 up: the view follows by 4 and 2 grid steps, so world (101, 100) is
    // under the pointer again, and a rectangle click there is centred on
    // (100, 105). Without the pan it would be centred on (140, 85).
    const int code = play(
        "move_to tool_rectangle 0.2\nclick\n"
        "move_to @100,100 0.2\nmouse_down middle\n"
        "move_to @101,100 0\nmove_to @141,80 0\nmouse_up middle\n"
        "click\nexpect canvas.#6 100,105\n",
        log);
    EXPECT_EQ(code, 0) << log;
}

TEST_F(VelmarisEditing, WheelZoomsAboutThePanelCentre) {
    std::string log;
    // The 1004 x 588 panel shows (200, 130) in its middle. After one wheel step
    // (scale 1.2 about that point) the window point of world (100, 100) shows
    // world (116, 105); a rectangle click there is centred on (120, 105).
    const int code = play(
        "move_to tool_rectangle 0.2\nclick\n"
        "move_to @100,100 0.2\nwheel 1\n"
        "click\nexpect canvas.#6 120,105\n",
        log);
    EXPECT_EQ(code, 0) << log;
}

}  // namespace
