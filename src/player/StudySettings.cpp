#include "player/StudySettings.h"

#include <algorithm>

#include "app/Settings.h"

namespace {

constexpr int kTempoMin = 50;
constexpr int kTempoMax = 360;

}  // namespace

std::vector<int> StudySettings::parseTempos(const std::u16string& text) {
    std::vector<int> tempos;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t comma = text.find(u',', pos);
        if (comma == std::u16string::npos) comma = text.size();
        int value = 0;
        int digits = 0;
        bool junk = false;
        for (std::size_t i = pos; i < comma; ++i) {
            const char16_t c = text[i];
            if (c == u' ' || c == u'\t') continue;
            if (c < u'0' || c > u'9' || digits >= 4) {
                junk = true;
                break;
            }
            value = value * 10 + (c - u'0');
            ++digits;
        }
        if (junk || digits == 0 || value < kTempoMin || value > kTempoMax || tempos.size() == kMaxTempos) return {};
        tempos.push_back(value);
        pos = comma + 1;
    }
    return tempos;
}

std::u16string StudySettings::formatTempos(const std::vector<int>& tempos) {
    std::string text;
    for (int tempo : tempos) {
        if (!text.empty()) text += ',';
        text += std::to_string(tempo);
    }
    return {text.begin(), text.end()};
}

StudySettings StudySettings::load() {
    StudySettings s;
    s.loopCount = std::clamp(readSettingInt(kSection, u"LoopCount", s.loopCount), 0, kMaxLoopCount);
    s.gapMs = std::clamp(readSettingInt(kSection, u"LoopGapMs", s.gapMs), 0, kMaxGapMs);
    s.loopThenNext = readSettingInt(kSection, u"LoopThenNext", 0) != 0;
    s.pauseMs = std::clamp(readSettingInt(kSection, u"PauseMs", s.pauseMs), 0, kMaxPauseMs);
    std::vector<int> tempos = parseTempos(readSettingString(kSection, u"LadderTempos", formatTempos(s.ladderTempos)));
    if (!tempos.empty()) s.ladderTempos = std::move(tempos);
    s.ladderRepeats = std::clamp(readSettingInt(kSection, u"LadderRepeats", s.ladderRepeats), 1, kMaxRepeats);
    return s;
}

void StudySettings::save() const {
    writeSettingInt(kSection, u"LoopCount", loopCount);
    writeSettingInt(kSection, u"LoopGapMs", gapMs);
    writeSettingInt(kSection, u"LoopThenNext", loopThenNext ? 1 : 0);
    writeSettingInt(kSection, u"PauseMs", pauseMs);
    writeSettingString(kSection, u"LadderTempos", formatTempos(ladderTempos));
    writeSettingInt(kSection, u"LadderRepeats", ladderRepeats);
}
