// IdMgr: hands out map-unique ids for shapes and connections. One per Map,
// owned by the map; whether an id is taken is decided by the map's id index.
#pragma once

class Map;

class IdMgr {
public:
    // Lowest id that may still be free; starts at 1.
    long mIdCounter;
    // The map whose index decides whether an id is taken.
    Map* mMap;

    explicit IdMgr(Map* map);

    // Counter back to 1 (on construction and when a diagram file is loaded).
    void reset();
    // True when the map's index holds an object under `id`.
    bool isExistingId(long id);
    // Advances the counter to the first id not in the index and returns it.
    // The counter stays on the returned id: it only counts as taken once the
    // caller has entered the new object in the map's index, so two calls with
    // nothing indexed in between return the same id.
    long getFreeId();
    // The id getFreeId() would return, without moving the counter.
    long peekFreeId();
};
