#include "download/KokokozaLecture.h"

#include <cstdio>

#include "download/ToolCommandLine.h"
#include "xml/XMLParser.h"

namespace kokokoza {

namespace {

bool isSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\b'; }

std::u16string_view trimmed(std::u16string_view text) {
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
    return text;
}

std::u16string decimal(int number) {
    const std::string digits = std::to_string(number);
    return std::u16string(digits.begin(), digits.end());
}

}  // namespace

std::u16string archiveBase(std::u16string_view host) {
    return u"http://" + std::u16string(host) + u"/kokokoza/library/" + kYear + u"/" + kMedium + u"/" + kCourseKey +
           u"/archive/";
}

std::u16string lectureAddress(std::u16string_view host, int number) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%03d", number);
    return archiveBase(host) + u"chapter" + std::u16string(digits, digits + std::char_traits<char>::length(digits));
}

std::u16string lectureTitle(std::u16string_view pageTitle) {
    const std::size_t bar = pageTitle.rfind(u"| ");
    if (bar != std::u16string_view::npos) pageTitle.remove_prefix(bar + 2);
    return std::u16string(trimmed(pageTitle));
}

std::vector<std::u16string> chapterStreams(std::string_view listBytes) {
    std::vector<std::u16string> streams;
    XMLParser parser;
    if (listBytes.empty() || !parser.parseBytes(listBytes.data(), listBytes.size())) return streams;
    for (const Element* group : parser.getElementsByTagName(u"group"))
        streams.push_back(group->getAttribute(u"rtmp") + group->getAttribute(u"movie"));
    return streams;
}

char16_t chapterMark(int index) { return static_cast<char16_t>(u'1' + index); }

std::u16string recordCommand(std::u16string_view recorder, std::u16string_view stream, std::u16string_view flv) {
    return ToolCommandLine(recorder).option(u"-r").value(stream).option(u"-o").value(flv).text();
}

std::u16string convertCommand(std::u16string_view converter, std::u16string_view flv, std::u16string_view mp3,
                              bool namedFormat) {
    ToolCommandLine command(converter);
    command.option(u"-y -i").value(flv).option(u"-ab 64k -ar 16000");
    if (namedFormat) command.option(u"-f mp3");
    return command.value(mp3).text();
}

std::u16string joinCommand(std::u16string_view converter, const std::vector<std::u16string>& chapters,
                           const LectureTags& tags, std::u16string_view output, bool namedFormat) {
    ToolCommandLine command(converter);
    for (const std::u16string& chapter : chapters) command.option(u"-i").value(chapter);
    command.option(u"-filter_complex").value(u"concat=n=" + decimal(static_cast<int>(chapters.size())) + u":v=0:a=1");
    const std::pair<const char16_t*, std::u16string> metadata[] = {
        {u"title", tags.title},
        {u"date", tags.date},
        {u"track", decimal(tags.track) + u"/" + decimal(tags.trackCount)},
        {u"genre", u"Speech"},
        {u"publisher", u"NHK"},
        {u"copyright", u"NHK"},
        {u"artist", u"NHK"},
        {u"album", tags.album},
    };
    for (const auto& [key, value] : metadata) command.option(u"-metadata").value(key + (u"=" + value));
    command.option(u"-id3v2_version 3 -write_id3v1 1");
    if (namedFormat) command.option(u"-f mp3");
    return command.value(output).text();
}

std::u16string progressLine(std::u16string_view text) {
    text = trimmed(text);
    const std::size_t lineEnd = text.find_last_of(u"\r\n");
    if (lineEnd != std::u16string_view::npos) text = trimmed(text.substr(lineEnd + 1));
    return std::u16string(text);
}

}  // namespace kokokoza
