// GoogleTest entry point for every test program: a run that selected no test
// fails, so that a filter gone wrong or an executable that never ran its
// tests cannot pass silently.
#include <gtest/gtest.h>

#include <cstring>

int main(int argc, char** argv) {
  bool listing = false;
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--gtest_list_tests") == 0) listing = true;
  ::testing::InitGoogleTest(&argc, argv);
  int rc = RUN_ALL_TESTS();
  if (!listing && ::testing::UnitTest::GetInstance()->test_to_run_count() == 0) {
    std::fprintf(stderr, "error: no test was selected to run\n");
    return 1;
  }
  return rc;
}
