// The install run that command 100 starts.
#pragma once
#include <windows.h>

// 1 when the product was installed, 0 when the wizard was left or the
// install failed.
int RunInstall(HWND window);

// The file, log and shortcut phase; non-zero on success.
int InstallProduct(HWND window);

// Makes g_installDir end in "\World".
void AppendWorldFolder();

// Records (remove = 0) or deletes the Internet Explorer dependent component.
void RegisterDependentComponent(int remove);

// Schedules the Start-menu group conversion through RunOnce.
int ScheduleGroupConversion();

// The Internet Explorer dependent components' key, which the uninstall reads.
extern const char kDependentComponentsKey[];  // "SOFTWARE\Microsoft\IE4\DependentComponents"
