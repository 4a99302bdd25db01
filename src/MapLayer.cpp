#include "MapLayer.h"

#include <algorithm>

#include "Connection.h"
#include "Map.h"
#include "ShapeCircle.h"
#include "ShapeConnector.h"
#include "ShapeDiamond.h"
#include "ShapeImage.h"
#include "ShapePolygon.h"
#include "ShapeRectangle.h"
#include "ShapeTriangle.h"

MapLayer::MapLayer(Map* map) : mMap(map) {}

MapLayer::~MapLayer() = default;

template <class T> T* MapLayer::addShape(T* shape)
{
    shape->setId(mMap->mIdMgr->getFreeId());
    mShapes.push_back(shape);
    mMap->indexObject(shape);
    return shape;
}

ShapeRectangle* MapLayer::addRectangle(double x1, double y1, double x2, double y2, double curve)
{
    return addShape(new ShapeRectangle(x1, y1, x2, y2, curve));
}

ShapeTriangle* MapLayer::addTriangle(double x1, double y1, double x2, double y2, double x3, double y3)
{
    return addShape(new ShapeTriangle(x1, y1, x2, y2, x3, y3));
}

ShapeImage* MapLayer::addImage(double x1, double y1, double x2, double y2)
{
    return addShape(new ShapeImage(x1, y1, x2, y2));
}

ShapeDiamond* MapLayer::addDiamond(double x1, double y1, double x2, double y2)
{
    return addShape(new ShapeDiamond(x1, y1, x2, y2));
}

ShapeCircle* MapLayer::addCircle(double x, double y, double radius)
{
    return addShape(new ShapeCircle(x, y, radius));
}

ShapePolygon* MapLayer::addPolygon(double x1, double y1, double x2, double y2)
{
    return addShape(new ShapePolygon(x1, y1, x2, y2));
}

ShapeConnector* MapLayer::addConnectorLink(double x, double y)
{
    return addShape(new ShapeConnector(x, y));
}

Connection* MapLayer::addConnection(Shape* from, int fromNode, Shape* to, int toNode)
{
    Connection* connection = new Connection(from, fromNode, to, toNode);
    connection->setId(mMap->mIdMgr->getFreeId());
    mConnections.push_back(connection);
    mMap->indexObject(connection);
    return connection;
}

bool MapLayer::deleteShape(Shape* shape)
{
    auto it = std::find(mShapes.begin(), mShapes.end(), shape);
    if (it == mShapes.end())
        return false;
    mShapes.erase(it);
    mMap->unindexObject(shape);
    delete shape;
    return true;
}

bool MapLayer::deleteConnection(Connection* connection)
{
    auto it = std::find(mConnections.begin(), mConnections.end(), connection);
    if (it == mConnections.end())
        return false;
    // One end fewer on each end shape.
    for (size_t i = 0; i < 2 && i < connection->mConnectionNodes.size(); ++i) {
        ConnectionNode* node = connection->mConnectionNodes[i];
        if (node && node->mParentShape)
            node->mParentShape->mConnectionCount--;
    }
    mConnections.erase(it);
    mMap->unindexObject(connection);
    delete connection;
    return true;
}
