#include "app/product_detect.h"

#include <gtest/gtest.h>

#include <string>

#include "../registry/registry_probe.h"
#include "app/globals.h"
#include "app/text_util.h"

namespace {

using namespace reg_probe;

const char kAppPaths[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

struct DetectCase {
  const char* label;
  const char* viewerPath;   // "Path" of LFViewer.exe; nullptr: not registered
  const char* homePath;     // of LCHome.exe
  const char* proPath;      // of LCPro.exe
  const char* productKey;
  const char* installDir;
  int migrate;              // g_migrateOldDir afterwards (it starts at 0)
  const char* oldViewerDir;
};

void PrintTo(const DetectCase& c, std::ostream* os) { *os << c.label; }

void Register(const char* program, const char* path) {
  if (!path) return;
  ASSERT_TRUE(SeedString(HKEY_LOCAL_MACHINE, (std::string(kAppPaths) + program).c_str(), "Path",
                         path));
}

class DetectInstalledProductTest : public ::testing::TestWithParam<DetectCase> {};

TEST_P(DetectInstalledProductTest, TakesTheFirstRegisteredProgramsFolder) {
  const DetectCase& c = GetParam();
  Register("LFViewer.exe", c.viewerPath);
  Register("LCHome.exe", c.homePath);
  Register("LCPro.exe", c.proPath);
  // Left over from nothing: detection must set or clear these itself.
  ASSERT_EQ(1, CopyBounded("stale", g_productKey, sizeof(g_productKey)));
  ASSERT_EQ(1, CopyBounded("C:\\stale", g_installDir, sizeof(g_installDir)));
  g_migrateOldDir = 0;
  g_oldViewerDir[0] = '\0';

  DetectInstalledProduct();
  EXPECT_STREQ(c.productKey, g_productKey);
  EXPECT_STREQ(c.installDir, g_installDir);
  EXPECT_EQ(c.migrate, g_migrateOldDir);
  EXPECT_STREQ(c.oldViewerDir, g_oldViewerDir);
}

INSTANTIATE_TEST_SUITE_P(
    Registered, DetectInstalledProductTest,
    ::testing::Values(
        DetectCase{"Nothing", nullptr, nullptr, nullptr, "", "", 0, ""},
        DetectCase{"ViewerInWorld", "C:\\Program Files\\LUMENFIELD\\World", nullptr, nullptr,
                   "LFViewer", "C:\\Program Files\\LUMENFIELD", 0, ""},
        DetectCase{"ViewerInWorldAnyCase", "D:\\Apps\\WORLD", nullptr, nullptr, "LFViewer",
                   "D:\\Apps", 0, ""},
        DetectCase{"OlderViewer", "C:\\Viewer", nullptr, nullptr, "LFViewer", "C:", 1,
                   "C:\\Viewer"},
        DetectCase{"TrailingBackslash", "C:\\Program Files\\LUMENFIELD\\World\\", nullptr,
                   nullptr, "LFViewer", "C:\\Program Files\\LUMENFIELD\\World", 1,
                   "C:\\Program Files\\LUMENFIELD\\World\\"},
        // "\World" alone is not longer than six characters
        DetectCase{"JustWorld", "\\World", nullptr, nullptr, "LFViewer", "", 1, "\\World"},
        DetectCase{"NoBackslash", "Viewer", nullptr, nullptr, "LFViewer", "Viewer", 1, "Viewer"},
        DetectCase{"HomeOnly", nullptr, "C:\\LUMENCRAFTER\\Home", nullptr, "LCHome",
                   "C:\\LUMENCRAFTER", 0, ""},
        DetectCase{"ProOnly", nullptr, nullptr, "C:\\Tools\\LCPro", "LCPro", "C:\\Tools", 0, ""},
        DetectCase{"HomeBeforePro", nullptr, "C:\\LC\\Home", "C:\\LC\\Pro", "LCHome", "C:\\LC",
                   0, ""},
        // the viewer wins, and an authoring tool never marks a migration
        DetectCase{"ViewerAndTools", "C:\\Old\\Viewer", "C:\\LC\\Home", "C:\\LC\\Pro", "LFViewer",
                   "C:\\Old", 1, "C:\\Old\\Viewer"},
        DetectCase{"ToolOutsideWorld", nullptr, nullptr, "C:\\LCPro", "LCPro", "C:", 0, ""}),
    [](const ::testing::TestParamInfo<DetectCase>& info) { return std::string(info.param.label); });

TEST(DetectInstalledProduct, AnEmptyPathStillCountsAsRegistered) {
  Register("LCHome.exe", "");
  Register("LCPro.exe", "C:\\LC\\Pro");
  DetectInstalledProduct();
  EXPECT_STREQ("LCHome", g_productKey);
  EXPECT_STREQ("", g_installDir);
}

TEST(DetectInstalledProduct, NeverClearsAnEarlierMigrationMark) {
  Register("LFViewer.exe", "C:\\Program Files\\LUMENFIELD\\World");
  g_migrateOldDir = 1;
  DetectInstalledProduct();
  EXPECT_EQ(1, g_migrateOldDir);
  EXPECT_STREQ("C:\\Program Files\\LUMENFIELD", g_installDir);
}

}  // namespace
