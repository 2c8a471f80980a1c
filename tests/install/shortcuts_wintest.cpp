#include "install/shortcuts.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <string>

#include "app/globals.h"
#include "app/text_util.h"
#include "e2e_machine.h"
#include "install_test_files.h"

namespace {

const char kPackage[] = "C:\\pkg\\";
const char kInstallDir[] = "C:\\Program Files\\Quillara\\World";
const char kProductKey[] = "QBrowser";

// What a saved link holds, read back through the shell-link object.
struct LinkContent {
  HRESULT status = E_FAIL;
  std::string target, arguments, description;
};

LinkContent LoadLink(const std::string& linkPath) {
  LinkContent content;
  IShellLinkA* link = nullptr;
  content.status = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IShellLinkA, reinterpret_cast<void**>(&link));
  if (FAILED(content.status)) return content;
  IPersistFile* file = nullptr;
  content.status = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
  if (SUCCEEDED(content.status)) {
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH);
    content.status = file->Load(wide, STGM_READ);
    file->Release();
  }
  if (SUCCEEDED(content.status)) {
    char text[MAX_PATH] = "";
    link->GetPath(text, sizeof(text), nullptr, SLGP_RAWPATH);
    content.target = text;
    text[0] = '\0';
    link->GetArguments(text, sizeof(text));
    content.arguments = text;
    text[0] = '\0';
    link->GetDescription(text, sizeof(text));
    content.description = text;
  }
  link->Release();
  return content;
}

std::string ShellFolder(int csidl) {
  char path[MAX_PATH] = "";
  return SUCCEEDED(SHGetFolderPathA(nullptr, csidl, nullptr, 0, path)) ? path : "";
}

using install_test::Entries;
using install_test::Section;

class ShortcutsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    ASSERT_TRUE(MakeFolders(kPackage));
    ASSERT_TRUE(MakeFolders(kInstallDir));
    ASSERT_TRUE(WriteTextFile(std::string(kInstallDir) + "\\Quillara.exe", "viewer"));
    setupScript_ = std::string(kPackage) + "LFSetup.inf";
    uninstScript_ = WindowsDir() + "\\inf\\LFUninst.inf";
    ASSERT_TRUE(CopyBounded(setupScript_.c_str(), g_setupScriptPath, kPathSize));
    ASSERT_TRUE(CopyBounded(uninstScript_.c_str(), g_uninstScriptPath, kPathSize));
    ASSERT_TRUE(CopyBounded(kProductKey, g_productKey, kPathSize));
    g_viewerExe[0] = '\0';
    WritePrivateProfileStringA("Paths", kProductKey, kInstallDir, uninstScript_.c_str());
    SetLog("Target", "Quillara.exe");
    SetLog("Menu", "Quillara\\Quillara Browser");
    SetLog("Uninst", "Uninstall Quillara");
    SetLog("Icon", "Quillara Browser");
    programs_ = ShellFolder(CSIDL_PROGRAMS);
    desktop_ = ShellFolder(CSIDL_DESKTOPDIRECTORY);
    ASSERT_FALSE(programs_.empty());
    ASSERT_FALSE(desktop_.empty());
  }
  void TearDown() override { CoUninitialize(); }

  // An empty value removes the key, as a script without it would be.
  void SetLog(const char* key, const char* value) {
    WritePrivateProfileStringA("Log", key, *value ? value : nullptr, setupScript_.c_str());
  }
  std::string MenuLink() const { return programs_ + "\\Quillara\\Quillara Browser.lnk"; }
  std::string UninstallLink() const { return programs_ + "\\Quillara\\Uninstall Quillara.lnk"; }
  std::string DesktopLink() const { return desktop_ + "\\Quillara Browser.lnk"; }
  Entries Product() const { return Section(uninstScript_, kProductKey); }
  Entries Uninst() const { return Section(uninstScript_, "Uninst"); }

  std::string setupScript_, uninstScript_, programs_, desktop_;
};

TEST_F(ShortcutsTest, WithoutUninstallShortcutNoneIsMadeOrRecorded) {
  for (int flag : {1, 0}) {
    SetLog("Uninst", flag ? "" : "Uninstall Quillara");
    EXPECT_EQ(1, CreateShortcuts(flag)) << flag;
    EXPECT_TRUE(FileExists(MenuLink()));
    EXPECT_FALSE(FileExists(UninstallLink())) << flag;
    EXPECT_TRUE(Uninst().empty()) << flag;
    EXPECT_TRUE(FileExists(DesktopLink()));
  }
}

TEST_F(ShortcutsTest, MenuFolderBelowAMissingFolderCostsOnlyTheMenuLinks) {
  SetLog("Menu", "Outer\\Inner\\Quillara Browser");
  EXPECT_EQ(1, CreateShortcuts(1));
  EXPECT_FALSE(FileExists(programs_ + "\\Outer"));
  EXPECT_TRUE(Uninst().empty());
  EXPECT_TRUE(FileExists(DesktopLink()));
  EXPECT_EQ("Outer\\Inner\\Quillara Browser", Product()["Menu"]);
}

struct FailureCase {
  const char* name;
  const char* key;    // "Log" key changed, or "Paths" for the install folder
  const char* value;  // "" removes it
  bool menuLinks;     // the Start-menu links exist afterwards
  Entries product;    // the product section afterwards
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class ShortcutFailureTest : public ShortcutsTest,
                            public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ShortcutFailureTest, FailsAndKeepsWhatWasMadeBefore) {
  const FailureCase& c = GetParam();
  if (std::string(c.key) == "Paths")
    WritePrivateProfileStringA("Paths", kProductKey, nullptr, uninstScript_.c_str());
  else
    SetLog(c.key, c.value);

  EXPECT_EQ(0, CreateShortcuts(1));
  EXPECT_EQ(c.menuLinks, FileExists(MenuLink()));
  EXPECT_EQ(c.menuLinks, FileExists(UninstallLink()));
  EXPECT_FALSE(FileExists(DesktopLink()));
  EXPECT_EQ(c.product, Product());
}

INSTANTIATE_TEST_SUITE_P(
    Script, ShortcutFailureTest,
    ::testing::Values(
        FailureCase{"NoInstallFolder", "Paths", "", false, {}},
        FailureCase{"NoTarget", "Target", "", false, {}},
        FailureCase{"MenuWithoutBackslash", "Menu", "Quillara Browser", false,
                    {{"Target", "Quillara.exe"}}},
        FailureCase{"NoMenu", "Menu", "", false, {{"Target", "Quillara.exe"}}},
        FailureCase{"NoIcon", "Icon", "", true,
                    {{"Target", "Quillara.exe"}, {"Menu", "Quillara\\Quillara Browser"}}}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

TEST_F(ShortcutsTest, GetSpecialFolderPathNamesTheShellFolders) {
  char path[MAX_PATH];
  EXPECT_NE(0, GetSpecialFolderPath(CSIDL_PROGRAMS, path));
  EXPECT_EQ(programs_, path);
  EXPECT_NE(0, GetSpecialFolderPath(CSIDL_DESKTOP, path));
  EXPECT_EQ(desktop_, path);
  CopyBounded("junk", path, sizeof(path));
  EXPECT_EQ(0, GetSpecialFolderPath(0x7F, path));  // no such folder
  EXPECT_STREQ("", path);
}

TEST_F(ShortcutsTest, ResolveLinkGivesTheTargetOrNothing) {
  const std::string target = std::string(kInstallDir) + "\\Quillara.exe";
  const std::string link = "C:\\resolve.lnk";
  ASSERT_TRUE(SUCCEEDED(CreateLink(target.c_str(), link.c_str(), "described")));
  char resolved[MAX_PATH] = "junk";
  EXPECT_GE(ResolveLink(nullptr, link.c_str(), resolved), 0);
  // The short form is asked for: compare through the long form.
  char longForm[MAX_PATH] = "";
  ASSERT_NE(0u, GetLongPathNameA(resolved, longForm, sizeof(longForm))) << resolved;
  EXPECT_EQ(0, lstrcmpiA(target.c_str(), longForm)) << longForm;

  CopyBounded("junk", resolved, sizeof(resolved));
  EXPECT_LT(ResolveLink(nullptr, "C:\\missing.lnk", resolved), 0);
  EXPECT_STREQ("", resolved);
}

}  // namespace
