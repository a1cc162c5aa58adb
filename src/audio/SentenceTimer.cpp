#include "audio/SentenceTimer.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr std::uint32_t kMsPerSample = 1000;  // divided by kRate
constexpr std::uint64_t kSamplesPerMs = SentenceTimer::kRate / 1000;
// A window is aligned once this much audio lies after its start, so that
// its end can be put in a pause well past kWindowMs.
constexpr std::uint64_t kLookaheadMs = 45000;
// Words ending this close to a window's end may be cut by it; the next
// window places them again.
constexpr std::uint32_t kUnsafeTailMs = 2000;
// How far after (before) a sentence's last word a pause's start may lie and
// still be where the sentence ends; kSnapAfterMs also lets a start move past
// a one-word sentence's first word edge.
constexpr std::uint32_t kSnapBeforeMs = 600;
constexpr std::uint32_t kSnapAfterMs = 150;
const std::u16string kLeftAsTheyWere = u" The sentences were left as they were.";

std::uint32_t msOf(std::uint64_t sample) {
    return static_cast<std::uint32_t>(sample * kMsPerSample / SentenceTimer::kRate);
}

std::u16string ascii(const std::string& text) { return {text.begin(), text.end()}; }

std::u16string quoted(const std::u16string& sentence) {
    std::u16string text;
    for (char16_t c : sentence) text += (c == u'\r' || c == u'\n') ? u' ' : c;
    while (!text.empty() && text.back() == u' ') text.pop_back();
    if (text.size() > 40) text = text.substr(0, 40) + u"...";
    return u"\"" + text + u"\"";
}

std::u16string sentenceName(std::size_t index, const std::u16string& text) {
    return u"Sentence " + ascii(std::to_string(index + 1)) + u" (" + quoted(text) + u")";
}

}  // namespace

std::u16string minutesAndSeconds(std::uint32_t ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%u:%02u", ms / 60000, (ms / 1000) % 60);
    return ascii(text);
}

std::vector<std::string> SentenceTimer::wordsOf(std::u16string_view sentence) {
    std::vector<std::string> words;
    std::string word;
    bool foreign = false;
    auto flush = [&] {
        const auto first = word.find_first_not_of('\'');
        const auto last = word.find_last_not_of('\'');
        // A word with letters of another script cannot be said; it still
        // counts as a word of the sentence.
        if (foreign)
            words.emplace_back(1, '\x01');
        else if (first != std::string::npos)
            words.push_back(word.substr(first, last - first + 1));
        word.clear();
        foreign = false;
    };
    for (char16_t c : sentence) {
        if (c == u'\u2019') c = u'\'';
        if ((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'\'')
            word += static_cast<char>(c);
        else if (c >= u'A' && c <= u'Z')
            word += static_cast<char>(c - u'A' + u'a');
        else if (c >= 0x00C0 && !(c >= 0x2000 && c <= 0x206F) && !(c >= 0x3000 && c <= 0x303F) &&
                 !(c >= 0xFF00 && c <= 0xFF0F)) {
            word += '?';
            foreign = true;
        } else {
            flush();
        }
    }
    flush();
    return words;
}

SentenceTimer::SentenceTimer(SpeechRecognizer& recognizer, const std::vector<std::u16string>& sentences)
    : recognizer_(recognizer), sentences_(sentences) {
    std::size_t all = 0;
    for (std::size_t s = 0; s < sentences.size(); ++s) {
        for (const std::string& word : wordsOf(sentences[s])) {
            ++all;
            std::string spoken = word[0] == '\x01' ? std::string() : recognizer_.spoken(word);
            // "teacher's" when only "teacher" is known.
            if (spoken.empty() && word.size() > 2 && word.ends_with("'s"))
                spoken = recognizer_.spoken(word.substr(0, word.size() - 2));
            if (!spoken.empty()) words_.push_back({spoken, s, std::nullopt});
        }
    }
    if (sentences.empty())
        error_ = u"There are no sentences to time.";
    else if (words_.size() * 2 < all || words_.empty())
        error_ =
            u"Most words of the sentences are not English words the recogniser knows, so they cannot be "
            u"timed." +
            kLeftAsTheyWere;
}

bool SentenceTimer::fail(std::u16string message) {
    if (error_.empty()) error_ = std::move(message) + kLeftAsTheyWere;
    return false;
}

bool SentenceTimer::addSamples(std::span<const std::int16_t> samples) {
    if (!error_.empty()) return false;
    pauses_.push(samples);
    buffer_.insert(buffer_.end(), samples.begin(), samples.end());
    while (bufferEnd() >= cursor_ + kLookaheadMs * kSamplesPerMs && nextWord_ < words_.size())
        if (!alignWindow(false)) return false;
    // Audio after the last word is only needed for the pause finder.
    if (nextWord_ == words_.size()) dropBefore(bufferEnd());
    return true;
}

std::uint64_t SentenceTimer::chooseWindowEnd() const {
    const std::uint32_t from = msOf(cursor_);
    const std::uint32_t target = from + kWindowMs;
    std::uint64_t end = static_cast<std::uint64_t>(target) * kSamplesPerMs;
    std::uint32_t best = UINT32_MAX;
    for (const Pause& p : pauses_.pauses(from + kWindowMs * 2 / 3, from + kWindowMs * 4 / 3)) {
        const std::uint32_t middle = (p.startMs + p.endMs) / 2;
        const std::uint32_t distance = middle > target ? middle - target : target - middle;
        // A longer pause is a safer cut: count each 100 ms of it as 2 s nearer.
        const std::uint32_t length = p.endMs - p.startMs;
        const std::uint32_t score = distance > length * 20 ? distance - length * 20 : 0;
        if (middle > from && score < best) {
            best = score;
            end = static_cast<std::uint64_t>(middle) * kSamplesPerMs;
        }
    }
    return std::min(end, bufferEnd());
}

void SentenceTimer::dropBefore(std::uint64_t sample) {
    if (sample <= bufferStart_) return;
    const std::uint64_t drop = std::min<std::uint64_t>(sample - bufferStart_, buffer_.size());
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(drop));
    bufferStart_ += drop;
}

bool SentenceTimer::alignWindow(bool last) {
    const std::uint64_t end = last ? bufferEnd() : chooseWindowEnd();
    const std::uint32_t startMs = msOf(cursor_);
    const std::uint32_t windowMs = msOf(end - cursor_);
    const std::size_t remaining = words_.size() - nextWord_;
    // More words than anyone says in the window: the window need not hold them all.
    const std::size_t count = last ? remaining : std::min<std::size_t>(remaining, windowMs / 1000 * 6 + 10);
    if (count == 0 || end <= cursor_) {
        cursor_ = std::max(cursor_, end);
        return true;
    }
    std::vector<std::string> words;
    for (std::size_t i = 0; i < count; ++i) words.push_back(words_[nextWord_ + i].spoken);
    const std::span<const std::int16_t> samples(buffer_.data() + (cursor_ - bufferStart_), end - cursor_);
    const std::vector<RecognizedWord> found = recognizer_.align(samples, words, last);

    std::size_t accepted = found.size();
    if (!last && !(found.size() == count && found.back().endMs + kUnsafeTailMs <= windowMs)) {
        accepted = 0;
        while (accepted < found.size() && found[accepted].endMs + kUnsafeTailMs <= windowMs) ++accepted;
    }
    if (accepted == 0) {
        if (last) {
            const Word& w = words_[nextWord_];
            return fail(u"The audio ends before " + sentenceName(w.sentence, sentences_[w.sentence]) +
                        u" is spoken. Is it missing from the audio?");
        }
        // A window that is nearly all quiet (music, a long pause) is skipped.
        const std::vector<bool> speech = pauses_.speechFrames(startMs, startMs + windowMs);
        const auto spoken = static_cast<std::size_t>(std::count(speech.begin(), speech.end(), true));
        if (spoken * 5 > speech.size())
            return fail(u"The sentences could not be followed in the audio near " + minutesAndSeconds(startMs) + u".");
        cursor_ = end;
        dropBefore(cursor_);
        return true;
    }
    std::size_t index = nextWord_;
    for (std::size_t i = 0; i < accepted; ++i) {
        index = nextWord_ + found[i].index;
        words_[index].placed = std::make_pair(startMs + found[i].startMs, startMs + found[i].endMs);
    }
    const std::uint32_t lastEnd = found[accepted - 1].endMs;
    // Resume in the gap after the last kept word, before the next one starts.
    const std::uint32_t resume =
        accepted < found.size() ? std::max(lastEnd, (lastEnd + found[accepted].startMs) / 2) : lastEnd;
    nextWord_ = index + 1;
    cursor_ = last ? end : cursor_ + static_cast<std::uint64_t>(resume) * kSamplesPerMs;
    dropBefore(cursor_);
    return true;
}

TimingOutcome SentenceTimer::finish() {
    TimingOutcome outcome;
    if (error_.empty()) {
        while (nextWord_ < words_.size() && bufferEnd() > cursor_ + kLookaheadMs * kSamplesPerMs)
            if (!alignWindow(false)) break;
        if (error_.empty() && nextWord_ < words_.size()) alignWindow(true);
    }
    if (error_.empty() && nextWord_ < words_.size()) {
        const Word& w = words_[nextWord_];
        fail(u"The audio ends before " + sentenceName(w.sentence, sentences_[w.sentence]) +
             u" is spoken. Is it missing from the audio?");
    }
    buffer_.clear();
    buffer_.shrink_to_fit();
    if (!error_.empty()) {
        outcome.error = error_;
        return outcome;
    }
    std::vector<TimedSpan> spans = spansFromWords();
    std::u16string misfit = checkFit(spans);
    if (!misfit.empty()) {
        outcome.error = misfit + kLeftAsTheyWere;
        return outcome;
    }
    outcome.spans = std::move(spans);
    return outcome;
}

std::vector<TimedSpan> SentenceTimer::spansFromWords() const {
    const std::size_t n = sentences_.size();
    // Per sentence: its first word's start and end, its last word's start and end.
    struct Placed {
        std::uint32_t firstStart, firstEnd, lastStart, lastEnd;
    };
    std::vector<std::optional<Placed>> raw(n);
    for (const Word& w : words_) {
        if (!w.placed) continue;
        auto& r = raw[w.sentence];
        const auto [start, end] = *w.placed;
        if (!r)
            r = Placed{start, end, start, end};
        else
            r->lastStart = start, r->lastEnd = std::max(r->lastEnd, end);
    }
    const std::uint32_t length = pauses_.lengthMs();
    std::vector<TimedSpan> spans(n);
    std::uint32_t previousLastStart = 0;
    for (std::size_t s = 0; s < n; ++s) {
        if (!raw[s]) continue;
        const Placed& r = *raw[s];
        // The recogniser's word edges may be off by a pause's length, but the
        // sentence's speech starts after the previous sentence's last word
        // began and before its own first word ends: in that stretch the
        // longest pause is where the sentence begins (the latest of equals).
        std::uint32_t start = r.firstStart;
        std::uint32_t longest = 0;
        const std::uint32_t until = std::max(r.firstStart + kSnapAfterMs, r.firstEnd > 50 ? r.firstEnd - 50 : 0);
        // Nor before the previous sentence's end.
        const std::uint32_t after = std::max(previousLastStart, s > 0 ? spans[s - 1].endMs : 0);
        // A first word placed largely in quiet was put into the pause before
        // the sentence: the sentence starts where that pause ends.
        const std::vector<bool> heard = pauses_.speechFrames(r.firstStart, r.firstEnd);
        const bool misplaced =
            static_cast<std::size_t>(std::count(heard.begin(), heard.end(), true)) * 3 < heard.size() * 2;
        for (const Pause& p : pauses_.pauses(after, std::max(until, r.firstStart + 2000))) {
            if ((misplaced && p.endMs > r.firstStart) || (p.startMs <= r.firstStart && r.firstStart < p.endMs)) {
                start = p.endMs;
                break;
            }
            if (p.endMs <= after || p.endMs > until) continue;
            if (p.endMs - p.startMs >= longest) {
                longest = p.endMs - p.startMs;
                start = p.endMs;
            }
        }
        std::uint32_t end = r.lastEnd;
        for (const Pause& p :
             pauses_.pauses(r.lastEnd > kSnapAfterMs ? r.lastEnd - kSnapAfterMs : 0, r.lastEnd + kSnapBeforeMs)) {
            if (p.startMs + kSnapAfterMs >= r.lastEnd && p.startMs <= r.lastEnd + kSnapBeforeMs) {
                end = p.startMs;
                break;
            }
        }
        spans[s] = {start, std::min(end, length)};
        previousLastStart = r.lastStart;
    }
    // Sentences the recogniser could say nothing of sit between their
    // neighbours: from the end of the one before.
    for (std::size_t s = 0; s < n; ++s) {
        if (raw[s]) continue;
        std::uint32_t start = 0;
        for (std::size_t b = s; b-- > 0;)
            if (raw[b]) {
                start = spans[b].endMs ? spans[b].endMs : spans[b].startMs;
                break;
            }
        spans[s] = {start, 0};
    }
    // Snapping may make neighbours touch; it must never make them cross.
    for (std::size_t s = 1; s < n; ++s) spans[s].startMs = std::max(spans[s].startMs, spans[s - 1].startMs);
    for (TimedSpan& span : spans)
        if (span.endMs <= span.startMs) span.endMs = 0;
    return spans;
}

std::u16string SentenceTimer::checkFit(const std::vector<TimedSpan>& spans) const {
    const std::uint32_t length = pauses_.lengthMs();
    const std::vector<bool> speech = pauses_.speechFrames(0, length);
    // Sentences squeezed into almost no time, or into quiet: not in the audio.
    std::vector<std::size_t> wordCount(sentences_.size());
    for (const Word& w : words_) ++wordCount[w.sentence];
    for (std::size_t s = 0; s < spans.size(); ++s) {
        if (wordCount[s] == 0) continue;
        std::uint32_t first = UINT32_MAX, lastEnd = 0;
        for (const Word& w : words_)
            if (w.sentence == s && w.placed) {
                first = std::min(first, w.placed->first);
                lastEnd = std::max(lastEnd, w.placed->second);
            }
        const std::uint32_t duration = lastEnd > first ? lastEnd - first : 0;
        std::size_t voiced = 0, frames = 0;
        for (std::uint32_t f = first / PauseFinder::kFrameMs; f < lastEnd / PauseFinder::kFrameMs && f < speech.size();
             ++f) {
            ++frames;
            voiced += speech[f] ? 1 : 0;
        }
        if (duration < 70 * wordCount[s] || voiced * 4 < frames)
            return sentenceName(s, sentences_[s]) + u" was not found in the audio. Is it missing from the audio?";
    }
    // Speech no sentence covers. A word covers at most its first second: a
    // word stretched over an unlisted sentence does not hide it.
    std::vector<bool> covered(speech.size());
    for (const Word& w : words_) {
        if (!w.placed) continue;
        const std::uint32_t until = std::min(w.placed->second, w.placed->first + 1000);
        for (std::uint32_t f = w.placed->first / PauseFinder::kFrameMs;
             f < until / PauseFinder::kFrameMs + 5 && f < covered.size(); ++f)
            covered[f] = true;
    }
    for (std::size_t f = 0; f < speech.size();) {
        if (!speech[f] || covered[f]) {
            ++f;
            continue;
        }
        // A run of uncovered speech, allowing short gaps inside it.
        std::size_t g = f, voiced = 0, lastVoiced = f;
        while (g < speech.size() && !covered[g] && g - lastVoiced < 40) {
            if (speech[g]) {
                ++voiced;
                lastVoiced = g;
            }
            ++g;
        }
        if (voiced * PauseFinder::kFrameMs >= 1200) {
            const auto at = static_cast<std::uint32_t>(f) * PauseFinder::kFrameMs;
            return u"The audio has speech at " + minutesAndSeconds(at) +
                   u" that is in none of the sentences. Is a sentence missing from the list?";
        }
        f = g;
    }
    return {};
}

TimingOutcome SentenceTimer::keepGivenStarts(TimingOutcome computed,
                                             const std::vector<std::optional<std::uint32_t>>& given) {
    if (!computed.ok()) return computed;
    for (std::size_t s = 0; s < computed.spans.size() && s < given.size(); ++s) {
        if (!given[s]) continue;
        TimedSpan& span = computed.spans[s];
        span.startMs = *given[s];
        if (span.endMs <= span.startMs) span.endMs = 0;
    }
    for (std::size_t s = 1; s < computed.spans.size(); ++s)
        if (computed.spans[s].startMs < computed.spans[s - 1].startMs) {
            TimingOutcome crossed;
            crossed.error = u"The times already set do not fit the audio: sentence " + ascii(std::to_string(s + 1)) +
                            u" would start before sentence " + ascii(std::to_string(s)) + u"." + kLeftAsTheyWere;
            return crossed;
        }
    return computed;
}
