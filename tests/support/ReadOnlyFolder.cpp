#include "support/ReadOnlyFolder.h"

#include <sys/mount.h>
#include <unistd.h>

ReadOnlyFolder::ReadOnlyFolder(std::filesystem::path path) : m_path(std::move(path)) {
    std::filesystem::create_directories(m_path);
    if (::geteuid() != 0) {
        m_available = true;
        return;
    }
    m_mounted = ::mount("tmpfs", m_path.c_str(), "tmpfs", 0, "size=16m") == 0;
    m_available = m_mounted;
}

bool ReadOnlyFolder::lock() {
    if (m_mounted) return ::mount("tmpfs", m_path.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=16m") == 0;
    std::error_code error;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec,
                                 error);
    return !error;
}

ReadOnlyFolder::~ReadOnlyFolder() {
    if (m_mounted) {
        ::umount2(m_path.c_str(), MNT_DETACH);
        return;
    }
    std::error_code ignored;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, ignored);
}
