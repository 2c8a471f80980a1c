// The single-file download: a setup program that carries its package as a
// cabinet after its image unpacks it into a new folder under the temporary
// folder, runs the unpacked (ordinary) setup from there with the same
// command line, passes its exit code on and removes the folder.
#pragma once

// 0 when the program carries no package (it is an ordinary setup, or the
// uninstaller): the run goes on. 1 when it did carry one: *exitCode is what
// the process ends with (the unpacked setup's, or one of a damaged or
// unusable download).
int RunCarriedPackage(int* exitCode);
