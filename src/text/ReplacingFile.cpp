#include "text/ReplacingFile.h"

#include "platform/win32.h"

ReplacingFile::ReplacingFile(std::u16string path) : m_path(std::move(path)), m_tempPath(m_path + u".veltrix-tmp") {
    m_file = _wfopen(m_tempPath.c_str(), u"wb");
}

ReplacingFile::~ReplacingFile() {
    if (m_file) {
        std::fclose(m_file);
        DeleteFileW(m_tempPath.c_str());
    }
}

bool ReplacingFile::commit() {
    if (!m_file) return false;
    bool ok = std::fflush(m_file) == 0 && !std::ferror(m_file);
    ok = std::fclose(m_file) == 0 && ok;
    m_file = nullptr;
    if (ok) ok = MoveFileExW(m_tempPath.c_str(), m_path.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
    if (!ok) DeleteFileW(m_tempPath.c_str());
    return ok;
}
