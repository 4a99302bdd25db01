// Editor panel: the names under which screenplays address diagram objects,
// their world rectangles, window rectangles and value texts.
#include "PanelFixture.h"
#include "ShapeCircle.h"
#include "ShapeRectangle.h"

class PanelNamesTest : public PanelTest {
protected:
    Shape* start = nullptr;   // rectangle (100, 50)-(200, 100), named "Start"
    Shape* ende = nullptr;    // circle at (300, 40), radius 30, named "Ende"
    Connection* link = nullptr;  // "Link1" from Start to Ende

    void SetUp() override {
        PanelTest::SetUp();
        emptyMap();
        start = map->addRectangle(100, 50, 200, 100);
        start->setName("Start");
        ende = map->addCircle(300, 40, 30);
        ende->setName("Ende");
        link = map->addConnection(start, 1, ende, 0);
        link->setName("Link1");
    }

    // Resolves a name to "x,y" (the centre in world units), or "-" when it
    // does not resolve.
    std::string value(const std::string& name) {
        std::string out = "-";
        panel->getValueTextOf(name, out);
        return out;
    }
};

TEST_F(PanelNamesTest, NameGrammar) {
    const std::string startId = "#" + std::to_string(start->getId());
    const std::string linkId = "#" + std::to_string(link->getId());
    const struct {
        std::string name;
        std::string value;
    } cases[] = {
        // points
        {"@150,75", "150,75"},
        {"@12.5,-3", "13,-3"},
        {"@1e2,0", "100,0"},
        {"@ 10 , 20 ", "10,20"},
        {"@10;20", "-"},
        {"@10,20x", "-"},
        {"@10", "-"},
        {"@,5", "-"},
        {"@", "-"},
        // objects: a shape gives the centre of its box, a connection the
        // middle of its two nodes (199, 75) and (330, 70)
        {"Start", "150,75"},
        {startId, "150,75"},
        {"Ende", "330,70"},
        {"Link1", "265,73"},  // 264.5 and 72.5 round away from zero
        {linkId, "265,73"},
        {"start", "-"},       // case-sensitive
        {"Sta", "-"},
        {"", "-"},
        // ids
        {"#-3", "-"},
        {"#", "-"},
        {startId + "a", "-"},
        {"#0", "-"},
        {"#999", "-"},
        // nodes, connection nodes, arrows
        {"Start.node0", "100,50"},
        {"Start.node2", "200,100"},
        {"Start.node3", "100,100"},
        {"Start.node4", "-"},
        {"Start.node99", "-"},
        {"Start.node-1", "-"},
        {"Start.node", "-"},
        {"Start.node1x", "-"},
        {startId + ".conn1", "199,75"},
        {"Ende.conn0", "330,70"},
        {"Ende.conn1", "-"},
        {"Ende.node0", "300,40"},
        {"Start.edge0", "-"},
        {"Link1.arrow0", "200,75"},   // the line leaves Start at its right side
        {"Link1.arrow2", "-"},
        {"Link1.node0", "-"},         // a connection has no vertex nodes
        {"Start.arrow0", "-"},        // a shape has no arrows
    };
    for (const auto& c : cases) EXPECT_EQ(value(c.name), c.value) << "name \"" << c.name << "\"";
}

TEST_F(PanelNamesTest, ShapeWinsOverConnectionOfTheSameName) {
    link->setName("Start");
    EXPECT_EQ(panel->shapeByName("Start"), start);
    EXPECT_EQ(panel->connectionByName("Start"), link);
    EXPECT_EQ(value("Start"), "150,75");
}

TEST_F(PanelNamesTest, IdReferencesAreOfTheAskedKind) {
    const std::string linkId = "#" + std::to_string(link->getId());
    EXPECT_EQ(panel->shapeByName(linkId), nullptr);
    EXPECT_EQ(panel->connectionByName(linkId), link);
    EXPECT_EQ(panel->connectionByName("#" + std::to_string(start->getId())), nullptr);
    EXPECT_EQ(panel->shapeByName("#" + std::to_string(ende->getId())), ende);
}

TEST_F(PanelNamesTest, InvalidArrowsAndConnectionsDoNotResolve) {
    link->mInvalidArrow1 = true;
    EXPECT_EQ(value("Link1.arrow0"), "-");
    EXPECT_NE(value("Link1.arrow1"), "-");
    link->setValid(false);
    EXPECT_EQ(value("Link1"), "-");
}

TEST_F(PanelNamesTest, FirstShapeOfAName) {
    Shape* twin = map->addRectangle(0, 0, 10, 10);
    twin->setName("Start");
    EXPECT_EQ(panel->shapeByName("Start"), start);  // earlier in the list
    // A name with a point in it is only reachable by id.
    start->setName("A.B");
    EXPECT_EQ(value("A.B"), "-");
    EXPECT_EQ(value("#" + std::to_string(start->getId())), "150,75");
}

TEST_F(PanelNamesTest, WindowRectanglesFollowTheView) {
    SDL_Rect r;
    global_scale_x = global_scale_y = 2;
    ASSERT_TRUE(panel->partRect("@0,0", r));
    EXPECT_EQ(r.x, 11);
    EXPECT_EQ(r.y, 171);
    EXPECT_EQ(r.w, 1);
    EXPECT_EQ(r.h, 1);

    ASSERT_TRUE(panel->partRect("Start", r));
    EXPECT_EQ(r.x, 10 + 201);  // lround(100.5 * 2)
    EXPECT_EQ(r.y, 170 + 101);
    EXPECT_EQ(r.w, 200);
    EXPECT_EQ(r.h, 100);

    global_scale_x = global_scale_y = 0.5;
    global_translate_x = -100;
    global_translate_y = 20;
    ASSERT_TRUE(panel->partRect("Start.node2", r));
    EXPECT_EQ(r.x, 10 + 50);
    EXPECT_EQ(r.y, 170 + 60);
    // The value text does not depend on the view.
    EXPECT_EQ(value("Start.node2"), "200,100");

    EXPECT_FALSE(panel->partRect("Nowhere", r));
    EXPECT_FALSE(panel->partRect("@1e300,0", r));  // far outside any window
}
