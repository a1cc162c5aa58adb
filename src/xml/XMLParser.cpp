#include "xml/XMLParser.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <new>
#include <stdexcept>
#include <string>

#include "platform/win32.h"
#include "text/NarrowText.h"
#include "text/ReplacingFile.h"
#include "text/TextFile.h"
#include "xml/Utf16Search.h"

using namespace std::string_view_literals;

namespace {

// Name-start characters are the ASCII letters, ":" and "_"; name characters
// add the digits, "-" and ".".
constexpr unsigned char kNameStart = 1;
constexpr unsigned char kNameChar = 2;
constexpr std::array<unsigned char, 128> kNameClasses = [] {
    std::array<unsigned char, 128> classes{};
    for (char c = 'a'; c <= 'z'; ++c) classes[c] = classes[c - 'a' + 'A'] = kNameStart | kNameChar;
    classes[':'] = classes['_'] = kNameStart | kNameChar;
    for (char c = '0'; c <= '9'; ++c) classes[c] = kNameChar;
    classes['-'] = classes['.'] = kNameChar;
    return classes;
}();

inline bool isNameStart(char16_t c) { return c < 128 && (kNameClasses[c] & kNameStart); }
inline bool isNameChar(char16_t c) { return c < 128 && (kNameClasses[c] & kNameChar); }

bool isWhite(char16_t c) { return c <= u' '; }

std::u16string decimal(long long value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

[[noreturn]] void fail(int location, std::u16string message = {}) {
    throw xml::ParserException(std::move(message), location);
}

std::u16string attributeOf(const Element::Attributes& attributes, std::u16string_view name) {
    for (const auto& [key, value] : attributes) {
        if (key == name) return value;
    }
    return {};
}

}  // namespace

namespace xml {

std::u16string ParserException::displayText() const {
    return u"XMLParser line:" + decimal(m_location) + u"\r\n" + m_message;
}

}  // namespace xml

XMLParser::XMLParser() = default;
XMLParser::~XMLParser() = default;

std::unique_ptr<Element> XMLParser::createElement(std::u16string_view name) {
    // Tags repeat: elements share their names rather than each holding a copy.
    return std::make_unique<Element>(Element::SharedName{name});
}

void XMLParser::report(const std::u16string& text) {
    m_lastMessage = text;
    if (m_messageSink) m_messageSink(text);
}

bool XMLParser::parse(const std::u16string& path) {
    std::FILE* file = _wfopen(path.c_str(), u"rb");
    if (!file) return false;
    unsigned char mark[2] = {0, 0};
    const bool streamed = std::fread(mark, 1, 2, file) == 2 && mark[0] == 0xFF && mark[1] == 0xFE;
    std::u16string previous = m_filePath;
    bool ok;
    if (streamed) {
        // The program's own files: UTF-16LE is fed straight from the file in
        // pieces, without holding the whole file twice in memory.
        ok = parseUtf16Stream(file, path);
        std::fclose(file);
    } else {
        std::fclose(file);
        std::u16string text;
        if (readTextFile(path, text, encoding::kDetect) < 0 || text.empty()) return false;
        m_filePath = path;
        ok = parseString(text);
    }
    if (!ok) m_filePath = std::move(previous);
    return ok;
}

bool XMLParser::parseUtf16Stream(std::FILE* file, const std::u16string& path) {
    constexpr std::size_t kChunkBytes = 1u << 16;
    // The file's bytes are read straight into the units they form, one unit of
    // room more for an odd byte left over from the previous read.
    std::u16string chunk(kChunkBytes / 2 + 1, u'\0');
    char* const bytes = reinterpret_cast<char*>(chunk.data());
    std::size_t pending = 0;  // an odd byte left from the previous read
    bool started = false;
    bool ok = true;
    while (ok) {
        const std::size_t got = std::fread(bytes + pending, 1, kChunkBytes, file);
        if (got < kChunkBytes && std::ferror(file)) {
            if (started) endParse(false);
            return false;
        }
        const std::size_t available = pending + got;
        const bool atEnd = got < kChunkBytes;
        std::u16string_view text(chunk.data(), available / 2);
        // The text ends at its first zero character, as a C string would.
        const char16_t* zero = xml::findUnit(text.data(), text.data() + text.size(), u'\0');
        const bool cut = zero != text.data() + text.size();
        text = text.substr(0, static_cast<std::size_t>(zero - text.data()));
        if (!text.empty()) {
            if (!started) {
                m_filePath = path;
                beginParse();
                started = true;
            }
            ok = scan(text, atEnd || cut ? RowKeeping::Discard : RowKeeping::Carry);
        }
        if (atEnd || cut) break;
        pending = available % 2;
        if (pending) bytes[0] = bytes[available - 1];
    }
    return started && endParse(ok);
}

bool XMLParser::parseBytes(const void* data, std::size_t length) {
    std::u16string text;
    if (length == 0) return false;
    decodeBytes(data, length, text, encoding::kDetect);
    if (text.empty()) return false;
    return parseString(text);
}

bool XMLParser::parseString(std::u16string_view input) {
    beginParse();
    const bool ok = scan(input, RowKeeping::Discard);
    return endParse(ok);
}

void XMLParser::beginParse() {
    m_keptRoot = std::move(m_root);
    m_keptEncoding = m_declaredEncoding;
    m_keptDeclaration = m_declaration;
    m_current = nullptr;
    m_state = 0;
    m_tagKind = TagKind::ProcessingInstruction;
    m_openElements.clear();
    m_buffer.clear();
    m_entityBuffer.clear();  // a reference left open by an earlier text must not leak into this one
    m_tagAttributes.clear();
    m_lastError.reset();
    m_row = 1;
    m_column = 0;
    m_rowText.clear();
}

bool XMLParser::endParse(bool ok) {
    m_openElements.clear();
    m_current = nullptr;
    m_buffer.clear();
    m_rowText.clear();
    if (ok && m_root) {
        m_keptRoot.reset();
        m_keptDeclaration.clear();
        return true;
    }
    m_root = std::move(m_keptRoot);  // the partial tree goes with the assignment
    m_declaredEncoding = m_keptEncoding;
    m_declaration = std::move(m_keptDeclaration);
    return false;
}

// Where the character at offset `at` of this piece of input stands: rows
// counted from 1, the column being the number of characters before it on its
// row. Worked out only when needed, from the newlines before it.
XMLParser::Position XMLParser::positionAt(std::u16string_view input, std::size_t at) const {
    const char16_t* const first = input.data();
    const std::size_t newlines = xml::countUnit(first, first + at, u'\n');
    if (newlines == 0) return {m_row, m_column + static_cast<int>(at), std::u16string_view::npos};
    const std::size_t rowStart = input.rfind(u'\n', at - 1) + 1;
    return {m_row + static_cast<int>(newlines), static_cast<int>(at - rowStart), rowStart};
}

const char16_t* XMLParser::takeRun(const char16_t* p, const char16_t* const end) {
    // A run takes characters whose only effect, fed one at a time, would be to
    // be appended to a token or to be passed over in the same state; the
    // character that ends it goes through feed().
    while (p != end) {
        const char16_t* q = p;
        switch (m_state) {
            case 0:    // character data
            case 8: {  // attribute value
                // "<" ends character data, and the quote a value, even inside a reference.
                const char16_t closing = m_state == 0 ? u'<' : m_quote;
                if (!m_entityBuffer.empty()) {
                    q = xml::findEither(p, end, u';', closing);
                    m_entityBuffer.append(p, q);
                    return q;
                }
                q = xml::findEither(p, end, u'&', closing);
                // Text that lies whole in this piece goes to its node without the buffer.
                if (m_state == 0 && q != end && *q == u'<' && m_buffer.empty()) {
                    if (q != p) addText(std::u16string_view(p, static_cast<std::size_t>(q - p)), false);
                    return q;
                }
                // So does a value without references, and its closing quote is taken.
                if (m_state == 8 && q != end && *q == m_quote && m_buffer.empty()) {
                    m_tagAttributes.back().second.assign(p, q);
                    m_state = 5;
                    p = q + 1;
                    break;
                }
                m_buffer.append(p, q);
                return q;
            }
            case 2:  // tag name
            case 6:  // attribute name
                while (q != end && isNameChar(*q)) ++q;
                m_buffer.append(p, q);
                return q;
            case 3: {  // after "<!"
                // A comment, CDATA section or document type declaration whose
                // opening lies whole in this piece is taken at once; the state
                // it leads to is the one its characters fed one at a time
                // reach, with the same buffer.
                if (m_buffer.empty()) {
                    const std::u16string_view ahead(p, static_cast<std::size_t>(std::min<std::ptrdiff_t>(end - p, 7)));
                    int next = 0;
                    std::size_t taken = 0;
                    if (ahead.starts_with(u"--"sv))
                        next = 9, taken = 2;
                    else if (ahead == u"[CDATA["sv)
                        next = 12, taken = 7;
                    else if (ahead == u"DOCTYPE"sv)
                        next = 15, taken = 7;
                    if (next) {
                        m_buffer.assign(ahead.substr(0, taken));
                        m_state = next;
                        p += taken;
                        break;
                    }
                }
                // An unknown declaration swallows the rest of the text.
                return m_buffer.size() >= 7 ? end : p;
            }
            case 5:  // between attributes
                while (q != end && isWhite(*q)) ++q;
                return q;
            case 9:
                return xml::findUnit(p, end, u'-');  // comment
            case 12: {                               // CDATA content
                // The section ends at the first "]]>". When that lies in this piece,
                // the content goes to its node at once, without the buffer or the
                // states that track a "]" or two.
                for (const char16_t* from = p;; from = q + 1) {
                    q = xml::findUnit(from, end, u']');
                    if (end - q < 3 || (q[1] == u']' && q[2] == u'>')) break;
                }
                if (end - q < 3) {
                    // No end in this piece, or not all of it: the content up to q
                    // holds none and is taken; the "]" or two at q may begin one
                    // and go through the states that track them.
                    m_buffer.append(p, q);
                    return q;
                }
                std::u16string_view content(p, static_cast<std::size_t>(q - p));
                if (m_buffer.size() > 7) {  // begun in an earlier piece, after "[CDATA["
                    m_buffer.append(content);
                    content = std::u16string_view(m_buffer).substr(7);
                }
                if (!content.empty()) addText(content, true);
                m_buffer.clear();
                m_state = 0;
                p = q + 3;
                break;
            }
            case 15:
                return xml::findUnit(p, end, u'>');  // document type declaration
            default:
                return p;
        }
    }
    return p;
}

bool XMLParser::scan(std::u16string_view input, RowKeeping keeping) {
    const char16_t* const begin = input.data();
    const char16_t* const end = begin + input.size();
    const char16_t* p = begin;
    try {
        while (p != end) {
            p = takeRun(p, end);
            if (p == end) break;
            try {
                feed(*p);
            } catch (xml::ParserException& e) {
                const std::size_t at = static_cast<std::size_t>(p - begin);
                const Position where = positionAt(input, at);
                e.setPosition(where.row, where.column);
                std::u16string failingRow;
                if (where.rowStart == std::u16string_view::npos) failingRow = m_rowText;
                const std::size_t rowStart = where.rowStart == std::u16string_view::npos ? 0 : where.rowStart;
                failingRow.append(input.substr(rowStart, at + 1 - rowStart));
                m_lastError = e;
                report(u"Exception in XMLParser.parse():\r\n" + e.displayText() + u"\r\nRow:" + decimal(where.row) +
                       u" Col:" + decimal(where.column) + u" in " + m_filePath + u"\r\n" + failingRow);
                return false;
            }
            ++p;
        }
    } catch (const std::bad_alloc&) {
        const Position where = positionAt(input, static_cast<std::size_t>(p - begin));
        m_lastError = xml::ParserException(u"out of memory", 0, where.row, where.column);
        return false;
    }
    if (keeping == RowKeeping::Carry) {
        const Position next = positionAt(input, input.size());
        m_row = next.row;
        m_column = next.column;
        if (next.rowStart == std::u16string_view::npos)
            m_rowText.append(input);
        else
            m_rowText.assign(input.substr(next.rowStart));
    }
    return true;
}

void XMLParser::characterData(char16_t c) {
    if (!m_entityBuffer.empty()) {
        if (c != u';') {
            m_entityBuffer += c;
            return;
        }
        if (m_entityBuffer == u"&amp")
            m_buffer += u'&';
        else if (m_entityBuffer == u"&lt")
            m_buffer += u'<';
        else if (m_entityBuffer == u"&gt")
            m_buffer += u'>';
        else if (m_entityBuffer == u"&quot")
            m_buffer += u'"';
        else if (m_entityBuffer == u"&apos")
            m_buffer += u'\'';
        m_entityBuffer.clear();
        return;
    }
    if (c == u'&')
        m_entityBuffer = u"&";
    else
        m_buffer += c;
}

void XMLParser::addText(std::u16string_view text, bool isCData) {
    if (!m_current) return;
    if (isCData) {
        std::unique_ptr<Element> node = createElement({});
        node->setCData(text);
        m_current->appendChild(std::move(node));
        return;
    }
    const bool visible = std::any_of(text.begin(), text.end(), [](char16_t c) { return !isWhite(c); });
    if (visible) {
        std::unique_ptr<Element> node = createElement({});
        node->setText(std::u16string(text));
        m_current->appendChild(std::move(node));
    } else {
        m_current->setText(std::u16string(text));
    }
}

void XMLParser::feed(char16_t c) {
    switch (m_state) {
        case 0:  // character data
            if (c == u'<') {
                if (!m_buffer.empty()) addText(m_buffer, false);
                m_tagAttributes.clear();
                m_buffer.clear();
                m_state = 1;
            } else {
                characterData(c);
            }
            break;
        case 1:  // after "<"
            if (isNameStart(c)) {
                m_buffer.assign(1, c);
                m_tagKind = TagKind::Start;
                m_state = 2;
            } else if (c == u'/') {
                m_tagKind = TagKind::End;
                m_state = 2;
            } else if (c == u'?') {
                m_tagKind = TagKind::ProcessingInstruction;
                m_state = 2;
            } else if (c == u'!') {
                m_tagKind = TagKind::MarkupDeclaration;
                m_state = 3;
            } else {
                fail(221);
            }
            break;
        case 2:  // tag name
            if (isNameChar(c)) {
                m_buffer += c;
                break;
            }
            m_tagName = m_buffer;
            m_buffer.clear();
            if (c == u'>') {
                completeTag();
                m_state = 0;
            } else if (c == u'/') {
                if (m_tagKind != TagKind::Start) fail(235);
                m_tagKind = TagKind::EmptyElement;
                m_state = 4;
            } else if (isWhite(c)) {
                m_state = 5;
            } else {
                fail(242);
            }
            break;
        case 3:  // after "<!"
            // Nothing can match once seven characters are in: an unknown declaration
            // swallows the rest of the text without growing the buffer with it.
            if (m_buffer.size() >= 7) break;
            m_buffer += c;
            if (std::u16string_view(m_buffer) == u"--"sv)
                m_state = 9;
            else if (std::u16string_view(m_buffer) == u"[CDATA["sv)
                m_state = 12;
            else if (std::u16string_view(m_buffer) == u"DOCTYPE"sv)
                m_state = 15;
            break;
        case 4:  // expecting ">"
            if (c != u'>') fail(302);
            completeTag();
            m_state = 0;
            break;
        case 5:  // between attributes
            if (isNameStart(c)) {
                m_buffer.assign(1, c);
                m_state = 6;
            } else if (c == u'>') {
                completeTag();
                m_state = 0;
            } else if (c == u'?') {
                if (m_tagKind != TagKind::ProcessingInstruction) fail(257);
                m_state = 4;
            } else if (c == u'/') {
                if (m_tagKind != TagKind::Start) fail(261);
                m_tagKind = TagKind::EmptyElement;
                m_state = 4;
            } else if (!isWhite(c)) {
                fail(266);
            }
            break;
        case 6:  // attribute name
            if (isNameChar(c)) {
                m_buffer += c;
            } else if (c == u'=') {
                m_tagAttributes.emplace_back(m_buffer, std::u16string());  // the value comes with the closing quote
                m_buffer.clear();
                m_state = 7;
            } else {
                fail(277);
            }
            break;
        case 7:  // after "="
            if (c != u'"' && c != u'\'') fail(285);
            m_quote = c;
            m_state = 8;
            break;
        case 8:  // attribute value
            if (c == m_quote) {
                m_tagAttributes.back().second = m_buffer;
                m_buffer.clear();
                m_state = 5;
            } else {
                characterData(c);
            }
            break;
        case 9:  // comment
            if (c == u'-') m_state = 10;
            break;
        case 10:  // comment, one "-" seen
            m_state = c == u'-' ? 11 : 9;
            break;
        case 11:  // comment, "--" seen
            if (c == u'>') {
                m_buffer.clear();
                m_state = 0;
            } else if (c != u'-') {
                m_state = 9;
            }
            break;
        case 12:  // CDATA content
            m_buffer += c;
            if (c == u']') m_state = 13;
            break;
        case 13:  // CDATA, one "]" seen
            m_buffer += c;
            m_state = c == u']' ? 14 : 12;
            break;
        case 14:  // CDATA, "]]" seen
            if (c == u'>') {
                if (m_buffer.size() > 9) addText(std::u16string_view(m_buffer).substr(7, m_buffer.size() - 9), true);
                m_buffer.clear();
                m_state = 0;
            } else {
                m_buffer += c;
                if (c != u']') m_state = 12;
            }
            break;
        case 15:  // document type declaration
            if (c == u'>') {
                m_buffer.clear();
                m_state = 0;
            }
            break;
    }
}

void XMLParser::completeTag() {
    Element::sortAttributes(m_tagAttributes);
    switch (m_tagKind) {
        case TagKind::Start:
            openElement();
            break;
        case TagKind::EmptyElement:
            openElement();
            closeElement();
            break;
        case TagKind::End:
            closeElement();
            break;
        case TagKind::ProcessingInstruction:
            if (m_tagName == u"xml") processDeclaration();
            break;
        case TagKind::MarkupDeclaration:
            break;
    }
}

void XMLParser::openElement() {
    std::unique_ptr<Element> element = createElement(m_tagName);
    if (!m_tagAttributes.empty()) {
        // The strings move to the element in a list of their exact number; the
        // parser's list keeps its room for the next tag.
        element->setAttributes(Element::Attributes(std::make_move_iterator(m_tagAttributes.begin()),
                                                   std::make_move_iterator(m_tagAttributes.end())));
    }
    Element* opened = element.get();
    if (m_current)
        m_current->appendChild(std::move(element));
    else
        m_root = std::move(element);
    m_current = opened;
    m_openElements.push_back(opened);
}

void XMLParser::closeElement() {
    if (!m_current) fail(529, u"要素");
    if (m_current->getName() != m_tagName) {
        fail(534,
             u"要素が部分的に重ねられています\u3000<A><B></A></B>\r\n" + m_tagName + u" > " + m_current->getName());
    }
    m_current->setEmptyTag(m_tagKind == TagKind::EmptyElement);
    if (!m_openElements.empty()) m_openElements.pop_back();
    if (m_current->parent()) m_current = m_current->parent();
}

void XMLParser::processDeclaration() {
    const std::u16string version = attributeOf(m_tagAttributes, u"version");
    const std::u16string encodingName = attributeOf(m_tagAttributes, u"encoding");
    if (version.empty()) fail(456, u"version attribute is empty");
    if (encodingName.empty()) fail(458, u"encoding attribute is empty");

    std::u16string declaration = u"<?xml version=\"" + version + u"\" encoding=\"" + encodingName + u"\"";
    for (const auto& [name, value] : m_tagAttributes) {
        if (name == u"version" || name == u"encoding") continue;
        declaration += u' ' + name + u"=\"" + value + u"\"";
    }
    declaration += u"?>";
    m_declaration = std::move(declaration);

    std::u16string reduced;
    for (char16_t c : encodingName) {
        if (c >= u'a' && c <= u'z')
            reduced += static_cast<char16_t>(c - u'a' + u'A');
        else if ((c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9'))
            reduced += c;
    }
    if (reduced == u"EUCJP")
        m_declaredEncoding = kEucJp;
    else if (reduced == u"SHIFTJIS")
        m_declaredEncoding = kShiftJis;
    else if (reduced == u"UTF8")
        m_declaredEncoding = kUtf8;
    else if (reduced == u"UTF16")
        m_declaredEncoding = kUtf16;
}

std::vector<Element*> XMLParser::getElementsByTagName(std::u16string_view name) const {
    std::vector<Element*> list;
    if (!m_root) return list;
    if (m_root->getName() == name) list.push_back(m_root.get());
    m_root->getElementsByTagName(name, list);
    return list;
}

bool XMLParser::saveAs(const std::u16string& path) {
    if (!m_root) {
        report(
            u"XMLParser.saveAs() is called, but rootElement is null so couldn't save xml file.\nIt may be a kind "
            u"of bag.");
        return false;
    }
    try {
        return writeDocument(path);
    } catch (const std::bad_alloc&) {
        return false;  // a tree too deep to indent within memory
    } catch (const std::length_error&) {
        return false;
    }
}

bool XMLParser::writeDocument(const std::u16string& path) {
    std::u16string text =
        (m_declaration.empty() ? std::u16string(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>") : m_declaration) +
        u"\r\n";
    if (text.find(u"Shift_JIS") != std::u16string::npos)
        m_declaredEncoding = kShiftJis;
    else if (text.find(u"UTF-8") != std::u16string::npos)
        m_declaredEncoding = kUtf8;
    text += m_root->toString();

    std::string bytes;
    switch (m_declaredEncoding) {
        case kUtf8:
            bytes = "\xEF\xBB\xBF" + encodeText(text, encoding::kUtf8);
            break;
        case kEucJp:
            bytes = encodeText(text, encoding::kEucJp);
            break;
        case kShiftJis:
            bytes = encodeCodePage(text, 932);
            break;
        default:
            bytes = "\xFF\xFE" + encodeText(text, encoding::kUtf16LE);
            break;
    }
    ReplacingFile out(path);
    if (!out.file()) return false;
    if (std::fwrite(bytes.data(), 1, bytes.size(), out.file()) != bytes.size()) return false;
    return out.commit();
}
