// Settings: the user's persistent settings ("velmaris.ini" in the working
// directory) and the grid spacing the editor snaps to. One instance,
// GlobalSettings, owned by the main window object.
#pragma once

#include <string>

enum RenderMode {
    RENDER_MODE_NULL = 0,
    RENDER_MODE_IMAGE_BUFFER = 1,
    RENDER_MODE_DIRECT = 2,
};

class Settings {
public:
    std::string mLastOpenPath;
    std::string mLastSavePath;
    std::string mLastExportPath;
    std::string mLastMapFilename;
    std::string mApplicationPath;
    // Recent-file list, entries 1 to 10.
    std::string mRecentFile[10];
    std::string mWorkspaceFilename;
    std::string mInitScript;
    std::string mScratchScript;
    // Directory prefix of the settings file in log lines; empty, so the file
    // is "velmaris.ini" in the working directory.
    std::string mIniPath;
    bool mShowRaster;
    // Snapping on: grid spacing 10, otherwise 1.
    bool mAlignRaster;
    RenderMode mRenderMode;
    bool mShowHexValues;
    bool mUseSounds;
    bool mUseSoundsNow;
    bool mPersistentWorkspace;
    bool mUseFullScreen;
    bool mShowLog;
    long mLanguage;
    // Grid spacing in world units.
    int mRasterX, mRasterY;

    // Reads (and rewrites) the settings file.
    Settings();
    // Writes the settings file.
    ~Settings();

    // Loads the file, then saves it back with the window height 720 added.
    void reload();
    // Replaces the file with the "Path" section alone.
    void write();

    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;
};
