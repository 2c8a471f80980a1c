// The setup wizard: Welcome, licence, destination and Finish pages.
#pragma once
#include <windows.h>
#include <prsht.h>

// Positive after Finish, 0 after Cancel, -1 on error. The sheet is the
// instance's; its pages take g_hInstance, which the caller passes.
int RunSetupWizard(HWND owner, HINSTANCE instance);

// The wizard's work without a window, for "/S": the licence file must be
// there (the switch accepts it), the destination is the installed product's
// folder, else the "/D=" folder, else the default one, and its drive must
// have room. 1 to go on, -1 when the setup cannot.
int RunSilentWizard();

// Fills one page record: default flags, so the page's title is its
// template's caption (`title` is stored but not used).
void FillWizardPage(PROPSHEETPAGEA* page, int templateId, const char* title, DLGPROC proc);

INT_PTR CALLBACK WelcomePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK FinishPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
// Ends with 101 (accepted) or 102 (rejected).
INT_PTR CALLBACK LicenseDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// 1 once the licence was accepted in this run; it is not asked again.
extern int g_licenseAccepted;

// A page's answer to a notification: the dialog result, and TRUE (handled).
INT_PTR PageResult(HWND page, LONG_PTR result);

// Logs the page the wizard turned to, by its title.
void LogPageShown(HWND page);

