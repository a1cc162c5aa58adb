#include "xml/HtmlReader.h"

#include "platform/common/AsciiCase.h"
#include "xml/PageText.h"

namespace {

// Tag names end at these; a tab belongs to the name.
bool endsName(char16_t c) { return c == u'\n' || c == u'\r' || c == u' ' || c == u'>'; }
bool isBlank(char16_t c) { return c == u'\t' || c == u'\n' || c == u'\r' || c == u' '; }

}  // namespace

void HtmlReader::read(std::u16string_view page) {
    m_elements.clear();
    m_title.clear();
    m_tagName.clear();
    m_tagAttributes.clear();
    m_input = page;
    m_position = 0;

    // How many `pre` elements are open: their tags get no elements. A count
    // rather than nested reading, so any depth of nesting costs no stack.
    std::size_t preDepth = 0;
    while (nextTag()) {
        const std::u16string name = m_tagName;
        if (name == u"script" || name == u"style") {
            skipToEndTag(u"/" + name);
        } else if (name == u"pre") {
            ++preDepth;
        } else if (name == u"/pre") {
            if (preDepth > 0) --preDepth;
        } else if (name == u"a") {
            makeElement();
            skipToEndTag(u"/a");
        } else if (name == u"ruby") {
            skipToEndTag(u"/ruby");
        } else if (preDepth == 0 && !name.empty() && name[0] != u'/') {
            makeElement();
        }
    }
    m_title = decodeBasicEntities(m_title);
    m_input = {};
}

std::vector<Element*> HtmlReader::getElementsByTagName(std::u16string_view name) const {
    std::vector<Element*> list;
    auto it = m_elements.find(name);
    if (it != m_elements.end())
        for (const auto& element : it->second) list.push_back(element.get());
    return list;
}

bool HtmlReader::nextTag() {
    for (;;) {
        const std::size_t open = m_input.find(u'<', m_position);
        if (open == std::u16string_view::npos) {
            m_position = m_input.size();
            return false;
        }
        if (m_input.substr(open + 1, 3) == u"!--") {
            const std::size_t close = m_input.find(u"-->", open + 4);
            m_position = close == std::u16string_view::npos ? m_input.size() : close + 3;
            continue;
        }
        if (open + 1 < m_input.size() && m_input[open + 1] == u'>') {
            m_position = open + 2;
            continue;
        }
        m_position = open + 1;
        if (scanTag()) return true;
        m_position = m_input.size();
        return false;
    }
}

bool HtmlReader::scanTag() {
    m_tagName.clear();
    m_tagAttributes.clear();
    while (!atEnd() && !endsName(m_input[m_position])) m_tagName += veltrix::ascii::toLower(m_input[m_position++]);
    for (;;) {
        if (atEnd()) return false;
        if (m_input[m_position] == u'>') {
            ++m_position;
            return true;
        }
        while (!atEnd() && isBlank(m_input[m_position])) ++m_position;
        if (atEnd()) return false;
        const char16_t c = m_input[m_position];
        if (c == u'>') {
            ++m_position;
            return true;
        }
        if (c == u'/') {
            // "/" ends the tag together with the character after it.
            if (m_position + 1 >= m_input.size()) return false;
            m_position += 2;
            return true;
        }
        if (!scanAttribute()) return false;
    }
}

bool HtmlReader::scanAttribute() {
    std::u16string name;
    while (!atEnd() && m_input[m_position] != u'=' && m_input[m_position] != u'>') {
        if (!isBlank(m_input[m_position])) name += veltrix::ascii::toLower(m_input[m_position]);
        ++m_position;
    }
    if (atEnd()) return false;
    if (m_input[m_position] == u'>') {
        // A name without a value; the ">" is left to end the tag.
        if (!name.empty()) m_tagAttributes.try_emplace(std::move(name));
        return true;
    }
    ++m_position;  // the "="
    while (!atEnd() && isBlank(m_input[m_position])) ++m_position;
    if (atEnd()) return false;
    if (m_input[m_position] == u'>') return true;  // "name=>": not stored

    std::u16string value;
    const char16_t first = m_input[m_position];
    if (first == u'"' || first == u'\'') {
        ++m_position;
        while (!atEnd() && m_input[m_position] != first && m_input[m_position] != u'>') value += m_input[m_position++];
        if (atEnd()) return false;
        if (m_input[m_position] == first) ++m_position;
    } else {
        while (!atEnd() && m_input[m_position] != u' ' && m_input[m_position] != u'>') value += m_input[m_position++];
        if (atEnd()) return false;
    }
    if (!name.empty()) m_tagAttributes.try_emplace(std::move(name), std::move(value));
    return true;
}

void HtmlReader::skipToEndTag(const std::u16string& endTag) {
    while (nextTag())
        if (m_tagName == endTag) return;
}

void HtmlReader::makeElement() {
    if (m_tagName.empty()) return;
    auto element = std::make_unique<Element>(m_tagName);
    for (const auto& [name, value] : m_tagAttributes) element->setAttribute(name, value);
    if (m_tagName == u"title") {
        const std::size_t end = m_input.find(u'<', m_position);
        m_title +=
            m_input.substr(m_position, end == std::u16string_view::npos ? std::u16string_view::npos : end - m_position);
    }
    m_elements[m_tagName].push_back(std::move(element));
}
