// The phrase site and the lecture archive as the downloaders' tests serve them
// from 127.0.0.1, and the program folder around the test program: its
// Plugins/ holds a stand-in stream recorder (flvstreamer-standin.sh) and the
// real ffmpeg, and the downloaders write voices/ and kokokoza/ beside it.
//
// A LessonSite makes the test's current folder a fresh temporary one (the
// downloaders leave their scripts there), empties voices/ and kokokoza/
// before and after, and has the stand-in note each run's arguments.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "download/SiteHosts.h"
#include "support/HttpTestServer.h"
#include "support/TempDir.h"

class LessonSite {
public:
    LessonSite();
    ~LessonSite();
    LessonSite(const LessonSite&) = delete;
    LessonSite& operator=(const LessonSite&) = delete;

    HttpTestServer server;
    TempDir work;
    SiteHosts hosts;
    std::filesystem::path voices;    // the program folder's voices/
    std::filesystem::path lectures;  // the program folder's kokokoza/

    // "127.0.0.1:<port>".
    std::u16string host() const;
    // A phrase page with the site's markers.
    static std::string phrasePage(const std::string& sentence, const std::string& translation,
                                  const std::string& explanation, const std::string& streamPath);
    // Serves a phrase page under /english/phrase/<id>; returns its address.
    std::u16string routePhrase(const std::string& id, const std::string& page);
    // Serves lecture number n: its page with that title and its chapter list
    // with one group per stream name (rtmp "rtmp://127.0.0.1/kokokoza/").
    std::u16string routeLecture(int number, const std::string& pageTitle, const std::vector<std::string>& movies);

    // How long the chapter the stand-in records for this stream name lasts
    // once converted as the lecture downloader converts it and decoded (the
    // recording's MP3 carries its encoder's padding, which the join keeps).
    double chapterSeconds(const std::string& movie) const;

    // Every run of the stand-in so far, each its arguments.
    std::vector<std::vector<std::u16string>> toolRuns() const;
    // The stand-in's process ids, in the order they started.
    std::vector<pid_t> toolPids() const;

    // Names of the files in a folder, sorted (none when it does not exist).
    static std::vector<std::string> filesIn(const std::filesystem::path& folder);
};

// Runs the calling thread's messages until the condition holds or the time
// is up; whether it holds.
bool pumpUntil(const std::function<bool()>& condition, int milliseconds = 20000);
// Whether the process is gone: ended and collected (a zombie is not gone).
bool processGone(pid_t pid);
// The value ffprobe gives for an entry of an audio file's format, e.g.
// "format=duration" or "format_tags=title".
std::string probe(const std::filesystem::path& file, const std::string& entry);
// How long an audio file lasts as ffmpeg decodes it: without the padding an
// MP3's header tells the decoder to drop, which its header length includes.
double decodedSeconds(const std::filesystem::path& file);
