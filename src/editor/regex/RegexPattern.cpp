#include "editor/regex/RegexPattern.h"

#include <algorithm>

#include "editor/regex/CharacterElements.h"
#include "editor/regex/FirstUnits.h"
#include "editor/regex/RegexParser.h"
#include "editor/regex/ReplaceTemplate.h"
#include "editor/regex/StructureElements.h"
#include "xml/Utf16Search.h"

std::u16string_view describe(RegexError error) {
    switch (error) {
        case RegexError::none:
            return u"";
        case RegexError::nestingTooDeep:
            return u"The pattern nests groups too deeply.";
    }
    return u"";
}

std::u16string_view describe(MatchStatus status) {
    switch (status) {
        case MatchStatus::found:
            return u"";
        case MatchStatus::notFound:
            return u"Not found.";
        case MatchStatus::stepLimit:
            return u"The search took too long and was stopped.";
        case MatchStatus::recursionLimit:
            return u"The pattern's recursion went too deep and the search was stopped.";
    }
    return u"";
}

RegexPattern::RegexPattern(RegexPattern&&) noexcept = default;
RegexPattern& RegexPattern::operator=(RegexPattern&&) noexcept = default;
RegexPattern::~RegexPattern() = default;

void RegexPattern::clear() {
    m_top = nullptr;
    m_first.reset();
    m_firstPair.reset();
    m_literalAfterRun.reset();
    m_leadingBoundary = nullptr;
    m_groups.clear();
    m_namedGroups.clear();
    m_stock.fill(nullptr);
    m_elements.clear();
    m_highest = 0;
    m_nesting = 0;
    m_error = RegexError::none;
}

void RegexPattern::compile(const char16_t* pattern, int options) {
    if (pattern == nullptr) {
        clear();
        m_options = options;
        return;
    }
    compile(std::u16string_view(pattern), options);
}

void RegexPattern::compile(std::u16string_view pattern, int options) {
    clear();
    m_options = options;
    parseRegexPattern(*this, pattern, options);
    if (m_top != nullptr) {
        auto first = std::make_unique<FirstUnits>();
        if (!m_top->collectFirstUnits(*first) && !first->any) m_first = std::move(first);
        if (m_first != nullptr) m_firstPair = unitPairOf(m_first->units);
        if ((options & regex::rightToLeft) == 0) m_literalAfterRun = LiteralAfterRun::of(*m_top);
        const ElxInterface* leading = m_top;
        while (const auto* list = dynamic_cast<const CListElxT*>(leading)) {
            if (list->size() == 0) break;
            leading = list->nth(0);
        }
        m_leadingBoundary = dynamic_cast<const CBoundaryElxT*>(leading);
    }
}

int RegexPattern::groupNumberOf(std::u16string_view name) const {
    for (const NamedGroup& group : m_namedGroups) {
        if (group.name.size() != name.size()) continue;
        bool same = true;
        for (std::size_t i = 0; same && i < name.size(); ++i) {
            char16_t a = group.name[i], b = name[i];
            if (a >= u'a' && a <= u'z') a = static_cast<char16_t>(a - 32);
            if (b >= u'a' && b <= u'z') b = static_cast<char16_t>(b - 32);
            same = a == b;
        }
        if (same) return group.number;
    }
    return -1;
}

void RegexPattern::prepareMatch(std::u16string_view text, int start, MatchContext& context) const {
    context.text = text;
    context.length = static_cast<int>(std::min<std::size_t>(text.size(), 0x7FFFFFF0));
    context.previousSearchStart = -1;
    context.closingCounter = 0;
    bool backwards = (m_options & regex::rightToLeft) != 0;
    int position = start;
    if (start < 0)
        position = backwards ? context.length : 0;
    else if (start > context.length)
        position = backwards ? context.length : context.length + 1;
    context.position = position;
    context.searchStart = position;
    context.stack.clear();
    context.captures.clear();
}

MatchContext RegexPattern::prepareMatch(std::u16string_view text, int start) const {
    MatchContext context;
    prepareMatch(text, start, context);
    return context;
}

bool RegexPattern::skipToPossibleStart(MatchContext& context, bool backwards) const {
    const char16_t* text = context.text.data();
    int position = context.position;
    if (backwards) {
        while (position > 0 && !m_first->units.test(text[position - 1])) --position;
        context.position = position;
        return position > 0;
    }
    if (m_firstPair) {
        const auto [a, b] = *m_firstPair;
        position = static_cast<int>(xml::findEither(text + position, text + context.length, a, b) - text);
    }
    while (position < context.length && !m_first->units.test(text[position])) ++position;
    context.position = position;
    return position < context.length;
}

MatchResult RegexPattern::match(MatchContext& context) const {
    MatchBudget budget = makeBudget();
    return match(context, budget);
}

MatchResult RegexPattern::match(MatchContext& context, MatchBudget& budget) const {
    if (m_top == nullptr) return {};
    const bool backwards = (m_options & regex::rightToLeft) != 0;
    const int step = backwards ? -1 : 1;
    const int stop = backwards ? -1 : context.length + 1;
    if (budget.exhausted()) {
        context.position = stop;
        return MatchResult::notFound(budget.stopped());
    }
    context.stepsLeft = budget.stepsLeft();
    // Each recursion level may stack one call per element along the pattern's
    // nesting; a few calls per group level are reserved for that.
    context.maxRecursionDepth = std::max(1, m_limits.maxCallDepth / (4 * (m_nesting + 1)));
    context.recursionDepth = 0;
    int knownStartsUntil = -1;  // for m_literalAfterRun
    try {
        while (context.position != stop) {
            if (m_first != nullptr && !skipToPossibleStart(context, backwards)) {
                context.position = stop;
                break;
            }
            if (m_literalAfterRun != nullptr) {
                const std::u16string_view searched = context.text.substr(0, static_cast<std::size_t>(context.length));
                const int next = m_literalAfterRun->nextStart(searched, context.position, knownStartsUntil);
                if (next > context.length) {
                    context.position = stop;
                    break;
                }
                if (next != context.position) {
                    context.position = next;
                    continue;
                }
            }
            // Where it fails the whole pattern fails: nothing before it can retry.
            if (m_leadingBoundary != nullptr && !m_leadingBoundary->holds(context)) {
                context.position += step;
                continue;
            }
            const int start = context.position;
            context.step();
            context.stack.clear();
            context.captures.clear();
            context.groupTable.assign(static_cast<std::size_t>(m_highest) + 1, -1);
            context.openCapture(0, start, -1);
            if (m_top->match(context)) {
                const int end = context.position;
                context.captureField(0, 2) = end;
                const int next = start == end ? end + step : end;
                std::vector<int> entries(static_cast<std::size_t>(2 * m_highest + 4), -1);
                entries[0] = 1;
                entries[1] = m_highest;
                for (int g = 0; g <= m_highest; ++g) {
                    int entry = context.latestCapture(g);
                    if (entry < 0 || context.captureField(entry, 2) == -1)
                        continue;  // a capture left open took no part
                    int a = context.captureField(entry, 1), b = context.captureField(entry, 2);
                    entries[2 + 2 * static_cast<std::size_t>(g)] = std::min(a, b);
                    entries[3 + 2 * static_cast<std::size_t>(g)] = std::max(a, b);
                }
                context.previousSearchStart = context.searchStart;
                context.searchStart = next;
                context.position = next;
                budget.setStepsLeft(context.stepsLeft);
                return MatchResult(std::move(entries));
            }
            context.position = start + step;
        }
    } catch (const MatchLimitReached& limit) {
        // The rest of the text is not searched either: the caller gets a clear
        // "stopped" rather than a later match that skipped this one.
        context.stack.clear();
        context.captures.clear();
        context.position = stop;
        budget.setStepsLeft(context.stepsLeft);
        budget.stop(limit.status);
        return MatchResult::notFound(limit.status);
    }
    budget.setStepsLeft(context.stepsLeft);
    return {};
}

MatchResult RegexPattern::match(std::u16string_view text, int start) const {
    MatchContext context = prepareMatch(text, start);
    return match(context);
}

MatchResult RegexPattern::match(const char16_t* text, int start) const {
    return match(text == nullptr ? std::u16string_view() : std::u16string_view(text), start);
}

std::u16string RegexPattern::replaceMatches(std::u16string_view text, std::u16string_view replacement, int start,
                                            int count, MatchStatus* outcome) const {
    const ReplaceTemplate pieces(replacement, *this);
    MatchContext context = prepareMatch(text, start);
    MatchBudget budget = makeBudget();
    const bool backwards = (m_options & regex::rightToLeft) != 0;
    MatchStatus status = MatchStatus::notFound;
    std::u16string out;
    // Growing a text of many megabytes step by step costs more than the search.
    if (!backwards) out.reserve(text.size() + text.size() / 8);
    // Right-to-left, the parts are made from the end and put in order at the end.
    std::vector<std::u16string> parts;
    std::size_t last = backwards ? text.size() : 0;
    for (int done = 0; count < 0 || done < count; ++done) {
        MatchResult found = match(context, budget);
        if (!found.found()) {
            if (found.status() != MatchStatus::notFound) status = found.status();
            break;
        }
        if (status == MatchStatus::notFound) status = MatchStatus::found;
        auto matchStart = static_cast<std::size_t>(found.groupStart(0));
        auto matchEnd = static_cast<std::size_t>(found.groupEnd(0));
        if (backwards) {
            parts.emplace_back(text.substr(std::min(matchEnd, last), last - std::min(matchEnd, last)));
            std::u16string piece;
            pieces.expand(found, text, piece);
            parts.push_back(std::move(piece));
            last = std::min(matchStart, last);
        } else {
            out.append(text.substr(last, matchStart > last ? matchStart - last : 0));
            pieces.expand(found, text, out);
            last = std::max(matchEnd, last);
        }
    }
    if (backwards) {
        std::size_t total = last;
        for (const std::u16string& part : parts) total += part.size();
        out.reserve(total);
        out.assign(text.substr(0, last));
        for (auto part = parts.rbegin(); part != parts.rend(); ++part) out.append(*part);
    } else {
        out.append(text.substr(std::min(last, text.size())));
    }
    if (outcome != nullptr) *outcome = status;
    return out;
}
