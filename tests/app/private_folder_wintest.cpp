// What Wine cannot show by reading a folder's security back (it makes the
// answer up from the file's owner and mode): the descriptor a private folder
// is made with admits exactly SYSTEM, the Administrators and the running
// user, each with full access passed on to files and folders inside, and is
// protected, so that nothing of the temporary folder's own access list
// applies to it.
#include "app/private_folder.h"

#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(PrivateFolderSecurity, AdmitsOnlySystemAdministratorsAndTheUserAndInheritsNothing) {
  PSECURITY_DESCRIPTOR descriptor = PrivateFolderSecurity();
  ASSERT_NE(nullptr, descriptor);
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  ASSERT_TRUE(GetSecurityDescriptorControl(descriptor, &control, &revision));
  EXPECT_TRUE(control & SE_DACL_PROTECTED);
  BOOL present = FALSE, defaulted = FALSE;
  PACL dacl = nullptr;
  ASSERT_TRUE(GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted));
  ASSERT_TRUE(present && dacl);

  HANDLE token = nullptr;
  std::vector<BYTE> user(512);
  DWORD size = 0;
  ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
  ASSERT_TRUE(GetTokenInformation(token, TokenUser, user.data(), user.size(), &size));
  CloseHandle(token);
  PSID system = nullptr, admins = nullptr;
  ConvertStringSidToSidA("SY", &system);
  ConvertStringSidToSidA("BA", &admins);
  PSID expected[] = {system, admins, reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid};
  ASSERT_EQ(3u, dacl->AceCount);
  for (DWORD i = 0; i < dacl->AceCount; ++i) {
    ACCESS_ALLOWED_ACE* ace = nullptr;
    ASSERT_TRUE(GetAce(dacl, i, reinterpret_cast<void**>(&ace)));
    EXPECT_EQ(ACCESS_ALLOWED_ACE_TYPE, ace->Header.AceType);
    EXPECT_EQ(OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE, ace->Header.AceFlags);
    EXPECT_EQ(static_cast<DWORD>(FILE_ALL_ACCESS), ace->Mask);
    EXPECT_TRUE(EqualSid(&ace->SidStart, expected[i])) << "entry " << i;
  }
  LocalFree(system);
  LocalFree(admins);
  LocalFree(descriptor);
}

}  // namespace
