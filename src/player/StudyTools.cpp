#include "player/StudyTools.h"

#include <algorithm>
#include <array>

#include "app/Paths.h"
#include "lyrics/SentenceTiming.h"
#include "player/PlayerCommands.h"
#include "toolkit/PopupMenu.h"

namespace {

using namespace player_commands;

constexpr std::array kLoopCounts{1, 2, 3, 5, 10, 0};
constexpr std::array kGaps{0, 500, 1000, 2000, 3000, 5000, 10000};
constexpr std::array kPauses{0, 1000, 2000, 3000, 5000};
const std::vector<std::vector<int>> kLadders{{70, 85, 100}, {60, 80, 100}, {50, 75, 100}, {80, 90, 100, 110}};

// The value after `current` in `choices`, round; the first when it is none of them.
template <typename Choices, typename Value>
Value nextOf(const Choices& choices, const Value& current) {
    const auto it = std::find(choices.begin(), choices.end(), current);
    if (it == choices.end() || it + 1 == choices.end()) return *choices.begin();
    return *(it + 1);
}

std::u16string ascii(const std::string& text) { return {text.begin(), text.end()}; }

std::u16string seconds(int ms) {
    return ascii(std::to_string(ms / 1000) + "." + std::to_string(ms % 1000 / 100) + " s");
}

std::u16string countText(int count) { return count == 0 ? u"for ever" : ascii(std::to_string(count)); }

}  // namespace

StudyTools::StudyTools(IAudioPlayer& audio, PlayerCore& core, LyricsEditing& editing, PlayerControls& controls)
    : audio_(audio),
      core_(core),
      editing_(editing),
      controls_(controls),
      controller_(
          audio, *this, [this](int row) { return spanOf(row); },
          [this](std::uint32_t ms) {
              const auto& timings = editing_.lyricsView().timings();
              return timings.empty() ? -1 : findEntryAt(timings, ms);
          }) {}

void StudyTools::create(HWND player, std::vector<HWND> covered) {
    player_ = player;
    covered_ = std::move(covered);
    controller_.setSettings(StudySettings::load());
    pane_.create(player);
    pane_.setCheckHandler([this](const std::u16string& typed) { checkDictation(typed); });
    ShowWindow(pane_.handle(), SW_HIDE);
    status_.createLabel(player, u"", 0, 0, 0, 0);
    status_.setBackground(0xFFFFFF);
    status_.setForeground(0x8B3D00);
}

void StudyTools::destroy() {
    if (player_) KillTimer(player_, kStudyTimer);
    pane_.destroyWindow();
    status_.destroyWindow();
    player_ = nullptr;
}

void StudyTools::layout(const RECT& area, const RECT& statusRow) {
    pane_.setBounds(area.left, area.top, area.right - area.left, area.bottom - area.top);
    status_.setBounds(statusRow.left, statusRow.top, std::max(0, static_cast<int>(statusRow.right - statusRow.left)),
                      statusRow.bottom - statusRow.top);
}

std::optional<SentenceSpan> StudyTools::spanOf(int row) const {
    if (row < 0 || row >= editing_.rowCount()) return std::nullopt;
    const auto [start, end] = core_.sentenceRange(row);
    if (end <= start) return std::nullopt;
    return SentenceSpan{start, end};
}

bool StudyTools::execute(int command) {
    StudySettings s = controller_.settings();
    switch (command) {
        case StudyLoop:
            toggle(StudyMode::Loop);
            return true;
        case StudyAutoPause:
            toggle(StudyMode::AutoPause);
            return true;
        case StudyLadder:
            toggle(StudyMode::Ladder);
            return true;
        case StudyDictation:
            setDictation(!dictation_);
            return true;
        case StudyProceed:
            controller_.proceed();
            return true;
        case StudyLoopCount:
            s.loopCount = nextOf(kLoopCounts, s.loopCount);
            break;
        case StudyLoopGap:
            s.gapMs = nextOf(kGaps, s.gapMs);
            break;
        case StudyLoopThenNext:
            s.loopThenNext = !s.loopThenNext;
            break;
        case StudyPauseTime:
            s.pauseMs = nextOf(kPauses, s.pauseMs);
            break;
        case StudyLadderTempos:
            s.ladderTempos = nextOf(kLadders, s.ladderTempos);
            break;
        case StudyMenu:
            showMenu();
            return true;
        default:
            return false;
    }
    controller_.setSettings(s);
    s.save();
    studyChanged();
    return true;
}

void StudyTools::toggle(StudyMode mode) {
    if (controller_.mode() == mode) {
        controller_.stop();
        return;
    }
    if (mode == StudyMode::AutoPause) {
        controller_.start(mode, -1, controls_.tempo());
        return;
    }
    int row = editing_.firstSelected();
    if (row < 0) row = 0;
    const std::optional<SentenceSpan> span = spanOf(row);
    if (!span) return;
    controller_.stop();
    // The study plays as normal playback does, so that the highlight, the
    // slider and the time follow it and Stop ends it.
    if (controls_.playCaption() == PlayerCore::kPlay) {
        core_.stopPlayback();
        controls_.setTimeSliderValue(static_cast<int>(span->start / 10));
        core_.togglePlay();
        if (controls_.playCaption() == PlayerCore::kPlay) return;
    }
    controller_.start(mode, row, controls_.tempo());
}

bool StudyTools::onTimer(UINT_PTR id) {
    if (id != kStudyTimer) return false;
    if (player_) KillTimer(player_, kStudyTimer);
    controller_.wake();
    return true;
}

void StudyTools::wakeIn(unsigned ms) {
    if (player_) SetTimer(player_, kStudyTimer, std::max(1u, ms), nullptr);
}

void StudyTools::cancelWake() {
    if (player_) KillTimer(player_, kStudyTimer);
}

void StudyTools::showStudySentence(int row) { editing_.showSentence(row); }

void StudyTools::studyPlaybackStarted() {
    core_.applyPlayerSettings();
    core_.updateButtons();
}

void StudyTools::studyChanged() {
    const std::u16string text = statusText();
    if (status_.handle() && status_.getTextCopy() != text) {
        status_.setText(text);
        InvalidateRect(status_.handle(), nullptr, FALSE);
    }
}

std::u16string StudyTools::statusText() const {
    const StudySettings& s = controller_.settings();
    std::u16string text;
    switch (controller_.mode()) {
        case StudyMode::Off:
            break;
        case StudyMode::Loop:
            text = u"Loop " + ascii(std::to_string(std::min(controller_.repetition() + 1, std::max(1, s.loopCount)))) +
                   u" of " + countText(s.loopCount) + u", gap " + seconds(s.gapMs) +
                   (s.loopThenNext ? u", then next" : u", then stop");
            break;
        case StudyMode::AutoPause:
            text = controller_.phase() == StudyPhase::Held
                       ? (s.pauseMs == 0 ? std::u16string(u"Auto-pause: F9 to go on")
                                         : u"Auto-pause: holding " + seconds(s.pauseMs))
                       : u"Auto-pause " + (s.pauseMs == 0 ? std::u16string(u"until F9") : seconds(s.pauseMs));
            break;
        case StudyMode::Ladder: {
            const auto step = static_cast<std::size_t>(controller_.ladderStep());
            const int tempo = step < s.ladderTempos.size() ? s.ladderTempos[step] : 100;
            text = u"Ladder " + StudySettings::formatTempos(s.ladderTempos) + u": " + ascii(std::to_string(tempo)) +
                   u"%, " + ascii(std::to_string(controller_.repetition() + 1)) + u" of " +
                   ascii(std::to_string(s.ladderRepeats));
            break;
        }
    }
    if (dictation_) text = text.empty() ? std::u16string(u"Dictation") : u"Dictation; " + text;
    return text;
}

// Dictation ---------------------------------------------------------------------------------

std::u16string StudyTools::scoresPath() const {
    std::u16string xml = editing_.document().xmlPath();
    if (xml.empty() && core_.hasAudio()) xml = withoutExtension(core_.audioPath()) + u".xml";
    return xml.empty() ? std::u16string() : DictationScores::pathFor(xml);
}

void StudyTools::setDictation(bool on) {
    if (on == dictation_) return;
    dictation_ = on;
    if (on) {
        shownBefore_.clear();
        for (HWND window : covered_) {
            shownBefore_.push_back(IsWindowVisible(window) != FALSE);
            ShowWindow(window, SW_HIDE);
        }
        ShowWindow(pane_.handle(), SW_SHOW);
        SetWindowPos(pane_.handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        sentenceSelected();
        pane_.focusInput();
    } else {
        ShowWindow(pane_.handle(), SW_HIDE);
        for (std::size_t i = 0; i < covered_.size() && i < shownBefore_.size(); ++i)
            if (shownBefore_[i]) ShowWindow(covered_[i], SW_SHOW);
    }
    studyChanged();
}

void StudyTools::loadScores() {
    // Another lesson was opened since: its own scores.
    const std::u16string path = scoresPath();
    if (path == scoresLoadedFrom_) return;
    scores_.load(path);
    scoresLoadedFrom_ = path;
    checkedRow_ = -1;
}

void StudyTools::sentenceSelected() {
    if (!dictation_) return;
    loadScores();
    const int row = editing_.firstSelected();
    if (row != checkedRow_) {
        pane_.showResult(nullptr);
        pane_.clearInput();
        checkedRow_ = -1;
    }
    std::u16string heading =
        row < 0 ? std::u16string(u"No sentence selected")
                : u"Sentence " + ascii(std::to_string(row + 1)) + u" of " + ascii(std::to_string(editing_.rowCount()));
    if (const DictationScore* score = row >= 0 ? scores_.find(row) : nullptr)
        heading += u"    best " + ascii(std::to_string(score->bestRight)) + u" of " +
                   ascii(std::to_string(score->words)) + u" words, " + ascii(std::to_string(score->tries)) +
                   (score->tries == 1 ? u" try" : u" tries");
    pane_.setHeading(heading);
}

void StudyTools::checkDictation(const std::u16string& typed) {
    const int row = editing_.firstSelected();
    if (row < 0) return;
    loadScores();
    const DictationResult result = compareDictation(editing_.table().cell(row, LyricsTable::Sentence), typed);
    scores_.record(row, result);
    const std::u16string& path = scoresLoadedFrom_;
    if (!path.empty() && !scores_.save(path))
        MessageBoxW(player_, (u"The dictation scores could not be saved to\n" + path).c_str(), u"Veltrix",
                    MB_OK | MB_TOPMOST);
    checkedRow_ = row;
    pane_.showResult(&result);
    sentenceSelected();
}

void StudyTools::showMenu() {
    const StudySettings& s = controller_.settings();
    const auto mark = [](bool on) { return on ? std::u16string(u"* ") : std::u16string(u"   "); };
    const ItemState needsAudio = core_.hasAudio() ? ItemState::Enabled : ItemState::Greyed;
    PopupMenu menu;
    menu.addMenuItem(mark(controller_.mode() == StudyMode::Loop) + u"Loop the Sentence\tF5", StudyLoop, needsAudio);
    menu.addMenuItem(mark(controller_.mode() == StudyMode::AutoPause) + u"Auto-pause\tF6", StudyAutoPause, needsAudio);
    menu.addMenuItem(mark(controller_.mode() == StudyMode::Ladder) + u"Shadowing Ladder\tF7", StudyLadder, needsAudio);
    menu.addMenuItem(mark(dictation_) + u"Dictation\tF8", StudyDictation, needsAudio);
    menu.addMenuItem(u"   Go On\tF9", StudyProceed, needsAudio);
    menu.addMenuItem(u"", 0);
    menu.addMenuItem(u"   Repeat: " + countText(s.loopCount) + u"\tCtrl+F5", StudyLoopCount);
    menu.addMenuItem(u"   Gap: " + seconds(s.gapMs) + u"\tCtrl+F6", StudyLoopGap);
    menu.addMenuItem(mark(s.loopThenNext) + u"Then the Next Sentence\tCtrl+Shift+F5", StudyLoopThenNext);
    menu.addMenuItem(u"   Ladder Tempos: " + StudySettings::formatTempos(s.ladderTempos) + u"\tCtrl+F7",
                     StudyLadderTempos);
    menu.addMenuItem(u"   Hold: " + (s.pauseMs == 0 ? std::u16string(u"until F9") : seconds(s.pauseMs)) + u"\tCtrl+F8",
                     StudyPauseTime);
    const int choice = menu.trackAtPointer(player_, MenuAlignment::Top);
    if (choice <= 0) return;
    if (needsAudio == ItemState::Greyed && player_commands::needsAudio(choice)) return;
    execute(choice);
}
