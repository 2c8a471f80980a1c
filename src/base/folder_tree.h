// Deletes a folder with everything below it: the content the uninstaller
// removes with the product, this program's private folders, and a folder
// an ended install was writing under its partial name.
#pragma once

// Empties folder and removes it; a folder link inside is removed as a link,
// never walked. 1 when the folder is gone.
int DeleteFolderTree(const char* folder);

// The files below folder, for a progress bar's total; links and junctions
// are not walked, as DeleteFolderTree does not walk them.
unsigned long long CountTreeFiles(const char* folder);
