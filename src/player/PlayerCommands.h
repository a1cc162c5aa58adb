// The player's commands, one row each: the number, its keyboard accelerator
// (built into the main window's table; the study commands' into a table of
// their own beside it, so that the main window's stays as it is), its tool-bar button (built into the
// player's tool bar) and whether it waits for an open audio file (checked by
// the player's dispatcher). A new command is one enumerator and one row here,
// and one case in the dispatcher.
//
// Invariants (checked when this header compiles): every number has one row;
// the rows with an accelerator are in the order the accelerator table lists
// them; the tool-bar slots are 0, 1, 2 ... without a gap, each slot being the
// button's place on the bar and its glyph cell in "Resources/OrvellaTool.bmp".
#pragma once

#include <span>

#include "platform/api/Toolbar.h"
#include "platform/win32.h"

namespace player_commands {

enum Command : int {
    OpenFile = 100,
    TogglePlay = 101,
    PlaySentence = 102,
    StopPlayback = 103,
    SetStart = 104,
    NextSetStart = 105,
    SetEnd = 106,
    NextSetEnd = 107,
    ClearTimes = 108,
    NextClearTimes = 109,
    ThemeMenu = 110,
    PlayerMenu = 111,
    SaveSentences = 112,
    ApplyPanes = 114,
    ReloadLyrics = 115,
    FindAndReplace = 116,
    OpenWordList = 117,
    ClickAtPointer = 118,
    PreviousSentence = 119,
    NextSentence = 120,
    ExplanationPane = 121,
    // The study modes (StudyTools.h), beyond the player's own numbers.
    StudyLoop = 200,
    StudyAutoPause = 201,
    StudyLadder = 202,
    StudyDictation = 203,
    StudyProceed = 204,
    StudyLoopCount = 205,
    StudyLoopGap = 206,
    StudyLoopThenNext = 207,
    StudyPauseTime = 208,
    StudyMenu = 209,
    StudyLadderTempos = 210,
    // Timing an untimed sentence list from its audio (AutoTiming.h).
    TimeSentences = 220,
    UndoTimeSentences = 221,
};

// The study modes' commands (StudyTools.h) are numbered from here on.
inline constexpr int kFirstStudyCommand = 200;
constexpr bool isStudyCommand(int command) { return command >= kFirstStudyCommand; }

struct Accelerator {
    BYTE modifiers = 0;  // FCONTROL, FSHIFT; FVIRTKEY is implied
    WORD key = 0;        // a virtual-key code; 0: no accelerator
};
inline constexpr Accelerator kNoKey{};
constexpr Accelerator ctrl(WORD key) { return {FCONTROL, key}; }
constexpr Accelerator ctrlShift(WORD key) { return {FCONTROL | FSHIFT, key}; }
constexpr Accelerator plain(WORD key) { return {0, key}; }
constexpr WORD functionKey(int n) { return static_cast<WORD>(VK_F1 + n - 1); }

struct ToolButton {
    int slot = -1;  // -1: not on the tool bar
    BYTE style = BTNS_BUTTON;
    const char16_t* tip = nullptr;
};
inline constexpr ToolButton kNoButton{};

enum class Needs { Nothing, AudioFile };

struct Row {
    Command command;
    Accelerator key;
    ToolButton button;
    Needs needs;
};

// The tips name the same keys as the accelerators.
inline constexpr Row kRows[] = {
    {OpenFile, ctrl('O'), {0, BTNS_DROPDOWN, u"音声ファイルを開く (Ctrl+O)"}, Needs::Nothing},
    {TogglePlay, ctrl('P'), kNoButton, Needs::AudioFile},
    {PlaySentence, ctrlShift('P'), {2, BTNS_BUTTON, u"選択中のセンテンスを再生 (Ctrl+Shift+P)"}, Needs::AudioFile},
    {PreviousSentence, ctrl(VK_UP), {3, BTNS_BUTTON, u"前のセンテンスを選択 (Ctrl+Up)"}, Needs::AudioFile},
    {NextSentence, ctrl(VK_DOWN), {4, BTNS_BUTTON, u"次のセンテンスを選択 (Ctrl+Down)"}, Needs::AudioFile},
    {SetStart, ctrl('T'), kNoButton, Needs::AudioFile},
    {NextSetStart,
     ctrlShift('T'),
     {5, BTNS_BUTTON, u"次のセンテンスを選択して、時間を設定 (Ctrl+Shift+T)"},
     Needs::AudioFile},
    {SetEnd, ctrl('E'), kNoButton, Needs::AudioFile},
    {NextSetEnd, ctrlShift('E'), kNoButton, Needs::AudioFile},
    {ClearTimes, ctrl('R'), kNoButton, Needs::AudioFile},
    {NextClearTimes, ctrlShift('R'), kNoButton, Needs::AudioFile},
    {ReloadLyrics, ctrl('L'), kNoButton, Needs::AudioFile},
    {ApplyPanes,
     ctrl('J'),
     {6, BTNS_BUTTON, u"選択中のセンテンスに翻訳文・解説文を設定する (Ctrl+J)"},
     Needs::AudioFile},
    {ClickAtPointer, ctrl(VK_SPACE), kNoButton, Needs::Nothing},
    {FindAndReplace, ctrl('F'), kNoButton, Needs::Nothing},
    {SaveSentences,
     ctrl('S'),
     {1, BTNS_BUTTON, u"編集中の歌詞を xml ファイルに上書き保存する (Ctrl+S)"},
     Needs::AudioFile},
    {OpenWordList, ctrl('W'), kNoButton, Needs::Nothing},
    {StopPlayback, kNoKey, kNoButton, Needs::AudioFile},
    {ThemeMenu, kNoKey, kNoButton, Needs::Nothing},
    {PlayerMenu, kNoKey, kNoButton, Needs::Nothing},
    {ExplanationPane, kNoKey, {7, BTNS_CHECK, u"Open/Close the Explanation Window"}, Needs::Nothing},
    {StudyLoop, plain(functionKey(5)), kNoButton, Needs::AudioFile},
    {StudyAutoPause, plain(functionKey(6)), kNoButton, Needs::AudioFile},
    {StudyLadder, plain(functionKey(7)), kNoButton, Needs::AudioFile},
    {StudyDictation, plain(functionKey(8)), kNoButton, Needs::AudioFile},
    {StudyProceed, plain(functionKey(9)), kNoButton, Needs::AudioFile},
    {StudyLoopCount, ctrl(functionKey(5)), kNoButton, Needs::Nothing},
    {StudyLoopGap, ctrl(functionKey(6)), kNoButton, Needs::Nothing},
    {StudyLadderTempos, ctrl(functionKey(7)), kNoButton, Needs::Nothing},
    {StudyPauseTime, ctrl(functionKey(8)), kNoButton, Needs::Nothing},
    {StudyMenu, ctrl(functionKey(9)), kNoButton, Needs::Nothing},
    {StudyLoopThenNext, ctrlShift(functionKey(5)), kNoButton, Needs::Nothing},
    {TimeSentences, ctrlShift('A'), kNoButton, Needs::AudioFile},
    {UndoTimeSentences, kNoKey, kNoButton, Needs::AudioFile},
};

// The row of a command number; null for a number the player does not have.
constexpr const Row* find(int command) {
    for (const Row& row : kRows)
        if (row.command == command) return &row;
    return nullptr;
}

constexpr bool needsAudio(int command) {
    const Row* row = find(command);
    return row && row->needs == Needs::AudioFile;
}

// The rows on the tool bar, by slot.
constexpr int toolButtonCount() {
    int count = 0;
    for (const Row& row : kRows) count += row.button.slot >= 0 ? 1 : 0;
    return count;
}
constexpr const Row* toolButtonAt(int slot) {
    for (const Row& row : kRows)
        if (row.button.slot == slot) return &row;
    return nullptr;
}

constexpr bool rowsAreConsistent() {
    for (const Row& a : kRows) {
        int same = 0;
        for (const Row& b : kRows) same += a.command == b.command ? 1 : 0;
        if (same != 1) return false;
    }
    for (int slot = 0; slot < toolButtonCount(); ++slot)
        if (!toolButtonAt(slot)) return false;
    return true;
}
static_assert(rowsAreConsistent(), "one row per command, tool-bar slots 0..n-1 without gaps");

}  // namespace player_commands
