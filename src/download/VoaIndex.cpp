#include "download/VoaIndex.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "app/Paths.h"
#include "download/DownloadFiles.h"
#include "download/PageMarkers.h"
#include "platform/win32.h"
#include "xml/XMLParser.h"

namespace voa {

namespace {

constexpr const char16_t* kEnd = u"\r\n";
constexpr std::size_t kMaxCopyBytes = std::size_t(64) << 20;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

// The file's id3 element, kept alive with its parser; null when there is none.
struct Id3 {
    XMLParser parser;
    const Element* element = nullptr;
    explicit Id3(const std::u16string& file) {
        if (!parser.parse(file)) return;
        const std::vector<Element*> found = parser.getElementsByTagName(u"id3");
        if (!found.empty()) element = found.front();
    }
    // The field's text made safe inside HTML: the reader decoded its entities.
    std::u16string text(const char16_t* name) const {
        return escapedAttributeValue(element ? element->getTextOf(name) : std::u16string());
    }
};

bool isFolder(const std::u16string& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool copyNew(const std::u16string& from, const std::u16string& to) {
    if (GetFileAttributesW(to.c_str()) != INVALID_FILE_ATTRIBUTES) return false;
    UniqueFile in(_wfopen(from.c_str(), u"rb"));
    if (!in) return false;
    std::string bytes;
    char buffer[8192];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, in.get())) > 0;) {
        bytes.append(buffer, n);
        if (bytes.size() > kMaxCopyBytes) return false;
    }
    UniqueFile out(_wfopen(to.c_str(), u"wb"));
    if (!out) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out.get()) == bytes.size();
    if (std::fclose(out.release()) != 0 || !written) {
        DeleteFileW(to.c_str());
        return false;
    }
    return true;
}

}  // namespace

std::u16string id3Block(const std::u16string& page, const std::u16string& address) {
    const std::u16string title = textBetween(page, u"<title>", u" | ");
    const std::u16string date = textBetween(page, u"\"live_date\">", u"<");
    const std::u16string file = textBetween(page, u"file=", u"&");
    std::u16string year, month, day;
    const std::size_t first = date.find(u'/');
    const std::size_t last = date.rfind(u'/');
    if (first != std::u16string::npos) {
        year = date.substr(0, first);
        month = date.substr(first + 1, last > first ? last - first - 1 : 0);
        if (last > first) day = date.substr(last + 1);
    }
    return std::u16string(u"\t<id3>") + kEnd + u"\t\t<title>" + title + u"</title>" + kEnd +
           u"\t\t<category></category>" + kEnd + u"\t\t<officialSite>" + address + u"</officialSite>" + kEnd +
           u"\t\t<sourceUrl>" + file + u"</sourceUrl>" + kEnd + u"\t\t<year>" + year + u"</year>" + kEnd +
           u"\t\t<month>" + month + u"</month>" + kEnd + u"\t\t<day>" + day + u"</day>" + kEnd + u"\t</id3>" + kEnd;
}

std::u16string itemBlock(const std::u16string& file, const std::u16string& publish) {
    const Id3 id3(file);
    std::u16string date;
    for (const char16_t* part : {u"year", u"month", u"day"}) {
        const std::u16string value = id3.text(part);
        if (value.empty()) continue;
        if (!date.empty()) date += u'/';
        date += value;
    }
    std::u16string out = std::u16string(u"<div class=\"contents\">") + kEnd;
    out += u"<span class=\"date\">" + date + u"</span>" + kEnd;
    out += std::u16string(u"<div class=\"title\">") + kEnd + id3.text(u"title") + u"</div>" + kEnd;
    out += std::u16string(u"<div class=\"description\">") + kEnd + id3.text(u"comments") + u"</div>" + kEnd;
    out += std::u16string(u"<div class=\"file\">") + kEnd;
    out += u"<a href=\"" + id3.text(u"officialSite") + u"\" target=\"_blank\">Site</a>" + kEnd;
    out += u"<a href=\"http://" + publish + u"/" + fileNameOf(file) + u"\" target=\"_blank\">XML</a>" + kEnd;
    out += u"<a href=\"" + id3.text(u"sourceUrl") + u"\" target=\"_blank\">MP3</a>" + kEnd;
    out += std::u16string(u"</div>") + kEnd + u"</div>" + kEnd;
    return out;
}

std::u16string indexHtml(const std::vector<Category>& categories, const std::u16string& publish) {
    std::u16string out = std::u16string(u"<div class=\"voa\">") + kEnd;
    for (const Category& category : categories) {
        out += std::u16string(u"<div class=\"category\">") + kEnd;
        out += u"<div class=\"subject\">" + category.name + u"</div>" + kEnd;
        for (const std::u16string& file : category.files) out += itemBlock(file, publish);
        out += std::u16string(u"</div>") + kEnd;
    }
    return out + u"</div>" + kEnd;
}

int orderDay(const std::u16string& file) {
    const Id3 id3(file);
    if (!id3.element) return 1;
    const Element* day = id3.element->findElement(u"day");
    if (!day) return 30;
    int value = 0;
    for (char16_t c : day->getText()) {
        if (c < u'0' || c > u'9' || value > 100000) break;
        value = value * 10 + (c - u'0');
    }
    return value;
}

std::u16string orderedHtml(const std::u16string& prefix, const std::vector<Category>& categories,
                           const std::u16string& publish) {
    std::vector<std::pair<int, std::u16string>> items;
    for (const Category& category : categories)
        for (const std::u16string& file : category.files) items.emplace_back(orderDay(file), file);
    std::stable_sort(items.begin(), items.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::u16string out = prefix + kEnd + u"<div class=\"voa\">" + kEnd + u"<div class=\"category\">" + kEnd;
    for (auto it = items.rbegin(); it != items.rend(); ++it) out += itemBlock(it->second, publish);
    return out + u"</div>" + kEnd + u"</div>" + kEnd;
}

bool fileCategories(const std::vector<Category>& categories, const std::u16string& folder) {
    CreateDirectoryW(folder.c_str(), nullptr);
    if (!isFolder(folder)) return false;
    bool made = true;
    for (const Category& category : categories) {
        const std::u16string sub = pathInFolder(folder, category.name);
        CreateDirectoryW(sub.c_str(), nullptr);
        if (!isFolder(sub)) {
            made = false;
            continue;
        }
        for (const std::u16string& file : category.files) copyNew(file, pathInFolder(sub, fileNameOf(file)));
    }
    return made;
}

}  // namespace voa
