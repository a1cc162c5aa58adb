#include "player/RecoveryFile.h"

#include <cstdint>
#include <cstdio>
#include <exception>

#include "app/Paths.h"
#include "lyrics/AudioPath.h"
#include "lyrics/SentenceListFile.h"
#include "platform/api/FileOperations.h"
#include "platform/api/Startup.h"
#include "platform/win32.h"
#include "text/ReplacingFile.h"

namespace recovery {

namespace {

constexpr char16_t kFolderName[] = u"veltrix";

// FNV-1a over the path's UTF-16 units: stable across runs and builds.
std::uint32_t hashOf(const std::u16string& text) {
    std::uint32_t hash = 2166136261u;
    for (char16_t unit : text) {
        hash ^= unit;
        hash *= 16777619u;
    }
    return hash;
}

std::u16string hex8(std::uint32_t value) {
    static constexpr char16_t kDigits[] = u"0123456789abcdef";
    std::u16string text(8, u'0');
    for (int i = 7; i >= 0; --i, value >>= 4) text[static_cast<std::size_t>(i)] = kDigits[value & 0xF];
    return text;
}

// Puts a document's paths back as they were, however the writing ended.
class PathsRestored {
public:
    explicit PathsRestored(SentenceList& document)
        : document_(document), audio_(document.audioPath()), xml_(document.xmlPath()) {}
    ~PathsRestored() {
        document_.setAudioPath(audio_);
        document_.setXmlPath(xml_);
    }
    PathsRestored(const PathsRestored&) = delete;
    PathsRestored& operator=(const PathsRestored&) = delete;

private:
    SentenceList& document_;
    std::u16string audio_;
    std::u16string xml_;
};

std::u16string stateFolder() {
    WCHAR folder[MAX_PATH];
    if (SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder) != S_OK) return {};
    return std::u16string(folder) + u"/" + kFolderName;
}

}  // namespace

std::u16string pathFor(const std::u16string& audioPath) {
    const std::u16string folder = stateFolder();
    if (folder.empty() || audioPath.empty()) return {};
    return folder + u"/" + fileNameOf(withoutExtension(audioPath)) + u"-" + hex8(hashOf(audioPath)) + u".xml";
}

bool keep(SentenceList& document, const std::u16string& audioPath) {
    const std::u16string path = pathFor(audioPath);
    if (path.empty()) return false;
    SHCreateDirectoryExW(nullptr, folderOf(path).c_str(), nullptr);
    try {
        std::string bytes;
        {
            // The writer names the audio relative to where the file goes: the
            // document has the recovery file's place while it is written.
            const PathsRestored restored(document);
            document.setAudioPath(audioPath);
            document.setXmlPath(path);
            bytes = sentenceListBytes(document);
        }
        ReplacingFile out(path);
        return out.file() && std::fwrite(bytes.data(), 1, bytes.size(), out.file()) == bytes.size() && out.commit();
    } catch (const std::exception&) {
        // A list too large for memory now: nothing more can be done on the way out.
        return false;
    }
}

bool exists(const std::u16string& audioPath) {
    const std::u16string path = pathFor(audioPath);
    return !path.empty() && isReadableFile(path);
}

void discard(const std::u16string& audioPath) {
    const std::u16string path = pathFor(audioPath);
    if (!path.empty()) DeleteFileW(path.c_str());
}

}  // namespace recovery
