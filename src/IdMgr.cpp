#include "IdMgr.h"

#include "Map.h"
#include "corekitc.h"

IdMgr::IdMgr(Map* map) : mIdCounter(1), mMap(map)
{
    CK_INFO("Initializing ID-Manager");
    reset();
}

void IdMgr::reset() { mIdCounter = 1; }

bool IdMgr::isExistingId(long id) { return mMap->getObjectById(id) != nullptr; }

long IdMgr::getFreeId()
{
    while (isExistingId(mIdCounter))
        ++mIdCounter;
    return mIdCounter;
}

long IdMgr::peekFreeId()
{
    long id = mIdCounter;
    while (isExistingId(id))
        ++id;
    return id;
}
