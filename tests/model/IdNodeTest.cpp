// Object names, id allocation through the map's index, and the node classes.
#include <gtest/gtest.h>

#include "ConnectionNode.h"
#include "IdMgr.h"
#include "Map.h"
#include "ShapeRectangle.h"

namespace {

// A rectangle put into the map under a chosen id, as the editor does.
ShapeRectangle* addWithId(Map& map, long id)
{
    auto* shape = new ShapeRectangle(0, 0, 40, 40, 0);
    shape->setId(id);
    map.addShapeOnTop(shape);
    return shape;
}

}  // namespace

TEST(ObjectName, BlanksAndLineBreaksBecomeUnderscores)
{
    struct Case {
        const char* input;
        const char* stored;
    } cases[] = {
        {"drei Woerter\nhier", "drei_Woerter_hier"},
        {"a\r\nb", "a__b"},
        {" x ", "_x_"},
        {"plain", "plain"},
        {"tab\tstays", "tab\tstays"},
        {"", ""},
        {nullptr, ""},
    };
    for (const Case& c : cases) {
        ShapeNode object(nullptr, 0, 0, 7);
        object.setName(c.input);
        EXPECT_EQ(object.getName(), c.stored) << (c.input ? c.input : "(null)");
    }
}

TEST(ObjectName, NewObjectHasNoNameAndTypeMinusOne)
{
    ShapeNode object(nullptr, 0, 0, 42);
    EXPECT_EQ(object.getId(), 42);
    EXPECT_EQ(object.getName(), "");
    EXPECT_EQ(object.mType, -1);
}

TEST(IdMgr, CounterStaysOnReturnedIdUntilObjectIsIndexed)
{
    Map map;
    EXPECT_EQ(map.mIdMgr->getFreeId(), 1);
    EXPECT_EQ(map.mIdMgr->getFreeId(), 1);  // nothing indexed in between
    addWithId(map, 1);
    EXPECT_EQ(map.mIdMgr->getFreeId(), 2);
}

TEST(IdMgr, PeekAndGetSkipIndexedIds)
{
    Map map;
    addWithId(map, 1);
    addWithId(map, 2);
    addWithId(map, 4);
    ASSERT_EQ(map.mIdMgr->mIdCounter, 1);

    EXPECT_EQ(map.mIdMgr->peekFreeId(), 3);
    EXPECT_EQ(map.mIdMgr->mIdCounter, 1);

    EXPECT_EQ(map.mIdMgr->getFreeId(), 3);
    EXPECT_EQ(map.mIdMgr->mIdCounter, 3);

    addWithId(map, 3);
    EXPECT_EQ(map.mIdMgr->getFreeId(), 5);
}

TEST(IdMgr, FreedIdIsReusedOnlyAfterReset)
{
    Map map;
    Shape* first = map.addRectangle(0, 0, 40, 40);
    map.addRectangle(0, 0, 40, 40);
    ASSERT_EQ(first->getId(), 1);
    map.deleteShape(first);

    EXPECT_EQ(map.addRectangle(0, 0, 40, 40)->getId(), 3);
    map.mIdMgr->reset();
    EXPECT_EQ(map.mIdMgr->getFreeId(), 1);
}

TEST(Nodes, ConnectionNodeConstructors)
{
    ConnectionNode atPoint(nullptr, 12.5, 40.0, 3);
    EXPECT_EQ(atPoint.mX, 12.5);
    EXPECT_EQ(atPoint.mY, 40);
    EXPECT_EQ(atPoint.mEdge, 0);
    EXPECT_EQ(atPoint.mPercent, 50);
    EXPECT_EQ(atPoint.getId(), 3);

    ConnectionNode onEdge(nullptr, 2, 1, 25.0);
    EXPECT_EQ(onEdge.mX, 0);
    EXPECT_EQ(onEdge.mY, 0);
    EXPECT_EQ(onEdge.mEdge, 2);
    EXPECT_EQ(onEdge.mPercent, 25);
    EXPECT_EQ(onEdge.getId(), 1);
}

TEST(Nodes, EdgeNodeSitsAtOriginUntilItsShapeRecalculates)
{
    ShapeRectangle shape(100, 100, 200, 150, 0);
    shape.addConnectionNode(2, 4, 50.0);
    ConnectionNode* added = shape.mConnectionNodes.back();
    EXPECT_EQ(added->mX, 0);
    EXPECT_EQ(added->mY, 0);

    shape.recalcConnectionNodes();
    // Middle of the bottom edge, without the inward offset that only the
    // first four nodes get.
    EXPECT_EQ(added->mX, 150);
    EXPECT_EQ(added->mY, 150);
    EXPECT_EQ(added->mParentShape, &shape);
}

TEST(Nodes, TextDumpOfANode)
{
    ShapeNode node(nullptr, 12.5, 1234567, 3);
    EXPECT_EQ(node.serialize(), "Node: -1 3 12.5 1.23457e+06\n");
}
