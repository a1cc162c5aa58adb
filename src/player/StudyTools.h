// The study modes in the player window: the controller of loop, auto-pause
// and ladder with its wake-up timer, the dictation pane with its score file,
// the study status in the tool row, and the study commands (200 to 210) with
// their keys and menu. The player component owns one, hands it the commands
// it does not know, the study timer and the area of the lyrics view; with
// every mode off nothing here runs and the player is as it was.
//
// Keys: F5 loop, F6 auto-pause, F7 ladder, F8 dictation, F9 go on after a
// hold or gap; Ctrl+F5 loop count, Ctrl+F6 gap, Ctrl+Shift+F5 stop or go on
// after the loop, Ctrl+F7 ladder tempos, Ctrl+F8 hold time, Ctrl+F9 the
// study menu. Changed settings are written to the "Study" section at once.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "audio/IAudioPlayer.h"
#include "player/Dictation.h"
#include "player/DictationPane.h"
#include "player/LyricsEditing.h"
#include "player/PlayerCore.h"
#include "player/StudyController.h"
#include "toolkit/LabelComponent.h"

class StudyTools : public StudyHost {
public:
    static constexpr UINT_PTR kStudyTimer = 20;

    StudyTools(IAudioPlayer& audio, PlayerCore& core, LyricsEditing& editing, PlayerControls& controls);

    // Creates the pane (hidden) and the status label and reads the settings.
    // `covered`: the windows that show sentence texts, put away while the
    // dictation pane is shown.
    void create(HWND player, std::vector<HWND> covered);
    void destroy();
    // The sentence area, which the dictation pane takes while shown, and the
    // status label's place in the tool row.
    void layout(const RECT& area, const RECT& statusRow);
    // False for commands that are not the study's.
    bool execute(int command);
    bool onTimer(UINT_PTR id);
    // A sentence row was chosen: the dictation pane asks for it.
    void sentenceSelected();

    // What the status label says (empty with every mode off).
    std::u16string statusText() const;
    bool dictationOn() const { return dictation_; }
    StudyController& controller() { return controller_; }
    DictationPane& dictationPane() { return pane_; }
    const DictationScores& scores() const { return scores_; }
    std::u16string scoresPath() const;

    // StudyHost ------------------------------------------------------------------------------
    void wakeIn(unsigned ms) override;
    void cancelWake() override;
    void showStudySentence(int row) override;
    void studyPlaybackStarted() override;
    void studyChanged() override;

private:
    void toggle(StudyMode mode);
    void setDictation(bool on);
    void checkDictation(const std::u16string& typed);
    void showMenu();
    void loadScores();
    std::optional<SentenceSpan> spanOf(int row) const;

    IAudioPlayer& audio_;
    PlayerCore& core_;
    LyricsEditing& editing_;
    PlayerControls& controls_;
    StudyController controller_;
    DictationPane pane_;
    LabelComponent status_;
    DictationScores scores_;
    std::u16string scoresLoadedFrom_;
    HWND player_ = nullptr;
    std::vector<HWND> covered_;
    std::vector<bool> shownBefore_;
    bool dictation_ = false;
    int checkedRow_ = -1;
};
