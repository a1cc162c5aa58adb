#include "xml/ReferenceXmlReader.h"

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "xml/Element.h"

namespace {

std::u16string number(long long value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

// One field of a description: its length first, so that no text can pass for
// the end of a field.
void field(std::u16string& out, std::u16string_view text) {
    out += number(static_cast<long long>(text.size()));
    out += u':';
    out += text;
    out += u' ';
}

struct Node {
    std::u16string name;
    std::u16string text;
    std::map<std::u16string, std::u16string> attributes;  // ordered by UTF-16 code unit
    bool cdata = false;
    bool emptyTag = false;
    Node* parent = nullptr;
    std::vector<std::unique_ptr<Node>> children;
};

void describeNode(std::u16string& out, int depth, const std::u16string& name, const std::u16string& text,
                  const std::vector<std::pair<std::u16string, std::u16string>>& attributes, bool cdata, bool emptyTag) {
    out += number(depth);
    out += name.empty() ? (cdata ? u" C " : u" T ") : u" E ";
    field(out, name);
    for (const auto& [key, value] : attributes) {
        field(out, key);
        field(out, value);
    }
    out += u"| ";
    field(out, text);
    if (emptyTag) out += u'/';
    out += u'\n';
}

std::u16string describe(const Node& root) {
    std::u16string out;
    std::vector<std::pair<const Node*, int>> stack{{&root, 0}};
    while (!stack.empty()) {
        auto [node, depth] = stack.back();
        stack.pop_back();
        describeNode(out, depth, node->name, node->text, {node->attributes.begin(), node->attributes.end()},
                     node->cdata, node->emptyTag);
        for (auto it = node->children.rbegin(); it != node->children.rend(); ++it)
            stack.push_back({it->get(), depth + 1});
    }
    return out;
}

bool isNameStart(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u':' || c == u'_'; }
bool isNameChar(char16_t c) { return isNameStart(c) || (c >= u'0' && c <= u'9') || c == u'-' || c == u'.'; }

struct Failure {
    int location;
    std::u16string message;
};

enum Kind { PI, Declaration, EmptyTag, StartTag, EndTag };

class Reader {
public:
    ReferenceOutcome read(std::u16string_view text, std::u16string_view filePath) {
        ReferenceOutcome outcome;
        int row = 1, column = 0;
        std::size_t rowStart = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            try {
                feed(text[i]);
            } catch (const Failure& failure) {
                outcome.location = failure.location;
                outcome.row = row;
                outcome.column = column;
                outcome.message = u"Exception in XMLParser.parse():\r\nXMLParser line:" + number(failure.location) +
                                  u"\r\n" + failure.message + u"\r\nRow:" + number(row) + u" Col:" + number(column) +
                                  u" in " + std::u16string(filePath) + u"\r\n" +
                                  std::u16string(text.substr(rowStart, i + 1 - rowStart));
                return outcome;  // a fresh parser's declaration and encoding stay
            }
            if (text[i] == u'\n') {
                ++row;
                column = 0;
                rowStart = i + 1;
            } else {
                ++column;
            }
        }
        if (!m_root) return outcome;
        outcome.ok = true;
        outcome.tree = describe(*m_root);
        outcome.declaration = m_declaration;
        outcome.declaredEncoding = m_encoding;
        return outcome;
    }

private:
    void feed(char16_t c) {
        switch (m_state) {
            case 0:
                if (c == u'<') {
                    if (!m_buffer.empty()) text(m_buffer, false);
                    m_attributes.clear();
                    m_buffer.clear();
                    m_state = 1;
                } else {
                    characterData(c);
                }
                return;
            case 1:
                if (isNameStart(c)) {
                    m_buffer = std::u16string(1, c);
                    m_kind = StartTag;
                    m_state = 2;
                } else if (c == u'/') {
                    m_kind = EndTag;
                    m_state = 2;
                } else if (c == u'?') {
                    m_kind = PI;
                    m_state = 2;
                } else if (c == u'!') {
                    m_kind = Declaration;
                    m_state = 3;
                } else {
                    throw Failure{221, {}};
                }
                return;
            case 2:
                if (isNameChar(c)) {
                    m_buffer += c;
                    return;
                }
                m_tagName = m_buffer;
                m_buffer.clear();
                if (c == u'>') {
                    complete();
                    m_state = 0;
                } else if (c == u'/') {
                    if (m_kind != StartTag) throw Failure{235, {}};
                    m_kind = EmptyTag;
                    m_state = 4;
                } else if (c <= u' ') {
                    m_state = 5;
                } else {
                    throw Failure{242, {}};
                }
                return;
            case 3:
                m_buffer += c;
                if (m_buffer == u"--")
                    m_state = 9;
                else if (m_buffer == u"[CDATA[")
                    m_state = 12;
                else if (m_buffer == u"DOCTYPE")
                    m_state = 15;
                return;
            case 4:
                if (c != u'>') throw Failure{302, {}};
                complete();
                m_state = 0;
                return;
            case 5:
                if (isNameStart(c)) {
                    m_buffer = std::u16string(1, c);
                    m_state = 6;
                } else if (c == u'>') {
                    complete();
                    m_state = 0;
                } else if (c == u'?') {
                    if (m_kind != PI) throw Failure{257, {}};
                    m_state = 4;
                } else if (c == u'/') {
                    if (m_kind != StartTag) throw Failure{261, {}};
                    m_kind = EmptyTag;
                    m_state = 4;
                } else if (c > u' ') {
                    throw Failure{266, {}};
                }
                return;
            case 6:
                if (isNameChar(c)) {
                    m_buffer += c;
                } else if (c == u'=') {
                    m_attributeName = m_buffer;
                    m_buffer.clear();
                    m_state = 7;
                } else {
                    throw Failure{277, {}};
                }
                return;
            case 7:
                if (c != u'"' && c != u'\'') throw Failure{285, {}};
                m_quote = c;
                m_state = 8;
                return;
            case 8:
                if (c == m_quote) {
                    m_attributes[m_attributeName] = m_buffer;
                    m_buffer.clear();
                    m_state = 5;
                } else {
                    characterData(c);
                }
                return;
            case 9:
                if (c == u'-') m_state = 10;
                return;
            case 10:
                m_state = c == u'-' ? 11 : 9;
                return;
            case 11:
                if (c == u'>') {
                    m_buffer.clear();
                    m_state = 0;
                } else if (c != u'-') {
                    m_state = 9;
                }
                return;
            case 12:
                m_buffer += c;
                if (c == u']') m_state = 13;
                return;
            case 13:
                m_buffer += c;
                m_state = c == u']' ? 14 : 12;
                return;
            case 14:
                if (c == u'>') {
                    if (m_buffer.size() > 9) text(m_buffer.substr(7, m_buffer.size() - 9), true);
                    m_buffer.clear();
                    m_state = 0;
                } else {
                    m_buffer += c;
                    if (c != u']') m_state = 12;
                }
                return;
            case 15:
                if (c == u'>') {
                    m_buffer.clear();
                    m_state = 0;
                }
                return;
        }
    }

    void characterData(char16_t c) {
        if (m_collecting) {
            if (c != u';') {
                m_entity += c;
                return;
            }
            const std::pair<const char16_t*, char16_t> known[] = {
                {u"&amp", u'&'}, {u"&lt", u'<'}, {u"&gt", u'>'}, {u"&quot", u'"'}, {u"&apos", u'\''}};
            for (const auto& [name, character] : known) {
                if (m_entity == name) m_buffer += character;
            }
            m_collecting = false;
            m_entity.clear();
        } else if (c == u'&') {
            m_collecting = true;
            m_entity = u"&";
        } else {
            m_buffer += c;
        }
    }

    void text(const std::u16string& content, bool cdata) {
        if (!m_current) return;
        if (cdata) {
            auto node = std::make_unique<Node>();
            node->cdata = true;
            for (std::size_t i = 0; i < content.size(); ++i) {
                if (content.compare(i, 3, u"]]>") == 0) {
                    node->text += u"]]&gt;";
                    i += 2;
                } else {
                    node->text += content[i];
                }
            }
            append(std::move(node));
            return;
        }
        bool visible = false;
        for (char16_t c : content) visible = visible || c > u' ';
        if (visible) {
            auto node = std::make_unique<Node>();
            node->text = content;
            append(std::move(node));
        } else {
            m_current->text = content;
        }
    }

    Node* append(std::unique_ptr<Node> node) {
        node->parent = m_current;
        m_current->children.push_back(std::move(node));
        return m_current->children.back().get();
    }

    void complete() {
        switch (m_kind) {
            case StartTag:
            case EmptyTag: {
                auto node = std::make_unique<Node>();
                node->name = m_tagName;
                node->attributes = m_attributes;
                if (m_current) {
                    m_current = append(std::move(node));
                } else {
                    m_root = std::move(node);
                    m_current = m_root.get();
                }
                if (m_kind == EmptyTag) close();
                return;
            }
            case EndTag:
                close();
                return;
            case PI:
                if (m_tagName == u"xml") declaration();
                return;
            case Declaration:
                return;
        }
    }

    void close() {
        if (!m_current) throw Failure{529, u"要素"};
        if (m_current->name != m_tagName) {
            throw Failure{
                534, u"要素が部分的に重ねられています\u3000<A><B></A></B>\r\n" + m_tagName + u" > " + m_current->name};
        }
        m_current->emptyTag = m_kind == EmptyTag;
        if (m_current->parent) m_current = m_current->parent;
    }

    void declaration() {
        const std::u16string version = m_attributes.count(u"version") ? m_attributes[u"version"] : u"";
        const std::u16string encoding = m_attributes.count(u"encoding") ? m_attributes[u"encoding"] : u"";
        if (version.empty()) throw Failure{456, u"version attribute is empty"};
        if (encoding.empty()) throw Failure{458, u"encoding attribute is empty"};
        m_declaration = u"<?xml version=\"" + version + u"\" encoding=\"" + encoding + u"\"";
        for (const auto& [name, value] : m_attributes) {
            if (name != u"version" && name != u"encoding") m_declaration += u" " + name + u"=\"" + value + u"\"";
        }
        m_declaration += u"?>";
        std::u16string reduced;
        for (char16_t c : encoding) {
            if (c >= u'a' && c <= u'z')
                reduced += static_cast<char16_t>(c - 32);
            else if ((c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9'))
                reduced += c;
        }
        if (reduced == u"EUCJP")
            m_encoding = 2;
        else if (reduced == u"SHIFTJIS")
            m_encoding = 3;
        else if (reduced == u"UTF8")
            m_encoding = 0;
        else if (reduced == u"UTF16")
            m_encoding = 1;
    }

    int m_state = 0;
    Kind m_kind = PI;
    std::u16string m_buffer, m_tagName, m_attributeName, m_entity;
    bool m_collecting = false;
    char16_t m_quote = 0;
    std::map<std::u16string, std::u16string> m_attributes;
    std::unique_ptr<Node> m_root;
    Node* m_current = nullptr;
    std::u16string m_declaration;
    int m_encoding = 1;
};

}  // namespace

ReferenceOutcome referenceRead(std::u16string_view text, std::u16string_view filePath) {
    return Reader().read(text, filePath);
}

std::u16string describeTree(const Element& root) {
    std::u16string out;
    std::vector<std::pair<const Element*, int>> stack{{&root, 0}};
    while (!stack.empty()) {
        auto [node, depth] = stack.back();
        stack.pop_back();
        describeNode(out, depth, node->getName(), node->ownText(), node->attributes(), node->isCData(),
                     node->isEmptyTag());
        std::vector<const Element*> children;
        for (const Element* child = node->firstChild(); child; child = child->next()) children.push_back(child);
        for (auto it = children.rbegin(); it != children.rend(); ++it) stack.push_back({*it, depth + 1});
    }
    return out;
}
