// Records one lecture for the lecture downloader's worker: reads its page
// for the title and its chapter list for the streams, records each chapter
// with the stream tool, converts it with ffmpeg to a small MP3, and joins
// the chapters into kokokoza/<title>.mp3 with the lecture's tags.
//
// Resuming: a lecture whose MP3 exists is not recorded again, nor a chapter
// whose MP3 exists. So that existence means completeness, every file ffmpeg
// writes gets its final name only when ffmpeg ended well; a stop ends the
// running tool and removes what it was writing. A lecture whose chapters are
// not all there is not joined (the chapters stay for the next run).
//
// The join command, with the final file as output, is left in a shell script
// for running by hand.
#pragma once

#include <functional>
#include <string>

#include "download/KokokozaLecture.h"
#include "download/SiteHosts.h"
#include "download/WorkerHooks.h"

// What the worker gives the recorder: where things go, and its hooks.
struct LectureWork : WorkerHooks {
    explicit LectureWork(const SiteHosts& hosts);

    std::u16string archiveHost;
    std::u16string outputFolder;   // with its trailing separator
    std::u16string recorderPath;   // the stream tool
    std::u16string converterPath;  // ffmpeg
    std::u16string scriptPath;     // the script of the last join
};

// Where a lecture's progress shows: its row's title and status cells.
struct LectureRow {
    std::function<void(const std::u16string&)> showTitle;
    std::function<void(const std::u16string&)> showStatus;
};

class LectureRecorder {
public:
    enum class Outcome {
        Joined,   // the lecture's MP3 was made
        Present,  // it was there already
        Failed,   // no title, no chapters, a chapter missing, or the join failed
        Stopped,
    };
    static constexpr const char16_t* kComplete = u"complete";
    static constexpr const char16_t* kFailed = u"Failed";

    explicit LectureRecorder(const LectureWork& work) : m_work(work) {}

    // The lecture at address (without ".html" or ".xml"); tags.title is
    // filled from its page.
    Outcome record(const std::u16string& address, kokokoza::LectureTags tags, const LectureRow& row) const;

    // The lecture's file, from its title (made a plain name of the folder).
    std::u16string lecturePath(const std::u16string& title) const;

private:
    enum class ToolEnd { Succeeded, Failed, Stopped };
    // Records and converts one chapter into stem + ".mp3", unless it is there.
    ToolEnd recordChapter(const std::u16string& stream, const std::u16string& stem, const LectureRow& row) const;
    // Runs the tool, showing its progress in the row; "complete" at its end.
    ToolEnd runTool(const std::u16string& command, const LectureRow& row) const;
    // The bytes of the address, or empty.
    std::string fetch(const std::u16string& address) const;
    bool stopping() const { return m_work.stopping(); }

    const LectureWork& m_work;
};
