#include "editor/regex/RegexParser.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "editor/regex/AssertElements.h"
#include "editor/regex/CharacterElements.h"
#include "editor/regex/FirstUnits.h"
#include "editor/regex/RegexPattern.h"
#include "editor/regex/RegexScanner.h"
#include "editor/regex/RepeatElements.h"
#include "editor/regex/StructureElements.h"

namespace {

// Thrown when groups nest deeper than allowed; caught in parseRegexPattern.
struct NestingTooDeep {};

enum Stock {
    kEmpty = 0,
    kAny = 1,
    kAnyButNewline = 2,
    kWord = 3,
    kNotWord = 4,
    kSpace = 5,
    kNotSpace = 6,
    kDigit = 7,
    kNotDigit = 8,
    kRightToLeftOffset = 8,
};

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// The value of a text of digits alone (spaces around allowed), or -1.
int digitsValue(std::u16string_view text) {
    std::size_t first = text.find_first_not_of(u' ');
    std::size_t last = text.find_last_not_of(u' ');
    if (first == std::u16string_view::npos) return -1;
    text = text.substr(first, last - first + 1);
    long value = 0;
    for (char16_t c : text) {
        if (!isDigit(c)) return -1;
        value = value * 10 + (c - u'0');
        if (value > regex::kMaxGroupNumber) return -1;
    }
    return static_cast<int>(value);
}

}  // namespace

class RegexParser {
public:
    RegexParser(RegexPattern& pattern, std::vector<RegexToken> tokens, int options)
        : m_pattern(pattern), m_tokens(std::move(tokens)), m_options(options) {}

    void run() {
        const ElxInterface* top = parseAlternative();
        finish(top);
    }

private:
    // A named group waiting for its number.
    struct PendingName {
        std::u16string name;
        int number;
        CBracketElxT* first;
        CBracketElxT* second;
        const ElxInterface* sequence;
    };
    struct PendingBackref {
        CBackrefElxT* element;
        std::u16string name;
    };

    // ---- token window

    const RegexToken& cur() const { return token(0); }
    const RegexToken& token(std::size_t ahead) const {
        std::size_t at = std::min(m_index + ahead, m_tokens.size() - 1);
        return m_tokens[at];
    }
    void advance() {
        if (m_index + 1 < m_tokens.size()) ++m_index;
    }
    bool atEnd() const { return cur().isEnd(); }

    regex::Direction direction() const {
        return (m_options & regex::rightToLeft) ? regex::Direction::rightToLeft : regex::Direction::leftToRight;
    }
    CaseMode caseMode() const { return (m_options & regex::ignoreCase) ? CaseMode::ignoreAsciiCase : CaseMode::exact; }

    // ---- stock elements, made on first use

    const ElxInterface* stock(int id) {
        auto& slot = m_pattern.m_stock[static_cast<std::size_t>(id)];
        if (slot == nullptr) slot = makeStock(id);
        return slot;
    }

    const CClassElx* stockClass(int id) { return static_cast<const CClassElx*>(stock(id)); }

    const ElxInterface* makeStock(int id) {
        if (id == kEmpty) return m_pattern.make<CEmptyElxT>();
        regex::Direction dir = id > kRightToLeftOffset ? regex::Direction::rightToLeft : regex::Direction::leftToRight;
        int base = id > kRightToLeftOffset ? id - kRightToLeftOffset : id;
        // "." and "any" are negated sets (of LF, of nothing); the shorthands alternate.
        Polarity polarity =
            base == kAny || base == kAnyButNewline || base % 2 == 0 ? Polarity::negative : Polarity::positive;
        auto* range = m_pattern.make<CRangeElxT>(dir, polarity);
        switch (base) {
            case kAny:
                break;
            case kAnyButNewline:
                range->addCharacter(u'\n');
                break;
            case kWord:
            case kNotWord:
                range->addRange(u'A', u'Z');
                range->addRange(u'a', u'z');
                range->addRange(u'0', u'9');
                range->addCharacter(u'_');
                break;
            case kSpace:
            case kNotSpace:
                range->addCharacter(u' ');
                range->addCharacter(u'\t');
                range->addCharacter(u'\r');
                range->addCharacter(u'\n');
                // The backward set also takes form feed and vertical tab.
                if (dir == regex::Direction::rightToLeft) {
                    range->addCharacter(0x0C);
                    range->addCharacter(0x0B);
                }
                break;
            case kDigit:
            case kNotDigit:
                range->addRange(u'0', u'9');
                break;
        }
        return range;
    }

    int shorthandStock(char16_t c) const {
        int id = 0;
        switch (c) {
            case u'w':
                id = kWord;
                break;
            case u'W':
                id = kNotWord;
                break;
            case u's':
                id = kSpace;
                break;
            case u'S':
                id = kNotSpace;
                break;
            case u'd':
                id = kDigit;
                break;
            case u'D':
                id = kNotDigit;
                break;
            default:
                return -1;
        }
        return (m_options & regex::rightToLeft) ? id + kRightToLeftOffset : id;
    }

    // ---- grammar

    // Counts one level of nesting for its lifetime; too deep ends the compile.
    class NestingLevel {
    public:
        explicit NestingLevel(RegexParser& parser) : m_parser(parser) {
            if (++m_parser.m_depth > regex::kMaxNesting) throw NestingTooDeep{};
            m_parser.m_pattern.m_nesting = std::max(m_parser.m_pattern.m_nesting, m_parser.m_depth);
        }
        ~NestingLevel() { --m_parser.m_depth; }
        NestingLevel(const NestingLevel&) = delete;
        NestingLevel& operator=(const NestingLevel&) = delete;

    private:
        RegexParser& m_parser;
    };

    const ElxInterface* parseAlternative() {
        NestingLevel level(*this);
        int savedOptions = m_options;
        std::vector<const ElxInterface*> branches{parseList()};
        while (cur().isSpecial(u'|')) {
            advance();
            branches.push_back(parseList());
        }
        m_options = savedOptions;
        if (branches.size() == 1) return branches.front();
        return m_pattern.make<CAlternativeElxT>(std::move(branches));
    }

    const ElxInterface* parseList() {
        std::vector<const ElxInterface*> items;
        while (!atEnd() && !cur().isSpecial(u'|') && !cur().isSpecial(u')')) items.push_back(parseRepeat());
        if (items.empty()) return stock(kEmpty);
        if (items.size() == 1) return items.front();
        return m_pattern.make<CListElxT>(std::move(items), direction());
    }

    static bool isQuantifier(const RegexToken& t) {
        return t.isSpecial(u'*') || t.isSpecial(u'+') || t.isSpecial(u'?') || t.isSpecial(u'{');
    }

    const ElxInterface* parseRepeat() {
        const ElxInterface* atom = parseAtom();
        if (!isQuantifier(cur())) return atom;
        int minimum = 0;
        int maximum = regex::kUnbounded;
        if (cur().isSpecial(u'*')) {
            advance();
        } else if (cur().isSpecial(u'+')) {
            minimum = 1;
            advance();
        } else if (cur().isSpecial(u'?')) {
            maximum = 1;
            advance();
        } else {
            readCount(minimum, maximum);
        }
        if (maximum == 0) return stock(kEmpty);
        if (minimum == maximum) {
            if (cur().isSpecial(u'?') || cur().isSpecial(u'+')) advance();
            return m_pattern.make<CRepeatElxT>(atom, minimum);
        }
        int extra = maximum - minimum;
        if (cur().isSpecial(u'?')) {
            advance();
            return m_pattern.make<CReluctantElxT>(atom, minimum, extra);
        }
        if (cur().isSpecial(u'+')) {
            advance();
            return m_pattern.make<CPossessiveElxT>(atom, minimum, extra);
        }
        return m_pattern.make<CGreedyElxT>(atom, minimum, extra);
    }

    // At a special "{": "{n}", "{n,}", "{n,m}"; anything else is {0}.
    void readCount(int& minimum, int& maximum) {
        advance();
        std::u16string text;
        while (!atEnd() && !cur().isSpecial(u'}')) {
            text.push_back(cur().character);
            advance();
        }
        if (cur().isSpecial(u'}')) advance();
        std::size_t at = 0;
        auto skipSpaces = [&] {
            while (at < text.size() && text[at] == u' ') ++at;
        };
        // Reads up to 6 digits (further digits are skipped); -1 when none.
        auto readNumber = [&]() -> int {
            if (at >= text.size() || !isDigit(text[at])) return -1;
            int value = 0;
            for (int n = 0; at < text.size() && isDigit(text[at]); ++at, ++n) {
                if (n < 6) value = value * 10 + (text[at] - u'0');
            }
            return value;
        };
        skipSpaces();
        int first = readNumber();
        if (first < 0) {
            minimum = maximum = 0;
            return;
        }
        minimum = first;
        maximum = first;
        skipSpaces();
        if (at < text.size() && text[at] == u',') {
            ++at;
            skipSpaces();
            int second = readNumber();
            maximum = second < 0 ? regex::kUnbounded : std::max(second, first);
        }
    }

    const ElxInterface* parseAtom() {
        const RegexToken& t = cur();
        if (t.isLiteral() || isQuantifier(t) || t.isSpecial(u'}')) return parseLiteralRun();
        switch (t.character) {
            case u'$':
            case u'^':
            case u'A':
            case u'B':
            case u'G':
            case u'Z':
            case u'b':
            case u'z':
                return parseBoundary();
            case u'.':
                advance();
                return stock(((m_options & regex::singleLine) ? kAny : kAnyButNewline) +
                             ((m_options & regex::rightToLeft) ? kRightToLeftOffset : 0));
            case u'w':
            case u'W':
            case u's':
            case u'S':
            case u'd':
            case u'D': {
                int id = shorthandStock(t.character);
                advance();
                return stock(id);
            }
            case u'[':
                advance();
                return parseClass();
            case u'(':
                return parseGroup();
            case u'\\':
            case u'g':
            case u'k':
                return parseBackref();
            default:
                // A special that begins nothing (":" or "-" out of place): a literal.
                return parseLiteralRun();
        }
    }

    const ElxInterface* parseLiteralRun() {
        std::u16string run{cur().character};
        advance();
        if (!isQuantifier(cur())) {
            while (cur().isLiteral() && !isQuantifier(token(1))) {
                run.push_back(cur().character);
                advance();
            }
        }
        return m_pattern.make<CStringElxT>(std::move(run), direction(), caseMode());
    }

    const ElxInterface* parseBoundary() {
        char16_t c = cur().character;
        advance();
        bool multi = (m_options & regex::multiLine) != 0;
        switch (c) {
            case u'^':
                return boundary(multi ? BoundaryKind::lineStart : BoundaryKind::textStart, Polarity::positive);
            case u'$':
                return boundary(multi ? BoundaryKind::lineEnd : BoundaryKind::textEnd, Polarity::positive);
            case u'A':
                return boundary(BoundaryKind::textStart, Polarity::positive);
            case u'z':
                return boundary(BoundaryKind::textEnd, Polarity::positive);
            case u'Z':
                return boundary(BoundaryKind::textEndBeforeNewline, Polarity::positive);
            case u'b':
                return boundary(BoundaryKind::wordBoundary, Polarity::positive);
            case u'B':
                return boundary(BoundaryKind::wordBoundary, Polarity::negative);
            default:  // G
                if (m_options & regex::global) return m_pattern.make<CGlobalElxT>();
                return stock(kEmpty);
        }
    }

    const ElxInterface* boundary(BoundaryKind kind, Polarity polarity) {
        return m_pattern.make<CBoundaryElxT>(kind, polarity);
    }

    // After a special "[".
    const ElxInterface* parseClass() {
        if (cur().isSpecial(u':')) return parsePosix();
        Polarity polarity = Polarity::positive;
        if (cur().isSpecial(u'^')) {
            polarity = Polarity::negative;
            advance();
        }
        auto* range = m_pattern.make<CRangeElxT>(direction(), polarity);
        while (!atEnd() && !cur().isSpecial(u']')) {
            const RegexToken& t = cur();
            if (t.isSpecial(u'[') && token(1).isSpecial(u':')) {
                advance();
                range->addNested(static_cast<const CClassElx*>(parsePosix()));
                continue;
            }
            int shorthand = t.kind == TokenKind::special ? shorthandStock(t.character) : -1;
            if (shorthand >= 0) {
                range->addNested(stockClass(shorthand));
                advance();
                continue;
            }
            if (token(1).isSpecial(u'-') && token(2).isLiteral()) {
                range->addRange(t.character, token(2).character);
                advance();
                advance();
                advance();
                continue;
            }
            range->addCharacter(t.character);
            advance();
        }
        if (cur().isSpecial(u']')) advance();
        if (m_options & regex::ignoreCase) range->addOtherCases();
        return range;
    }

    // At the special ":" of "[:name:]".
    const ElxInterface* parsePosix() {
        advance();
        Polarity polarity = Polarity::positive;
        if (cur().isSpecial(u'^')) {
            polarity = Polarity::negative;
            advance();
        }
        std::u16string name;
        while (!atEnd() && !cur().isSpecial(u']')) {
            name.push_back(cur().character);
            advance();
        }
        if (cur().isSpecial(u']')) advance();
        return m_pattern.make<CPosixElxT>(name, polarity, direction());
    }

    void expectClose() {
        if (cur().isSpecial(u')')) advance();
    }

    // The body of a group compiled with other options; options are restored after.
    const ElxInterface* parseBodyWith(int options) {
        int saved = m_options;
        m_options = options;
        const ElxInterface* body = parseAlternative();
        m_options = saved;
        return body;
    }

    // The characters up to the token `terminator` (consumed), or to the end.
    std::u16string readName(char16_t terminator) {
        std::u16string name;
        while (!atEnd() && cur().character != terminator) {
            name.push_back(cur().character);
            advance();
        }
        if (!atEnd()) advance();
        return name;
    }

    // At a special "(".
    const ElxInterface* parseGroup() {
        advance();
        if (!cur().isSpecial(u'?')) return parseCapture(u"", -1, /*named=*/false);
        advance();
        const RegexToken& t = cur();
        char16_t c = t.character;
        if (!t.isEnd() && (c == u'=' || c == u'!')) {
            advance();
            auto* assertion = m_pattern.make<CAssertElxT>(parseBodyWith(m_options & ~regex::rightToLeft),
                                                          c == u'=' ? Polarity::positive : Polarity::negative);
            expectClose();
            return assertion;
        }
        if (c == u'<' && (token(1).character == u'=' || token(1).character == u'!') && !token(1).isEnd()) {
            char16_t kind = token(1).character;
            advance();
            advance();
            auto* assertion = m_pattern.make<CAssertElxT>(parseBodyWith(m_options | regex::rightToLeft),
                                                          kind == u'=' ? Polarity::positive : Polarity::negative);
            expectClose();
            return assertion;
        }
        if (c == u'>' && !t.isEnd()) {
            advance();
            auto* atomic = m_pattern.make<CIndependentElxT>(parseAlternative());
            expectClose();
            return atomic;
        }
        if (c == u'<' || c == u'\'') {
            advance();
            return parseNamedCapture(c == u'<' ? u'>' : u'\'');
        }
        if (c == u'P' && (token(1).character == u'<' || token(1).character == u'\'') && !token(1).isEnd()) {
            char16_t open = token(1).character;
            advance();
            advance();
            return parseNamedCapture(open == u'<' ? u'>' : u'\'');
        }
        if (t.isSpecial(u'(')) return parseCondition();
        if (c == u'R' && t.isLiteral()) {
            advance();
            return parseRecursion();
        }
        if (isDigit(c) && t.isLiteral()) return parseRecursion();
        return parseInlineOptions();
    }

    const ElxInterface* parseNamedCapture(char16_t terminator) {
        std::u16string name = readName(terminator);
        return parseCapture(name, digitsValue(name), /*named=*/true);
    }

    // After the opening of a capturing group; `number` is -1 unless fixed by a digit name.
    const ElxInterface* parseCapture(std::u16string name, int number, bool named) {
        if (!named) number = ++m_unnamedCount;
        bool backwards = (m_options & regex::rightToLeft) != 0;
        // The bracket matched first opens the capture: in a right-to-left list that is the second one.
        auto* first =
            m_pattern.make<CBracketElxT>(number, backwards ? BracketSide::closing : BracketSide::opening, name);
        // Named groups are numbered in the order they open, so the entry is made now.
        std::size_t namedIndex = m_named.size();
        if (named) m_named.push_back({std::move(name), number, first, nullptr, nullptr});
        const ElxInterface* body = parseAlternative();
        auto* second = m_pattern.make<CBracketElxT>(number, backwards ? BracketSide::opening : BracketSide::closing);
        auto* sequence = m_pattern.make<CListElxT>(std::vector<const ElxInterface*>{first, body, second}, direction());
        expectClose();
        if (named) {
            m_named[namedIndex].second = second;
            m_named[namedIndex].sequence = sequence;
        } else {
            m_pattern.m_groups.push_back({number, sequence});
        }
        return sequence;
    }

    // After "(?R" or at the first digit of "(?n)".
    const ElxInterface* parseRecursion() {
        while (cur().isLiteral() && cur().character == u' ') advance();
        int number = -3;
        std::u16string name;
        if (cur().isLiteral() && (cur().character == u'<' || cur().character == u'\'')) {
            char16_t open = cur().character;
            advance();
            name = readName(open == u'<' ? u'>' : u'\'');
            number = digitsValue(name);
            if (number >= 0)
                name.clear();
            else
                number = -3;
        } else {
            long value = 0;
            while (cur().isLiteral() && isDigit(cur().character)) {
                value = std::min<long>(value * 10 + (cur().character - u'0'), regex::kMaxGroupNumber + 1L);
                advance();
            }
            number = static_cast<int>(value);
        }
        while (!atEnd() && !cur().isSpecial(u')')) advance();
        expectClose();
        auto* delegate = m_pattern.make<CDelegateElxT>(number, name);
        m_delegates.push_back(delegate);
        return delegate;
    }

    // At the special "(" of "(?(".
    const ElxInterface* parseCondition() {
        // A test may itself be a conditional, "(?((?((?(...", without passing
        // through an alternative, so the nesting is counted here too.
        NestingLevel level(*this);
        int savedOptions = m_options;
        int number = -1;
        std::u16string text;
        const ElxInterface* assertion = nullptr;
        if (token(1).isSpecial(u'?')) {
            assertion = parseGroup();
        } else {
            advance();
            std::size_t first = m_index;
            const ElxInterface* body = parseBodyWith(m_options & ~regex::rightToLeft);
            for (std::size_t i = first; i < m_index; ++i) text.push_back(m_tokens[i].character);
            expectClose();
            number = digitsValue(text);
            if (number < 0) assertion = m_pattern.make<CAssertElxT>(body, Polarity::positive);
        }
        const ElxInterface* yes = parseList();
        const ElxInterface* no = nullptr;
        if (cur().isSpecial(u'|')) {
            advance();
            no = parseAlternative();
        }
        expectClose();
        m_options = savedOptions;
        auto* condition =
            m_pattern.make<CConditionElxT>(number, number < 0 ? text : std::u16string(), assertion, yes, no);
        if (condition->testsByText()) m_conditions.push_back(condition);
        return condition;
    }

    // After "(?": letters, then ":" (a group), a special "(" (a group from
    // there) or ")" (the options hold for the rest of the enclosing group).
    const ElxInterface* parseInlineOptions() {
        while (cur().isLiteral() && cur().character == u' ') advance();
        int options = m_options;
        bool removing = false;
        while (!atEnd() && cur().character != u':' && !cur().isSpecial(u')') && !cur().isSpecial(u'(')) {
            int bit = 0;
            switch (cur().character) {
                case u'-':
                    removing = true;
                    break;
                case u'i':
                case u'I':
                    bit = regex::ignoreCase;
                    break;
                case u'm':
                case u'M':
                    bit = regex::multiLine;
                    break;
                case u's':
                case u'S':
                    bit = regex::singleLine;
                    break;
                case u'g':
                case u'G':
                    bit = regex::global;
                    break;
                default:
                    break;
            }
            if (removing)
                options &= ~bit;
            else
                options |= bit;
            advance();
        }
        if (!atEnd() && cur().character == u':') {
            advance();
            const ElxInterface* body = parseBodyWith(options);
            expectClose();
            return body;
        }
        if (cur().isSpecial(u'(')) {
            const ElxInterface* body = parseBodyWith(options);
            expectClose();
            return body;
        }
        m_options = options;
        expectClose();
        return stock(kEmpty);
    }

    // At a special backslash (digits follow), "\g" or "\k".
    const ElxInterface* parseBackref() {
        bool byLetter = !cur().isSpecial(u'\\');
        advance();
        std::u16string name;
        int number = 0;
        if (byLetter && cur().isLiteral() && (cur().character == u'<' || cur().character == u'\'')) {
            char16_t open = cur().character;
            advance();
            name = readName(open == u'<' ? u'>' : u'\'');
            number = digitsValue(name);
            if (number >= 0)
                name.clear();
            else
                number = -3;
        } else {
            for (int n = 0; n < 3 && cur().isLiteral() && isDigit(cur().character); ++n) {
                number = number * 10 + (cur().character - u'0');
                advance();
            }
        }
        auto* backref = m_pattern.make<CBackrefElxT>(number, direction(), caseMode());
        if (!name.empty()) m_backrefs.push_back({backref, std::move(name)});
        return backref;
    }

    // ---- finishing

    const PendingName* findNamed(std::u16string_view name) const {
        for (const PendingName& named : m_named) {
            if (veltrix::ascii::equalsIgnoringCase(named.name, name)) return &named;
        }
        return nullptr;
    }

    void finish(const ElxInterface* top) {
        int counter = m_unnamedCount;
        for (PendingName& named : m_named) {
            if (named.number < 0) {
                const PendingName* earlier = findNamed(named.name);
                named.number = earlier != &named && earlier->number >= 0 ? earlier->number : ++counter;
            }
            named.first->setNumber(named.number);
            named.second->setNumber(named.number);
            m_pattern.m_groups.push_back({named.number, named.sequence});
            m_pattern.m_namedGroups.push_back({named.name, named.number});
        }
        int highest = 0;
        for (const auto& group : m_pattern.m_groups) highest = std::max(highest, group.number);
        m_pattern.m_highest = highest;

        for (CDelegateElxT* delegate : m_delegates) {
            if (!delegate->name().empty()) {
                const PendingName* named = findNamed(delegate->name());
                if (named != nullptr) delegate->resolve(named->sequence, named->number);
                continue;
            }
            int n = delegate->number();
            if (n == 0) {
                delegate->resolve(top, 0);
            } else if (n > 0 && n <= highest) {
                for (const auto& group : m_pattern.m_groups) {
                    if (group.number == n) {
                        delegate->resolve(group.sequence, n);
                        break;
                    }
                }
            }
        }
        for (PendingBackref& backref : m_backrefs) {
            const PendingName* named = findNamed(backref.name);
            if (named != nullptr) backref.element->setNumber(named->number);
        }
        for (CConditionElxT* condition : m_conditions) {
            const PendingName* named = findNamed(condition->testText());
            if (named != nullptr) condition->makeGroupTest(named->number);
        }
        // A recursion continues a group with whatever follows the call, so
        // what follows an element is only known without recursions.
        if (top != nullptr && m_delegates.empty()) {
            auto end = std::make_unique<FirstUnits>();
            end->any = true;
            top->limitBacktracking(*end);
        }
        m_pattern.m_top = top;
    }

    RegexPattern& m_pattern;
    std::vector<RegexToken> m_tokens;
    std::size_t m_index = 0;
    int m_options;
    int m_depth = 0;
    int m_unnamedCount = 0;
    std::vector<PendingName> m_named;
    std::vector<CDelegateElxT*> m_delegates;
    std::vector<PendingBackref> m_backrefs;
    std::vector<CConditionElxT*> m_conditions;
};

void parseRegexPattern(RegexPattern& target, std::u16string_view pattern, int options) {
    try {
        RegexParser parser(target, scanPattern(pattern, options), options);
        parser.run();
    } catch (const NestingTooDeep&) {
        target.clear();
        target.m_options = options;
        target.m_error = RegexError::nestingTooDeep;
    }
}
