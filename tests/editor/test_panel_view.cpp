// Editor panel: the sample diagram, the view transform and its queries,
// zooming and centring, the shape tools, loading a file and drawing a frame.
#include <fstream>

#include "PanelFixture.h"
#include "ShapeCircle.h"
#include "ShapeImage.h"
#include "ShapeRectangle.h"

namespace {

struct PixelCase {
    int pixel;
    double translate, scale;
    int world;
};

}  // namespace

TEST(PanelArithmetic, PixelToWorldTruncatesTwice) {
    const PixelCase cases[] = {
        {100, 0.5, 1.0, 99},   // 100 - 0.5 truncated
        {1, 0.5, 1.0, 0},
        {101, 0.5, 2.0, 49},   // 101 / 2 -> 50, 50 - 0.5 -> 49
        {55, -20.0, 0.5, 130}, // 110 + 20
        {0, 30.5, 1.0, -30},   // truncation towards zero
        {7, 0.0, 0.1, 70},
    };
    for (const PixelCase& c : cases)
        EXPECT_EQ(VelmarisPanel::pixelToWorld(c.pixel, c.translate, c.scale), c.world)
            << "pixel " << c.pixel << " T " << c.translate << " S " << c.scale;
}

TEST(PanelArithmetic, SnapToGridRoundsHalvesAwayFromZero) {
    const double cases[][3] = {
        {14, 10, 10}, {15, 10, 20}, {-15, 10, -20}, {-14, 10, -10}, {3, 10, 0}, {7.4, 1, 7},
    };
    for (const auto& c : cases) EXPECT_EQ(VelmarisPanel::snapToGrid(c[0], c[1]), c[2]) << c[0];
}

TEST(PanelArithmetic, PanCellsCountsGridLinesCrossed) {
    EXPECT_EQ(VelmarisPanel::panCells(100, 109, 10), 0);
    EXPECT_EQ(VelmarisPanel::panCells(109, 110, 10), 1);
    EXPECT_EQ(VelmarisPanel::panCells(100, 135, 10), 3);
    EXPECT_EQ(VelmarisPanel::panCells(135, 100, 10), 3);
}

TEST_F(PanelTest, FreshEditorShowsTheSampleDiagram) {
    ASSERT_EQ(shapeCount(), 2u);
    ASSERT_EQ(connectionCount(), 1u);
    ASSERT_NE(s1, nullptr);
    ASSERT_NE(s2, nullptr);
    ASSERT_EQ(map->mSelectedShapes.size(), 1u);
    EXPECT_EQ(map->mSelectedShapes[0], s2);
    Connection* c = map->mMapLayer[0]->mConnections[0];
    EXPECT_EQ(c->mConnectionNodes[0], s1->mConnectionNodes[0]);
    EXPECT_EQ(c->mConnectionNodes[1], s2->mConnectionNodes[0]);
    EXPECT_EQ(panel->mViewMode, VIEW_MODE_CONNECTION);
    EXPECT_EQ(panel->mLca, nullptr);
    EXPECT_EQ(panel->getTool(), VelmarisPanel::Tool::Select);
    std::string mode;
    ASSERT_TRUE(panel->getValueTextOf("mode", mode));
    EXPECT_EQ(mode, "connection");
}

TEST_F(PanelTest, ViewBoxFollowsEveryViewChange) {
    // 400 x 300 panel, translation 0.5, scale 1: visible -0.5 .. 399.5.
    EXPECT_DOUBLE_EQ(map->mViewBoundingBox[0], -100.5);
    EXPECT_DOUBLE_EQ(map->mViewBoundingBox[1], -100.5);
    EXPECT_DOUBLE_EQ(map->mViewBoundingBox[2], 499.5);
    EXPECT_DOUBLE_EQ(map->mViewBoundingBox[3], 399.5);

    panel->scaleView(1.0, 1.0);  // scale 2: visible -0.5 .. 199.5 wide
    EXPECT_DOUBLE_EQ(map->mViewBoundingBox[2], 299.5);
    EXPECT_DOUBLE_EQ(map->mViewBoundingBox[3], 249.5);

    key(SDLK_d);  // the diagram moves right: the view box moves left
    EXPECT_DOUBLE_EQ(global_translate_x, 10.5);
    EXPECT_DOUBLE_EQ(map->mViewBoundingBox[0], -110.5);
}

TEST_F(PanelTest, ZoomIsAdditiveAndStopsAtOneTenth) {
    for (int i = 0; i < 20; ++i) key(SDLK_PLUS);
    EXPECT_NEAR(global_scale_x, 1.2, 1e-9);
    EXPECT_EQ(global_scale_x, global_scale_y);
    for (int i = 0; i < 200; ++i) key(SDLK_MINUS);
    EXPECT_DOUBLE_EQ(global_scale_x, 0.1);
    EXPECT_DOUBLE_EQ(global_scale_y, 0.1);
    panel->scaleView(100, 100);  // no upper limit
    EXPECT_DOUBLE_EQ(global_scale_x, 100.1);
}

TEST_F(PanelTest, CenterPositionPutsThePointInTheMiddle) {
    const double points[][3] = {{0, 0, 1}, {123.5, -40, 1}, {1000, 2000, 2.5}, {-7, 3, 0.3}};
    for (const auto& p : points) {
        global_scale_x = global_scale_y = p[2];
        panel->centerPosition(p[0], p[1]);
        double mx, my;
        panel->getRealMiddlePosition(mx, my);
        EXPECT_NEAR(mx, p[0], 1e-9);
        EXPECT_NEAR(my, p[1], 1e-9);
    }
}

TEST_F(PanelTest, CenterOnShapesCentresTheBoundingBoxAndKeepsTheScale) {
    global_scale_x = global_scale_y = 2.0;
    panel->centerOnShapes();  // sample: 10..240 both ways, centre 125
    double mx, my;
    panel->getRealMiddlePosition(mx, my);
    EXPECT_DOUBLE_EQ(mx, 125);
    EXPECT_DOUBLE_EQ(my, 125);
    EXPECT_DOUBLE_EQ(global_scale_x, 2.0);

    emptyMap();
    global_translate_x = 3;
    panel->centerOnShapes();
    EXPECT_DOUBLE_EQ(global_translate_x, 3);  // empty map: view unchanged
}

TEST_F(PanelTest, ShapeBoxOfACircleIsItsBoundingSquare) {
    ShapeCircle circle(20, 30, 15);
    double x1, y1, x2, y2;
    ASSERT_TRUE(VelmarisPanel::shapeBox(&circle, x1, y1, x2, y2));
    EXPECT_EQ(x1, 20);
    EXPECT_EQ(y1, 30);
    EXPECT_EQ(x2, 50);
    EXPECT_EQ(y2, 60);
}

TEST_F(PanelTest, DefaultToolShapes) {
    using T = VelmarisPanel::Tool;
    const struct {
        T tool;
        double w, h;
    } cases[] = {{T::Rectangle, 100, 50}, {T::Polygon, 100, 100}, {T::Diamond, 100, 100},
                 {T::Triangle, 100, 100}, {T::Circle, 100, 100}};
    for (const auto& c : cases) {
        Shape* s = panel->createShape(c.tool);
        double x1, y1, x2, y2;
        ASSERT_TRUE(VelmarisPanel::shapeBox(s, x1, y1, x2, y2));
        EXPECT_EQ(x1, 0) << (int)c.tool;
        EXPECT_EQ(y1, 0) << (int)c.tool;
        EXPECT_EQ(x2 - x1, c.w) << (int)c.tool;
        EXPECT_EQ(y2 - y1, c.h) << (int)c.tool;
        delete s;
    }
    Shape* circle = panel->createShape(T::Circle, 0, 0, 80, 30);
    EXPECT_EQ(static_cast<ShapeCircle*>(circle)->mRadius, 15);
    delete circle;
}

TEST_F(PanelTest, ToolDragRectGrowsFromThePressPointOnTheGrid) {
    using T = VelmarisPanel::Tool;
    const struct {
        T tool;
        double pressX, pressY, mouseX, mouseY;
        double x1, y1, x2, y2;
    } cases[] = {
        {T::Rectangle, 20, 20, 3, 44, 0, 20, 20, 40},     // left and down
        {T::Rectangle, 20, 20, 20, 20, 20, 20, 30, 30},   // no movement: one grid step
        {T::Rectangle, 20, 20, 76, -14, 20, -10, 80, 20}, // right and up
        {T::Polygon, 0, 0, -33, -57, -30, -60, 0, 0},
        {T::Circle, 0, 0, 80, 30, 0, 0, 30, 30},          // square box
        {T::Circle, 50, 50, 0, 40, 40, 40, 50, 50},
    };
    for (const auto& c : cases) {
        panel->setTool(c.tool);
        panel->mToolPressX = c.pressX;
        panel->mToolPressY = c.pressY;
        double x1, y1, x2, y2;
        panel->toolDragRect(c.mouseX, c.mouseY, x1, y1, x2, y2);
        EXPECT_EQ(x1, c.x1) << c.mouseX << "," << c.mouseY;
        EXPECT_EQ(y1, c.y1) << c.mouseX << "," << c.mouseY;
        EXPECT_EQ(x2, c.x2) << c.mouseX << "," << c.mouseY;
        EXPECT_EQ(y2, c.y2) << c.mouseX << "," << c.mouseY;
    }
}

TEST_F(PanelTest, MoveShapeToCentresOnTheGrid) {
    ShapeRectangle r(0, 0, 100, 50, 0);
    panel->moveShapeTo(&r, 57, 33);
    EXPECT_EQ(r.mShapeNodes[0]->mX, 10);
    EXPECT_EQ(r.mShapeNodes[0]->mY, 10);
    EXPECT_EQ(r.mShapeNodes[2]->mX, 110);
    EXPECT_EQ(r.mShapeNodes[2]->mY, 60);
    // Connection and border nodes come along.
    EXPECT_EQ(r.mConnectionNodes[0]->mX, 60);
    EXPECT_EQ(r.mBorderNodes[0]->mX, 0);
}

TEST_F(PanelTest, SetToolClearsSelectionAndReportsTheChange) {
    std::vector<VelmarisPanel::Tool> seen;
    panel->mOnToolChanged = [&](VelmarisPanel::Tool t) { seen.push_back(t); };
    panel->setTool(VelmarisPanel::Tool::Diamond);
    EXPECT_TRUE(map->mSelectedShapes.empty());
    ASSERT_TRUE(panel->mToolGhost);
    EXPECT_FALSE(panel->mToolGhostVisible);
    panel->setTool(VelmarisPanel::Tool::Diamond);  // same tool: nothing
    panel->setTool(VelmarisPanel::Tool::Select);
    EXPECT_FALSE(panel->mToolGhost);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], VelmarisPanel::Tool::Diamond);
    EXPECT_EQ(seen[1], VelmarisPanel::Tool::Select);
}

TEST_F(PanelTest, AddShapeGoesOnTopWithAFreshId) {
    Shape* s = panel->createShape(VelmarisPanel::Tool::Rectangle);
    panel->moveShapeTo(s, 35, 35);  // over the sample rectangle s1
    panel->addShape(s);
    EXPECT_GT(s->getId(), 0);
    EXPECT_NE(s->getId(), s1->getId());
    EXPECT_EQ(map->mMapLayer[0]->mShapes[0], s);
    EXPECT_EQ(map->getShapeById(s->getId()), s);
    EXPECT_EQ(map->hitTest(35, 35), s);
}

class PanelFileTest : public PanelTest {
protected:
    std::string writeFile(const std::string& name, const std::string& text) {
        std::string path = PanelEnvironment::dir() + "/" + name;
        std::ofstream(path) << text;
        return path;
    }
};

static const char* kTwoShapes =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Map>\n"
    "<Shape Id=\"5\" Name=\"A\" Type=\"Rectangle\">\n<Nodes>\n"
    "<Node Id=\"0\" X=\"1000\" Y=\"1000\"/><Node Id=\"1\" X=\"1100\" Y=\"1000\"/>"
    "<Node Id=\"2\" X=\"1100\" Y=\"1050\"/><Node Id=\"3\" X=\"1000\" Y=\"1050\"/>\n</Nodes>\n"
    "<ConnectionNodes>\n<Node Id=\"0\" Edge=\"0\" Percent=\"50\"/><Node Id=\"1\" Edge=\"1\" "
    "Percent=\"50\"/><Node Id=\"2\" Edge=\"2\" Percent=\"50\"/><Node Id=\"3\" Edge=\"3\" "
    "Percent=\"50\"/>\n</ConnectionNodes>\n</Shape>\n"
    "<Shape Id=\"9\" Name=\"B\" Type=\"Rectangle\">\n<Nodes>\n"
    "<Node Id=\"0\" X=\"1300\" Y=\"1000\"/><Node Id=\"1\" X=\"1400\" Y=\"1000\"/>"
    "<Node Id=\"2\" X=\"1400\" Y=\"1050\"/><Node Id=\"3\" X=\"1300\" Y=\"1050\"/>\n</Nodes>\n"
    "<ConnectionNodes>\n<Node Id=\"0\" Edge=\"0\" Percent=\"50\"/><Node Id=\"1\" Edge=\"1\" "
    "Percent=\"50\"/><Node Id=\"2\" Edge=\"2\" Percent=\"50\"/><Node Id=\"3\" Edge=\"3\" "
    "Percent=\"50\"/>\n</ConnectionNodes>\n</Shape>\n"
    "<Connection Id=\"12\" Name=\"L\"> \n<ConnectionNodes>\n<Node ShapeId=\"5\" Id=\"1\"/>"
    "<Node ShapeId=\"9\" Id=\"3\"/>\n</ConnectionNodes>\n</Connection>\n"
    "<MapInitScript> </MapInitScript>\n</Map>\n";

TEST_F(PanelFileTest, LoadingReplacesTheSampleAndCentresTheDiagram) {
    std::string path = writeFile("two.vlm", kTwoShapes);
    panel->selectShape(s1, 20, 20);
    EXPECT_TRUE(panel->loadMapFile(path));
    EXPECT_EQ(s1, nullptr);
    EXPECT_EQ(s2, nullptr);
    EXPECT_EQ(shapeCount(), 2u);
    EXPECT_EQ(connectionCount(), 1u);
    EXPECT_TRUE(map->mSelectedShapes.empty());
    EXPECT_TRUE(panel->mCenterOnResize);
    double mx, my;
    panel->getRealMiddlePosition(mx, my);
    EXPECT_DOUBLE_EQ(mx, 1200);  // box 1000..1400 x 1000..1050
    EXPECT_DOUBLE_EQ(my, 1025);

    // Until the user acts, a resize keeps the diagram centred ...
    panel->resize(PanelEnvironment::renderer(), 600, 200);
    panel->getRealMiddlePosition(mx, my);
    EXPECT_DOUBLE_EQ(mx, 1200);
    EXPECT_DOUBLE_EQ(my, 1025);
    // ... and after the first key press it no longer does.
    key(SDLK_a);
    EXPECT_FALSE(panel->mCenterOnResize);
    panel->resize(PanelEnvironment::renderer(), 300, 200);
    panel->getRealMiddlePosition(mx, my);
    EXPECT_NE(mx, 1200);
}

TEST_F(PanelFileTest, LoadingAFileThatDoesNotExistLeavesAnEmptyDiagram) {
    EXPECT_FALSE(panel->loadMapFile(PanelEnvironment::dir() + "/missing.vlm"));
    EXPECT_EQ(shapeCount(), 0u);
    EXPECT_EQ(s1, nullptr);
    EXPECT_TRUE(panel->wantsRedraw());
}

TEST_F(PanelFileTest, LoadingCommitsARunningDragAgainstTheOldDiagram) {
    // A rubber band still running when a file is loaded ends cleanly.
    pressPx(350, 280);
    movePx(390, 290);
    ASSERT_NE(panel->mLca, nullptr);
    EXPECT_TRUE(panel->loadMapFile(writeFile("again.vlm", kTwoShapes)));
    EXPECT_EQ(panel->mLca, nullptr);
    EXPECT_FALSE(panel->mIsEmptyDrag);
    EXPECT_TRUE(panel->mSelectionPreview.empty());
    EXPECT_TRUE(map->mSelectedShapes.empty());
}

// --- drawing ---------------------------------------------------------------

TEST_F(PanelTest, RedrawOnlyWhenAskedOrTheMapChanged) {
    panel->render();
    EXPECT_FALSE(panel->wantsRedraw());
    map->changed();
    EXPECT_TRUE(panel->wantsRedraw());
    panel->render();
    EXPECT_FALSE(panel->wantsRedraw());
    panel->onMouseLeave();
    EXPECT_TRUE(panel->wantsRedraw());
}

// The frame is drawn at the rounded translation, on top of the context's
// half-pixel offset: at scale 1 the world x lies on device column x + T + 0.5.
TEST_F(PanelTest, FrameGridFollowsTheRoundedTranslation) {
    emptyMap();
    const uint32_t white = 0xffffff, major = 0xb3b3b3, minor = 0xe6e6e6;
    const struct {
        double translate;
        int majorColumn;  // column of world x = 100
    } cases[] = {{0.5, 101}, {0.4, 100}, {1.49, 101}, {-0.5, 99}};
    for (const auto& c : cases) {
        global_translate_x = global_translate_y = c.translate;
        panel->resetBoundingBox();
        panel->render();
        EXPECT_EQ(pixel(c.majorColumn, 55), major) << c.translate;
        EXPECT_EQ(pixel(c.majorColumn + 10, 55), minor) << c.translate;
        EXPECT_EQ(pixel(c.majorColumn + 5, 55), white) << c.translate;
    }
}

TEST_F(PanelTest, GridOnlyBetweenHalfAndFiveTimesZoom) {
    emptyMap();
    auto rowHasGrid = [&] {
        for (int x = 0; x < kPanelW; ++x)
            if (pixel(x, 2) != 0xffffff) return true;
        return false;
    };
    const struct {
        double scale;
        bool grid;
    } cases[] = {{0.5, false}, {0.51, true}, {1, true}, {4.99, true}, {5, false}, {8, false}};
    for (const auto& c : cases) {
        global_scale_x = global_scale_y = c.scale;
        panel->resetBoundingBox();
        panel->render();
        EXPECT_EQ(rowHasGrid(), c.grid) << "scale " << c.scale;
    }
}

TEST_F(PanelTest, FrameDrawsShapesBandNodeMarkAndGhost) {
    map->clearAllSelections();
    panel->mIsEmptyDrag = true;
    panel->mEmptyDragStartX = 170;
    panel->mEmptyDragStartY = 150;
    panel->mEmptyDragEndX = 120;  // drawn before it is normalised
    panel->mEmptyDragEndY = 120;
    panel->setTool(VelmarisPanel::Tool::Rectangle);
    panel->moveShapeTo(panel->mToolGhost.get(), 330, 220);  // (280, 200)-(380, 250)
    panel->mToolGhostVisible = true;
    map->mSelectedConnectionNode = s1->mConnectionNodes[0];  // (35, 11)
    panel->render();

    EXPECT_EQ(pixel(5, 5), 0xffffffu);
    EXPECT_LT(pixel(11, 36) & 0xff, 0x40u);       // s1's left outline, world x 10
    EXPECT_EQ(pixel(25, 36), 0xffffffu);          // s1's white body
    EXPECT_EQ(pixel(171, 136), 0xff0000u);        // band, right edge (world 170)
    EXPECT_EQ(pixel(121, 136), 0xff0000u);        // band, left edge (world 120)
    EXPECT_EQ(pixel(33, 15), 0xff8080u);          // mark of the selected node
    // The ghost's black outline at 40 % over white: a mid grey.
    uint32_t ghost = pixel(281, 226) & 0xff;
    EXPECT_GT(ghost, 0x80u);
    EXPECT_LT(ghost, 0xc8u);
}
