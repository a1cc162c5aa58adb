// The study modes' settings, kept in the settings file's "Study" section so
// that the player's own section stays as it is. Values read from the file are
// clamped into their ranges; a tempo list that does not parse falls back to
// the default one.
//
// Keys: "LoopCount" (0 = for ever, 1 to 99), "LoopGapMs" (0 to 10000),
// "LoopThenNext" (0 stop, 1 go on to the next sentence), "PauseMs" (how long
// auto-pause holds, 0 = until a key, up to 60000), "LadderTempos" (tempos in
// percent separated by commas, each 50 to 360, at most 8), "LadderRepeats"
// (1 to 9).
#pragma once

#include <string>
#include <vector>

struct StudySettings {
    static constexpr char16_t kSection[] = u"Study";
    static constexpr int kMaxLoopCount = 99;
    static constexpr int kMaxGapMs = 10000;
    static constexpr int kMaxPauseMs = 60000;
    static constexpr int kMaxRepeats = 9;
    static constexpr std::size_t kMaxTempos = 8;

    int loopCount = 3;
    int gapMs = 1000;
    bool loopThenNext = false;
    int pauseMs = 0;
    std::vector<int> ladderTempos{70, 85, 100};
    int ladderRepeats = 2;

    static StudySettings load();
    void save() const;

    // "70, 85,100" -> {70, 85, 100}; empty when any item is not a tempo in range.
    static std::vector<int> parseTempos(const std::u16string& text);
    static std::u16string formatTempos(const std::vector<int>& tempos);
};
