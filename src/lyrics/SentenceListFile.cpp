#include "lyrics/SentenceListFile.h"

#include <cstring>
#include <new>
#include <stdexcept>

#include "lyrics/AudioPath.h"
#include "lyrics/TimeCode.h"
#include "platform/win32.h"
#include "text/ReplacingFile.h"
#include "xml/XMLParser.h"

namespace {

constexpr std::u16string_view kDeclaration = u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>";
constexpr std::u16string_view kAudioFilter = u"Audio File (*.ogg,*.mp3,*.wma)";

// Free text goes into CDATA sections unescaped; only the sequence that would end
// the section early is taken out.
std::u16string withoutCDataEnd(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t start = 0;
    for (std::size_t found; (found = text.find(u"]]>", start)) != std::u16string_view::npos; start = found + 3)
        out.append(text.substr(start, found - start));
    out.append(text.substr(start));
    return out;
}

// The audio path goes into a quoted attribute. A file name with "&" or a
// quotation mark would otherwise make the saved file unreadable; the reader
// turns these references back into the characters.
std::u16string escapedAttribute(std::u16string_view value) {
    std::u16string out;
    for (char16_t c : value) {
        switch (c) {
            case u'&':
                out += u"&amp;";
                break;
            case u'<':
                out += u"&lt;";
                break;
            case u'>':
                out += u"&gt;";
                break;
            case u'"':
                out += u"&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

void appendCDataLine(std::u16string& out, std::u16string_view text) {
    out += u"<![CDATA[";
    out += withoutCDataEnd(text);
    out += u"]]>\r\n";
}

// The creation date of a file in local time; false when it cannot be read.
bool creationDate(const std::u16string& path, SYSTEMTIME& date) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    FILETIME local;
    return GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) &&
           FileTimeToLocalFileTime(&data.ftCreationTime, &local) && FileTimeToSystemTime(&local, &date);
}

// The audio for a sentence list being read: the document's own when readable,
// else the file's audio attribute, else the user's choice. Empty when none.
std::u16string resolveAudio(const XMLParser& parser, const std::u16string& xmlPath, SentenceListHost& host) {
    const std::u16string attribute = parser.getRoot()->getAttribute(u"audio");
    const std::u16string qualified = qualifyPath(folderOf(xmlPath), attribute);
    if (!attribute.empty() && isReadableFile(qualified)) return qualified;
    return host.chooseAudioFile(kAudioFilter, xmlPath);
}

}  // namespace

bool readSentenceList(SentenceList& document, const std::u16string& path, SentenceListHost& host) {
    XMLParser parser;
    parser.setMessageSink([&](const std::u16string& text) { host.showMessage(text, MessageOwner::Player); });
    if (!parser.parse(path)) {
        host.showMessage(path + u"\nCouldn't parse this file.", MessageOwner::Player);
        return false;
    }
    const std::vector<Element*> groups = parser.getElementsByTagName(u"SentenceGroup");
    if (groups.empty()) return false;

    if (!isReadableFile(document.audioPath())) {
        const std::u16string audio = resolveAudio(parser, path, host);
        if (audio.empty() || !host.openAudio(audio)) return false;
        document.setAudioPath(audio);
    }

    document.setXmlPath(path);
    document.clear();
    Element* root = parser.getRoot();
    if (Element* words = root->findElement(u"WordList")) document.wordList().copyFrom(*words);
    if (Element* id3 = root->findElement(u"id3")) {
        document.id3().copyFrom(*id3);
    } else {
        Element& fresh = document.id3();
        fresh.setChildText(u"title", u"");
        fresh.setChildText(u"officialSite", u"");
        fresh.setChildText(u"sourceUrl", u"");
        fresh.setChildText(u"category", u"");
        SYSTEMTIME date{};
        const bool dated = creationDate(path, date);
        fresh.setChildInt(u"day", dated ? date.wDay : 0);
        fresh.setChildInt(u"month", dated ? date.wMonth : 0);
        fresh.setChildInt(u"year", dated ? date.wYear : 0);
        fresh.setChildText(u"comments", u"");
    }

    for (const Element* group : groups) {
        SentenceGroup entry;
        entry.startTime = parseTimeCode(group->getAttribute(u"startTime"));
        entry.endTime = parseTimeCode(group->getAttribute(u"endTime"));
        const Element* child = group->firstChild();
        std::u16string* texts[] = {&entry.sentence, &entry.translation, &entry.explanation};
        for (std::u16string* text : texts) {
            if (!child) break;
            *text = child->getCDataText();
            child = child->next();
        }
        document.appendEntry(entry);
    }
    return true;
}

std::string sentenceListBytes(const SentenceList& document) {
    std::u16string text;
    text += kDeclaration;
    text += u"\r\n<SentenceList audio=\"";
    text += escapedAttribute(relativeAudioPath(document.audioPath(), document.xmlPath()));
    text += u"\">\r\n";
    text += document.wordList().toString();
    text += u"\r\n";
    text += document.id3().toString();
    text += u"\r\n";
    const std::vector<SentenceRow>& rows = document.rows();
    for (std::size_t i = 0; i < document.timings().size() && i < rows.size(); ++i) {
        const SentenceRow& row = rows[i];
        text += u"\t<SentenceGroup startTime='" + row.start;
        if (!row.end.empty()) text += u"' endTime='" + row.end;
        text += u"'>\r\n";
        text += u"\t\t<sentence>\r\n";
        appendCDataLine(text, row.sentence);
        text += u"\t\t</sentence>\r\n";
        text += u"\t\t<translation>\r\n";
        appendCDataLine(text, row.translation);
        text += u"\t\t</translation>\r\n";
        if (!row.explanation.empty()) {
            text += u"\t\t<explanation>\r\n";
            appendCDataLine(text, row.explanation);
            text += u"\t\t</explanation>\r\n";
        }
        text += u"\t</SentenceGroup>\r\n";
    }
    text += u"</SentenceList>\r\n";

    std::string bytes(2 + text.size() * 2, '\0');
    bytes[0] = '\xFF';
    bytes[1] = '\xFE';
    for (std::size_t i = 0; i < text.size(); ++i) {
        bytes[2 + 2 * i] = static_cast<char>(text[i] & 0xFF);
        bytes[3 + 2 * i] = static_cast<char>(text[i] >> 8);
    }
    return bytes;
}

namespace {
bool replaceFile(const std::u16string& path, const std::string& bytes) {
    ReplacingFile out(path);
    if (!out.file()) return false;
    if (std::fwrite(bytes.data(), 1, bytes.size(), out.file()) != bytes.size()) return false;
    return out.commit();
}
}  // namespace

bool writeSentenceList(const SentenceList& document, SentenceListHost& host) {
    bool written = false;
    try {
        written = replaceFile(document.xmlPath(), sentenceListBytes(document));
    } catch (const std::bad_alloc&) {
        // A pathologically deep word list indents into more text than memory holds.
    } catch (const std::length_error&) {}
    if (written) return true;
    host.showMessage(document.xmlPath() + u"\r\nファイルの作成に失敗しました。", MessageOwner::None);
    return false;
}

std::u16string sentencePairsXml(const std::vector<SentencePair>& pairs) {
    std::u16string text(kDeclaration);
    text += u"\r\n<SentenceList>\r\n";
    for (const SentencePair& pair : pairs) {
        text += u"\t<SentenceGroup>\r\n";
        text += u"\t\t<sentence>\r\n";
        appendCDataLine(text, pair.sentence);
        text += u"\t\t</sentence>\r\n";
        text += u"\t\t<translation>\r\n";
        appendCDataLine(text, pair.translation);
        text += u"\t\t</translation>\r\n";
        text += u"\t</SentenceGroup>\r\n";
    }
    text += u"</SentenceList>\r\n";
    return text;
}

std::u16string wordListXml(const std::vector<WordPair>& words) {
    std::u16string text(kDeclaration);
    text += u"\r\n<SentenceList>\r\n";
    text += u"\t<WordList>\r\n";
    for (const WordPair& word : words) {
        text += u"\t\t<Word>\t\t\t<key>\t\t";
        appendCDataLine(text, word.key);
        text += u"\t\t\t</key>\t\t\t<value>\t\t";
        appendCDataLine(text, word.value);
        text += u"\t\t\t</value>\t\t</Word>\r\n";
    }
    text += u"\t</WordList>\r\n";
    text += u"</SentenceList>\r\n";
    return text;
}

bool saveUtf16File(const std::u16string& path, std::u16string_view text) {
    std::string bytes = "\xFF\xFE";
    bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * 2);
    return replaceFile(path, bytes);
}
