// Stand-ins for programs the setup starts or closes leave a trace, so a test
// can check what was started, with which command line and in which folder.
#pragma once

// Appends "<own exe file name>\t<command line>\t<current directory>\n" to the
// file named by LF_STANDIN_LOG; does nothing when that variable is not set.
// Returns false only when the line could not be written.
bool AppendStandinLog();
