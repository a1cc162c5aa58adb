// The file choosers every part of the program asks for paths with: the
// system's open and save dialogs with the options the program always uses.
//
// A filter is given as the system dialog takes it: label and pattern strings,
// each followed by a NUL character, e.g. u"XML File\0*.xml\0"s. Paths come
// back "/"-separated; the empty string means the user cancelled (or the
// dialog failed; CommDlgExtendedError tells which).
#pragma once

#include <string>

#include "platform/win32.h"

// Prompts before overwriting, keeps the current folder (file buffer and file
// title 260 characters each).
std::u16string chooseSaveFile(HWND owner, const std::u16string& title, const std::u16string& filter,
                              const std::u16string& initialName, const std::u16string& defaultExtension);
// The initial folder is also the initial file text (at most 259 characters);
// no title; the file must exist.
std::u16string chooseOpenFile(HWND owner, const std::u16string& filter, const std::u16string& initialFolder);
