// Process-wide objects of the application.
#include "global.h"

Map* GlobalMap = nullptr;
Settings* GlobalSettings = nullptr;
