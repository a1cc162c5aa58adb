#include "player/PlayerCore.h"

#include <cstdio>
#include <exception>
#include <memory>

#include "app/Paths.h"
#include "audio/LyricsInfoManager.h"
#include "lyrics/AudioPath.h"
#include "lyrics/SentenceListFile.h"
#include "platform/common/FileExtension.h"

namespace {

struct FileCloser {
    std::FILE* file;
    ~FileCloser() {
        if (file) std::fclose(file);
    }
};

bool isAudioExtension(const std::u16string& extension) {
    return extension == u".mp3" || extension == u".ogg" || extension == u".wma";
}

std::u16string twoDigits(unsigned value) {
    std::u16string text;
    const std::string digits = value < 10 ? "0" + std::to_string(value) : std::to_string(value);
    text.assign(digits.begin(), digits.end());
    return text;
}

}  // namespace

PlayerCore::PlayerCore(IAudioPlayer& audio, LengthReader lengthMs, LyricsEditing& editing, PlayerControls& controls,
                       SentenceListHost& host)
    : audio_(audio), lengthMs_(std::move(lengthMs)), editing_(editing), controls_(controls), host_(host) {}

bool PlayerCore::isStopped() { return !audio_.isPlaying() && !audio_.isPaused(); }

bool PlayerCore::openAudioKeepingPrevious(const std::u16string& path) {
    if (audio_.open(path)) return true;
    // The audio player lets go of the old file before it tries the new one.
    if (!fallbackPath_.empty()) audio_.open(fallbackPath_);
    return false;
}

bool PlayerCore::openAudioForReader(const std::u16string& path) {
    if (!openAudioKeepingPrevious(path)) return false;
    audioPath_ = path;
    return true;
}

void PlayerCore::readTag(const std::u16string& path) {
    tag_.clearFrames();
    FileCloser closer{_wfopen(path.c_str(), u"rb")};
    if (closer.file) tag_.readTag(closer.file);
}

bool PlayerCore::openFile(const std::u16string& path) {
    if (!isStopped()) audio_.stop();
    const std::u16string previous = audioPath_;
    fallbackPath_ = previous;
    try {
        const std::u16string extension = veltrix::paths::extensionOf(path);
        if (extension != u".xml") {
            // Checked before anything is replaced, so that a file that cannot
            // be played leaves the open one and its sentences as they were.
            if (!isAudioExtension(extension) || !isReadableFile(path) || !openAudioKeepingPrevious(path)) {
                audioPath_ = previous;
                return false;
            }
            audioPath_ = path;
            readTag(path);
            loadLyricsFor(path);
        } else {
            SentenceList& document = editing_.document();
            const std::u16string documentAudio = document.audioPath();
            // Resolve the file's own audio attribute.
            document.setAudioPath(u"");
            audioPath_.clear();
            if (!readSentenceList(document, path, host_)) {
                document.setAudioPath(documentAudio);
                audioPath_ = previous;
                return false;
            }
            audioPath_ = document.audioPath();
            readTag(audioPath_);
            editing_.showDocument();
        }
        afterOpen(path);
        return true;
    } catch (const std::exception&) {
        audioPath_.clear();
        controls_.enablePlayButton(Enable::Off);
        return false;
    }
}

void PlayerCore::afterOpen(const std::u16string& path) {
    editing_.lyricsView().setModified(false);
    if (opened_) opened_(path);
    audio_.setPosition(0);
    controls_.setTimeSliderValue(0);
    controls_.setTimeSliderRange(static_cast<int>(lengthMs() / 10));
    editing_.showSentence(0);
    editing_.selectSentence(0);
    updateTitle();
    updateTimeDisplay();
    updateButtons();
}

bool PlayerCore::loadLyricsFor(const std::u16string& audioPath) {
    editing_.clearSentences();
    SentenceList& document = editing_.document();
    const std::u16string xmlPath = withoutExtension(audioPath) + u".xml";
    document.setAudioPath(audioPath);
    if (isReadableFile(xmlPath) && readSentenceList(document, xmlPath, host_)) {
        editing_.showDocument();
        return true;
    }
    document.setAudioPath(audioPath);
    document.setXmlPath(xmlPath);
    LyricsInfoManager lyrics;
    if (lyrics.readSyltTag(audioPath)) {
        std::u16string joined;
        for (std::size_t i = 0; i < lyrics.texts.size(); ++i) {
            const std::uint32_t time = i < lyrics.times.size() ? static_cast<std::uint32_t>(lyrics.times[i]) : 0;
            editing_.appendEntry(SentenceGroup{time, 0, lyrics.texts[i], {}, {}}, joined);
        }
        editing_.finishEntries(joined);
    } else {
        std::u16string text = LyricsInfoManager::getUltTagText(audioPath);
        // The frame's text comes with its byte-order mark and terminator,
        // which are no part of the lyrics.
        if (!text.empty() && text.front() == u'\uFEFF') text.erase(0, 1);
        while (!text.empty() && text.back() == u'\0') text.pop_back();
        if (!text.empty()) editing_.setLyricsText(text);
    }
    editing_.lyricsView().emptyUndoBuffer();
    return true;
}

bool PlayerCore::writeSentences() {
    editing_.collectDocument();
    SentenceList& document = editing_.document();
    document.setAudioPath(audioPath_);
    if (document.xmlPath().empty()) document.setXmlPath(withoutExtension(audioPath_) + u".xml");
    if (!writeSentenceList(document, host_)) return false;
    editing_.lyricsView().setModified(false);
    updateTitle();
    return true;
}

bool PlayerCore::restoreSentences(const std::u16string& path) {
    SentenceList& document = editing_.document();
    std::u16string xmlPath = document.xmlPath();
    if (xmlPath.empty()) xmlPath = withoutExtension(audioPath_) + u".xml";
    // The document names the open audio, which the reader keeps.
    document.setAudioPath(audioPath_);
    if (!readSentenceList(document, path, host_)) return false;
    document.setXmlPath(xmlPath);
    editing_.showDocument();
    editing_.lyricsView().setModified(true);
    updateTitle();
    return true;
}

void PlayerCore::applyPlayerSettings() {
    audio_.setPitch(controls_.pitch());
    audio_.setVolume(controls_.volume());
    audio_.setTempo(controls_.tempo());
}

void PlayerCore::updateButtons() {
    if (!hasAudio()) {
        controls_.enablePlayButton(Enable::Off);
        controls_.enableStopButton(Enable::Off);
        return;
    }
    controls_.enableStopButton(Enable::On);
    controls_.enablePlayButton(Enable::On);
    if (isStopped()) controls_.enableStopButton(Enable::Off);
}

void PlayerCore::updateTitle() {
    std::u16string title = audioPath_ + u" - " + programName_;
    if (editing_.lyricsView().modified()) title = u"* " + title;
    controls_.setTitle(title);
}

void PlayerCore::togglePlay() {
    if (!hasAudio()) return;
    if (controls_.playCaption() == kPlay) {
        audio_.setPosition(controls_.timeSliderValue() * 10);
        if (audio_.isPaused()) {
            audio_.resume();
        } else {
            if (!audio_.play()) return;
            applyPlayerSettings();
            updateButtons();
            controls_.startTimer(kPlaybackTimer);
        }
        controls_.setPlayCaption(kPause);
    } else {
        audio_.pause();
        controls_.setPlayCaption(kPlay);
    }
}

void PlayerCore::stopPlayback() {
    if (!hasAudio()) return;
    audio_.stop();
    controls_.stopTimer(kSentenceTimer);
    updateButtons();
}

void PlayerCore::playSentence() {
    if (!hasAudio()) return;
    audio_.stop();
    controls_.stopTimer(kSentenceTimer);
    updateButtons();
    const int row = editing_.firstSelected();
    if (row < 0) return;
    if (!isStopped()) return;
    const auto [start, end] = sentenceRange(row);
    // Seeking first: started at the old position, a few milliseconds of it
    // could sound before the seek.
    audio_.setPosition(static_cast<int>(start));
    if (!audio_.play()) return;
    applyPlayerSettings();
    updateButtons();
    controls_.enablePlayButton(Enable::Off);
    rangeStart_ = start;
    rangeEnd_ = end;
    controls_.startTimer(kSentenceTimer);
}

std::pair<std::uint32_t, std::uint32_t> PlayerCore::sentenceRange(int row) const {
    const LyricsTable& table = editing_.table();
    const std::uint32_t start = table.startOf(row);
    std::uint32_t end = table.endOf(row);
    if (end == 0 || end == SentenceGroup::kNoEndTime) end = row + 1 < table.getRowCount() ? table.startOf(row + 1) : 0;
    if (end < start) end = lengthMs();
    return {start, end};
}

void PlayerCore::selectAndSeek(int row) {
    if (row < 0 || row >= editing_.lyricsView().sentenceCount()) return;
    const std::uint32_t d = editing_.lyricsView().timings()[static_cast<std::size_t>(row)].startMs;
    editing_.showSentence(row);
    // An untimed row is only shown, so that stamping it takes the running position.
    if (d == 0 && row != 0) return;
    controls_.setTimeSliderValue(static_cast<int>(d / 10));
    if (controls_.playCaption() != kPlay) {
        // Seeks are exact and the position reads the target at once: no correction.
        audio_.setPosition(static_cast<int>(d));
    } else {
        updateTimeDisplay();
    }
}

void PlayerCore::updateTimeDisplay() {
    int t = controls_.timeSliderValue() * 10;
    if (controls_.playCaption() != kPlay) {
        t = audio_.getPosition();
        controls_.setTimeSliderValue(t / 10);
        const int index =
            editing_.lyricsView().sentenceCount() == 0
                ? -1
                : findEntryAt(editing_.lyricsView().timings(), static_cast<std::uint32_t>(std::max(t, 0)));
        if (index != -1) editing_.showSentence(index);
    }
    const unsigned position = static_cast<unsigned>(std::max(t, 0));
    const unsigned length = lengthMs() / 1000;
    const std::u16string text = twoDigits(position / 60000) + u":" + twoDigits((position / 1000) % 60) + u"/" +
                                twoDigits(length / 60) + u":" + twoDigits(length % 60);
    if (text != controls_.timeLabel()) controls_.setTimeLabel(text);
}

void PlayerCore::onTimer(UINT_PTR id) {
    if (id == kPlaybackTimer && isStopped()) {
        controls_.stopTimer(kPlaybackTimer);
        controls_.setPlayCaption(kPlay);
        updateButtons();
        audio_.setPosition(0);
        controls_.setTimeSliderValue(0);
    }
    if (id == kSentenceTimer) {
        const int position = audio_.getPosition();
        if (isStopped() || position < static_cast<int>(rangeStart_) || position > static_cast<int>(rangeEnd_)) {
            audio_.stop();
            controls_.stopTimer(kSentenceTimer);
            updateButtons();
        }
    }
    if (!audio_.isPaused()) {
        controls_.setTimeSliderValue(audio_.getPosition() / 10);
        updateTimeDisplay();
    }
}

void PlayerCore::timeSliderMoved() {
    if (audio_.isPlaying()) audio_.setPosition(controls_.timeSliderValue() * 10);
    updateTimeDisplay();
}

std::uint32_t PlayerCore::stampPosition() {
    if (!isStopped()) return static_cast<std::uint32_t>(std::max(audio_.getPosition(), 0));
    return static_cast<std::uint32_t>(std::max(controls_.timeSliderValue(), 0)) * 10;
}
