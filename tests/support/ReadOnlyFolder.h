// A folder that a test can make unwritable after filling it: by its mode bits
// for an ordinary user, and, since the superuser ignores those, as a small
// file system of its own that is remounted read-only. Where neither is
// possible (the superuser in a container that may not mount) available() is
// false and the test skips itself.
#pragma once

#include <filesystem>

class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(std::filesystem::path path);
    ~ReadOnlyFolder();
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

    bool available() const { return m_available; }
    const std::filesystem::path& path() const { return m_path; }
    // From now on nothing can be created, renamed or deleted in the folder.
    bool lock();

private:
    std::filesystem::path m_path;
    bool m_mounted = false;
    bool m_available = false;
};
