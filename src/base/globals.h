// Process-wide setup state. Every global starts zero or empty; the comments
// say which step fills it.
#pragma once
#include <windows.h>

// Fixed buffer sizes: paths and script values hold at most 259 characters,
// captions at most 127.
enum { kPathSize = 260, kCaptionSize = 128 };

extern int g_uninstallMode;   // running as LFUninst.exe
extern int g_quiet;           // quiet uninstall ("\s")
extern int g_ieSetup;         // setup inside an Internet Explorer package ("\f")
extern HINSTANCE g_hInstance;
extern char g_uninstScriptPath[kPathSize];   // <Windows>\inf\LFUninst.inf

extern char g_setupCaption[kCaptionSize];
extern char g_criticalErrorCaption[kCaptionSize];
extern char g_uninstallErrorCaption[kCaptionSize];
extern char g_uninstallCaption[kCaptionSize];

extern char g_productKey[kPathSize];      // detected product, then the script's Key
extern char g_altProductKey[kPathSize];   // the script's Alt (per-user settings key)
extern char g_installDir[kPathSize];      // product folder, finally ending in "\World"
extern char g_stagedFolder[kPathSize];    // install folder written under its partial name; empty when none
extern char g_setupScriptPath[kPathSize]; // LFSetup.inf beside the program
extern char g_viewerExe[kPathSize];       // viewer file name (the script's Target)

extern int g_migrateOldDir;               // an older viewer folder is to be moved
extern char g_oldViewerDir[kPathSize];
extern char g_brandName[kPathSize];       // brand of an installed platform browser
extern int g_replaceConfirmed;            // user agreed to replace another brand
extern int g_ieGeneration;                // Internet Explorer 3, 4 or 5
extern int g_ctrlInUse;                   // LFCtrl.exe was in use and not replaced

// Unattended runs: "/S" (no window of any kind, fixed answers), the exit
// code a silent setup ends with (the first failure's kind), and the folder
// "/D=" chose for an install with no product found.
extern int g_silent;
extern int g_exitCode;
// The run ends with the exit code of its outcome (a silent setup; a quiet
// uninstall; an uninstall started with "/LOG=" or "/WAIT"); otherwise with 0,
// as it always has. And: something of the product waits for the restart.
extern int g_codedExit;
extern int g_restartScheduled;
extern char g_destinationSwitch[kPathSize];
extern ULONGLONG g_installedBytes;        // sizes of the files the lists installed
