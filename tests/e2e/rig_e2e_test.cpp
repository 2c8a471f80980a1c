// Probes that the rig checks run (tests/rig/rig_check.sh): each run of these
// must find a clean machine, and whatever a test writes must stay inside it.
#include <gtest/gtest.h>

#include <objbase.h>
#include <shlobj.h>

#include "e2e_machine.h"

namespace {

const char kMarkFile[] = "C:\\rig-mark.txt";
const char kMarkKey[] = "Software\\RigMark";

TEST(Rig, MachineStartsClean) {
  EXPECT_FALSE(FileExists(kMarkFile)) << "a file from an earlier run is still there";
  EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, kMarkKey)) << "a key from an earlier run";
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kMarkKey)) << "a key from an earlier run";
  ASSERT_TRUE(WriteTextFile(kMarkFile, "mark"));
  ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, kMarkKey, "v", "mark"));
  ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, kMarkKey, "v", "mark"));
}

// Saves a shortcut on the desktop and in the Start menu, which on a default
// Wine prefix would reach the host's home and menus.
TEST(Rig, MakesShortcuts) {
  CoInitialize(nullptr);
  for (const std::string& folder : {DesktopFolder(), ProgramsFolder() + "\\Rig"}) {
    ASSERT_TRUE(MakeFolders(folder));
    IShellLinkA* link = nullptr;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IShellLinkA, reinterpret_cast<void**>(&link))));
    link->SetPath("C:\\windows\\notepad.exe");
    IPersistFile* file = nullptr;
    ASSERT_TRUE(SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))));
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, (folder + "\\Rig probe.lnk").c_str(), -1, wide, MAX_PATH);
    EXPECT_TRUE(SUCCEEDED(file->Save(wide, TRUE)));
    file->Release();
    link->Release();
    EXPECT_TRUE(FileExists(folder + "\\Rig probe.lnk"));
  }
  CoUninitialize();
}

}  // namespace
