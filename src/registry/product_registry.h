// The product's registry entries written at the end of a successful install:
// component list, App Paths, uninstall display name, the default VISITOR
// profile, version, brand and content paths, then the viewer records and the
// protocol and file associations.
#pragma once

void WriteProductRegistry();

// Shared key names.
extern const char kMakerKey[];        // "SOFTWARE\LUMENFIELD Corporation"
extern const char kAppPathsKey[];     // "SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\"
extern const char kUninstallKeyBase[]; // "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\"
extern const char kProductUninstallKey[];  // kUninstallKeyBase + "Quillara Browser"
extern const char kUninstallStringValue[];  // "UninstallString" of the uninstall entry
extern const char kQuietUninstallValue[];   // "QuietUninstallString"
extern const char kAppPathValue[];    // "Path": the folder of an App Paths program
extern const char kViewerComponent[]; // "Viewer": the component list of viewer products
extern const char kBrandValue[];      // "Brand": the brand of the viewer's maker key
