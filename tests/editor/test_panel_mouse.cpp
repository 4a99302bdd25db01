// Editor panel: mouse and keyboard editing through the panel's event entry
// point, with real shapes and connections in a real map.
#include "PanelFixture.h"
#include "ShapeCircle.h"
#include "ShapeConnector.h"
#include "ShapeImage.h"
#include "ShapeRectangle.h"

namespace {

double nodeX(Shape* s, int n) { return s->mShapeNodes[n]->mX; }
double nodeY(Shape* s, int n) { return s->mShapeNodes[n]->mY; }

}  // namespace

class PanelMouseTest : public PanelTest {
protected:
    // Three 40 x 40 rectangles in a row and a small one far below.
    Shape* a = nullptr;
    Shape* b = nullptr;
    Shape* c = nullptr;
    Shape* d = nullptr;

    void SetUp() override {
        PanelTest::SetUp();
        emptyMap();
        a = map->addRectangle(20, 20, 60, 60);
        b = map->addRectangle(120, 20, 160, 60);
        c = map->addRectangle(220, 20, 260, 60);
        d = map->addRectangle(120, 200, 140, 220);
    }
};

// --- hit priority ------------------------------------------------------------

TEST_F(PanelMouseTest, HitPriorityDependsOnTheViewMode) {
    Connection* ab = map->addConnection(a, 1, b, 3);  // (59, 40) -> (121, 40)
    ObjectType type;
    struct Case {
        int mode;
        int x, y;
        Object* object;
        ObjectType type;
    };
    ShapeNode* aHandle = a->mShapeNodes[2];         // bottom-right corner (60, 60)
    ConnectionNode* aBottom = a->mConnectionNodes[2];  // (40, 59)
    const Case cases[] = {
        {VIEW_MODE_CONNECTION, 30, 30, a, OBJECT_TYPE_SHAPE},
        {VIEW_MODE_CONNECTION, 40, 58, aBottom, OBJECT_TYPE_CONNECTION_NODE},
        {VIEW_MODE_CONNECTION, 60, 60, a, OBJECT_TYPE_SHAPE},          // handle ignored
        {VIEW_MODE_CONNECTION, 62, 40, ab, OBJECT_TYPE_CONNECTION},    // end of the line on a
        {VIEW_MODE_CONNECTION, 90, 41, ab, OBJECT_TYPE_CONNECTION},    // free canvas
        {VIEW_MODE_SHAPE, 60, 60, aHandle, OBJECT_TYPE_SHAPE_NODE},
        {VIEW_MODE_SHAPE, 40, 58, a, OBJECT_TYPE_SHAPE},               // node ignored
        {VIEW_MODE_SHAPE, 62, 40, a, OBJECT_TYPE_SHAPE},               // line end ignored
        {VIEW_MODE_SHAPE, 90, 41, ab, OBJECT_TYPE_CONNECTION},
    };
    for (const Case& k : cases) {
        panel->mViewMode = k.mode;
        type = (ObjectType)0;
        Object* o = panel->getObjectUnderCursor(k.x, k.y, &type);
        EXPECT_EQ(o, k.object) << "mode " << k.mode << " at " << k.x << "," << k.y;
        EXPECT_EQ(type, k.type) << "mode " << k.mode << " at " << k.x << "," << k.y;
    }
    EXPECT_EQ(panel->getObjectUnderCursor(90, 150, &type), nullptr);
    EXPECT_EQ(panel->getObjectUnderCursor(30, 30, nullptr), a);
}

// --- selection ----------------------------------------------------------------

TEST_F(PanelMouseTest, ClickOnEmptyCanvasClearsEverySelection) {
    map->addSelection(a);
    map->addSelection(b);
    press(90, 150);
    release(90, 150);
    EXPECT_TRUE(map->mSelectedShapes.empty());
    EXPECT_TRUE(map->mSelectedConnections.empty());
    EXPECT_EQ(panel->mLca, nullptr);
    EXPECT_FALSE(panel->mIsEmptyDrag);
}

TEST_F(PanelMouseTest, RubberBandSelectsOnlyShapesFullyInsideInEitherDirection) {
    const double bands[][4] = {
        {5, 5, 175, 75},   // top-left to bottom-right
        {175, 75, 5, 5},   // bottom-right to top-left
        {175, 5, 5, 75},
    };
    for (const auto& band : bands) {
        map->clearAllSelections();
        press(band[0], band[1]);
        for (int i = 1; i <= 3; ++i)
            move(band[0] + (band[2] - band[0]) * i / 3, band[1] + (band[3] - band[1]) * i / 3);
        EXPECT_TRUE(panel->mIsEmptyDrag);
        // While the band is drawn the shapes inside are previewed.
        ASSERT_EQ(panel->mSelectionPreview.size(), 2u);
        release(band[2], band[3]);
        ASSERT_EQ(map->mSelectedShapes.size(), 2u) << band[0] << "," << band[1];
        EXPECT_TRUE(map->isSelected(a));
        EXPECT_TRUE(map->isSelected(b));
        EXPECT_FALSE(panel->mIsEmptyDrag);
    }
    // c is only partly inside this band.
    map->clearAllSelections();
    drag(100, 10, 250, 70);
    ASSERT_EQ(map->mSelectedShapes.size(), 1u);
    EXPECT_EQ(map->mSelectedShapes[0], b);
}

TEST_F(PanelMouseTest, PressOnAnUnselectedShapeSelectsOnlyIt) {
    map->addSelection(a);
    map->addSelection(b);
    press(240, 40);
    release(240, 40);
    ASSERT_EQ(map->mSelectedShapes.size(), 1u);
    EXPECT_EQ(map->mSelectedShapes[0], c);
}

TEST_F(PanelMouseTest, DraggingOneShapeOfASelectionMovesAllOnTheGrid) {
    map->addSelection(a);
    map->addSelection(b);
    Connection* ad = map->addConnection(a, 2, d, 0);
    press(40, 40);
    move(45, 45);
    EXPECT_EQ(a->mShowPosition, 2);  // shows its position while moving
    move(63, 77);
    release(63, 77);
    ASSERT_EQ(map->mSelectedShapes.size(), 2u);
    const double dx = nodeX(a, 0) - 20, dy = nodeY(a, 0) - 20;
    EXPECT_NE(dx, 0);
    EXPECT_NE(dy, 0);
    EXPECT_EQ(std::fmod(nodeX(a, 0), 10), 0);
    EXPECT_EQ(std::fmod(nodeY(a, 0), 10), 0);
    EXPECT_EQ(nodeX(b, 0), 120 + dx);
    EXPECT_EQ(nodeY(b, 0), 20 + dy);
    EXPECT_EQ(nodeX(c, 0), 220);  // not selected
    EXPECT_EQ(a->mShowPosition, 0);
    // The connection was re-routed: it now leaves a at its new bottom side.
    EXPECT_EQ(ad->mConnectionNodes[0], a->mConnectionNodes[2]);
    EXPECT_NEAR(ad->mArrow1Y[0], nodeY(a, 2), 1.0);
    EXPECT_TRUE(map->isModified());
}

TEST_F(PanelMouseTest, ArrowKeysMoveTheSelectionByOneGridStep) {
    map->addSelection(b);
    Connection* bd = map->addConnection(b, 2, d, 0);
    double tipX = bd->mArrow1X[0];
    const struct {
        SDL_Keycode key;
        double dx, dy;
    } steps[] = {{SDLK_RIGHT, 10, 0}, {SDLK_DOWN, 10, 10}, {SDLK_LEFT, 0, 10}, {SDLK_UP, 0, 0}};
    for (const auto& s : steps) {
        key(s.key);
        EXPECT_EQ(nodeX(b, 0), 120 + s.dx);
        EXPECT_EQ(nodeY(b, 0), 20 + s.dy);
    }
    key(SDLK_RIGHT);
    EXPECT_EQ(bd->mArrow1X[0], tipX + 10);  // re-routed
    EXPECT_EQ(nodeX(a, 0), 20);

    map->clearAllSelections();
    uint64_t rev = map->revision();
    key(SDLK_RIGHT);  // nothing selected: nothing moves, the map still counts a change
    EXPECT_NE(map->revision(), rev);
    EXPECT_EQ(nodeX(b, 0), 130);
}

// --- resize handles -----------------------------------------------------------

TEST_F(PanelMouseTest, HandleDragResizesInGridStepsOnlyInShapeMode) {
    // Connection mode: the same spot moves the shape instead.
    drag(60, 60, 83, 91);
    EXPECT_EQ(nodeX(a, 2) - nodeX(a, 0), 40);
    double movedX = nodeX(a, 0);
    EXPECT_NE(movedX, 20);

    emptyMap();
    a = map->addRectangle(20, 20, 60, 60);
    key(SDLK_F5);
    ASSERT_EQ(panel->mViewMode, VIEW_MODE_SHAPE);
    press(60, 60);
    move(70, 70);
    move(83, 91);
    EXPECT_EQ(nodeX(a, 0), 20);  // the top-left corner stays
    EXPECT_EQ(nodeX(a, 2), 80);
    EXPECT_EQ(nodeY(a, 2), 90);
    EXPECT_EQ(nodeX(a, 1), 80);
    EXPECT_EQ(nodeY(a, 3), 90);
    // Below 20 x 20 the rectangle refuses and keeps its last size.
    move(33, 35);
    EXPECT_EQ(nodeX(a, 2), 80);
    EXPECT_EQ(nodeY(a, 2), 90);
    move(41, 44);
    EXPECT_EQ(nodeX(a, 2), 40);
    EXPECT_EQ(nodeY(a, 2), 40);
    release(41, 44);
    EXPECT_EQ(panel->mLca, nullptr);
    EXPECT_TRUE(map->isModified());
}

// --- connections ---------------------------------------------------------------

TEST_F(PanelMouseTest, DragFromAConnectionNodeToAnotherShapeAddsOneConnection) {
    // From a's right node (59, 40) to b's left node (121, 40).
    drag(59, 40, 121, 40);
    ASSERT_EQ(connectionCount(), 1u);
    Connection* k = map->mMapLayer[0]->mConnections[0];
    EXPECT_EQ(k->mConnectionNodes[0], a->mConnectionNodes[1]);
    EXPECT_EQ(k->mConnectionNodes[1], b->mConnectionNodes[3]);
    EXPECT_EQ(a->mConnectionCount, 1);
    EXPECT_EQ(b->mConnectionCount, 1);
    EXPECT_FALSE(panel->mIsDragging);

    // Onto the same shape, onto empty canvas, onto a shape away from its
    // nodes: nothing.
    drag(40, 58, 21, 40);
    drag(40, 58, 90, 150);
    drag(40, 58, 240, 40);
    EXPECT_EQ(connectionCount(), 1u);
}

TEST_F(PanelMouseTest, ClickOnAConnectionNodeAddsNothing) {
    press(40, 58);
    release(40, 58);
    EXPECT_EQ(connectionCount(), 0u);
    EXPECT_EQ(map->mSelectedConnectionNode, a->mConnectionNodes[2]);
}

TEST_F(PanelMouseTest, ArrowTipDragReattachesTheEndAndMovesItsCount) {
    Connection* ab = map->addConnection(a, 1, b, 3);
    ShapeConnector* link = map->addConnectorLink(240, 140);
    ASSERT_EQ(b->mConnectionCount, 1);
    const double tipX = ab->mArrow2X[0], tipY = ab->mArrow2Y[0];  // at b's left side
    // The end is dragged from its tip onto d's top node (130, 201).
    press(tipX - 3, tipY);
    ASSERT_NE(panel->mLca, nullptr);
    EXPECT_TRUE(panel->mIsDragging);
    move(130, 120);
    move(130, 202);
    release(130, 202);
    EXPECT_EQ(ab->mConnectionNodes[0], a->mConnectionNodes[1]);
    EXPECT_EQ(ab->mConnectionNodes[1], d->mConnectionNodes[0]);
    EXPECT_EQ(b->mConnectionCount, 0);
    EXPECT_EQ(d->mConnectionCount, 1);
    EXPECT_NEAR(ab->mArrow2X[0], 130, 1.0);  // re-routed to d's outline
    EXPECT_FALSE(panel->mIsDragging);

    // And from there onto a connector, whose count now shows it attached.
    double tip2X = ab->mArrow2X[0], tip2Y = ab->mArrow2Y[0];
    drag(tip2X, tip2Y - 2, 240, 140);
    EXPECT_EQ(ab->mConnectionNodes[1], link->mConnectionNodes[0]);
    EXPECT_EQ(d->mConnectionCount, 0);
    EXPECT_EQ(link->mConnectionCount, 1);

    // Released on empty canvas, or on the node of its own other end: the end
    // stays.
    tip2X = ab->mArrow2X[0];
    tip2Y = ab->mArrow2Y[0];
    drag(tip2X, tip2Y, 90, 300);
    EXPECT_EQ(ab->mConnectionNodes[1], link->mConnectionNodes[0]);
    drag(tip2X, tip2Y, 59, 40);
    EXPECT_EQ(ab->mConnectionNodes[1], link->mConnectionNodes[0]);
    EXPECT_EQ(link->mConnectionCount, 1);
    EXPECT_EQ(a->mConnectionCount, 1);
}

TEST_F(PanelMouseTest, ArrowEndGoesOntoANodeThatAlreadyHasAConnection) {
    Connection* ab = map->addConnection(a, 1, b, 3);
    map->addConnection(d, 0, c, 2);  // c's bottom node (240, 59) is taken
    // Released on the other connection's line right at that node: the line
    // wins the hit test, the end still goes onto the node.
    ObjectType type;
    ASSERT_NE(panel->getObjectUnderCursor(236, 64, &type), nullptr);
    ASSERT_EQ(type, OBJECT_TYPE_CONNECTION);
    drag(ab->mArrow2X[0] - 3, ab->mArrow2Y[0], 236, 64);
    EXPECT_EQ(ab->mConnectionNodes[1], c->mConnectionNodes[2]);
    EXPECT_EQ(c->mConnectionCount, 2);
    EXPECT_EQ(b->mConnectionCount, 0);
}

TEST_F(PanelMouseTest, PressOnTheMiddleOfAConnectionSelectsIt) {
    Connection* ab = map->addConnection(a, 1, b, 3);
    map->addSelection(a);
    press(90, 40);
    release(90, 40);
    ASSERT_EQ(map->mSelectedConnections.size(), 1u);
    EXPECT_EQ(map->mSelectedConnections[0], ab);
    EXPECT_TRUE(map->mSelectedShapes.empty());
    EXPECT_EQ(panel->mLca, nullptr);
}

TEST_F(PanelMouseTest, HoverPreviewMarksTheArrowEndUnderTheMouse) {
    Connection* ab = map->addConnection(a, 1, b, 3);
    move(ab->mArrow2X[0] - 8, ab->mArrow2Y[0]);
    ASSERT_EQ(panel->mSelectionPreview.size(), 1u);
    EXPECT_EQ(panel->mSelectionPreview[0], ab);
    EXPECT_EQ(ab->mSelectedArrow, 1);
    move(90, 150);
    EXPECT_TRUE(panel->mSelectionPreview.empty());
    EXPECT_EQ(ab->mSelectedArrow, -1);
}

// --- shape tools ------------------------------------------------------------------

TEST_F(PanelMouseTest, EveryToolPlacesItsShapeByClickAndByDrag) {
    using T = VelmarisPanel::Tool;
    emptyMap();
    const T tools[] = {T::Rectangle, T::Diamond, T::Circle, T::Triangle, T::Polygon};
    for (T t : tools) {
        panel->setTool(t);
        // Click: default size centred on the grid at the release point.
        press(303, 197);
        release(303, 197);
        Shape* s = map->mMapLayer[0]->mShapes[0];
        double x1, y1, x2, y2;
        ASSERT_TRUE(VelmarisPanel::shapeBox(s, x1, y1, x2, y2));
        EXPECT_EQ(x2 - x1, 100) << (int)t;
        EXPECT_EQ(y2 - y1, t == T::Rectangle ? 50 : 100) << (int)t;
        EXPECT_EQ(x1, 250) << (int)t;
        EXPECT_EQ(y1, t == T::Rectangle ? 170 : 150) << (int)t;

        // Drag: the grid box from the press point.
        drag(42, 38, 117, 93);
        s = map->mMapLayer[0]->mShapes[0];
        ASSERT_TRUE(VelmarisPanel::shapeBox(s, x1, y1, x2, y2));
        EXPECT_EQ(x1, 40) << (int)t;
        EXPECT_EQ(y1, 40) << (int)t;
        if (t == T::Circle) {
            EXPECT_EQ(x2, 90);
            EXPECT_EQ(y2, 90);
        } else {
            EXPECT_EQ(x2, 120) << (int)t;
            EXPECT_EQ(y2, 90) << (int)t;
        }
        EXPECT_EQ(panel->getTool(), t);  // the tool stays active
    }
    EXPECT_EQ(shapeCount(), 10u);
}

TEST_F(PanelMouseTest, ToolPressWithinFourPixelsIsAClick) {
    panel->setTool(VelmarisPanel::Tool::Rectangle);
    SDL_Point p = pixelOf(300, 300);
    pressPx(p.x, p.y);
    movePx(p.x + 4, p.y - 4);
    EXPECT_FALSE(panel->mToolDragging);
    EXPECT_TRUE(panel->mToolGhostVisible);
    movePx(p.x + 5, p.y);
    EXPECT_TRUE(panel->mToolDragging);
    panel->setTool(VelmarisPanel::Tool::Select);  // a tool change drops the press
    EXPECT_FALSE(panel->mToolPressed);
    releasePx(p.x + 5, p.y);
    EXPECT_EQ(shapeCount(), 4u);
}

TEST_F(PanelMouseTest, ImageToolPlacesOnThePress) {
    panel->setTool(VelmarisPanel::Tool::Image);
    press(300, 300);
    ASSERT_EQ(shapeCount(), 5u);
    ShapeImage* img = dynamic_cast<ShapeImage*>(map->mMapLayer[0]->mShapes[0]);
    ASSERT_NE(img, nullptr);
    move(100, 100);
    release(100, 100);
    EXPECT_EQ(shapeCount(), 5u);
    double x1, y1, x2, y2;
    VelmarisPanel::shapeBox(img, x1, y1, x2, y2);
    EXPECT_NEAR((x1 + x2) / 2, 300, 10);
    EXPECT_NEAR((y1 + y2) / 2, 300, 10);
    EXPECT_GT(img->getId(), 0);
}

// --- keys -----------------------------------------------------------------------------

TEST_F(PanelMouseTest, EscapeLeavesAShapeToolFirst) {
    panel->setTool(VelmarisPanel::Tool::Rectangle);
    key(SDLK_ESCAPE);
    EXPECT_EQ(panel->getTool(), VelmarisPanel::Tool::Select);
    // With the selection tool Escape asks the engine to quit; without an
    // engine it must not fail.
    key(SDLK_ESCAPE);
    EXPECT_EQ(panel->getTool(), VelmarisPanel::Tool::Select);
}

TEST_F(PanelMouseTest, F5SwitchesTheModeAndShowsTheNewHandlesAtOnce) {
    int changes = 0;
    panel->mOnViewModeChanged = [&] { ++changes; };
    map->addSelection(a);
    move(60, 60);  // over a's corner: in connection mode just the shape
    ASSERT_EQ(panel->mSelectionPreview.size(), 1u);
    EXPECT_EQ(panel->mSelectionPreview[0], a);
    key(SDLK_F5);
    std::string mode;
    panel->getValueTextOf("mode", mode);
    EXPECT_EQ(mode, "shape");
    ASSERT_EQ(panel->mSelectionPreview.size(), 1u);
    EXPECT_EQ(panel->mSelectionPreview[0], a->mShapeNodes[2]);
    key(SDLK_F5);
    panel->getValueTextOf("mode", mode);
    EXPECT_EQ(mode, "connection");
    EXPECT_EQ(changes, 2);
}

TEST_F(PanelMouseTest, PanKeysMoveTenUnitsWhateverTheZoom) {
    global_scale_x = global_scale_y = 3;
    const struct {
        SDL_Keycode key;
        double tx, ty;
    } keys[] = {{SDLK_a, -9.5, 0.5}, {SDLK_s, -9.5, 10.5}, {SDLK_d, 0.5, 10.5}, {SDLK_w, 0.5, 0.5}};
    for (const auto& k : keys) {
        key(k.key, KMOD_LSHIFT);  // shifted letters pan the same
        EXPECT_DOUBLE_EQ(global_translate_x, k.tx);
        EXPECT_DOUBLE_EQ(global_translate_y, k.ty);
    }
}

// --- pan and zoom ------------------------------------------------------------------------

TEST_F(PanelMouseTest, MiddleButtonPanMovesInWholeGridSteps) {
    pressPx(100, 100, SDL_BUTTON_MIDDLE);
    movePx(100, 100);  // first motion only records the position
    EXPECT_DOUBLE_EQ(global_translate_x, 0.5);
    movePx(108, 100);  // no grid line crossed
    EXPECT_DOUBLE_EQ(global_translate_x, 0.5);
    movePx(135, 77);   // 110..130 crossed: 3 steps right, 70 and 80 lines: 3 up
    EXPECT_DOUBLE_EQ(global_translate_x, 30.5);
    EXPECT_DOUBLE_EQ(global_translate_y, -29.5);
    global_scale_x = global_scale_y = 2;
    movePx(115, 77);   // two lines back at scale 2: 2 * 10 / 2 world units
    EXPECT_DOUBLE_EQ(global_translate_x, 20.5);
    releasePx(115, 77, SDL_BUTTON_MIDDLE);
    movePx(200, 200);  // without the button: no pan, hover again
    EXPECT_DOUBLE_EQ(global_translate_x, 20.5);
    EXPECT_FALSE(GlobalMoveMap);
    EXPECT_TRUE(panel->mCursorInside);
}

TEST_F(PanelMouseTest, WheelZoomsAboutThePanelCentre) {
    double mx, my;
    panel->getRealMiddlePosition(mx, my);
    wheel(1);
    EXPECT_NEAR(global_scale_x, 1.2, 1e-12);
    double nx, ny;
    panel->getRealMiddlePosition(nx, ny);
    EXPECT_NEAR(nx, mx, 1e-9);
    EXPECT_NEAR(ny, my, 1e-9);
    wheel(-1);
    EXPECT_NEAR(global_scale_x, 1.0, 1e-12);
    wheel(0);  // horizontal wheel: zooms out
    EXPECT_NEAR(global_scale_x, 0.8, 1e-12);
    EXPECT_FALSE(panel->mCenterOnResize);
}

TEST_F(PanelMouseTest, ShiftWheelZoomsAboutThePointUnderTheMouse) {
    // The pointer position comes with the wheel event; the world point under
    // it ends up in the panel centre.
    SDL_Point p = pixelOf(140, 40);
    SDL_SetModState(KMOD_LSHIFT);
    wheel(1, p.x, p.y);
    SDL_SetModState(KMOD_NONE);
    EXPECT_NEAR(global_scale_x, 1.2, 1e-12);
    double mx, my;
    panel->getRealMiddlePosition(mx, my);
    EXPECT_NEAR(mx, 140, 1.0);
    EXPECT_NEAR(my, 40, 1.0);
}

TEST_F(PanelMouseTest, RightButtonDoesNothing) {
    map->addSelection(a);
    uint64_t rev = map->revision();
    press(40, 40, SDL_BUTTON_RIGHT);
    release(40, 40, SDL_BUTTON_RIGHT);
    EXPECT_EQ(map->revision(), rev);
    EXPECT_EQ(panel->mLca, nullptr);
    EXPECT_TRUE(map->isSelected(a));
}
