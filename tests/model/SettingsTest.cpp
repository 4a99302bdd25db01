// The settings file: what a run leaves in "velmaris.ini" at start and at exit,
// read back byte for byte in a temporary working directory.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "Settings.h"
#include "ShapeRectangle.h"
#include "global.h"

namespace fs = std::filesystem;

namespace {

const std::string kBom = "\xEF\xBB\xBF";

// Runs each test in a fresh temporary directory, as the program runs in its
// own directory.
class SettingsFile : public testing::Test {
protected:
    void SetUp() override
    {
        mOldDir = fs::current_path();
        char pattern[] = "/tmp/velmaris-settings-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        mDir = pattern;
        fs::current_path(mDir);
    }
    void TearDown() override
    {
        fs::current_path(mOldDir);
        fs::remove_all(mDir);
    }

    static std::string readFile()
    {
        std::ifstream in("velmaris.ini", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    static void writeFile(const std::string& content)
    {
        std::ofstream out("velmaris.ini", std::ios::binary);
        out << content;
    }

    fs::path mOldDir;
    fs::path mDir;
};

std::string pathSectionAtExit(const std::string& lastOpen, const std::string& recent1)
{
    std::string s = kBom + "[Path]\n";
    s += "LastOpenPath = " + lastOpen + "\n";
    s += "LastSavePath = \n";
    s += "LastExportPath = \n";
    s += "LastMapFilename = \n";
    s += "RecentFile1 = " + recent1 + "\n";
    for (int i = 2; i <= 10; ++i)
        s += "RecentFile" + std::to_string(i) + " = \n";
    return s;
}

}  // namespace

TEST_F(SettingsFile, FirstStartCreatesFileAndExitLeavesOnlyPathSection)
{
    {
        Settings settings;
        EXPECT_EQ(readFile(), kBom + "[Path]\nLastOpenPath = \n\n\n[window]\n\n; Fensterhöhe\nheight = 720\n");
        EXPECT_EQ(settings.mRasterX, 10);
        EXPECT_EQ(settings.mRasterY, 10);
    }
    EXPECT_EQ(readFile(), pathSectionAtExit("", ""));
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(fs::current_path()), fs::directory_iterator()), 1);
}

TEST_F(SettingsFile, PathValuesSurviveOtherSectionsOnlyTheStart)
{
    writeFile(kBom +
              "[Path]\nLastOpenPath = /home/anna/plan.vlm\nRecentFile1 = /home/anna/alt.vlm\n\n"
              "[Window]\nWidth = 1280\nHeight = 900\n\n[Extra]\nfarbe = blau\n");
    {
        Settings settings;
        EXPECT_EQ(settings.mLastOpenPath, "/home/anna/plan.vlm");
        EXPECT_EQ(settings.mRecentFile[0], "/home/anna/alt.vlm");
        EXPECT_EQ(settings.mRecentFile[1], "");
        // The window height is replaced in place; everything else stays.
        EXPECT_EQ(readFile(), kBom +
                                  "[Path]\nLastOpenPath = /home/anna/plan.vlm\nRecentFile1 = /home/anna/alt.vlm\n\n\n"
                                  "[Window]\nWidth = 1280\nHeight = 720\n\n\n[Extra]\nfarbe = blau\n");
    }
    EXPECT_EQ(readFile(), pathSectionAtExit("/home/anna/plan.vlm", "/home/anna/alt.vlm"));
}

TEST_F(SettingsFile, NamesCompareWithoutCase)
{
    writeFile("[PATH]\nlastopenpath = /daten\nRECENTFILE10 = zehn.vlm\n");
    Settings settings;
    EXPECT_EQ(settings.mLastOpenPath, "/daten");
    EXPECT_EQ(settings.mRecentFile[9], "zehn.vlm");
}

TEST_F(SettingsFile, GridSpacingIsTenWhateverTheFileSays)
{
    writeFile("[Raster]\nRasterX = 3\nAlignRaster = 0\n");
    Settings settings;
    EXPECT_EQ(settings.mRasterX, 10);
    EXPECT_EQ(settings.mRasterY, 10);
    EXPECT_TRUE(settings.mAlignRaster);
}

TEST_F(SettingsFile, ChangedMembersAreWrittenAtExit)
{
    {
        Settings settings;
        settings.mLastOpenPath = "/neu";
        settings.mRecentFile[0] = "eins.vlm";
    }
    EXPECT_EQ(readFile(), pathSectionAtExit("/neu", "eins.vlm"));
    Settings again;
    EXPECT_EQ(again.mLastOpenPath, "/neu");
}

TEST_F(SettingsFile, ShapesSnapToTheSettingsGrid)
{
    Settings settings;
    GlobalSettings = &settings;
    ShapeRectangle rect(0, 0, 100, 50, 0);
    rect.move(2, 1);
    EXPECT_EQ(rect.mShapeNodes[0]->mX, 20);
    EXPECT_EQ(rect.mShapeNodes[0]->mY, 10);

    // With alignment off the spacing is 1: snapping only rounds to whole units.
    settings.mAlignRaster = false;
    settings.reload();
    EXPECT_EQ(settings.mRasterX, 1);
    rect.move(2, 1);
    EXPECT_EQ(rect.mShapeNodes[0]->mX, 22);
    EXPECT_EQ(rect.mShapeNodes[0]->mY, 11);
    rect.setDiffStartPosition(22 + 13.5, 11 + 4);
    EXPECT_DOUBLE_EQ(rect.mTmpXDiff, 14.5);
    EXPECT_DOUBLE_EQ(rect.mTmpYDiff, 5);
    double stepX = 0, stepY = 0;
    EXPECT_TRUE(rect.testDiffPosition(22 + 13.5 + 3, 11 + 4, stepX, stepY));
    EXPECT_DOUBLE_EQ(stepX, 3);
    EXPECT_DOUBLE_EQ(stepY, 0);
    GlobalSettings = nullptr;
}
