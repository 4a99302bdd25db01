// The map: factories and stacking order, deletions and the delete cascade,
// queries and hit tests, selection, moving the selection, the id index,
// whole-diagram operations, culling of the drawing entry points, and that a
// destroyed map frees its diagram.
#include <gtest/gtest.h>

#include <vector>

#include "Connection.h"
#include "Map.h"
#include "ShapeConnector.h"
#include "ShapeRectangle.h"

namespace {

// A rectangle that counts how it is drawn and destroyed.
struct CountingRectangle : ShapeRectangle {
    std::vector<long>* drawLog;
    int* destroyed;
    int selectionDraws = 0;
    CountingRectangle(double x1, double y1, double x2, double y2, std::vector<long>* log, int* gone)
        : ShapeRectangle(x1, y1, x2, y2, 0), drawLog(log), destroyed(gone)
    {
    }
    ~CountingRectangle() override
    {
        if (destroyed)
            ++*destroyed;
    }
    void draw(cairo_t*) override
    {
        if (drawLog)
            drawLog->push_back(getId());
    }
    void drawSelection(cairo_t*, int) override { ++selectionDraws; }
};

CountingRectangle* addCounting(Map& map, double x, double y, std::vector<long>* log = nullptr,
                               int* gone = nullptr)
{
    auto* shape = new CountingRectangle(x, y, x + 40, y + 40, log, gone);
    shape->setId(map.mIdMgr->getFreeId());
    map.addShapeOnTop(shape);
    return shape;
}

size_t connectionCount(Map& map)
{
    size_t n = 0;
    for (MapLayer* layer : map.mMapLayer)
        n += layer->mConnections.size();
    return n;
}

}  // namespace

TEST(Map, NewMapIsEmpty)
{
    Map map;
    ASSERT_EQ(map.mMapLayer.size(), 1u);
    EXPECT_TRUE(map.mMapLayer[0]->mShapes.empty());
    EXPECT_TRUE(map.mMapLayer[0]->mConnections.empty());
    EXPECT_EQ(map.mCurrentMapLayer, 0);
    EXPECT_EQ(map.mIdMgr->getFreeId(), 1);
    EXPECT_FALSE(map.isModified());
    EXPECT_EQ(map.revision(), 0u);
    EXPECT_EQ(map.mSelectedConnectionNode, nullptr);
    EXPECT_EQ(map.mFilename, "");
}

TEST(Map, FactoriesNumberAndStackNewShapesAtTheBottom)
{
    Map map;
    Shape* a = map.addRectangle(0, 0, 100, 100);
    Shape* b = map.addRectangle(10, 10, 110, 110);
    Shape* c = map.addRectangle(20, 20, 120, 120);
    EXPECT_EQ(a->getId(), 1);
    EXPECT_EQ(b->getId(), 2);
    EXPECT_EQ(c->getId(), 3);
    EXPECT_TRUE(map.isModified());
    EXPECT_EQ(map.revision(), 3u);
    EXPECT_EQ(map.getShapeById(2), b);

    // All three cover (50, 50): the first made is at index 0, on top.
    EXPECT_EQ(map.hitTest(50, 50), a);
    Shape* top = addCounting(map, 30, 30);
    EXPECT_EQ(top->getId(), 4);
    EXPECT_EQ(map.hitTest(50, 50), top);
    EXPECT_EQ(map.getObjectById(4), top);

    EXPECT_EQ(map.hitTest(500, 500), nullptr);
    EXPECT_EQ(map.hitTest(115, 115), c);
    // Border test reaches 10 units beyond the outline.
    EXPECT_EQ(map.hitTest(125, 125), nullptr);
    EXPECT_EQ(map.hitBorderTest(125, 125), c);
}

TEST(Map, EveryFactoryMakesItsKind)
{
    Map map;
    EXPECT_NE(map.addTriangle(0, 0, 40, 0, 20, 30), nullptr);
    EXPECT_NE(map.addImage(0, 0, 0, 0), nullptr);
    EXPECT_NE(map.addDiamond(20, 0, 40, 20), nullptr);
    EXPECT_NE(map.addCircle(0, 0, 10), nullptr);
    EXPECT_NE(map.addPolygon(0, 0, 40, 40), nullptr);
    EXPECT_NE(map.addConnectorLink(20, 20), nullptr);
    ASSERT_EQ(map.mMapLayer[0]->mShapes.size(), 6u);
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(map.mMapLayer[0]->mShapes[i]->getId(), static_cast<long>(i + 1));
    EXPECT_EQ(map.mObjectsById.size(), 6u);
}

TEST(Map, ConnectionsCountTheirEndsAndAreIndexed)
{
    Map map;
    Shape* a = map.addRectangle(0, 0, 100, 50);
    Shape* b = map.addRectangle(200, 0, 300, 50);
    Connection* c = map.addConnection(a, 1, b, 3);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->getId(), 3);
    EXPECT_EQ(map.getConnectionById(3), c);
    EXPECT_EQ(map.getShapeById(3), nullptr);
    EXPECT_EQ(map.getConnectionById(1), nullptr);
    EXPECT_EQ(a->mConnectionCount, 1);
    EXPECT_EQ(b->mConnectionCount, 1);
    EXPECT_TRUE(map.isAvailable(c));
}

TEST(Map, ConnectionToMissingNodeIsRefused)
{
    Map map;
    Shape* a = map.addRectangle(0, 0, 100, 50);
    Shape* b = map.addRectangle(200, 0, 300, 50);
    const uint64_t revision = map.revision();
    EXPECT_EQ(map.addConnection(a, 4, b, 0), nullptr);
    EXPECT_EQ(map.addConnection(a, 0, b, -1), nullptr);
    EXPECT_EQ(map.addConnection(nullptr, 0, b, 0), nullptr);
    EXPECT_EQ(connectionCount(map), 0u);
    EXPECT_EQ(a->mConnectionCount, 0);
    EXPECT_EQ(map.revision(), revision);
}

TEST(Map, DeleteCascadeRemovesOnlyTheShapesConnections)
{
    Map map;
    Shape* a = map.addRectangle(0, 0, 100, 50);
    Shape* b = map.addRectangle(200, 0, 300, 50);
    Shape* c = map.addRectangle(0, 200, 100, 250);
    Connection* ab = map.addConnection(a, 1, b, 3);
    Connection* ac = map.addConnection(a, 2, c, 0);
    Connection* bc = map.addConnection(b, 2, c, 1);
    const long abId = ab->getId(), acId = ac->getId();
    map.mModified = false;

    EXPECT_TRUE(map.deleteConnectionsOfShape(a));
    EXPECT_EQ(connectionCount(map), 1u);
    EXPECT_EQ(map.mMapLayer[0]->mConnections[0], bc);
    EXPECT_EQ(map.getConnectionById(abId), nullptr);
    EXPECT_EQ(map.getConnectionById(acId), nullptr);
    EXPECT_EQ(a->mConnectionCount, 0);
    EXPECT_EQ(b->mConnectionCount, 1);
    EXPECT_EQ(c->mConnectionCount, 1);
    EXPECT_TRUE(map.isModified());
    EXPECT_EQ(map.getShapeById(a->getId()), a);  // the shape itself stays
}

TEST(Map, ConnectionOfAShapeToItselfIsListedTwice)
{
    Map map;
    Shape* a = map.addRectangle(0, 0, 100, 50);
    Shape* b = map.addRectangle(200, 0, 300, 50);
    Connection* self = map.addConnection(a, 0, a, 2);
    Connection* ab = map.addConnection(a, 1, b, 3);
    EXPECT_EQ(a->mConnectionCount, 3);

    std::vector<Connection*> found{ab};
    EXPECT_TRUE(map.getConnectionsOfShape(a, found));
    EXPECT_EQ(found, (std::vector<Connection*>{self, self, ab}));
    map.getConnectionsOfShape(b, found);
    EXPECT_EQ(found, std::vector<Connection*>{ab});

    EXPECT_TRUE(map.deleteConnection(self));
    EXPECT_EQ(a->mConnectionCount, 1);
    EXPECT_EQ(connectionCount(map), 1u);
}

TEST(Map, DeletingObjectsNotInTheMapChangesNothingButFlags)
{
    Map map;
    map.addRectangle(0, 0, 10, 10);
    ShapeRectangle stray(0, 0, 10, 10, 0);
    map.mModified = false;
    const uint64_t revision = map.revision();
    EXPECT_FALSE(map.deleteShape(&stray));
    EXPECT_EQ(map.revision(), revision + 1);
    EXPECT_TRUE(map.isModified());
    EXPECT_EQ(map.mMapLayer[0]->mShapes.size(), 1u);
}

TEST(Map, DeletedShapeTakesItsConnectionsAndSelectionAlong)
{
    // Deleting a shape without the cascade first used to leave connections
    // pointing at its freed nodes and selection entries pointing at it.
    Map map;
    Shape* a = map.addRectangle(0, 0, 100, 50);
    Shape* b = map.addRectangle(200, 0, 300, 50);
    Connection* ab = map.addConnection(a, 1, b, 3);
    map.addSelection(a);
    map.addSelection(a->mShapeNodes[2]);
    map.mSelectedConnectionNode = a->mConnectionNodes[1];
    const long abId = ab->getId();

    EXPECT_TRUE(map.deleteShape(a));
    EXPECT_EQ(connectionCount(map), 0u);
    EXPECT_EQ(map.getConnectionById(abId), nullptr);
    EXPECT_EQ(b->mConnectionCount, 0);
    EXPECT_TRUE(map.mSelectedShapes.empty());
    EXPECT_TRUE(map.mSelectedShapeNodes.empty());
    EXPECT_EQ(map.mSelectedConnectionNode, nullptr);
    EXPECT_EQ(map.hitTest(50, 25), nullptr);

    // Moving and drawing the rest touches no freed memory.
    map.addSelection(b);
    map.moveSelectedShapesByStep(1, 0);
    EXPECT_EQ(b->mShapeNodes[0]->mX, 210);
}

TEST(Map, DeletedConnectionLeavesTheSelection)
{
    Map map;
    Shape* a = map.addRectangle(0, 0, 100, 50);
    Shape* b = map.addRectangle(200, 0, 300, 50);
    Connection* ab = map.addConnection(a, 1, b, 3);
    map.addSelection(ab);
    EXPECT_TRUE(map.deleteConnection(ab));
    EXPECT_TRUE(map.mSelectedConnections.empty());
    EXPECT_EQ(a->mConnectionCount, 0);
    EXPECT_EQ(b->mConnectionCount, 0);
}

TEST(MapSelection, ShapesAndConnectionsExcludeEachOther)
{
    Map map;
    Shape* a = map.addRectangle(0, 0, 100, 50);
    Shape* b = map.addRectangle(200, 0, 300, 50);
    Connection* ab = map.addConnection(a, 1, b, 3);
    map.mModified = false;

    map.addSelection(ab);
    map.addSelection(a);
    EXPECT_TRUE(map.isSelected(a));
    EXPECT_FALSE(map.isSelected(ab));

    map.addSelection(ab);
    EXPECT_TRUE(map.isSelected(ab));
    EXPECT_FALSE(map.isSelected(a));
    EXPECT_FALSE(map.isModified());  // selection changes only the revision

    map.addSelection(a->mShapeNodes[2]);
    EXPECT_TRUE(map.isSelected(static_cast<Node*>(a->mShapeNodes[2])));
    map.mSelectedConnectionNode = a->mConnectionNodes[0];
    map.clearAllSelections();
    EXPECT_TRUE(map.mSelectedShapes.empty());
    EXPECT_TRUE(map.mSelectedConnections.empty());
    EXPECT_TRUE(map.mSelectedShapeNodes.empty());
    EXPECT_EQ(map.mSelectedConnectionNode, nullptr);
}

TEST(MapSelection, SelectingTwiceKeepsOneEntry)
{
    Map map;
    Shape* a = map.addRectangle(0, 0, 100, 50);
    map.addSelection(a);
    map.addSelection(a);
    EXPECT_EQ(map.mSelectedShapes.size(), 1u);
    map.removeSelection(a);
    EXPECT_FALSE(map.isSelected(a));
}

TEST(MapSelection, MasterChanges)
{
    Map map;
    Shape* s1 = map.addRectangle(0, 0, 10, 10);
    Shape* s2 = map.addRectangle(0, 0, 10, 10);
    Shape* s3 = map.addRectangle(0, 0, 10, 10);
    Shape* other = map.addRectangle(0, 0, 10, 10);

    EXPECT_FALSE(map.changeSelectionMaster(s1));  // nothing selected
    map.addSelection(s1);
    map.addSelection(s2);
    map.addSelection(s3);
    EXPECT_TRUE(map.changeSelectionMaster(s3));
    EXPECT_EQ(map.mSelectedShapes, (std::vector<Shape*>{s3, s1, s2}));
    EXPECT_TRUE(map.changeSelectionMaster(s3));
    EXPECT_EQ(map.mSelectedShapes, (std::vector<Shape*>{s3, s1, s2}));
    EXPECT_FALSE(map.changeSelectionMaster(other));
    EXPECT_EQ(map.mSelectedShapes.size(), 3u);
}

TEST(MapSelection, RubberBandSelectsShapesFullyInside)
{
    Map map;
    Shape* inside = map.addRectangle(10, 10, 50, 50);
    Shape* edge = map.addRectangle(50, 50, 100, 100);
    map.addRectangle(90, 90, 150, 150);  // sticks out
    map.selectShapesInsideRect(0, 0, 100, 100);
    EXPECT_EQ(map.mSelectedShapes, (std::vector<Shape*>{inside, edge}));
}

TEST(MapMove, DragMovesTheSelectionByTheMastersSnappedStep)
{
    Map map;
    Shape* master = map.addRectangle(100, 100, 150, 150);
    Shape* other = map.addRectangle(300, 100, 350, 150);
    Connection* link = map.addConnection(master, 1, other, 3);
    map.addSelection(master);
    map.addSelection(other);
    map.setSelectedShapesDiffStartPosition(113, 104);

    // Landing on the current place moves nothing but marks the map modified.
    map.mModified = false;
    map.setSelectedShapesDiffPosition(119, 104);
    EXPECT_EQ(master->mShapeNodes[0]->mX, 100);
    EXPECT_TRUE(map.isModified());

    const double tipBefore = link->mArrow1X[0];
    map.setSelectedShapesDiffPosition(120, 115);
    EXPECT_EQ(master->mShapeNodes[0]->mX, 110);
    EXPECT_EQ(master->mShapeNodes[0]->mY, 110);
    EXPECT_EQ(other->mShapeNodes[0]->mX, 310);
    EXPECT_EQ(other->mShapeNodes[0]->mY, 110);
    EXPECT_EQ(master->mBorderNodes[0]->mX, 100);  // border rebuilt
    EXPECT_EQ(link->mArrow1X[0], tipBefore + 10);  // connection re-routed
}

TEST(MapMove, ArrowKeyStepsMoveByGridUnits)
{
    Map map;
    Shape* a = map.addRectangle(0, 0, 100, 50);
    Shape* b = map.addRectangle(200, 0, 300, 50);
    Connection* ab = map.addConnection(a, 1, b, 3);
    map.addSelection(a);
    map.mModified = false;
    map.moveSelectedShapesByStep(-1, 2);
    EXPECT_EQ(a->mShapeNodes[0]->mX, -10);
    EXPECT_EQ(a->mShapeNodes[0]->mY, 20);
    EXPECT_EQ(a->mBorderNodes[0]->mX, -20);
    EXPECT_EQ(ab->mArrow1X[0], 90);
    EXPECT_EQ(ab->mArrow1Y[0], 45);
    EXPECT_EQ(b->mShapeNodes[0]->mX, 200);
    EXPECT_TRUE(map.isModified());
}

TEST(MapIndex, FirstEntryUnderAnIdStays)
{
    Map map;
    Shape* a = map.addRectangle(0, 0, 10, 10);
    ShapeRectangle impostor(0, 0, 10, 10, 0);
    impostor.setId(a->getId());
    map.indexObject(&impostor);
    EXPECT_EQ(map.getObjectById(a->getId()), a);

    map.unindexObject(&impostor);  // not the indexed object: no effect
    EXPECT_EQ(map.getObjectById(a->getId()), a);

    map.setObjectId(a, 77);
    EXPECT_EQ(map.getObjectById(1), nullptr);
    EXPECT_EQ(map.getShapeById(77), a);
    EXPECT_EQ(a->getId(), 77);
}

TEST(MapWhole, ClearKeepsFileDataAndIdCounter)
{
    Map map;
    Shape* a = map.addRectangle(0, 0, 100, 50);
    Shape* b = map.addRectangle(200, 0, 300, 50);
    map.addConnection(a, 1, b, 3);
    map.addSelection(a);
    map.mFilename = "plan.vlm";
    map.mMapInitScript = "init";
    const long counter = map.mIdMgr->mIdCounter;

    map.clear();
    ASSERT_EQ(map.mMapLayer.size(), 1u);
    EXPECT_TRUE(map.mMapLayer[0]->mShapes.empty());
    EXPECT_TRUE(map.mMapLayer[0]->mConnections.empty());
    EXPECT_TRUE(map.mObjectsById.empty());
    EXPECT_TRUE(map.mSelectedShapes.empty());
    EXPECT_FALSE(map.isModified());
    EXPECT_EQ(map.mFilename, "plan.vlm");
    EXPECT_EQ(map.mMapInitScript, "init");
    EXPECT_EQ(map.mIdMgr->mIdCounter, counter);

    map.newMap();
    EXPECT_EQ(map.mFilename, "");
    EXPECT_EQ(map.mMapInitScript, "");
    EXPECT_EQ(map.addRectangle(0, 0, 10, 10)->getId(), counter);
}

TEST(MapWhole, CoincidingEndsMakeAConnectionInvalid)
{
    Map map;
    Shape* l1 = map.addConnectorLink(50, 50);
    Shape* l2 = map.addConnectorLink(50, 50);
    Shape* far = map.addConnectorLink(250, 50);
    Connection* degenerate = map.addConnection(l1, 0, l2, 0);
    Connection* good = map.addConnection(l1, 0, far, 0);
    map.validate();
    EXPECT_FALSE(degenerate->isValid());
    EXPECT_TRUE(good->isValid());
    // Only the valid connection is hit along the common line.
    EXPECT_EQ(map.hitConnectionTest(150, 52), good);
    EXPECT_EQ(map.hitConnectionTest(150, 120), nullptr);

    ConnectionNode* node = nullptr;
    EXPECT_EQ(map.hitConnectionNodeTest(251, 49, &node), good);
    EXPECT_EQ(node, far->mConnectionNodes[0]);
    EXPECT_EQ(map.hitConnectionNodeTest(400, 400, nullptr), nullptr);
}

TEST(MapDraw, ShapesAreCulledByTheirOutlineAndDrawnBottomToTop)
{
    Map map;
    std::vector<long> drawn;
    CountingRectangle* a = addCounting(map, 100, 100, &drawn);  // ends at the bottom
    CountingRectangle* b = addCounting(map, 120, 120, &drawn);
    CountingRectangle* left = addCounting(map, -20, 100, &drawn);  // node 0 left of the box, rest visible
    CountingRectangle* onEdge = addCounting(map, 0, 100, &drawn);  // node 0 on the box edge
    CountingRectangle* away = addCounting(map, -200, 100, &drawn);  // wholly left of the box
    map.mViewBoundingBox[0] = 0;
    map.mViewBoundingBox[1] = 0;
    map.mViewBoundingBox[2] = 800;
    map.mViewBoundingBox[3] = 600;
    map.addSelection(b);
    map.addSelection(left);
    map.addSelection(away);

    map.drawShapes(nullptr, 1);
    EXPECT_EQ(drawn, (std::vector<long>{a->getId(), b->getId(), left->getId(), onEdge->getId()}));
    EXPECT_EQ(b->selectionDraws, 1);
    EXPECT_EQ(left->selectionDraws, 1);
    EXPECT_EQ(onEdge->selectionDraws, 0);
    EXPECT_EQ(away->selectionDraws, 0);
}

TEST(MapLifetime, DestroyingTheMapFreesItsDiagram)
{
    int destroyed = 0;
    {
        Map map;
        CountingRectangle* a = addCounting(map, 0, 0, nullptr, &destroyed);
        CountingRectangle* b = addCounting(map, 200, 0, nullptr, &destroyed);
        map.addConnection(a, 1, b, 3);
        map.addSelection(a);
    }
    // The connection is checked by the leak checker of the sanitizer build.
    EXPECT_EQ(destroyed, 2);
}
