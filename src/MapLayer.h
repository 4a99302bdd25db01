// MapLayer: one layer of a diagram. Owns its shapes (index 0 is the topmost)
// and its connections (in creation order). Owned by its Map; new objects are
// made through the map's factory methods, which forward here.
#pragma once

#include <vector>

class Map;
class Shape;
class Connection;
class ShapeRectangle;
class ShapeTriangle;
class ShapeImage;
class ShapeDiamond;
class ShapeCircle;
class ShapePolygon;
class ShapeConnector;

class MapLayer {
public:
    Map* mMap;
    // Stacking order: index 0 is drawn last (on top) and hit first.
    std::vector<Shape*> mShapes;
    std::vector<Connection*> mConnections;

    explicit MapLayer(Map* map);
    // Does not delete the objects; the map does (Map::clear, ~Map).
    ~MapLayer();

    // Each factory constructs the object, gives it the map's next free id,
    // appends it (a shape at the bottom of the stack) and indexes it.
    ShapeRectangle* addRectangle(double x1, double y1, double x2, double y2, double curve);
    ShapeTriangle* addTriangle(double x1, double y1, double x2, double y2, double x3, double y3);
    ShapeImage* addImage(double x1, double y1, double x2, double y2);
    ShapeDiamond* addDiamond(double x1, double y1, double x2, double y2);
    ShapeCircle* addCircle(double x, double y, double radius);
    ShapePolygon* addPolygon(double x1, double y1, double x2, double y2);
    ShapeConnector* addConnectorLink(double x, double y);
    // fromNode/toNode index the shapes' connection node lists.
    Connection* addConnection(Shape* from, int fromNode, Shape* to, int toNode);

    // Removes the shape from the list and the index and deletes it; false
    // when it is not in this layer.
    bool deleteShape(Shape* shape);
    // Decrements the connection counters of both end shapes, removes the
    // connection from the list and the index and deletes it; false when it is
    // not in this layer.
    bool deleteConnection(Connection* connection);

    MapLayer(const MapLayer&) = delete;
    MapLayer& operator=(const MapLayer&) = delete;

private:
    template <class T> T* addShape(T* shape);
};
