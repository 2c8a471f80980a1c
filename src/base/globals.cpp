#include "base/globals.h"

int g_uninstallMode = 0;
int g_quiet = 0;
int g_ieSetup = 0;
HINSTANCE g_hInstance = nullptr;
char g_uninstScriptPath[kPathSize] = "";

char g_setupCaption[kCaptionSize] = "";
char g_criticalErrorCaption[kCaptionSize] = "";
char g_uninstallErrorCaption[kCaptionSize] = "";
char g_uninstallCaption[kCaptionSize] = "";

char g_productKey[kPathSize] = "";
char g_altProductKey[kPathSize] = "";
char g_installDir[kPathSize] = "";
char g_stagedFolder[kPathSize] = "";
char g_setupScriptPath[kPathSize] = "";
char g_viewerExe[kPathSize] = "";

int g_migrateOldDir = 0;
char g_oldViewerDir[kPathSize] = "";
char g_brandName[kPathSize] = "";
int g_replaceConfirmed = 0;
int g_ieGeneration = 0;
int g_ctrlInUse = 0;

int g_silent = 0;
int g_exitCode = 0;
int g_codedExit = 0;
int g_restartScheduled = 0;
char g_destinationSwitch[kPathSize] = "";
ULONGLONG g_installedBytes = 0;
