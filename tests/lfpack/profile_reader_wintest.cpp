// The package checker's script reader against the Windows functions it
// stands in for, on the same files: section reads at the sizes where a list
// is cut, values with quotes and blanks, whole numbers.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "lfpack/profile_logic.h"

namespace {

TEST(ProfileReader, AnswersAsThePrivateProfileFunctions) {
  const char* const texts[] = {
      "[C]\n  a.txt  \n; note\n\nk = v\n[x]\ny\n", "[C]\r\nb,c\r\nk=\"A\\B\"\r\n", "[ C ]\nb\n[c]\nk='q\n",
      "[C]\na\n[C]\nb\nk=1\n",                     "x=1\n[C]\nabcdef\nghij\nn=0x10\n", "[C]\nab=cdef\nn= -7\n",
      "\xEF\xBB\xBF[C]\nk=v\n",                    "[C]\n\t[bad\nk\nn=12abc\nk=2\n"};
  char temp[MAX_PATH];
  ASSERT_NE(0u, GetTempPathA(sizeof(temp), temp));
  int n = 0;
  for (const char* text : texts) {
    // A file of its own per text: the profile functions cache what they read.
    std::string path = std::string(temp) + "lfpack_reader" + std::to_string(++n) + ".inf";
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(f, text, static_cast<DWORD>(strlen(text)), &written, nullptr);
    CloseHandle(f);
    Profile profile = ParseProfile(text);
    for (DWORD size : {5u, 8u, 10u, 13u, 14u, 2048u}) {
      std::string windows(size, 'W'), mine(size, 'M');
      DWORD w = GetPrivateProfileSectionA("C", &windows[0], size, path.c_str());
      size_t m = ReadProfileSection(profile, "C", &mine[0], size);
      EXPECT_EQ(w, m) << text << " size " << size;
      EXPECT_EQ(windows.substr(0, w + 1), mine.substr(0, m + 1)) << text << " size " << size;
    }
    char windows[260], mine[260];
    GetPrivateProfileStringA("c", "K", "dflt", windows, sizeof(windows), path.c_str());
    ReadProfileString(profile, "c", "K", "dflt", mine, sizeof(mine));
    EXPECT_STREQ(windows, mine) << text;
    EXPECT_EQ(GetPrivateProfileIntA("C", "n", 0, path.c_str()), ReadProfileInt(profile, "C", "n")) << text;
    DeleteFileA(path.c_str());
  }
}

}  // namespace
