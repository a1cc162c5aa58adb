#include "editor/regex/ReplaceTemplate.h"

#include "editor/regex/RegexPattern.h"

#include <algorithm>

namespace {

// Finds the references in a template. Compiled once; matching uses a context
// of its own per call, so sharing it is safe.
const RegexPattern& referencePattern() {
    static const RegexPattern pattern(u"\\$(?:[$&`'+_\\d]|\\{.*?\\})", 0);
    return pattern;
}

}  // namespace

void ReplaceTemplate::addLiteral(std::u16string_view text) {
    if (text.empty()) return;
    if (!m_pieces.empty() && m_pieces.back().kind == PieceKind::literal)
        m_pieces.back().text.append(text);
    else
        m_pieces.push_back({PieceKind::literal, std::u16string(text), 0});
}

ReplaceTemplate::ReplaceTemplate(std::u16string_view replacement, const RegexPattern& pattern) {
    const int highest = pattern.highestGroup();
    MatchContext context = referencePattern().prepareMatch(replacement, 0);
    std::size_t literalFrom = 0;
    for (;;) {
        MatchResult found = referencePattern().match(context);
        if (!found.found()) break;
        auto start = static_cast<std::size_t>(found.groupStart(0));
        auto end = static_cast<std::size_t>(found.groupEnd(0));
        addLiteral(replacement.substr(literalFrom, start - literalFrom));
        literalFrom = end;
        char16_t kind = replacement[start + 1];
        switch (kind) {
            case u'$':
                addLiteral(u"$");
                break;
            case u'&':
                m_pieces.push_back({PieceKind::group, {}, 0});
                break;
            case u'`':
                m_pieces.push_back({PieceKind::before, {}, 0});
                break;
            case u'\'':
                m_pieces.push_back({PieceKind::after, {}, 0});
                break;
            case u'+':
                m_pieces.push_back({PieceKind::lastGroup, {}, 0});
                break;
            case u'_':
                m_pieces.push_back({PieceKind::wholeInput, {}, 0});
                break;
            case u'{': {
                std::u16string_view name = replacement.substr(start + 2, end - start - 3);
                int number = pattern.groupNumberOf(name);
                if (number >= 1 && number <= highest)
                    m_pieces.push_back({PieceKind::group, {}, number});
                else
                    literalFrom = start;  // stays as it was written
                break;
            }
            default: {
                // Up to 3 digits; trailing digits that would name a missing group stay text.
                std::size_t digits = 0;
                int number = 0;
                while (digits < 3 && start + 1 + digits < replacement.size() &&
                       replacement[start + 1 + digits] >= u'0' && replacement[start + 1 + digits] <= u'9') {
                    number = number * 10 + (replacement[start + 1 + digits] - u'0');
                    ++digits;
                }
                while (digits > 0 && number > highest) {
                    number /= 10;
                    --digits;
                }
                if (digits == 0) {
                    literalFrom = start;
                    break;
                }
                m_pieces.push_back({PieceKind::group, {}, number});
                literalFrom = start + 1 + digits;
                break;
            }
        }
    }
    addLiteral(replacement.substr(literalFrom));
}

void ReplaceTemplate::expand(const MatchResult& match, std::u16string_view input, std::u16string& out) const {
    auto part = [&](int group) {
        int start = match.groupStart(group), end = match.groupEnd(group);
        if (start >= 0 && end >= start && static_cast<std::size_t>(end) <= input.size())
            out.append(input.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start)));
    };
    for (const Piece& piece : m_pieces) {
        switch (piece.kind) {
            case PieceKind::literal:
                out.append(piece.text);
                break;
            case PieceKind::group:
                part(piece.group);
                break;
            case PieceKind::before:
                out.append(input.substr(0, static_cast<std::size_t>(std::max(match.groupStart(0), 0))));
                break;
            case PieceKind::after:
                out.append(
                    input.substr(std::min(static_cast<std::size_t>(std::max(match.groupEnd(0), 0)), input.size())));
                break;
            case PieceKind::lastGroup: {
                int group = match.highestGroup();
                while (group > 0 && match.groupStart(group) < 0) --group;
                part(std::max(group, 0));
                break;
            }
            case PieceKind::wholeInput:
                out.append(input);
                break;
        }
    }
}
