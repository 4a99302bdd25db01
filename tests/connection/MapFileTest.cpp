// The diagram file: round trips through real files, the failure table with
// fixture files, the exact text of a small diagram, and safe saving.
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <typeinfo>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Connection.h"
#include "ConnectionNode.h"
#include "IdMgr.h"
#include "Map.h"
#include "ShapeCircle.h"
#include "ShapeConnector.h"
#include "ShapeDiamond.h"
#include "ShapeImage.h"
#include "ShapePolygon.h"
#include "ShapeRectangle.h"
#include "ShapeTriangle.h"
#include "global.h"

namespace fs = std::filesystem;

namespace {

const std::string kData = CONNECTION_TEST_DATA;

// A fresh directory under the system's temporary directory, removed with
// everything in it at the end of the test.
class TempDir {
public:
    TempDir()
    {
        std::string pattern = (fs::temp_directory_path() / "vlmXXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        mPath = pattern;
    }
    ~TempDir()
    {
        std::error_code ignored;
        fs::remove_all(mPath, ignored);
    }
    std::string file(const std::string& name) const { return (mPath / name).string(); }
    const fs::path& path() const { return mPath; }

private:
    fs::path mPath;
};

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const std::string& path, const std::string& content)
{
    std::ofstream out(path, std::ios::binary);
    out << content;
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        result.push_back(line);
    }
    return result;
}

size_t shapeCount(Map& map)
{
    size_t n = 0;
    for (MapLayer* layer : map.mMapLayer) n += layer->mShapes.size();
    return n;
}

size_t connectionCount(Map& map)
{
    size_t n = 0;
    for (MapLayer* layer : map.mMapLayer) n += layer->mConnections.size();
    return n;
}

// Every object of every layer is indexed under its id, and the ids are unique.
void expectIndexConsistent(Map& map)
{
    size_t objects = 0;
    for (MapLayer* layer : map.mMapLayer) {
        for (Shape* shape : layer->mShapes) {
            EXPECT_EQ(map.getObjectById(shape->getId()), shape) << "shape " << shape->getId();
            ++objects;
        }
        for (Connection* connection : layer->mConnections) {
            EXPECT_EQ(map.getObjectById(connection->getId()), connection)
                << "connection " << connection->getId();
            ++objects;
        }
    }
    EXPECT_EQ(map.mObjectsById.size(), objects);
}

// The loader's messages on standard output (the debug log writes there too,
// so only these exact lines are looked at).
const char* const kLoaderMessages[] = {"ERROR", "UNGÜLTIGE ID. ABBRUCH!", "ID EXISTIERT. ABBRUCH!",
                                       "DEBUG: UNKNOWN CLASS !!!"};

std::vector<std::string> loaderMessages(const std::string& out)
{
    std::vector<std::string> found;
    for (const std::string& line : lines(out)) {
        for (const char* message : kLoaderMessages) {
            if (line == message) found.push_back(line);
        }
    }
    return found;
}

class MapFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        map = new Map();
        GlobalMap = map;
    }
    void TearDown() override
    {
        GlobalMap = nullptr;
        delete map;
    }

    // Loads the file into a fresh map the way the editor does and returns
    // the loader's messages.
    bool load(const std::string& path, std::vector<std::string>* messages = nullptr)
    {
        testing::internal::CaptureStdout();
        const bool result = map->loadMap(path.c_str());
        const std::string out = testing::internal::GetCapturedStdout();
        if (messages != nullptr) *messages = loaderMessages(out);
        map->validate();
        return result;
    }

    Map* map = nullptr;
};

// --- failure table ------------------------------------------------------------

struct FailureRow {
    const char* file;
    bool result;
    const char* message;  // loader line on standard output, or null for none
    size_t shapes;
    size_t connections;
};

const FailureRow kFailureRows[] = {
    {"good.vlm", true, nullptr, 2, 1},
    // Not well-formed: nothing is loaded.
    {"mismatched_tag.vlm", false, "ERROR", 0, 0},
    {"root_not_closed.vlm", false, "ERROR", 0, 0},
    {"trailing_text.vlm", false, "ERROR", 0, 0},
    {"invalid_utf8.vlm", false, "ERROR", 0, 0},
    {"control_character.vlm", false, "ERROR", 0, 0},
    {"empty_file.vlm", false, "ERROR", 0, 0},
    {"truncated_first_tag.vlm", false, "ERROR", 0, 0},
    // Id problems: the shape is skipped, the rest loads, the result is false.
    {"shape_without_id.vlm", false, "UNGÜLTIGE ID. ABBRUCH!", 1, 0},
    {"shape_id_zero.vlm", false, "UNGÜLTIGE ID. ABBRUCH!", 1, 0},
    {"duplicate_shape_id.vlm", false, "ID EXISTIERT. ABBRUCH!", 1, 0},
    // An unknown kind is skipped without failing the load.
    {"unknown_type.vlm", true, "DEBUG: UNKNOWN CLASS !!!", 1, 0},
    // Broken requirements: the element is skipped and the load fails.
    {"shape_without_type.vlm", false, nullptr, 1, 0},
    {"circle_without_radius.vlm", false, nullptr, 1, 0},
    {"vertex_index_out_of_range.vlm", false, nullptr, 1, 0},
    {"vertex_index_negative.vlm", false, nullptr, 1, 0},
    {"vertex_without_x.vlm", false, nullptr, 1, 0},
    {"vertex_coordinate_huge.vlm", false, nullptr, 1, 0},
    {"connection_node_index_out_of_range.vlm", false, nullptr, 1, 0},
    {"connection_node_edge_out_of_range.vlm", false, nullptr, 1, 0},
    {"connection_node_without_percent.vlm", false, nullptr, 1, 0},
    {"connection_bad_node_index.vlm", false, nullptr, 2, 0},
    {"connection_end_without_shapeid.vlm", false, nullptr, 2, 0},
    {"connection_without_id.vlm", false, nullptr, 2, 0},
    {"connection_without_character_data.vlm", false, nullptr, 2, 0},
    {"script_without_character_data.vlm", false, nullptr, 1, 0},
    // Connections to missing shapes or with one node are left out quietly.
    {"connection_unknown_shape.vlm", true, nullptr, 2, 0},
    {"connection_one_node.vlm", true, nullptr, 2, 0},
    // A taken connection id: the connection loads under a fresh id.
    {"connection_duplicate_id.vlm", true, nullptr, 2, 1},
    // No Map, or an empty one: nothing to load, and that is fine.
    {"empty_map.vlm", true, nullptr, 0, 0},
    {"no_map_element.vlm", true, nullptr, 0, 0},
};

TEST_F(MapFileTest, FailureTable)
{
    for (const FailureRow& row : kFailureRows) {
        SCOPED_TRACE(row.file);
        delete map;
        map = new Map();
        GlobalMap = map;
        const std::string path = kData + "/" + row.file;

        std::vector<std::string> messages;
        EXPECT_EQ(load(path, &messages), row.result);
        if (row.message != nullptr) {
            EXPECT_EQ(messages, std::vector<std::string>{row.message});
        } else {
            EXPECT_TRUE(messages.empty()) << messages.front();
        }
        EXPECT_EQ(shapeCount(*map), row.shapes);
        EXPECT_EQ(connectionCount(*map), row.connections);
        expectIndexConsistent(*map);
        EXPECT_FALSE(map->isModified());

        // Connection counters match the connections that were loaded.
        long ends = 0;
        for (Shape* shape : map->mMapLayer[0]->mShapes) ends += shape->mConnectionCount;
        EXPECT_EQ(ends, static_cast<long>(2 * row.connections));
    }
}

TEST_F(MapFileTest, DuplicateConnectionIdGetsAFreshIndexedId)
{
    ASSERT_TRUE(load(kData + "/connection_duplicate_id.vlm"));
    Connection* connection = map->mMapLayer[0]->mConnections.at(0);
    EXPECT_NE(connection->getId(), 2);
    EXPECT_EQ(map->getConnectionById(connection->getId()), connection);
    EXPECT_NE(map->getShapeById(2), nullptr);
}

TEST_F(MapFileTest, GoodFileGivesIdsNamesCaptionsAndScript)
{
    ASSERT_TRUE(load(kData + "/good.vlm"));
    EXPECT_EQ(map->mFilename, kData + "/good.vlm");
    Shape* a = map->getShapeById(1);
    Shape* b = map->getShapeById(2);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(map->mMapLayer[0]->mShapes.at(0), a);  // first in the file is on top
    EXPECT_STREQ(a->getCaption(), "First");
    EXPECT_EQ(b->getName(), "B");
    EXPECT_DOUBLE_EQ(b->mShapeNodes[2]->mX, 300);
    Connection* c = map->getConnectionById(3);
    ASSERT_NE(c, nullptr);
    EXPECT_STREQ(c->getCaption(), "");
    EXPECT_EQ(c->mConnectionNodes[0], a->mConnectionNodes[1]);
    EXPECT_EQ(c->mConnectionNodes[1], b->mConnectionNodes[3]);
    EXPECT_DOUBLE_EQ(c->mArrow1X[0], 100);
    EXPECT_DOUBLE_EQ(c->mArrow2X[0], 199);
    EXPECT_EQ(map->mMapInitScript, "script");
    // The id counter starts again from 1 and skips the loaded ids.
    EXPECT_EQ(map->mIdMgr->getFreeId(), 4);
}

TEST_F(MapFileTest, UnreadableFileLeavesTheMapAlone)
{
    ShapeRectangle* existing = map->addRectangle(0, 0, 10, 10);
    map->mFilename = "before.vlm";
    const uint64_t revision = map->revision();

    std::vector<std::string> messages;
    EXPECT_FALSE(load(kData + "/does_not_exist.vlm", &messages));
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(load(kData, &messages));  // a directory
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(shapeCount(*map), 1u);
    EXPECT_EQ(map->getShapeById(existing->getId()), existing);
    EXPECT_EQ(map->mFilename, "before.vlm");
    EXPECT_TRUE(map->isModified());
    EXPECT_GT(map->revision(), revision);

    // A file that is not well-formed changes nothing either but the counter.
    EXPECT_FALSE(load(kData + "/trailing_text.vlm", &messages));
    EXPECT_EQ(messages, std::vector<std::string>{"ERROR"});
    EXPECT_EQ(shapeCount(*map), 1u);
    EXPECT_EQ(map->mFilename, "before.vlm");
    EXPECT_EQ(map->mIdMgr->mIdCounter, 1);
}

// --- round trips --------------------------------------------------------------------

// A diagram with every kind and every stored attribute set to a value other
// than its default.
void buildFullDiagram(Map& m)
{
    ShapeRectangle* rect = m.addRectangle(10, 20, 130.5, 80.25);
    rect->setCurve(3.5);
    rect->setName("two words");
    rect->setCaption("  <b>Fett</b> & \"Zitat\" 'x' \xC3\xBC\n\t");
    rect->setTooltip("tip & <tap>");
    rect->setValidationScript("check(1);");
    rect->setShowPosition(true);
    rect->mFlowValue = 2.5;
    rect->mFlowType = 7;
    rect->setFillColor(0.2, 0.4, 1.0 / 3.0, false);
    rect->setFontColor(0.1, 0.0, 0.9);
    rect->mConnectionNodes[1]->mName = "in put";
    rect->mConnectionNodes[2]->mPercent = 25;
    rect->recalcConnectionNodes();

    ShapeTriangle* triangle = m.addTriangle(300, 300, 400, 300, 350, 380);
    triangle->mConnectionNodes[0]->mEdge = 1;
    triangle->mConnectionNodes[0]->mPercent = 10;
    triangle->recalcConnectionNodes();

    ShapePolygon* polygon = m.addPolygon(500, 500, 600, 560);
    polygon->mShapeNodes[2]->mX = 1234567;
    polygon->mShapeNodes[2]->mY = 620.5;
    polygon->mShapeNodes[3]->mX = -0.125;
    polygon->recalcConnectionNodes();

    m.addDiamond(700, 100, 760, 140)->setCaption("Raute");
    ShapeCircle* circle = m.addCircle(900, 900, 33.25);
    circle->recalcConnectionNodes();
    ShapeConnector* link = m.addConnectorLink(200, 400);
    m.addImage(1000, 0, 0, 0);

    Connection* c1 = m.addConnection(rect, 1, circle, 0);
    c1->setCaption("Ver<i>bindung</i> &amp;");
    c1->setName("first link");
    c1->mBorderRed = 0.75;
    c1->mBorderGreen = 0.125;
    c1->mBorderBlue = 1;
    m.addConnection(link, 0, triangle, 2)->setCaption("  padded  ");
    m.mMapInitScript = "  run(); \n";
}

TEST_F(MapFileTest, SaveAndLoadKeepEveryStoredAttribute)
{
    TempDir dir;
    const std::string path = dir.file("full.vlm");
    buildFullDiagram(*map);
    ASSERT_TRUE(map->saveMap(path.c_str()));
    EXPECT_EQ(map->mFilename, path);
    EXPECT_FALSE(map->isModified());

    std::unique_ptr<Map> original(map);
    map = new Map();
    GlobalMap = map;
    std::vector<std::string> messages;
    const bool loaded = load(path, &messages);
    Map& o = *original;
    Map& l = *map;
    EXPECT_TRUE(loaded);
    EXPECT_TRUE(messages.empty());
    expectIndexConsistent(l);

    ASSERT_EQ(shapeCount(l), shapeCount(o));
    ASSERT_EQ(connectionCount(l), connectionCount(o));
    for (size_t i = 0; i < o.mMapLayer[0]->mShapes.size(); ++i) {
        Shape* a = o.mMapLayer[0]->mShapes[i];
        Shape* b = l.mMapLayer[0]->mShapes[i];
        SCOPED_TRACE("shape " + std::to_string(a->getId()));
        EXPECT_EQ(typeid(*a), typeid(*b));
        EXPECT_EQ(a->getId(), b->getId());
        EXPECT_EQ(a->getName(), b->getName());
        EXPECT_EQ(a->mTooltip, b->mTooltip);
        EXPECT_EQ(a->mValidationScript, b->mValidationScript);
        EXPECT_EQ(a->mEnabledValidationScript, b->mEnabledValidationScript);
        EXPECT_EQ(a->mShowPosition, b->mShowPosition);
        EXPECT_EQ(a->mFlowValue, b->mFlowValue);
        EXPECT_EQ(a->mFlowType, b->mFlowType);
        EXPECT_EQ(a->mFillRed, b->mFillRed);
        EXPECT_EQ(a->mFillGreen, b->mFillGreen);
        EXPECT_EQ(a->mFillBlue, b->mFillBlue);
        EXPECT_EQ(a->mFontRed, b->mFontRed);
        EXPECT_EQ(a->mFontGreen, b->mFontGreen);
        EXPECT_EQ(a->mFontBlue, b->mFontBlue);
        ASSERT_EQ(a->mShapeNodes.size(), b->mShapeNodes.size());
        for (size_t n = 0; n < a->mShapeNodes.size(); ++n) {
            EXPECT_EQ(a->mShapeNodes[n]->mX, b->mShapeNodes[n]->mX) << "vertex " << n;
            EXPECT_EQ(a->mShapeNodes[n]->mY, b->mShapeNodes[n]->mY) << "vertex " << n;
        }
        ASSERT_EQ(a->mConnectionNodes.size(), b->mConnectionNodes.size());
        for (size_t n = 0; n < a->mConnectionNodes.size(); ++n) {
            EXPECT_EQ(a->mConnectionNodes[n]->mName, b->mConnectionNodes[n]->mName);
            EXPECT_EQ(a->mConnectionNodes[n]->mEdge, b->mConnectionNodes[n]->mEdge);
            EXPECT_EQ(a->mConnectionNodes[n]->mPercent, b->mConnectionNodes[n]->mPercent);
            EXPECT_EQ(a->mConnectionNodes[n]->mX, b->mConnectionNodes[n]->mX);
            EXPECT_EQ(a->mConnectionNodes[n]->mY, b->mConnectionNodes[n]->mY);
        }
        EXPECT_EQ(a->mConnectionCount, b->mConnectionCount);
    }

    Shape* rect = l.mMapLayer[0]->mShapes[0];
    EXPECT_EQ(rect->getName(), "two_words");
    EXPECT_STREQ(rect->getCaption(), "<b>Fett</b> & \"Zitat\" 'x' \xC3\xBC");
    EXPECT_EQ(rect->mConnectionNodes[1]->mName, "in put");
    EXPECT_EQ(static_cast<ShapeRectangle*>(rect)->mCurve, 3.5);
    EXPECT_EQ(static_cast<ShapeCircle*>(l.mMapLayer[0]->mShapes[4])->mRadius, 33.25);
    EXPECT_STREQ(l.mMapLayer[0]->mShapes[3]->getCaption(), "Raute");

    for (size_t i = 0; i < o.mMapLayer[0]->mConnections.size(); ++i) {
        Connection* a = o.mMapLayer[0]->mConnections[i];
        Connection* b = l.mMapLayer[0]->mConnections[i];
        EXPECT_EQ(a->getId(), b->getId());
        EXPECT_EQ(a->getName(), b->getName());
        EXPECT_EQ(a->mBorderRed, b->mBorderRed);
        EXPECT_EQ(a->mBorderGreen, b->mBorderGreen);
        EXPECT_EQ(a->mBorderBlue, b->mBorderBlue);
        EXPECT_EQ(a->mConnectionNodes[0]->mParentShape->getId(), b->mConnectionNodes[0]->mParentShape->getId());
        EXPECT_EQ(a->mConnectionNodes[0]->getId(), b->mConnectionNodes[0]->getId());
        EXPECT_EQ(a->mConnectionNodes[1]->mParentShape->getId(), b->mConnectionNodes[1]->mParentShape->getId());
        EXPECT_EQ(a->mConnectionNodes[1]->getId(), b->mConnectionNodes[1]->getId());
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(a->mArrow1X[k], b->mArrow1X[k]);
            EXPECT_EQ(a->mArrow2Y[k], b->mArrow2Y[k]);
        }
    }
    Connection* c1 = l.mMapLayer[0]->mConnections[0];
    EXPECT_STREQ(c1->getCaption(), "Ver<i>bindung</i> &amp;");
    EXPECT_EQ(c1->getName(), "first_link");
    EXPECT_EQ(c1->mArrow1Style, 1);
    EXPECT_EQ(c1->mArrow2Style, 2);
    EXPECT_STREQ(l.mMapLayer[0]->mConnections[1]->getCaption(), "padded");
    EXPECT_EQ(l.mMapInitScript, "run();");

    // Saving the loaded diagram again gives the same file.
    const std::string again = dir.file("again.vlm");
    ASSERT_TRUE(l.saveMap(again.c_str()));
    // Differences are only the trimmed texts, which were already trimmed in
    // the second file: a third round must be identical to the second.
    Map third;
    testing::internal::CaptureStdout();
    ASSERT_TRUE(third.loadMap(again.c_str()));
    testing::internal::GetCapturedStdout();
    const std::string thirdPath = dir.file("third.vlm");
    ASSERT_TRUE(third.saveMap(thirdPath.c_str()));
    EXPECT_EQ(readFile(again), readFile(thirdPath));
}

TEST_F(MapFileTest, CoordinatesReadBackExactlyAndKeepTheShortForm)
{
    struct Case {
        double value;
        const char* text;  // expected attribute text, or null when any exact form will do
    } cases[] = {
        {40, "40"},           {0.5, "0.5"},           {120.5, "120.5"},
        {-17.25, "-17.25"},   {1234567, "1234567"},   {1e-05, "1e-05"},
        {1.0 / 3.0, nullptr}, {99999.99, nullptr},    {-2500000.5, nullptr},
    };
    TempDir dir;
    for (const Case& k : cases) {
        SCOPED_TRACE(k.value);
        Map original;
        ShapePolygon* polygon = original.addPolygon(0, 0, 100, 100);
        polygon->mShapeNodes[1]->mX = k.value;
        polygon->mShapeNodes[1]->mY = k.value;
        const std::string path = dir.file("coordinates.vlm");
        ASSERT_TRUE(original.saveMap(path.c_str()));
        const std::string text = readFile(path);
        if (k.text != nullptr) {
            EXPECT_NE(text.find("X=\"" + std::string(k.text) + "\""), std::string::npos) << text;
        }

        Map loaded;
        testing::internal::CaptureStdout();
        EXPECT_TRUE(loaded.loadMap(path.c_str()));
        testing::internal::GetCapturedStdout();
        ASSERT_EQ(shapeCount(loaded), 1u);
        Shape* shape = loaded.mMapLayer[0]->mShapes[0];
        EXPECT_EQ(shape->mShapeNodes[1]->mX, k.value);
        EXPECT_EQ(shape->mShapeNodes[1]->mY, k.value);
    }
}

TEST_F(MapFileTest, WrittenFileMatchesTheReferenceText)
{
    ShapeRectangle* rect = map->addRectangle(10, 10, 110, 60);
    rect->setName("Start");
    rect->setCaption("<b>Hallo</b> & Welt");
    ShapeConnector* link = map->addConnectorLink(200, 35);
    Connection* c = map->addConnection(rect, 1, link, 0);
    c->setCaption("weiter");
    link->mConnectionNodes[0]->mName = "Mitte links";
    map->mMapInitScript = "init";

    TempDir dir;
    const std::string path = dir.file("small.vlm");
    ASSERT_TRUE(map->saveMap(path.c_str()));
    const std::string written = readFile(path);
    const std::string reference = readFile(kData + "/reference_small.vlm");
    EXPECT_EQ(written, reference);
    if (written != reference) {
        writeFile(fs::temp_directory_path() / "reference_small.actual.vlm", written);
    }
}

// --- safe saving ----------------------------------------------------------------

TEST_F(MapFileTest, FailedSaveKeepsTheOldFileAndTheMapState)
{
    TempDir dir;
    const std::string path = dir.file("diagram.vlm");
    const std::string oldContent = "old content that must survive\n";
    writeFile(path, oldContent);

    for (int i = 0; i < 200; ++i) {
        map->addRectangle(i * 10, 0, i * 10 + 100, 50)->setCaption("a caption long enough to fill the file");
    }
    map->mFilename = "earlier.vlm";
    ASSERT_TRUE(map->isModified());

    // The file system refuses to let any file grow beyond 4 KiB: the write
    // fails part-way through.
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    void (*previous)(int) = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved_ok = map->saveMap(path.c_str());
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_FALSE(saved_ok);
    EXPECT_EQ(readFile(path), oldContent);
    EXPECT_EQ(map->mFilename, "earlier.vlm");
    EXPECT_TRUE(map->isModified());
    // No temporary file is left behind.
    size_t entries = 0;
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        (void)entry;
        ++entries;
    }
    EXPECT_EQ(entries, 1u);

    // Without the limit the same save succeeds and replaces the file.
    ASSERT_TRUE(map->saveMap(path.c_str()));
    EXPECT_NE(readFile(path), oldContent);
    EXPECT_EQ(map->mFilename, path);
    EXPECT_FALSE(map->isModified());
}

TEST_F(MapFileTest, SaveIntoAMissingDirectoryFails)
{
    map->addRectangle(0, 0, 100, 50);
    TempDir dir;
    const std::string path = dir.file("no/such/dir/diagram.vlm");
    EXPECT_FALSE(map->saveMap(path.c_str()));
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(map->mFilename, "");
    EXPECT_TRUE(map->isModified());
    EXPECT_FALSE(map->saveMap(""));
    EXPECT_FALSE(map->saveMap(nullptr));
}

TEST_F(MapFileTest, SaveKeepsPermissionsAndSymbolicLinks)
{
    map->addRectangle(0, 0, 100, 50);
    TempDir dir;
    const std::string real = dir.file("real.vlm");
    const std::string link = dir.file("link.vlm");
    writeFile(real, "old");
    ASSERT_EQ(chmod(real.c_str(), 0640), 0);
    fs::create_symlink(real, link);

    ASSERT_TRUE(map->saveMap(link.c_str()));
    EXPECT_TRUE(fs::is_symlink(link));
    struct stat info;
    ASSERT_EQ(stat(real.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_NE(readFile(real).find("<Map>"), std::string::npos);
    EXPECT_EQ(map->mFilename, link);
}

}  // namespace
