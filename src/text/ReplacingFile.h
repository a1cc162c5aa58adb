// Writes a file through a temporary file beside it that replaces the target only
// when everything was written: a full disk or a killed process leaves the old
// file whole instead of a truncated one.
#pragma once

#include <cstdio>
#include <string>

class ReplacingFile {
public:
    explicit ReplacingFile(std::u16string path);
    ~ReplacingFile();  // an uncommitted write is thrown away
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Null when the temporary file could not be created.
    std::FILE* file() const { return m_file; }
    // Flushes, closes and moves the temporary file over the target; false (and
    // the target untouched) when any write failed.
    bool commit();

private:
    std::u16string m_path;
    std::u16string m_tempPath;
    std::FILE* m_file = nullptr;
};
