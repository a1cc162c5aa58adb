// The audio path stored in a sentence-list file's audio attribute: relative to
// the XML file's folder when they share one, read with "\" or "/" (files from
// the Windows program use "\"), written with "/".
#pragma once

#include <string>
#include <string_view>

// path resolved against folder (when it is not absolute), with "\" read as a
// separator, "." and ".." steps removed and "/" between the parts.
std::u16string qualifyPath(std::u16string_view folder, std::u16string_view path);
// The folder part of a file path (without the trailing separator), "" when none.
std::u16string folderOf(std::u16string_view path);
// The audio attribute for an audio file and the XML file that names it: the
// path from the XML file's folder ("a.mp3", "sub/a.mp3", "../a.mp3"), or the
// audio path as it is when the two have no folder in common below the root.
std::u16string relativeAudioPath(std::u16string_view audioPath, std::u16string_view xmlPath);
// True for a path that names an existing file (not a folder) that can be opened for reading.
bool isReadableFile(const std::u16string& path);
