// Sentence-list files: reading one into the document, writing the document
// back, and the two reduced forms the lyrics view's conversion commands write.
//
// Format: root SentenceList with the audio attribute (the audio file relative to
// the XML file's folder, or absolute); optionally WordList and id3; one
// SentenceGroup per entry with startTime and endTime time codes and, by
// position, sentence, translation and explanation children holding CDATA.
// Files written here are UTF-16LE with FF FE first and CR LF line ends.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "lyrics/SentenceList.h"
#include "lyrics/SentenceListHost.h"

// Reads the file into the document. False, with the document unchanged, when the
// file cannot be parsed (the host shows path + "\nCouldn't parse this file."),
// holds no SentenceGroup (no message), or when no audio can be opened for it.
// A document whose audio path already names a readable file keeps it; otherwise
// the audio attribute is resolved against the XML file's folder, and the host's
// dialog asks for the audio when that names no readable file.
bool readSentenceList(SentenceList& document, const std::u16string& path, SentenceListHost& host);

// The bytes writeSentenceList writes (FF FE and the UTF-16LE text).
std::string sentenceListBytes(const SentenceList& document);
// Writes the document to its XML path, replacing the old file only once the new
// one is complete. On failure the host shows the path + "\r\nファイルの作成に失敗しました。"
// (no owner) and the result is false.
bool writeSentenceList(const SentenceList& document, SentenceListHost& host);

struct SentencePair {
    std::u16string sentence;
    std::u16string translation;
};
struct WordPair {
    std::u16string key;
    std::u16string value;
};
// The reduced forms, as text: sentence pairs without times or audio, and a word list alone.
std::u16string sentencePairsXml(const std::vector<SentencePair>& pairs);
std::u16string wordListXml(const std::vector<WordPair>& words);
// Saves such a text as UTF-16LE with FF FE first, through a temporary file.
bool saveUtf16File(const std::u16string& path, std::u16string_view text);
