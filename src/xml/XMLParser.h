// A small, tolerant XML reader for the program's own files and for simple XML
// from web services: elements, attributes, character data with the five
// predefined entities, CDATA sections, comments, a skipped document type
// declaration and the XML declaration, whose encoding is kept for saving. It
// does not validate and does not decode bytes itself: files are decoded to
// UTF-16 by the text-file reader first.
//
// Contract: a parse either succeeds and replaces the tree, or fails and leaves
// the previous tree (and the remembered declaration) as they were. Any input,
// however broken, deep or long, ends in true or false in time linear in its
// length; nothing recurses over the input.
#pragma once

#include <cstddef>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "xml/Element.h"
#include "xml/ParserException.h"

class XMLParser {
public:
    // Where the parser's user-facing messages go (the owner shows them in a box
    // captioned "Veltrix"). Without a sink they are only kept in lastMessage().
    using MessageSink = std::function<void(const std::u16string& text)>;

    // declaredEncoding values.
    static constexpr int kUtf8 = 0;
    static constexpr int kUtf16 = 1;
    static constexpr int kEucJp = 2;
    static constexpr int kShiftJis = 3;

    XMLParser();
    virtual ~XMLParser();
    XMLParser(const XMLParser&) = delete;
    XMLParser& operator=(const XMLParser&) = delete;

    // The factory for every node the parser builds (an empty name for text and
    // CDATA nodes); a derived parser may build its own subclass of Element.
    virtual std::unique_ptr<Element> createElement(std::u16string_view name);
    // Parses text; true when no error was raised and a root element exists.
    virtual bool parseString(std::u16string_view text);

    // Reads the file with encoding detection and parses it. A missing, unreadable
    // or empty file is false at once, without a message. filePath() becomes path
    // on success only.
    bool parse(const std::u16string& path);
    // Decodes bytes as the file reader would (byte-order marks, then byte
    // statistics) and parses them.
    bool parseBytes(const void* data, std::size_t length);
    // Writes the document: the stored declaration (or the UTF-16 one) on its own
    // line, then the tree, in the declared encoding with its byte-order mark. The
    // file is replaced only once everything was written; false (old file intact)
    // otherwise.
    bool saveAs(const std::u16string& path);

    Element* getRoot() const { return m_root.get(); }
    // The root when its name matches, then every matching descendant, pre-order.
    std::vector<Element*> getElementsByTagName(std::u16string_view name) const;

    const std::u16string& filePath() const { return m_filePath; }
    int declaredEncoding() const { return m_declaredEncoding; }
    const std::u16string& declaration() const { return m_declaration; }

    void setMessageSink(MessageSink sink) { m_messageSink = std::move(sink); }
    // The error of the last failed parse (none after a success, or after a
    // failure that raised nothing, such as text without any element).
    const std::optional<xml::ParserException>& lastError() const { return m_lastError; }
    // The last text shown (or that would have been shown) to the user.
    const std::u16string& lastMessage() const { return m_lastMessage; }

private:
    enum class TagKind { ProcessingInstruction = 0, MarkupDeclaration = 1, EmptyElement = 2, Start = 3, End = 4 };
    // Whether the text of the last row is kept for the next piece of a streamed parse.
    enum class RowKeeping { Carry, Discard };

    bool writeDocument(const std::u16string& path);
    bool parseUtf16Stream(std::FILE* file, const std::u16string& path);
    void beginParse();
    // Feeds the text to the scanner; false (reported, lastError set) on the first error.
    bool scan(std::u16string_view input, RowKeeping keeping);
    // Takes the run of characters from p on whose effect is known without
    // feeding them one at a time (a run of a token, or a whole CDATA section);
    // returns where it ends, p itself when the character at p must be fed.
    const char16_t* takeRun(const char16_t* p, const char16_t* end);

    struct Position {
        int row;
        int column;
        std::size_t rowStart;  // where the row begins in the piece; npos: in an earlier piece
    };
    Position positionAt(std::u16string_view input, std::size_t at) const;
    // Keeps the new tree after a success, else restores the previous document.
    bool endParse(bool ok);

    void feed(char16_t c);
    void characterData(char16_t c);
    void addText(std::u16string_view text, bool isCData);
    void completeTag();
    void openElement();
    void closeElement();
    void processDeclaration();
    void report(const std::u16string& text);

    std::u16string m_filePath;
    std::unique_ptr<Element> m_root;
    Element* m_current = nullptr;
    int m_declaredEncoding = kUtf16;
    std::u16string m_declaration;
    int m_state = 0;
    TagKind m_tagKind = TagKind::ProcessingInstruction;
    std::vector<Element*> m_openElements;
    std::u16string m_buffer;
    std::u16string m_tagName;
    std::u16string m_entityBuffer;
    char16_t m_quote = 0;
    Element::Attributes m_tagAttributes;  // the last entry is the attribute being read

    // Where the current piece of a streamed parse begins, and the text of its
    // first row in earlier pieces; the document kept aside while parsing.
    int m_row = 1;
    int m_column = 0;
    std::u16string m_rowText;
    std::unique_ptr<Element> m_keptRoot;
    int m_keptEncoding = kUtf16;
    std::u16string m_keptDeclaration;

    MessageSink m_messageSink;
    std::optional<xml::ParserException> m_lastError;
    std::u16string m_lastMessage;
};
