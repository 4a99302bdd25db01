// Screenplay loader: tokenizer, command table, argument checks and the exact
// error texts, driven through loadFromString and load.
#include "GuiDemoRunner.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Cmd = GuiDemoRunner::Command;

struct BadLine {
    const char* text;
    const char* error; // full error text including the line prefix
};

// Every loader message appears here at least once.
const BadLine kBadLines[] = {
    {"klick", "Zeile 1: unbekannter Befehl klick"},
    {"Wait 1", "Zeile 1: unbekannter Befehl Wait"},
    {"scene \"offen", "Zeile 1: Anführungszeichen nicht geschlossen"},
    {"scene \"", "Zeile 1: Anführungszeichen nicht geschlossen"},
    {"type \"a\\\"", "Zeile 1: Anführungszeichen nicht geschlossen"},
    {"# \"comment with open quote", "Zeile 1: Anführungszeichen nicht geschlossen"},
    {"move 10", "Zeile 1: falsche Anzahl Argumente für move"},
    {"move 1 2 3 4", "Zeile 1: falsche Anzahl Argumente für move"},
    {"finish now", "Zeile 1: falsche Anzahl Argumente für finish"},
    {"scene", "Zeile 1: falsche Anzahl Argumente für scene"},
    {"wait_value a b", "Zeile 1: falsche Anzahl Argumente für wait_value"},
    {"click left right", "Zeile 1: falsche Anzahl Argumente für click"},
    {"wait 1,5", "Zeile 1: ungültige Zeit"},
    {"wait -1", "Zeile 1: ungültige Zeit"},
    {"wait 2s", "Zeile 1: ungültige Zeit"},
    {"wait \"\"", "Zeile 1: ungültige Zeit"},
    {"wait inf", "Zeile 1: ungültige Zeit"},
    {"wait nan", "Zeile 1: ungültige Zeit"},
    {"wait 1e999", "Zeile 1: ungültige Zeit"},
    {"move 1 2 x", "Zeile 1: ungültige Zeit"},
    {"move_to ok -0.5", "Zeile 1: ungültige Zeit"},
    {"wait_window Haupt soon", "Zeile 1: ungültige Zeit"},
    {"wait_window_closed Haupt -1", "Zeile 1: ungültige Zeit"},
    {"wait_value a b c", "Zeile 1: ungültige Zeit"},
    {"wait_command knopf x", "Zeile 1: ungültige Zeit"},
    {"move 10px 5", "Zeile 1: ungültige Koordinate"},
    {"move 10 1.5", "Zeile 1: ungültige Koordinate"},
    {"move \"\" 5", "Zeile 1: ungültige Koordinate"},
    {"move 99999999999 5", "Zeile 1: ungültige Koordinate"},
    {"mouse_speed 0", "Zeile 1: ungültige Geschwindigkeit"},
    {"mouse_speed -5", "Zeile 1: ungültige Geschwindigkeit"},
    {"mouse_speed fast", "Zeile 1: ungültige Geschwindigkeit"},
    {"click links", "Zeile 1: unbekannte Maustaste links"},
    {"mouse_down Left", "Zeile 1: unbekannte Maustaste Left"},
    {"mouse_up \"\"", "Zeile 1: unbekannte Maustaste "},
    {"wheel 1.5", "Zeile 1: ungültige Schrittzahl"},
    {"wheel up", "Zeile 1: ungültige Schrittzahl"},
    {"key strg+s", "Zeile 1: unbekannte Taste strg+s"},
    {"key NoSuchKey", "Zeile 1: unbekannte Taste NoSuchKey"},
    {"key ctrl+", "Zeile 1: unbekannte Taste ctrl+"},
    {"key \"\"", "Zeile 1: unbekannte Taste "},
    {"key Ctrl+s", "Zeile 1: unbekannte Taste Ctrl+s"},
    {"type \"0123456789012345678901234567890X\"", "Zeile 1: Text zu lang"},
    {"wait_command knopf 5", "Zeile 1: unbekanntes Kommando knopf"},
    {"wait_command Menu 5", "Zeile 1: unbekanntes Kommando Menu"},
    {"wait_command 10x name 5", "Zeile 1: unbekanntes Kommando 10x"},
    {"\xEF\xBB\xBFwait 1", "Zeile 1: unbekannter Befehl \xEF\xBB\xBFwait"},
};

TEST(ScreenplayLoader, BadLinesGiveTheirExactMessageAndNoSteps) {
    GuiDemoRunner runner(nullptr);
    for (const BadLine& c : kBadLines) {
        SCOPED_TRACE(c.text);
        // A valid line before the bad one must not survive the failure.
        ASSERT_TRUE(runner.loadFromString("wait 1\n"));
        ASSERT_EQ(runner.steps().size(), 1u);
        EXPECT_FALSE(runner.loadFromString(c.text));
        EXPECT_EQ(runner.error(), c.error);
        EXPECT_TRUE(runner.steps().empty());
    }
}

struct GoodLine {
    const char* text;
    Cmd command;
    std::vector<std::string> args;
};

const GoodLine kGoodLines[] = {
    {"scene \"Erste Szene\"", Cmd::Scene, {"Erste Szene"}},
    {"wait 0", Cmd::Wait, {"0"}},
    {"wait 1.5", Cmd::Wait, {"1.5"}},
    {"wait 3e1", Cmd::Wait, {"3e1"}},
    {"window \"Velmaris - neu\"", Cmd::Window, {"Velmaris - neu"}},
    {"move -10 +3", Cmd::Move, {"-10", "+3"}},
    {"move 10 20 0.25", Cmd::Move, {"10", "20", "0.25"}},
    {"move_to ok", Cmd::MoveTo, {"ok"}},
    {"move_to menubar.datei 2", Cmd::MoveTo, {"menubar.datei", "2"}},
    {"mouse_speed 250", Cmd::MouseSpeed, {"250"}},
    {"click", Cmd::Click, {}},
    {"click left", Cmd::Click, {"left"}},
    {"click right", Cmd::Click, {"right"}},
    {"mouse_down middle", Cmd::MouseDown, {"middle"}},
    {"mouse_up", Cmd::MouseUp, {}},
    {"wheel -3", Cmd::Wheel, {"-3"}},
    {"wheel +2", Cmd::Wheel, {"+2"}},
    {"key ctrl+s", Cmd::Key, {"ctrl+s"}},
    {"key shift+Tab", Cmd::Key, {"shift+Tab"}},
    {"key ctrl+shift+alt+F5", Cmd::Key, {"ctrl+shift+alt+F5"}},
    {"key ctrl++", Cmd::Key, {"ctrl++"}},
    {"key Return", Cmd::Key, {"Return"}},
    {"type \"0123456789012345678901234567890\"", Cmd::Type, {"0123456789012345678901234567890"}},
    {"type \"äöü\"", Cmd::Type, {"äöü"}},
    {"wait_window Haupt 2", Cmd::WaitWindow, {"Haupt", "2"}},
    {"wait_window_closed Haupt 0", Cmd::WaitWindowClosed, {"Haupt", "0"}},
    {"wait_command menu 5", Cmd::WaitCommand, {"menu", "5"}},
    {"wait_command 1001 5", Cmd::WaitCommand, {"1001", "5"}},
    {"wait_command button ok 5", Cmd::WaitCommand, {"button", "ok", "5"}},
    {"wait_command modal_closed 1", Cmd::WaitCommand, {"modal_closed", "1"}},
    {"set zoom 1.5", Cmd::Set, {"zoom", "1.5"}},
    {"expect name \"\"", Cmd::Expect, {"name", ""}},
    {"wait_value status \"fertig\" 3", Cmd::WaitValue, {"status", "fertig", "3"}},
    {"finish", Cmd::Finish, {}},
    // Tokenizer: escapes, adjacency and ordinary characters.
    {"expect a \"sagt \\\"hallo\\\"\"", Cmd::Expect, {"a", "sagt \"hallo\""}},
    {"expect a \"\\\\\"", Cmd::Expect, {"a", "\\\\"}},
    {"expect a \"x\\ny\"", Cmd::Expect, {"a", "x\\ny"}},
    {"expect \"a\"\"b\"", Cmd::Expect, {"a", "b"}},
    {"expect a\"b c\"", Cmd::Expect, {"a\"b", "c\""}},
    {"expect a b\\", Cmd::Expect, {"a", "b\\"}},
    {"  \texpect\t a   b  \r", Cmd::Expect, {"a", "b"}},
};

TEST(ScreenplayLoader, GoodLinesGiveOneStepWithUnquotedArguments) {
    GuiDemoRunner runner(nullptr);
    for (const GoodLine& c : kGoodLines) {
        SCOPED_TRACE(c.text);
        ASSERT_TRUE(runner.loadFromString(c.text)) << runner.error();
        EXPECT_TRUE(runner.error().empty());
        ASSERT_EQ(runner.steps().size(), 1u);
        const auto& step = runner.steps()[0];
        EXPECT_EQ(step.command, c.command);
        EXPECT_EQ(step.args, c.args);
        EXPECT_EQ(step.line, 1);
    }
}

TEST(ScreenplayLoader, LineNumbersCountBlankAndCommentLines) {
    GuiDemoRunner runner(nullptr);
    const std::string text =
        "# Rundgang\r\n"
        "\r\n"
        "scene Start\r\n"
        "   \t\n"
        "  # eingerückter Kommentar \"mit\" Anführungszeichen\n"
        "wait 1\n"
        "finish";
    ASSERT_TRUE(runner.loadFromString(text)) << runner.error();
    ASSERT_EQ(runner.steps().size(), 3u);
    EXPECT_EQ(runner.steps()[0].line, 3);
    EXPECT_EQ(runner.steps()[0].args, std::vector<std::string>{"Start"});
    EXPECT_EQ(runner.steps()[1].line, 6);
    EXPECT_EQ(runner.steps()[2].line, 7);
    EXPECT_EQ(runner.steps()[2].command, Cmd::Finish);

    EXPECT_FALSE(runner.loadFromString("wait 1\n\n# x\nwait 1\nklick\nwait 1\n"));
    EXPECT_EQ(runner.error(), "Zeile 5: unbekannter Befehl klick");
}

TEST(ScreenplayLoader, EmptyAndCommentOnlyTextsLoadWithoutSteps) {
    GuiDemoRunner runner(nullptr);
    for (const char* text : {"", "\n", "# nur Kommentar\n\n   \n", "\r\n\r\n"}) {
        SCOPED_TRACE(text);
        EXPECT_TRUE(runner.loadFromString(text));
        EXPECT_TRUE(runner.steps().empty());
        EXPECT_TRUE(runner.error().empty());
    }
}

TEST(ScreenplayLoader, FirstBadLineWinsAndClearsTheEarlierError) {
    GuiDemoRunner runner(nullptr);
    EXPECT_FALSE(runner.loadFromString("wait 1\nwait x\nklick\n"));
    EXPECT_EQ(runner.error(), "Zeile 2: ungültige Zeit");
    EXPECT_TRUE(runner.loadFromString("wait 1\n"));
    EXPECT_TRUE(runner.error().empty());
}

TEST(ScreenplayLoader, EmbeddedNulByteIsAnOrdinaryCharacter) {
    GuiDemoRunner runner(nullptr);
    EXPECT_FALSE(runner.loadFromString(std::string("wait 1\0x", 8)));
    EXPECT_EQ(runner.error(), "Zeile 1: ungültige Zeit");
}

class ScreenplayFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("velmaris-loader-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::filesystem::path dir;
};

TEST_F(ScreenplayFile, LoadReadsTheWholeFile) {
    const auto path = dir / "ok.demo";
    std::ofstream(path, std::ios::binary) << "scene \"A\"\r\nwait 0.5\r\nfinish\r\n";
    GuiDemoRunner runner(nullptr);
    ASSERT_TRUE(runner.load(path.string())) << runner.error();
    ASSERT_EQ(runner.steps().size(), 3u);
    EXPECT_EQ(runner.steps()[1].args, std::vector<std::string>{"0.5"});
}

TEST_F(ScreenplayFile, UnreadablePathKeepsThePreviousSteps) {
    GuiDemoRunner runner(nullptr);
    ASSERT_TRUE(runner.loadFromString("wait 1\nfinish\n"));
    const std::string missing = (dir / "fehlt.demo").string();
    EXPECT_FALSE(runner.load(missing));
    EXPECT_EQ(runner.error(), "Drehbuch nicht lesbar: " + missing);
    EXPECT_EQ(runner.steps().size(), 2u);

    // A directory is not a screenplay either (it would read as empty text).
    EXPECT_FALSE(runner.load(dir.string()));
    EXPECT_EQ(runner.error(), "Drehbuch nicht lesbar: " + dir.string());
    EXPECT_EQ(runner.steps().size(), 2u);
}

TEST_F(ScreenplayFile, ByteOrderMarkIsNotSkipped) {
    const auto path = dir / "bom.demo";
    std::ofstream(path, std::ios::binary) << "\xEF\xBB\xBF" "finish\n";
    GuiDemoRunner runner(nullptr);
    EXPECT_FALSE(runner.load(path.string()));
    EXPECT_EQ(runner.error(), "Zeile 1: unbekannter Befehl \xEF\xBB\xBF" "finish");
}

} // namespace
