#include "registry/product_registry.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "app/globals.h"
#include "app/text_util.h"
#include "e2e_machine.h"
#include "registry_probe.h"

namespace {

using namespace reg_probe;

using Values = std::map<std::string, std::string>;

const char kDir[] = "C:\\Program Files\\Quillara\\World";
const char kScriptFolder[] = "C:\\package";
const char kScript[] = "C:\\package\\LFSetup.inf";
const char kMaker[] = "SOFTWARE\\LUMENFIELD Corporation";
const char kProduct[] = "SOFTWARE\\LUMENFIELD Corporation\\LFViewer";
const char kUser[] = "SOFTWARE\\LUMENFIELD Corporation\\LFViewerUser";
const char kDword[] = "<type 4>";

// The install run's state when it writes the registry: the product folder
// exists, the setup script names the product.
void PrepareInstall(const char* scriptText, bool makeFolder = true) {
  ASSERT_EQ(1, CopyBounded(kDir, g_installDir, sizeof(g_installDir)));
  ASSERT_EQ(1, CopyBounded("LFViewer.exe", g_viewerExe, sizeof(g_viewerExe)));
  ASSERT_EQ(1, CopyBounded("LFViewer", g_productKey, sizeof(g_productKey)));
  ASSERT_EQ(1, CopyBounded("LFViewerUser", g_altProductKey, sizeof(g_altProductKey)));
  ASSERT_EQ(1, CopyBounded(kScript, g_setupScriptPath, sizeof(g_setupScriptPath)));
  if (makeFolder) ASSERT_TRUE(MakeFolders(kDir));
  ASSERT_TRUE(MakeFolders(kScriptFolder));
  ASSERT_TRUE(WriteTextFile(kScript, scriptText));
}

std::string Sub(const char* key, const char* below) { return std::string(key) + "\\" + below; }

TEST(WriteProductRegistry, WithoutHomeStartsAtTheWorldsPage) {
  PrepareInstall("[Log]\r\nKey=LFViewer\r\n");
  WriteProductRegistry();
  EXPECT_EQ(StringData("www.lumenfield.com/quillara/worlds.html"),
            ReadValue(HKEY_CURRENT_USER, Sub(kUser, "VISITOR").c_str(), "StartingVorn").data);
}

TEST(WriteProductRegistry, WithoutAShortFormTheProtocolGetsTheLongFolder) {
  PrepareInstall("[Log]\r\nKey=LFViewer\r\n", /*makeFolder=*/false);
  WriteProductRegistry();
  EXPECT_EQ(StringData(std::string(kDir) + "\\LFViewer.exe \"%1\""),
            ReadValue(HKEY_CLASSES_ROOT, "vorn\\shell\\open\\command", "").data);
}

struct ViewerListCase {
  const char* label;
  bool seeded;
  DWORD type;            // a REG_EXPAND_SZ that stays one was not written
  std::string stored;
  DWORD expectedType;
  std::string expected;
};

void PrintTo(const ViewerListCase& c, std::ostream* os) { *os << c.label; }

class ViewerComponentList : public ::testing::TestWithParam<ViewerListCase> {};

TEST_P(ViewerComponentList, GainsTheProductKeyOnceWithoutLosingAnEntry) {
  const ViewerListCase& c = GetParam();
  PrepareInstall("[Log]\r\nKey=LFViewer\r\n");
  if (c.seeded)
    ASSERT_TRUE(SeedValue(HKEY_LOCAL_MACHINE, kMaker, "Viewer", c.type, StringData(c.stored)));
  WriteProductRegistry();
  StoredValue v = ReadValue(HKEY_LOCAL_MACHINE, kMaker, "Viewer");
  EXPECT_EQ(c.expectedType, v.type);
  EXPECT_EQ(StringData(c.expected), v.data);
}

const std::string kLongList = std::string(300, 'k') + ";LCHome";

INSTANTIATE_TEST_SUITE_P(
    Lists, ViewerComponentList,
    ::testing::Values(
        ViewerListCase{"Absent", false, 0, "", REG_SZ, "LFViewer"},
        ViewerListCase{"Empty", true, REG_SZ, "", REG_SZ, "LFViewer"},
        ViewerListCase{"TwoKeys", true, REG_SZ, "Key1;Key2", REG_SZ, "Key1;Key2;LFViewer"},
        ViewerListCase{"ListedInUpperCase", true, REG_EXPAND_SZ, "LCHome;LFVIEWER", REG_EXPAND_SZ,
                       "LCHome;LFVIEWER"},
        ViewerListCase{"TrailingSeparator", true, REG_SZ, "LCHome;", REG_SZ, "LCHome;;LFViewer"},
        ViewerListCase{"LongerThanItsBuffer", true, REG_SZ, kLongList, REG_SZ,
                       kLongList + ";LFViewer"},
        ViewerListCase{"LongAndListed", true, REG_EXPAND_SZ, kLongList + ";lfviewer",
                       REG_EXPAND_SZ, kLongList + ";lfviewer"}),
    [](const ::testing::TestParamInfo<ViewerListCase>& info) {
      return std::string(info.param.label);
    });

TEST(WriteProductRegistry, VersionTextFollowsTheViewerFile) {
  struct {
    const char* viewer;   // what is placed as the viewer
    const char* version;
  } cases[] = {
      {"missing", "0.0.0.0"},
      {"text", ""},          // a file without version information
      {"program", "1.0.0.1"},  // the setup program's own version resource
  };
  PrepareInstall("[Log]\r\nKey=LFViewer\r\n");
  const std::string viewer = std::string(kDir) + "\\LFViewer.exe";
  for (const auto& c : cases) {
    DeleteFileA(viewer.c_str());
    if (std::string(c.viewer) == "text") ASSERT_TRUE(WriteTextFile(viewer, "not a program"));
    if (std::string(c.viewer) == "program") ASSERT_TRUE(PlaceSetupProgram(viewer));
    WriteProductRegistry();
    EXPECT_EQ(StringData(c.version), ReadValue(HKEY_LOCAL_MACHINE, kProduct, "Version").data)
        << c.viewer;
    EXPECT_EQ(StringData(std::string("0x0100=") + c.version),
              ReadValue(HKEY_LOCAL_MACHINE,
                        "Software\\LUMENFIELD Corporation\\LFViewer\\", "RegVerStr").data)
        << c.viewer;
  }
}

}  // namespace
