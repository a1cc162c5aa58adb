// The scripts the downloaders leave for running a tool by hand ("kokokoza.sh",
// "gogakuru.sh"): POSIX shell scripts in which every argument is quoted, so the
// shell gives each back exactly as the runner would have passed it, and no
// text in one can be run as a command.
#pragma once

#include <string>
#include <string_view>

// One shell word that the shell reads back as exactly this text: single
// quotes around it, each single quote written as '\''.
std::u16string quoteForShell(std::u16string_view argument);

// The command line (Windows quoting, as the runner takes it) as one line of
// shell: split by the Windows rules, every argument quoted. The program's "\"
// separators become "/", as the runner reads them.
std::u16string shellCommandLine(std::u16string_view commandLine);

// Writes "#!/bin/sh", a line feed, the command line as shell and a line feed,
// in UTF-8 without a byte-order mark, replacing the file. Run it with
// "sh <file>". False when the file could not be written.
bool writeShellScript(const std::u16string& path, std::u16string_view commandLine);
