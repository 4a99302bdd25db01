#include "Node.h"

#include "corekit.h"

Node::Node(Shape* parent, double x, double y, int id)
    : Object(id), mX(x), mY(y), mParentShape(parent)
{
}

std::string Node::serialize()
{
    return "Node: " + corekit::ToString(mType) + " " + corekit::ToString(mId) + " " +
           corekit::ToString(mX, 0) + " " + corekit::ToString(mY, 0) + "\n";
}
