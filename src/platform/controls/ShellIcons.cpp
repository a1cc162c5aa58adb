// The shell's small icons: one image list per process holding one icon per
// kind of file (folder, audio, text, picture, ...). A kind's icon is taken
// from the desktop's icon theme when one of the XDG data folders has it at
// 16 x 16, else drawn here, so that the tree panes show icons everywhere.
#include <sys/stat.h>
#include <array>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include <algorithm>
#include "platform/api/ShellInfo.h"
#include "platform/common/FileExtension.h"
#include "platform/controls/DibCanvas.h"
#include "platform/controls/Theme.h"
#include "platform/gdi/CairoHandles.h"
#include "platform/services/NativePath.h"
#include "platform/win32.h"

namespace veltrix::platform::controls {

namespace {

constexpr int kSide = 16;

enum class Kind { Folder, Audio, Text, Web, Picture, Video, Archive, Other };

struct KindInfo {
    Kind kind;
    const char* themeName;  // the icon's name in a freedesktop theme
    std::array<const char16_t*, 9> extensions;
};

const KindInfo kKinds[] = {
    {Kind::Folder, "inode-directory", {}},
    {Kind::Audio, "audio-x-generic", {u"mp3", u"ogg", u"wma", u"wav", u"m4a", u"flac", u"aac", u"mid", u"opus"}},
    {Kind::Text, "text-x-generic", {u"txt", u"xml", u"lrc", u"m3u", u"srt", u"ini", u"csv", u"json", u"log"}},
    {Kind::Web, "text-html", {u"html", u"htm", u"xhtml", u"css"}},
    {Kind::Picture, "image-x-generic", {u"png", u"jpg", u"jpeg", u"gif", u"bmp", u"svg", u"webp", u"ico", u"tif"}},
    {Kind::Video, "video-x-generic", {u"mp4", u"flv", u"wmv", u"avi", u"mkv", u"webm", u"mov", u"mpg", u"mpeg"}},
    {Kind::Archive, "package-x-generic", {u"zip", u"gz", u"7z", u"lzh", u"tar", u"bz2", u"xz", u"rar", u"cab"}},
    {Kind::Other, "application-x-generic", {}},
};

Kind kindOf(std::u16string_view path, bool folder) {
    if (folder) return Kind::Folder;
    // Without its dot, already in lower case.
    const std::u16string extension =
        paths::extensionOf(path).substr(std::min<std::size_t>(1, paths::extensionOf(path).size()));
    for (const KindInfo& info : kKinds)
        for (const char16_t* known : info.extensions)
            if (known && extension == known) return info.kind;
    return Kind::Other;
}

const KindInfo& infoOf(Kind kind) {
    for (const KindInfo& info : kKinds)
        if (info.kind == kind) return info;
    return kKinds[std::size(kKinds) - 1];
}

// The folders icon themes live in, most personal first.
std::vector<std::string> iconFolders() {
    std::vector<std::string> folders;
    if (const char* home = std::getenv("XDG_DATA_HOME"); home && *home == '/')
        folders.push_back(std::string(home) + "/icons");
    else if (const char* user = std::getenv("HOME"); user && *user == '/')
        folders.push_back(std::string(user) + "/.local/share/icons");
    std::string dirs = "/usr/local/share:/usr/share";
    if (const char* value = std::getenv("XDG_DATA_DIRS"); value && *value) dirs = value;
    std::size_t start = 0;
    while (start <= dirs.size()) {
        const std::size_t end = std::min(dirs.find(':', start), dirs.size());
        if (end > start && dirs[start] == '/') folders.push_back(dirs.substr(start, end - start) + "/icons");
        start = end + 1;
    }
    return folders;
}

// The theme's picture of the kind, copied into the canvas; false when no
// folder has a usable one.
bool loadThemeIcon(const KindInfo& info, DibCanvas& canvas) {
    for (const std::string& folder : iconFolders()) {
        for (const char* theme : {"Adwaita", "hicolor"}) {
            const std::string path = folder + "/" + theme + "/16x16/mimetypes/" + info.themeName + ".png";
            struct stat st {};
            if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
            UniqueCairoSurface picture(cairo_image_surface_create_from_png(path.c_str()));
            if (!picture || cairo_surface_status(picture.get()) != CAIRO_STATUS_SUCCESS) continue;
            if (cairo_image_surface_get_width(picture.get()) != kSide ||
                cairo_image_surface_get_height(picture.get()) != kSide ||
                cairo_image_surface_get_format(picture.get()) != CAIRO_FORMAT_ARGB32)
                continue;
            cairo_surface_flush(picture.get());
            const unsigned char* data = cairo_image_surface_get_data(picture.get());
            const int stride = cairo_image_surface_get_stride(picture.get());
            // Both are premultiplied ARGB words in native order.
            for (int y = 0; y < kSide; ++y) std::memcpy(canvas.pixels() + y * kSide, data + y * stride, kSide * 4);
            return true;
        }
    }
    return false;
}

void box(HDC dc, int left, int top, int right, int bottom, COLORREF fill, COLORREF edge) {
    theme::fill(dc, RECT{left, top, right, bottom}, fill);
    theme::frame(dc, RECT{left, top, right, bottom}, edge);
}

// Our own pictures: a folder, or a page marked with what the file holds.
void drawIcon(Kind kind, HDC dc) {
    if (kind == Kind::Folder) {
        box(dc, 1, 2, 7, 5, RGB(0xE0, 0xA8, 0x30), RGB(0xB0, 0x80, 0x20));
        box(dc, 1, 4, 15, 14, RGB(0xF4, 0xC4, 0x50), RGB(0xB0, 0x80, 0x20));
        return;
    }
    box(dc, 3, 1, 13, 15, RGB(0xFF, 0xFF, 0xFF), RGB(0x80, 0x80, 0x80));
    switch (kind) {
        case Kind::Audio:  // a note
            theme::fill(dc, RECT{5, 9, 8, 12}, RGB(0x20, 0x60, 0xC0));
            theme::fill(dc, RECT{7, 4, 8, 10}, RGB(0x20, 0x60, 0xC0));
            theme::fill(dc, RECT{8, 4, 11, 5}, RGB(0x20, 0x60, 0xC0));
            break;
        case Kind::Text:
        case Kind::Web:
            for (int y = 4; y <= 12; y += 2)
                theme::fill(dc, RECT{5, y, 11, y + 1},
                            kind == Kind::Web ? RGB(0xD0, 0x60, 0x20) : RGB(0x70, 0x70, 0x70));
            break;
        case Kind::Picture:
            theme::fill(dc, RECT{4, 3, 12, 8}, RGB(0x80, 0xC0, 0xF0));
            theme::fill(dc, RECT{4, 8, 12, 13}, RGB(0x50, 0xA0, 0x50));
            break;
        case Kind::Video:
            theme::fill(dc, RECT{4, 4, 12, 12}, RGB(0x30, 0x30, 0x40));
            theme::fill(dc, RECT{7, 6, 9, 10}, RGB(0xFF, 0xFF, 0xFF));
            break;
        case Kind::Archive:
            theme::fill(dc, RECT{7, 1, 9, 15}, RGB(0xA0, 0x70, 0x30));
            break;
        default:
            break;
    }
}

struct SystemIcons {
    std::mutex mutex;
    HIMAGELIST list = nullptr;  // lives as long as the process
    std::map<Kind, int> indices;

    int indexOf(Kind kind) {
        if (auto it = indices.find(kind); it != indices.end()) return it->second;
        if (!list) list = ImageList_Create(kSide, kSide, ILC_COLOR32, 8, 8);
        DibCanvas canvas(kSide, kSide);
        if (!list || !canvas) return -1;
        if (!loadThemeIcon(infoOf(kind), canvas)) {
            drawIcon(kind, canvas.dc());
            canvas.makeDrawnOpaque();
        }
        const int index = ImageList_Add(list, canvas.bitmap(), nullptr);
        if (index >= 0) indices[kind] = index;
        return index;
    }
};

SystemIcons& systemIcons() {
    static auto* icons = new SystemIcons;
    return *icons;
}

}  // namespace

}  // namespace veltrix::platform::controls

DWORD_PTR SHGetFileInfoW(LPCWSTR path, DWORD attributes, SHFILEINFOW* info, UINT, UINT flags) {
    using namespace veltrix::platform::controls;
    if (!path || !info) return 0;
    std::u16string_view name(path);
    if (!(flags & SHGFI_USEFILEATTRIBUTES)) {
        attributes = GetFileAttributesW(path);
        if (attributes == INVALID_FILE_ATTRIBUTES) return 0;
    }
    const bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    *info = SHFILEINFOW{};
    info->dwAttributes = attributes;
    if (flags & SHGFI_DISPLAYNAME) {
        const std::size_t slash = name.find_last_of(u"/\\");
        std::u16string_view shown = slash == std::u16string_view::npos ? name : name.substr(slash + 1);
        shown = shown.substr(0, std::size(info->szDisplayName) - 1);
        std::copy(shown.begin(), shown.end(), info->szDisplayName);
    }
    if (!(flags & SHGFI_SYSICONINDEX)) return (flags & SHGFI_DISPLAYNAME) ? 1 : 0;
    SystemIcons& icons = systemIcons();
    std::lock_guard lock(icons.mutex);
    const int index = icons.indexOf(kindOf(name, folder));
    if (index < 0) return 0;
    info->iIcon = index;
    return reinterpret_cast<DWORD_PTR>(icons.list);
}
