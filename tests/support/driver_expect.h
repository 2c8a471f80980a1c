// GoogleTest checks on a DriverRun. Each failure carries the whole transcript:
// when an end-to-end test fails under Wine, what the program showed before the
// failure is usually the only clue.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "window_driver.h"

namespace driver_expect_detail {

// Shows line breaks and stray blanks in texts that must match exactly.
inline std::string Visible(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else if (c == '\t') out += "\\t";
    else out += c;
  }
  return out + "\"";
}

inline ::testing::AssertionResult Fail(const DriverRun& run, const std::string& why) {
  return ::testing::AssertionFailure() << why << "\n--- transcript ---\n" << run.transcript << "------------------";
}

}  // namespace driver_expect_detail

// The next window must have exactly this caption and text; then `press` is clicked.
// A mismatching window is left unanswered so the transcript shows it as found.
inline ::testing::AssertionResult ExpectWindow(DriverRun& run, const std::string& caption, const std::string& text,
                                               const std::string& press, DWORD timeoutMs = 15000) {
  using driver_expect_detail::Fail;
  using driver_expect_detail::Visible;
  SeenWindow w;
  if (!WaitForWindow(run, &w, timeoutMs)) return Fail(run, "expected window " + Visible(caption) + ", none came");
  if (w.caption != caption || w.text != text)
    return Fail(run, "expected window " + Visible(caption) + " with text " + Visible(text) + "\n     got window " +
                         Visible(w.caption) + " with text " + Visible(w.text));
  if (!PressButton(run, w, press)) return Fail(run, "could not press [" + press + "] in " + Visible(caption));
  return ::testing::AssertionSuccess();
}

// The program (and all it started) must end without showing another window.
inline ::testing::AssertionResult ExpectEnd(DriverRun& run, DWORD timeoutMs = 20000) {
  if (!WaitForEnd(run, timeoutMs)) return driver_expect_detail::Fail(run, "expected the program to end");
  return ::testing::AssertionSuccess();
}
