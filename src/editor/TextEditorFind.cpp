// The find side of TextEditor: the highlight of every occurrence of the find
// text in the painted rows, and Replace All. Both run pattern searches that
// share one step budget per operation, so that a pattern that backtracks
// without end costs one bounded pause and a clear "took too long", never a
// frozen window.
#include "editor/TextEditor.h"

void TextEditor::setFindHighlight(std::u16string text, int flags) {
    m_findText = std::move(text);
    m_findFlags = flags;
    m_findStatus = MatchStatus::found;
    if ((flags & kFindRegex) && !m_findText.empty()) {
        m_findPattern.compile(m_findText, (flags & kFindIgnoreCase) ? regex::ignoreCase : 0);
    } else {
        m_findPattern.compile(nullptr, 0);
    }
    invalidateAll();
}

const std::vector<std::pair<int, int>>& TextEditor::lineMatches(int line, int upTo) {
    LineMatches& found = m_lineMatches;
    if (found.line != line) found = LineMatches{line, {}, 0, false};
    // A pattern that ran out of steps once would only run out again on every
    // paint: it stays unmarked until the highlight is set anew.
    if (m_findStatus != MatchStatus::found) found.complete = true;
    if (found.complete || (!found.matches.empty() && found.matches.back().first >= upTo)) return found.matches;
    const int lineStart = m_document.lineStart(line);
    const std::u16string_view text = m_document.view(lineStart, m_document.lineStart(line + 1));
    MatchContext context;
    m_findPattern.prepareMatch(text, found.next, context);
    for (;;) {
        const MatchResult result = m_findPattern.match(context, m_paintBudget);
        if (!result.found()) {
            if (result.status() != MatchStatus::notFound) m_findStatus = result.status();
            found.complete = true;
            break;
        }
        found.next = context.searchStart;
        // An empty match marks nothing.
        if (result.groupEnd(0) > result.groupStart(0))
            found.matches.emplace_back(result.groupStart(0), result.groupEnd(0));
        if (result.groupStart(0) >= upTo) break;  // later rows of the line go on from here
    }
    return found.matches;
}

MatchStatus TextEditor::replaceAll(std::u16string_view find, std::u16string_view replacement, int flags) {
    if (find.empty()) return MatchStatus::notFound;
    int options = regex::multiLine;
    if (flags & kFindIgnoreCase) options |= regex::ignoreCase;
    if (flags & kFindBackward) options |= regex::rightToLeft;
    const RegexPattern pattern(find, options);
    MatchStatus outcome = MatchStatus::notFound;
    std::u16string replaced = pattern.replaceMatches(m_document.text(), replacement, -1, -1, &outcome);
    // A replacement stopped half way would leave some matches replaced and
    // others not, with nothing to tell which: the text stays as it was.
    if (outcome == MatchStatus::found) setText(replaced);
    return outcome;
}
