#include "editor/regex/CharacterElements.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

#include "editor/regex/FirstUnits.h"
#include "editor/regex/MatchContext.h"

bool isWordUnit(char16_t unit) {
    return (unit >= u'A' && unit <= u'Z') || (unit >= u'a' && unit <= u'z') || (unit >= u'0' && unit <= u'9') ||
           unit == u'_';
}

bool CEmptyElxT::match(MatchContext&) const { return true; }

bool CEmptyElxT::matchNext(MatchContext&) const { return false; }

// ---- CStringElxT

CStringElxT::CStringElxT(std::u16string characters, regex::Direction direction, CaseMode caseMode)
    : m_characters(std::move(characters)), m_direction(direction), m_caseMode(caseMode) {}

namespace {

bool sameText(const MatchContext& context, int at, std::u16string_view wanted, CaseMode caseMode) {
    std::u16string_view here = context.text.substr(static_cast<std::size_t>(at), wanted.size());
    if (caseMode == CaseMode::exact) return here == wanted;
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        if (veltrix::ascii::toUpper(here[i]) != veltrix::ascii::toUpper(wanted[i])) return false;
    }
    return true;
}

}  // namespace

bool CStringElxT::match(MatchContext& context) const {
    int size = static_cast<int>(m_characters.size());
    if (m_direction == regex::Direction::rightToLeft) {
        if (context.position - size < 0 || context.position > context.length) return false;
        if (!sameText(context, context.position - size, m_characters, m_caseMode)) return false;
        context.position -= size;
        return true;
    }
    if (context.position < 0 || context.length - context.position < size) return false;
    if (!sameText(context, context.position, m_characters, m_caseMode)) return false;
    context.position += size;
    return true;
}

bool CStringElxT::matchNext(MatchContext& context) const {
    int size = static_cast<int>(m_characters.size());
    context.position += m_direction == regex::Direction::rightToLeft ? size : -size;
    return false;
}

// ---- classes

bool CClassElx::match(MatchContext& context) const {
    if (m_direction == regex::Direction::rightToLeft) {
        if (context.position <= 0 || context.position > context.length || !contains(context.at(context.position - 1)))
            return false;
        --context.position;
        return true;
    }
    if (context.position < 0 || context.position >= context.length || !contains(context.at(context.position)))
        return false;
    ++context.position;
    return true;
}

bool CClassElx::matchNext(MatchContext& context) const {
    context.position += m_direction == regex::Direction::rightToLeft ? 1 : -1;
    return false;
}

CRangeElxT::CRangeElxT(regex::Direction direction, Polarity polarity)
    : CClassElx(direction), m_positive(polarity == Polarity::positive) {}

void CRangeElxT::addRange(char16_t low, char16_t high) {
    m_ranges.emplace_back(low, high);
    for (unsigned unit = low; unit <= high && unit < m_lowMembers.size(); ++unit) m_lowMembers.set(unit);
}

void CRangeElxT::addCharacter(char16_t unit) {
    m_characters.push_back(unit);
    if (unit < m_lowMembers.size()) m_lowMembers.set(unit);
}

void CRangeElxT::addNested(const CClassElx* element) {
    m_nested.push_back(element);
    for (unsigned unit = 0; unit < m_lowMembers.size(); ++unit) {
        if (element->contains(static_cast<char16_t>(unit))) m_lowMembers.set(unit);
    }
}

bool CRangeElxT::holdsDirectly(char16_t unit) const {
    for (const auto& [low, high] : m_ranges) {
        if (unit >= low && unit <= high) return true;
    }
    return m_characters.find(unit) != std::u16string::npos;
}

void CRangeElxT::addOtherCases() {
    std::size_t rangeCount = m_ranges.size();
    for (std::size_t i = 0; i < rangeCount; ++i) {
        auto [low, high] = m_ranges[i];
        char16_t upperLow = std::max<char16_t>(low, u'A'), upperHigh = std::min<char16_t>(high, u'Z');
        if (upperLow <= upperHigh) addRange(veltrix::ascii::toLower(upperLow), veltrix::ascii::toLower(upperHigh));
        char16_t lowerLow = std::max<char16_t>(low, u'a'), lowerHigh = std::min<char16_t>(high, u'z');
        if (lowerLow <= lowerHigh) addRange(veltrix::ascii::toUpper(lowerLow), veltrix::ascii::toUpper(lowerHigh));
    }
    std::size_t characterCount = m_characters.size();
    for (std::size_t i = 0; i < characterCount; ++i) {
        char16_t unit = m_characters[i];
        char16_t other = unit >= u'a' && unit <= u'z' ? veltrix::ascii::toUpper(unit) : veltrix::ascii::toLower(unit);
        if (other != unit && !holdsDirectly(other)) addCharacter(other);
    }
}

bool CRangeElxT::contains(char16_t unit) const {
    if (unit < m_lowMembers.size()) return m_lowMembers.test(unit) == m_positive;
    bool member = holdsDirectly(unit);
    for (std::size_t i = 0; !member && i < m_nested.size(); ++i) member = m_nested[i]->contains(unit);
    return member == m_positive;
}

namespace {

// The C library's default ("C") locale classes; nothing above 255 belongs.
bool posixAlnum(char16_t c) { return c < 256 && std::isalnum(c); }
bool posixAlpha(char16_t c) { return c < 256 && std::isalpha(c); }
bool posixAscii(char16_t c) { return c < 128; }
bool posixCntrl(char16_t c) { return c < 256 && std::iscntrl(c); }
bool posixDigit(char16_t c) { return c < 256 && std::isdigit(c); }
bool posixGraph(char16_t c) { return c < 256 && std::isgraph(c); }
bool posixLower(char16_t c) { return c < 256 && std::islower(c); }
bool posixPrint(char16_t c) { return c < 256 && std::isprint(c); }
bool posixPunct(char16_t c) { return c < 256 && std::ispunct(c); }
bool posixSpace(char16_t c) { return c < 256 && std::isspace(c); }
bool posixUpper(char16_t c) { return c < 256 && std::isupper(c); }
bool posixXdigit(char16_t c) { return c < 256 && std::isxdigit(c); }
bool posixBlank(char16_t c) { return c == u' ' || c == u'\t'; }

struct PosixName {
    std::u16string_view name;
    CPosixElxT::Classifier classifier;
};

constexpr PosixName kPosixNames[] = {
    {u"alnum:", posixAlnum}, {u"alpha:", posixAlpha}, {u"ascii:", posixAscii}, {u"cntrl:", posixCntrl},
    {u"digit:", posixDigit}, {u"graph:", posixGraph}, {u"lower:", posixLower}, {u"print:", posixPrint},
    {u"punct:", posixPunct}, {u"space:", posixSpace}, {u"upper:", posixUpper}, {u"xdigit:", posixXdigit},
    {u"blank:", posixBlank},
};

}  // namespace

CPosixElxT::CPosixElxT(std::u16string_view name, Polarity polarity, regex::Direction direction)
    : CClassElx(direction), m_positive(polarity == Polarity::positive) {
    for (const PosixName& entry : kPosixNames) {
        if (entry.name == name) m_classifier = entry.classifier;
    }
}

bool CPosixElxT::contains(char16_t unit) const {
    if (m_classifier == nullptr) return false;
    return m_classifier(unit) == m_positive;
}

// ---- boundaries

bool CBoundaryElxT::test(const MatchContext& context) const {
    int p = context.position;
    int length = context.length;
    char16_t prev = p > 0 && p <= length ? context.at(p - 1) : 0;
    char16_t cur = p >= 0 && p < length ? context.at(p) : 0;
    switch (m_kind) {
        case BoundaryKind::textStart:
            return p == 0;
        case BoundaryKind::textEnd:
            return p >= length;
        case BoundaryKind::textEndBeforeNewline:
            return p >= length || (length >= 1 && context.at(length - 1) == u'\n' && p == length - 1) ||
                   (length >= 2 && context.at(length - 2) == u'\r' && context.at(length - 1) == u'\n' &&
                    p == length - 2);
        case BoundaryKind::lineStart:
            return p == 0 || prev == u'\n' || (prev == u'\r' && cur != u'\n');
        case BoundaryKind::lineEnd:
            return p >= length || cur == u'\r' || (cur == u'\n' && prev != u'\r');
        case BoundaryKind::wordStart:
            return !isWordUnit(prev) && isWordUnit(cur);
        case BoundaryKind::wordEnd:
            return isWordUnit(prev) && !isWordUnit(cur);
        case BoundaryKind::wordBoundary:
            return isWordUnit(prev) != isWordUnit(cur);
    }
    return false;
}

bool CBoundaryElxT::match(MatchContext& context) const { return holds(context); }

bool CBoundaryElxT::matchNext(MatchContext&) const { return false; }

bool CGlobalElxT::match(MatchContext& context) const { return context.position == context.searchStart; }

bool CGlobalElxT::matchNext(MatchContext&) const { return false; }

// ---- back-references

bool CBackrefElxT::match(MatchContext& context) const {
    int entry = context.latestCapture(m_number);
    if (entry < 0) return false;
    int start = context.captureField(entry, 1);
    int end = context.captureField(entry, 2);
    if (end == -1) end = context.position;
    int low = std::min(start, end), high = std::max(start, end);
    if (low < 0 || high > context.length) return false;
    std::u16string_view captured =
        context.text.substr(static_cast<std::size_t>(low), static_cast<std::size_t>(high - low));
    int size = high - low;
    int at = m_direction == regex::Direction::rightToLeft ? context.position - size : context.position;
    if (at < 0 || at + size > context.length) return false;
    // A capture can be as long as the text: "^(.*)\1$" over one long line
    // would otherwise compare for minutes within a few thousand steps.
    context.spend(size);
    if (!sameText(context, at, captured, m_caseMode)) return false;
    context.push(context.position);
    context.position = m_direction == regex::Direction::rightToLeft ? at : at + size;
    return true;
}

bool CBackrefElxT::matchNext(MatchContext& context) const {
    context.position = context.pop();
    return false;
}

// ---- first units

bool CEmptyElxT::collectFirstUnits(FirstUnits&) const { return true; }

bool CStringElxT::collectFirstUnits(FirstUnits& first) const {
    if (m_characters.empty()) return true;
    char16_t unit = m_direction == regex::Direction::rightToLeft ? m_characters.back() : m_characters.front();
    first.add(unit);
    if (m_caseMode == CaseMode::ignoreAsciiCase) {
        first.add(veltrix::ascii::toUpper(unit));
        first.add(veltrix::ascii::toLower(unit));
    }
    return false;
}

// A negated class holds nearly every unit; listing them would cost more than
// the skipping saves, so it leaves the start open.
bool CRangeElxT::collectFirstUnits(FirstUnits& first) const {
    if (!m_positive) {
        first.any = true;
        return false;
    }
    for (const auto& [low, high] : m_ranges) {
        for (std::uint32_t unit = low; unit <= high; ++unit) first.add(static_cast<char16_t>(unit));
    }
    for (char16_t unit : m_characters) first.add(unit);
    for (const CClassElx* nested : m_nested) nested->collectFirstUnits(first);
    return false;
}

bool CPosixElxT::collectFirstUnits(FirstUnits& first) const {
    if (m_classifier == nullptr) return false;  // never matches
    if (!m_positive) {
        first.any = true;
        return false;
    }
    for (std::uint32_t unit = 0; unit < 256; ++unit) {
        if (m_classifier(static_cast<char16_t>(unit))) first.add(static_cast<char16_t>(unit));
    }
    return false;
}

bool CBoundaryElxT::collectFirstUnits(FirstUnits&) const { return true; }

bool CGlobalElxT::collectFirstUnits(FirstUnits&) const { return true; }

bool CBackrefElxT::collectFirstUnits(FirstUnits& first) const {
    first.any = true;  // the captured text is not known before the search
    return true;
}
