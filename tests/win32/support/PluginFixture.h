#pragma once
// Fixture for tests that load the real plug-in DLL into the emulated host.
// Every test gets its own folder with a copy of the DLL (so plugin.ini is its
// own), a fresh host settings file, and a fresh host. At the end the host's
// windows are destroyed before the DLL is freed.
#include <gtest/gtest.h>
#include <windows.h>
#include <memory>
#include <string>
#include "TestFiles.h"
#include "TestHost.h"
#include "base/TestSeam.h"

class TPluginTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Override to change the host before it is created.
    virtual TTestHostOptions HostOptions() { return {}; }
    // The build of the DLL the test loads (copied as gen_VelvetLister.dll): the
    // test build hands out its counters through Seam().
    virtual const char* DllBuild() { return "gen_VelvetLister.dll"; }
    TTestSeam* Seam() const;
    // Text of the host settings file written before the plug-in loads ("" = no file).
    virtual std::string HostIni() { return ""; }

    // Creates the host and loads the DLL; Init() runs the plug-in's init.
    void StartHost();
    bool Load();
    int Init();
    // Load + Init, asserting success.
    void StartPlugin();

    // Runs pending messages of this thread, and waits for the tags still being
    // read in the background.
    static void Pump();
    // Waits until the plug-in's background reading is done and its titles are in.
    static void FinishReading();
    // Key state as the GUI thread sees it.
    static void SetModifiers(bool shift, bool ctrl, bool alt);
    // The test's own folder (no trailing backslash) and a path inside it.
    const std::string& Dir() const { return dir_; }
    std::string PathIn(const std::string& name) const { return dir_ + "\\" + name; }
    std::string PluginIniPath() const { return PathIn("plugin.ini"); }
    void WriteFile(const std::string& name, const std::string& bytes) const;
    // A small MP3 file with an ID3v1 tag (title, artist) and some frame bytes.
    std::string WriteMp3(const std::string& name, const std::string& title, const std::string& artist = "") const;

    // The plug-in's playlist window (class TFormPlayList), or null.
    HWND PlayListWindow() const;

    std::unique_ptr<TTestHost> host;

private:
    std::string dir_;
    std::wstring dllCopy_;
};
