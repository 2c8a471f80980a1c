// The single-file download: the setup program carrying its package after its
// image. The download installs straight from itself, in this process: only
// the package's texts (the setup script, the licence, and an Internet
// Explorer package's setup) become files, in a private folder under the
// temporary folder; every product file is read out of the download and
// written once, into its destination.
#pragma once

// 0 when the program carries no package (it is an ordinary setup, or the
// uninstaller): the run goes on from the program's folder. 1 when it carries
// one and the whole payload matches its checksum: the run goes on,
// installing from it. -1 when the download is refused (damaged, cut short,
// unreadable, or its texts cannot be written): the message was given, and
// *exitCode is what the process ends with.
int StartFromCarriedPackage(int* exitCode);

// At the run's end: closes the download and removes the texts' folder.
void EndCarriedPackage();
