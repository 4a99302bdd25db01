#include "Settings.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include <SimpleIni.h>

#include "corekitc.h"

namespace {

const char* const kIniFile = "velmaris.ini";

// Replaces `path` with the INI data (UTF-8 with byte order mark) through a
// temporary file in the same directory, so that a failed or interrupted write
// leaves the previous file untouched. Errors are logged and otherwise
// ignored: the settings are not worth stopping the program for.
void saveIni(const CSimpleIniA& ini, const std::string& path)
{
    std::string data;
    if (ini.Save(data, true) < 0) {
        CK_ERROR("Could not format the settings for %s", path.c_str());
        return;
    }
    const std::string tmp = path + ".tmp-" + std::to_string(getpid());
    int fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        CK_ERROR("Could not write settings file %s", path.c_str());
        return;
    }
    bool ok = true;
    size_t done = 0;
    while (ok && done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            ok = false;
        else
            done += static_cast<size_t>(n);
    }
    if (ok && fsync(fd) != 0)
        ok = false;
    if (close(fd) != 0)
        ok = false;
    if (ok && std::rename(tmp.c_str(), path.c_str()) != 0)
        ok = false;
    if (!ok) {
        unlink(tmp.c_str());
        CK_ERROR("Could not write settings file %s", path.c_str());
    }
}

}  // namespace

Settings::Settings()
    : mShowRaster(true),
      mAlignRaster(true),
      mRenderMode(RENDER_MODE_NULL),
      mShowHexValues(false),
      mUseSounds(false),
      mUseSoundsNow(false),
      mPersistentWorkspace(false),
      mUseFullScreen(false),
      mShowLog(false),
      mLanguage(0),
      mRasterX(10),
      mRasterY(10)
{
    reload();
    mUseSoundsNow = mUseSounds;
}

Settings::~Settings() { write(); }

void Settings::reload()
{
    CK_INFO("Reading settings from %svelmaris.ini", mIniPath.c_str());
    CSimpleIniA ini;
    ini.SetUnicode(true);
    // A missing or unreadable file leaves every value at its default.
    ini.LoadFile(kIniFile);

    // The window size of the program does not come from this file.
    (void)ini.GetLongValue("Window", "Width", 1024);
    (void)ini.GetLongValue("Window", "Height", 768);

    mLastOpenPath = ini.GetValue("Path", "LastOpenPath", "");
    mLastSavePath = ini.GetValue("Path", "LastSavePath", "");
    mLastExportPath = ini.GetValue("Path", "LastExportPath", "");
    mLastMapFilename = ini.GetValue("Path", "LastMapFilename", "");
    for (int i = 0; i < 10; ++i) {
        const std::string key = "RecentFile" + std::to_string(i + 1);
        mRecentFile[i] = ini.GetValue("Path", key.c_str(), "");
    }
    CK_INFO("%s", mLastOpenPath.c_str());

    ini.SetValue("Path", "LastOpenPath", mLastOpenPath.c_str());
    ini.SetLongValue("window", "height", 720, "; Fensterhöhe");
    saveIni(ini, kIniFile);

    mRasterX = mRasterY = mAlignRaster ? 10 : 1;
}

void Settings::write()
{
    CK_INFO("Writing settings to %svelmaris.ini", mIniPath.c_str());
    CSimpleIniA ini;
    ini.SetUnicode(true);
    ini.SetValue("Path", "LastOpenPath", mLastOpenPath.c_str());
    ini.SetValue("Path", "LastSavePath", mLastSavePath.c_str());
    ini.SetValue("Path", "LastExportPath", mLastExportPath.c_str());
    ini.SetValue("Path", "LastMapFilename", mLastMapFilename.c_str());
    for (int i = 0; i < 10; ++i) {
        const std::string key = "RecentFile" + std::to_string(i + 1);
        ini.SetValue("Path", key.c_str(), mRecentFile[i].c_str());
    }
    saveIni(ini, kIniFile);
}
