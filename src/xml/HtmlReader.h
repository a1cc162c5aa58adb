// Reads what the downloaders need from a web page that is not well-formed
// XML: the start tags of a name with their attributes (above all every `a`
// and its href), and the title. One forgiving pass that never fails and never
// recurses, whatever the markup.
//
// Rules of the pass: comments are skipped; tag names and attribute names are
// lower-cased; of an attribute given twice the first is kept; values stay as
// written. The content of script and style is skipped; an `a` gets an
// element and hides the tags up to its "/a" (an unclosed `a` hides the rest of
// the page); tags inside `ruby` and `pre` get none (an `a` inside `pre` still
// does); end tags get none. A tag that runs to the end of the input is
// dropped.
//
// Invariants: elements[name] lists, in document order, one Element per start
// tag of that name, holding only the name and a copy of the attributes; the
// reader owns them until the next read() or its destruction.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "xml/Element.h"

class HtmlReader {
public:
    HtmlReader() = default;
    HtmlReader(const HtmlReader&) = delete;
    HtmlReader& operator=(const HtmlReader&) = delete;

    // Resets the reader and reads the page (which need not outlive the call).
    void read(std::u16string_view page);
    // The elements of the start tags with this lower-case name, in document
    // order (empty when there are none).
    std::vector<Element*> getElementsByTagName(std::u16string_view name) const;
    // The text after each `title` start tag up to the next "<", all of them
    // joined, with decodeBasicEntities applied.
    const std::u16string& getTitle() const { return m_title; }

private:
    // Finds the next tag from the current position, skipping comments and
    // "<>", and scans it into m_tagName and m_tagAttributes. False at the end
    // of the input (a tag cut off by the end counts as the end).
    bool nextTag();
    bool scanTag();
    bool scanAttribute();
    void skipToEndTag(const std::u16string& endTag);
    void makeElement();
    bool atEnd() const { return m_position >= m_input.size(); }

    std::u16string_view m_input;
    std::size_t m_position = 0;
    std::u16string m_tagName;
    std::map<std::u16string, std::u16string> m_tagAttributes;  // first occurrence of each name
    std::map<std::u16string, std::vector<std::unique_ptr<Element>>, std::less<>> m_elements;
    std::u16string m_title;
};
