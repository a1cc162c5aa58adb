// Reads one phrase page for the phrase downloader's worker: the page's texts
// and, through the stream tool, its recorded voice, made into a SentenceGroup.
//
// The voice: the page names a stream path; its last part names the voice
// file, voices/<name>.mp3 beside the executable. An existing file is reused
// without running the tool. Otherwise the tool records the stream into
// <name>.flv, the MP3 audio is taken out of it, and the FLV goes. A recording
// under 1000 bytes (a refused stream, usually) leaves the command in a shell
// script for running by hand instead.
//
// Safety: the name is made a plain file name of the voice folder (no
// separators, no "..", cut to a length the file system takes); every value on
// the command line is quoted and the tool is started without a shell; the
// voice file appears under its final name only when it is whole. A stop
// request ends the tool at once and removes what it wrote.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "download/GogakuruSite.h"
#include "download/WorkerHooks.h"
#include "xml/Element.h"

// What the worker gives the reader: where things go, and its hooks.
struct PhraseWork : WorkerHooks {
    explicit PhraseWork(const SiteHosts& hosts);

    gogakuru::Addresses addresses;
    std::u16string voiceFolder;  // with its trailing separator
    std::u16string toolPath;     // the stream tool
    std::u16string scriptPath;   // the script left for a refused stream
};

class PhrasePageReader {
public:
    // A recording shorter than this holds no voice.
    static constexpr long long kShortestRecording = 1000;

    explicit PhrasePageReader(const PhraseWork& work) : m_work(work) {}

    // The page's SentenceGroup (sentence, translation and explanation as the
    // page writes them, in CDATA; the attribute voice when a voice was got),
    // or null when the address is no phrase page, the page cannot be fetched
    // or has no content marker (the learner is told of the marker).
    std::unique_ptr<Element> read(const std::u16string& url) const;

    // The voice file of a stream path, fetched when needed; empty when there
    // is none (no "/" in the path, an empty name, a leftover recording, a
    // tool that could not start or was stopped, audio that is no MP3).
    std::u16string fetchVoice(std::u16string_view streamPath) const;

private:
    const PhraseWork& m_work;
};
