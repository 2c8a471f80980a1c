#include "uninstall/removal_logic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(ParseLoggedFileLine, RecognisesOnlyKeysWithAnEmptyValue) {
  struct {
    const char* line;
    int result;
    const char* entry;
  } cases[] = {
      {"readme.txt=", 1, "readme.txt"},
      {"sub\\a.dll=", 1, "sub\\a.dll"},
      {"C:\\Netscape\\Plugins\\np.dll=", 1, "C:\\Netscape\\Plugins\\np.dll"},
      {"a=b=", 1, "a=b"},              // only the last character counts
      {";readme.txt=", 0, ""},         // comment
      {"Target=LFViewer.exe", 0, ""},  // a valued key is no file
      {"readme.txt= ", 0, ""},
      {"readme.txt", 0, ""},  // a line without "="
      {"=", 0, ""},           // names no file
      {"", 0, ""},
  };
  for (const auto& c : cases) {
    char entry[260] = "X";
    EXPECT_EQ(c.result, ParseLoggedFileLine(c.line, entry, sizeof(entry))) << c.line;
    EXPECT_STREQ(c.entry, entry) << c.line;
  }
}

TEST(ParseLoggedFileLine, RefusesAnEntryLongerThanItsBufferInsteadOfCuttingIt) {
  char entry[260];
  std::string fits(259, 'f');
  EXPECT_EQ(1, ParseLoggedFileLine((fits + "=").c_str(), entry, sizeof(entry)));
  EXPECT_EQ(fits, entry);
  std::string tooLong(260, 'f');
  EXPECT_EQ(-1, ParseLoggedFileLine((tooLong + "=").c_str(), entry, sizeof(entry)));
  EXPECT_STREQ("", entry);
}

TEST(SplitUninstLine, SplitsAtTheFirstEquals) {
  struct {
    const char* line;
    int result;
    const char* folder;
    const char* link;
  } cases[] = {
      {"Quillara=Uninstall Quillara", 1, "Quillara", "Uninstall Quillara"},
      {"Menu=a=b", 1, "Menu", "a=b"},
      {";Quillara=Uninstall", 0, "", ""},
      {"Quillara", 0, "", ""},
      {"=Uninstall", 0, "", ""},  // would name the Programs folder
      {"Quillara=", 0, "", ""},
  };
  for (const auto& c : cases) {
    char folder[260] = "X";
    char link[260] = "X";
    EXPECT_EQ(c.result, SplitUninstLine(c.line, folder, sizeof(folder), link, sizeof(link)))
        << c.line;
    EXPECT_STREQ(c.folder, folder) << c.line;
    EXPECT_STREQ(c.link, link) << c.line;
  }
  char small[4];
  char link[260];
  EXPECT_EQ(0, SplitUninstLine("Quillara=Uninstall", small, sizeof(small), link, sizeof(link)));
  EXPECT_STREQ("", small);
  EXPECT_STREQ("", link);
}

TEST(ProductFolderParent, CutsOnlyTheKnownTailsInAnyCase) {
  struct {
    const char* folder;
    const char* parent;  // "" when the parent is not to be removed
  } cases[] = {
      {"C:\\Program Files\\LUMENFIELD\\World", "C:\\Program Files\\LUMENFIELD"},
      {"C:\\Program Files\\LUMENFIELD\\wOrLd", "C:\\Program Files\\LUMENFIELD"},
      {"D:\\LF\\BUILDER", "D:\\LF"},
      {"D:\\LF\\Imager", "D:\\LF"},
      {"D:\\LF\\Worlds", ""},
      {"D:\\LF\\MyWorld", ""},
      {"D:\\LF\\World\\", ""},  // the tail is the text after the last "\"
      {"World", ""},
      {"C:\\World", ""},  // "C:" is no folder to remove
      {"\\World", ""},
      {"", ""},
  };
  for (const auto& c : cases) {
    char parent[260] = "X";
    EXPECT_EQ(c.parent[0] ? 1 : 0, ProductFolderParent(c.folder, parent, sizeof(parent)))
        << c.folder;
    EXPECT_STREQ(c.parent, parent) << c.folder;
  }
}

TEST(IsRemovableFolderPath, RefusesRootsSharesAndRelativePaths) {
  struct {
    const char* folder;
    int removable;
  } cases[] = {
      {"C:\\Program Files\\LUMENFIELD\\World", 1},
      {"C:\\World", 1},
      {"C:\\World\\", 1},
      {"\\\\server\\share\\World", 1},
      {"C:\\", 0},
      {"C:", 0},
      {"C:\\\\", 0},
      {"\\\\server\\share", 0},
      {"\\\\server\\share\\", 0},
      {"\\World", 0},
      {"World", 0},
      {"", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(c.removable, IsRemovableFolderPath(c.folder)) << c.folder;
}

TEST(ContainsFolded, FoldsOnlyTheText) {
  EXPECT_EQ(1,
            ContainsFolded("\"C:\\W\\LFCtrl.exe\" LUMENFIELD.Controller", "lumenfield.controller"));
  EXPECT_EQ(1, ContainsFolded("lumenfield.controller", "lumenfield.controller"));
  EXPECT_EQ(0, ContainsFolded("Other.Controller", "lumenfield.controller"));
  EXPECT_EQ(0, ContainsFolded("LUMENFIELD.Control", "lumenfield.controller"));
  EXPECT_EQ(0, ContainsFolded("", "lumenfield"));
  EXPECT_EQ(1, ContainsFolded("LumenField Browser", "lumenfield"));
}

std::vector<std::string> Keys(const KeyNode* head) {
  std::vector<std::string> keys;
  for (; head; head = head->next) keys.push_back(head->key);
  return keys;
}

TEST(BuildKeyNodes, PutsEachNewKeyInFront) {
  struct {
    const char* list;
    std::vector<std::string> keys;
  } cases[] = {
      {"LFViewer;LCHome", {"LCHome", "LFViewer"}},
      {";;LFViewer;;;LCHome;LCPro;", {"LCPro", "LCHome", "LFViewer"}},
      {"LFViewer", {"LFViewer"}},
      {";;;", {}},
      {"", {}},
  };
  for (const auto& c : cases) {
    KeyNode* head = reinterpret_cast<KeyNode*>(1);
    EXPECT_EQ(1, BuildKeyNodes(c.list, &head)) << c.list;
    EXPECT_EQ(c.keys, Keys(head)) << c.list;
    FreeKeyNodes(head);
  }
}

TEST(BuildKeyNodes, LeavesOutKeysTooLongForANode) {
  std::string list = "LFViewer;" + std::string(260, 'k') + ";" + std::string(259, 'm');
  KeyNode* head = nullptr;
  ASSERT_EQ(1, BuildKeyNodes(list.c_str(), &head));
  EXPECT_EQ((std::vector<std::string>{std::string(259, 'm'), "LFViewer"}), Keys(head));
  FreeKeyNodes(head);
}

int g_allocationsLeft = 0;
KeyNode* AllocateWhileAllowed() {
  if (g_allocationsLeft == 0) return nullptr;
  --g_allocationsLeft;
  return AllocateKeyNode();
}

TEST(BuildKeyNodes, AnExhaustedHeapYieldsNoKeyAndFreesTheNodesBuilt) {
  // Natively, LeakSanitizer reports the nodes if they are not freed.
  g_allocationsLeft = 2;
  KeyNode* head = nullptr;
  EXPECT_EQ(0, BuildKeyNodes("A;B;C;D", &head, AllocateWhileAllowed));
  EXPECT_EQ(nullptr, head);
  EXPECT_EQ(0, g_allocationsLeft);
}

}  // namespace
