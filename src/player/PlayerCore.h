// What the player does with the open file, without its widgets: opening an
// audio file or a sentence-list file and finding its sentences, the playback
// state machine with its two timers, following the playback position with
// the highlight, playing one sentence alone, and saving the sentence list.
//
// Playback states (caption / timers): no file ("Play", disabled / none);
// stopped ("Play" / none); playing ("Pause" / 2); paused ("Play" / 2, which
// keeps running without updates); one sentence ("Play" with the button
// disabled / 3). The end of the file and Stop are noticed by the next tick of
// timer 2, which resets to stopped.
//
// The audio player, the sentence views, the controls and the host are not
// owned; they must outlive the core.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "audio/IAudioPlayer.h"
#include "audio/ID3Tag.h"
#include "lyrics/SentenceListHost.h"
#include "player/LyricsEditing.h"
#include "player/PlayerControls.h"

class PlayerCore {
public:
    static constexpr UINT_PTR kPlaybackTimer = 2;
    static constexpr UINT_PTR kSentenceTimer = 3;
    static constexpr UINT kTickMs = 100;
    static constexpr char16_t kPlay[] = u"Play";
    static constexpr char16_t kPause[] = u"Pause";

    using LengthReader = std::function<std::uint64_t()>;

    PlayerCore(IAudioPlayer& audio, LengthReader lengthMs, LyricsEditing& editing, PlayerControls& controls,
               SentenceListHost& host);

    // Opens an audio file (".mp3", ".ogg", ".wma") with its sentence list, or
    // a sentence-list file with its audio. On failure the file that was open
    // stays open and playable with its sentences, and false is returned.
    bool openFile(const std::u16string& path);
    // Fills the sentence list for an audio file: the XML file beside it, else
    // the synchronised lyrics of its tag, else its unsynchronised lyrics split
    // into sentences. A later save goes to the XML path beside the audio.
    bool loadLyricsFor(const std::u16string& audioPath);
    // Writes the sentence list to its XML file; on success the view is unmodified.
    bool writeSentences();
    // Replaces the open audio's sentence list by the one in the file (a
    // recovery file), which is not where it belongs: the list is marked
    // unsaved and a save still goes to the audio's own XML file. False, with
    // the list as it was, when the file cannot be read.
    bool restoreSentences(const std::u16string& path);

    void togglePlay();
    void stopPlayback();
    void playSentence();
    // Where playing row alone starts and ends, in ms: its End time, else the
    // next row's start, else (or when that lies before the start) the file's end.
    std::pair<std::uint32_t, std::uint32_t> sentenceRange(int row) const;
    // A row became selected or was clicked: show it and, when it is timed (or
    // the first), move playback there.
    void selectAndSeek(int row);
    // The per-tick update: position, highlight, label.
    void updateTimeDisplay();
    void onTimer(UINT_PTR id);
    // The slider was moved by the user.
    void timeSliderMoved();
    void applyPlayerSettings();
    void updateButtons();
    void updateTitle();

    bool hasAudio() const { return !audioPath_.empty(); }
    const std::u16string& audioPath() const { return audioPath_; }
    bool isStopped();
    // Where a time stamp goes: the playback position while playing or
    // paused, else the slider's.
    std::uint32_t stampPosition();
    const ID3Tag& tag() const { return tag_; }
    // Range of the sentence being played alone, in ms.
    std::uint32_t rangeStart() const { return rangeStart_; }
    std::uint32_t rangeEnd() const { return rangeEnd_; }
    // The title's program name (appBaseName in the program).
    void setProgramName(std::u16string name) { programName_ = std::move(name); }
    // Called with every path that was opened successfully (the recent files).
    void setOpenedHandler(std::function<void(const std::u16string&)> handler) { opened_ = std::move(handler); }

    // The host's audio opening, for the sentence-list reader: switches the
    // audio player to path, or back to the file that was open when it fails.
    bool openAudioForReader(const std::u16string& path);

private:
    bool openAudioKeepingPrevious(const std::u16string& path);
    void readTag(const std::u16string& path);
    void afterOpen(const std::u16string& path);
    std::uint32_t lengthMs() const { return static_cast<std::uint32_t>(lengthMs_()); }

    IAudioPlayer& audio_;
    LengthReader lengthMs_;
    LyricsEditing& editing_;
    PlayerControls& controls_;
    SentenceListHost& host_;
    ID3Tag tag_;
    std::u16string audioPath_;
    // The file the audio player had before an open began; reopened when the new one fails.
    std::u16string fallbackPath_;
    std::u16string programName_ = u"veltrix";
    std::uint32_t rangeStart_ = 0;
    std::uint32_t rangeEnd_ = 0;
    std::function<void(const std::u16string&)> opened_;
};
