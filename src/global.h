// Process-wide objects of the application. Each is created and deleted by
// its owner named below; everything else only uses them.
#pragma once

class Map;
class Settings;

// The diagram; created and deleted by the main window object.
extern Map* GlobalMap;
// The settings; created and deleted by the main window object.
extern Settings* GlobalSettings;
