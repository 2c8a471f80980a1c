// What the end-to-end scenarios expect to see, and the runs they share: a
// whole install of a package, and an uninstall started the way Windows starts
// it, from the uninstall entry.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "window_driver.h"

// Captions and messages, exactly as the program shows them.
extern const char kSetupCaption[];
extern const char kCriticalCaption[];
extern const char kUninstallCaption[];
extern const char kUninstallErrorCaption[];
extern const char kContentCaption[];
extern const char kRunNow[];
extern const char kNotCompleted[];
extern const char kNotInstalled[];
extern const char kRemoveQuestion[];
extern const char kNotRegistered[];
extern const char kContentQuestion[];
extern const char kRemoved[];
extern const char kUninstallNotCompleted[];

// Registry keys the scenarios look at.
extern const char kMaker[];
extern const char kUninstallKey[];
extern const char kAppPaths[];

extern const char kStandinLog[];   // where the stand-ins record their starts

std::string Quoted(const std::string& s);

// Starts the package's setup with the stand-ins' log switched on.
bool StartSetup(DriverRun& run, const std::string& package, const std::string& args = "");

// A whole successful install of the package, declining the first start.
::testing::AssertionResult InstallAndDecline(const std::string& package);

// An install that fails: the critical message, then the closing message.
::testing::AssertionResult InstallExpectingFailure(const std::string& package);

// Starts the uninstall string of the product's uninstall entry, as Add/Remove
// Programs does, and confirms the removal. The run goes on in `run`.
::testing::AssertionResult StartUninstallAsWindowsDoes(DriverRun& run);

// Every process of the run, the relocated copy included, ended with code 0.
::testing::AssertionResult AllExitedWithZero(const DriverRun& run);
