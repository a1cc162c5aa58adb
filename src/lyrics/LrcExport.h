// Exporting the open sentence list as an LRC file: the writer's input built from
// the document, and the formats of the format description file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audio/LyricsInfoManager.h"
#include "lyrics/SentenceList.h"
#include "xml/XMLParser.h"

// "Resources/Lyrics.txt" beside the program (not in whatever folder the program
// was started from).
std::u16string lyricsFormatFilePath();

// The PlayerFormat elements below the root (Format elements when there are
// none), in file order; elements without a name are skipped. False when the
// file cannot be parsed; the parser's own message (file, row and column) goes
// to sink, which the caller must give: a broken format file is never silent.
bool readLyricsFormats(const std::u16string& path, std::vector<LyricsFormat>& formats, XMLParser::MessageSink sink);

// Each entry's sentence at its start time, followed by an empty text at its end
// time when it has one; the audio's length closes the list.
LyricsInfoManager buildLrcInput(const SentenceList& list, std::uint32_t audioLengthMs);

// The whole export to the name chosen in the save dialog. False when the format
// file cannot be read or nothing could be written; the format file's message
// goes to sink (see readLyricsFormats).
bool exportLrc(const SentenceList& list, std::uint32_t audioLengthMs, const std::u16string& chosenPath,
               XMLParser::MessageSink sink);
