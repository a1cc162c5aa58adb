#include "download/LectureRecorder.h"

#include "app/Paths.h"
#include "audio/Mp3FileScanner.h"
#include "download/DownloadFiles.h"
#include "download/HttpClient.h"
#include "download/ProcessRunner.h"
#include "download/ShellScript.h"
#include "platform/win32.h"
#include "text/NarrowText.h"
#include "text/TextFile.h"
#include "xml/HtmlReader.h"

namespace {

constexpr const char16_t* kPartSuffix = u".veltrix-tmp";

bool fileExists(const std::u16string& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Whether the file begins, after its tag, with MPEG audio frames.
bool isMp3File(const std::u16string& path) {
    Mp3FileScanner scanner;
    try {
        if (!scanner.scan(path)) return false;
    } catch (const MP3::FrameException&) {
        // The frames before the bad header still count: an ID3v1 tag at the
        // end, which the join writes, reads as one.
    }
    return !scanner.frames().empty();
}

// Gives the file written under part its final name; removes it when the tool
// did not end well or wrote nothing.
bool keepPart(bool succeeded, const std::u16string& part, const std::u16string& final) {
    if (succeeded && isMp3File(part) && MoveFileExW(part.c_str(), final.c_str(), MOVEFILE_REPLACE_EXISTING))
        return true;
    DeleteFileW(part.c_str());
    return false;
}

}  // namespace

LectureWork::LectureWork(const SiteHosts& hosts)
    : archiveHost(hosts.lectureArchive),
      outputFolder(appDirectory() + u"kokokoza/"),
      recorderPath(pluginToolPath(u"flvstreamer")),
      converterPath(pluginToolPath(u"ffmpeg")),
      scriptPath(u"kokokoza.sh") {}

std::string LectureRecorder::fetch(const std::u16string& address) const {
    return fetchUrlText(encodeCodePage(address, CP_ACP), "GET", {}, m_work.cancel);
}

std::u16string LectureRecorder::lecturePath(const std::u16string& title) const {
    return pathInFolder(m_work.outputFolder, title) + u".mp3";
}

LectureRecorder::Outcome LectureRecorder::record(const std::u16string& address, kokokoza::LectureTags tags,
                                                 const LectureRow& row) const {
    createDirectoriesForFile(m_work.outputFolder);
    // The page's code page is not declared to us: the reader recognises it.
    std::u16string page;
    const std::string pageBytes = fetch(address + u".html");
    decodeBytes(pageBytes.data(), pageBytes.size(), page);
    HtmlReader reader;
    reader.read(page);
    tags.title = kokokoza::lectureTitle(reader.getTitle());
    row.showTitle(tags.title);
    if (stopping()) return Outcome::Stopped;
    if (tags.title.empty()) {
        row.showStatus(kFailed);
        return Outcome::Failed;
    }

    const std::vector<std::u16string> streams = kokokoza::chapterStreams(fetch(address + u".xml"));
    const std::u16string output = lecturePath(tags.title);
    if (fileExists(output)) {
        row.showStatus(kComplete);
        return Outcome::Present;
    }
    if (stopping()) return Outcome::Stopped;
    if (streams.empty() || streams.size() > static_cast<std::size_t>(kokokoza::kMostChapters)) {
        row.showStatus(kFailed);
        return Outcome::Failed;
    }

    // The stem of every chapter: the title's name as the lecture has it (cut
    // to length first, so that the marks stay), then the mark.
    const std::u16string base = pathInFolder(m_work.outputFolder, tags.title);
    std::vector<std::u16string> chapters;
    bool complete = true;
    for (std::size_t i = 0; i < streams.size(); ++i) {
        const std::u16string stem =
            base + escapeFileName(std::u16string(1, kokokoza::chapterMark(static_cast<int>(i))));
        if (recordChapter(streams[i], stem, row) == ToolEnd::Stopped) return Outcome::Stopped;
        chapters.push_back(stem + u".mp3");
        complete = complete && fileExists(chapters.back());
    }
    if (!complete) {
        row.showStatus(kFailed);
        return Outcome::Failed;
    }

    const std::u16string part = output + kPartSuffix;
    const std::u16string command = kokokoza::joinCommand(m_work.converterPath, chapters, tags, part, true);
    const ToolEnd joined = runTool(command, row);
    if (joined == ToolEnd::Stopped) {
        DeleteFileW(part.c_str());
        return Outcome::Stopped;
    }
    writeShellScript(m_work.scriptPath, kokokoza::joinCommand(m_work.converterPath, chapters, tags, output, false));
    if (!keepPart(joined == ToolEnd::Succeeded, part, output)) {
        row.showStatus(kFailed);
        return Outcome::Failed;
    }
    for (const std::u16string& chapter : chapters) DeleteFileW(chapter.c_str());
    return Outcome::Joined;
}

LectureRecorder::ToolEnd LectureRecorder::recordChapter(const std::u16string& stream, const std::u16string& stem,
                                                        const LectureRow& row) const {
    const std::u16string mp3 = stem + u".mp3";
    if (fileExists(mp3)) return ToolEnd::Succeeded;
    const std::u16string flv = stem + u".flv";
    const std::u16string part = mp3 + kPartSuffix;
    ToolEnd end = runTool(kokokoza::recordCommand(m_work.recorderPath, stream, flv), row);
    if (end != ToolEnd::Stopped && fileExists(flv)) {
        end = runTool(kokokoza::convertCommand(m_work.converterPath, flv, part, true), row);
        if (end == ToolEnd::Stopped)
            DeleteFileW(part.c_str());
        else
            keepPart(end == ToolEnd::Succeeded, part, mp3);
    }
    DeleteFileW(flv.c_str());
    return end;
}

LectureRecorder::ToolEnd LectureRecorder::runTool(const std::u16string& command, const LectureRow& row) const {
    if (stopping()) return ToolEnd::Stopped;
    ProcessRunner runner;
    if (m_work.tell) runner.setFailureNotice(m_work.tell);
    if (!runner.start(command)) return ToolEnd::Failed;
    const ProcessRunner::WaitResult ended = runner.wait(m_work.shouldStop, [&](const std::u16string& text) {
        const std::u16string line = kokokoza::progressLine(text);
        if (!line.empty()) row.showStatus(line);
    });
    runner.flushOutputs();
    const DWORD exitCode = runner.finish();
    if (ended == ProcessRunner::WaitResult::Stopped) return ToolEnd::Stopped;
    row.showStatus(kComplete);
    return exitCode == 0 ? ToolEnd::Succeeded : ToolEnd::Failed;
}
