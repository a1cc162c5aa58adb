#include "lyrics/LrcExport.h"

#include "app/Paths.h"
#include "lyrics/LrcWriter.h"
#include "lyrics/TimeCode.h"

std::u16string lyricsFormatFilePath() { return appDirectory() + u"Resources/Lyrics.txt"; }

bool readLyricsFormats(const std::u16string& path, std::vector<LyricsFormat>& formats, XMLParser::MessageSink sink) {
    XMLParser parser;
    if (sink) parser.setMessageSink(std::move(sink));
    if (!parser.parse(path) || !parser.getRoot()) return false;
    std::vector<Element*> elements;
    parser.getRoot()->getElementsByTagName(u"PlayerFormat", elements);
    if (elements.empty()) parser.getRoot()->getElementsByTagName(u"Format", elements);
    formats.clear();
    for (const Element* e : elements) {
        LyricsFormat f;
        f.name = e->getAttribute(u"name");
        if (f.name.empty()) continue;
        f.appName = e->getAttribute(u"appName");
        f.headerName = e->getAttribute(u"headerName");
        f.version = e->getAttribute(u"version");
        f.language = e->getAttribute(u"language");
        f.encoding = e->getAttribute(u"encoding");
        f.x = e->getIntAttribute(u"x", 0);
        f.y = e->getIntAttribute(u"y", 0);
        f.width = e->getIntAttribute(u"width", 0);
        f.rowCount = e->getIntAttribute(u"rowCount", 0);
        f.fontSize = e->getIntAttribute(u"fontSize", 0);
        f.extendedTag = e->hasAttribute(u"extendedTag") ? e->getAttribute(u"extendedTag") : u".";
        formats.push_back(std::move(f));
    }
    return true;
}

LyricsInfoManager buildLrcInput(const SentenceList& list, std::uint32_t audioLengthMs) {
    LyricsInfoManager input;
    for (const SentenceRow& row : list.rows()) {
        std::uint32_t start = parseTimeCode(row.start);
        input.texts.push_back(row.sentence);
        input.times.push_back(static_cast<std::int32_t>(start));
        std::uint32_t end = row.end.empty() ? 0 : parseTimeCode(row.end);
        if (end != 0 && end != 0xFFFFFFFFu && end > start) {
            input.texts.emplace_back();
            input.times.push_back(static_cast<std::int32_t>(end));
        }
    }
    input.times.push_back(static_cast<std::int32_t>(audioLengthMs));
    return input;
}

bool exportLrc(const SentenceList& list, std::uint32_t audioLengthMs, const std::u16string& chosenPath,
               XMLParser::MessageSink sink) {
    LyricsInfoManager input = buildLrcInput(list, audioLengthMs);
    if (!readLyricsFormats(lyricsFormatFilePath(), input.formats, std::move(sink))) return false;
    input.formatIndex = 0;
    return writeLrc(input, lrcFileNameFromChoice(chosenPath));
}
