// The one node class of an XML tree. Three kinds share it:
//  - element node: a non-empty name; its own text holds text that belongs to the
//    element itself rather than to a child (the reader stores white-space-only
//    runs there, builders put text there with setText);
//  - text node: empty name, not CDATA; its text is the character data;
//  - CDATA node: empty name, CDATA flag set; its text is the section's content.
//
// Ownership: an element owns its children, which form a doubly linked sibling
// list in document order; a child's parent() is its owner. A detached element
// (removed, or built and not yet appended) has no parent and belongs to whoever
// holds its unique_ptr.
//
// Names: an element either owns its name or shares one that is kept for the
// life of the process (SharedName), so that a large document read from a file,
// thousands of elements of a handful of names, holds each name once.
//
// No operation recurses over the tree: destruction, copying, text gathering,
// searching and serialisation walk it with explicit stacks, so a file with
// any depth of nesting cannot exhaust the call stack.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "xml/Node.h"

// Where insertChild and moveElement put a node, relative to a reference node.
enum class InsertMode { Before = 0, After = 1, First = 2, Last = 3 };

class Element : public Node {
public:
    // Sorted by name, ascending by UTF-16 code unit; names are unique.
    using Attributes = std::vector<std::pair<std::u16string, std::u16string>>;

    // A name to share with every element made with the same one. Only names
    // that are few and short are shared (so that endless distinct names in
    // hostile input cannot grow the shared set without bound); the others are
    // owned as a copy.
    struct SharedName {
        std::u16string_view text;
    };

    Element() = default;  // a text node until setCData or setName
    explicit Element(std::u16string name);
    explicit Element(SharedName name);
    ~Element() override;
    Element(const Element&) = delete;
    Element& operator=(const Element&) = delete;

    // Makes this element a deep copy of source (name, own text, attributes, both
    // flags, all descendants). Its old children are destroyed; it keeps its own
    // place in its tree (the copy is taken before anything is destroyed, so
    // source may even be a descendant of this element).
    virtual void copyFrom(const Element& source);
    // The first line of this node when written: a text node's text as it is;
    // otherwise "<name", the attributes in name order with escaped values, then
    // " />" for an empty tag, "![CDATA[text]]>" for a CDATA node, else ">".
    virtual std::u16string openingMarkup() const;
    // The whole subtree as XML text: one tab of indentation per ancestor, CR LF
    // between lines, no line end after the outermost closing tag.
    virtual std::u16string toString() const;

    // Tree structure -------------------------------------------------------------
    Element* parent() const { return m_parent; }
    Element* firstChild() const { return m_firstChild.get(); }
    Element* lastChild() const { return m_lastChild; }
    Element* next() const { return m_next.get(); }
    Element* previous() const { return m_previous; }

    // Links child after the last child and returns it. A null child is ignored
    // (and null returned).
    Element* appendChild(std::unique_ptr<Element> child);
    // Before or After reference, or as First or Last child; without a reference,
    // or with one that is not a child of this element, the child goes last.
    Element* insertChild(std::unique_ptr<Element> child, Element* reference, InsertMode mode);
    // Unlinks a direct child and hands it back detached; null when child is not
    // a direct child of this element.
    std::unique_ptr<Element> removeChild(Element* child);
    // Unlinks and destroys a direct child; false when it is not one.
    bool deleteChild(Element* child);
    void removeAllChildren();
    // Destroys the children and empties the attributes and own text; the name stays.
    void clear();
    std::vector<Element*> getChildren() const;
    // Detaches element from its parent and puts it, with insertChild, beside or
    // inside the target's parent (mode relative to target); when the target has
    // no parent, element becomes the target's last child. The element must be
    // owned by a tree (have a parent). False, and nothing changed, when it has no
    // parent, or when target is element itself or one of its descendants (the
    // move would make the tree a cycle).
    static bool moveElement(Element& element, Element& target, InsertMode mode);

    // Node kind and fields ---------------------------------------------------------
    const std::u16string& getName() const { return *m_name; }
    void setName(std::u16string name) {
        m_ownName = std::move(name);
        m_name = &m_ownName;
    }
    bool isCData() const { return m_isCData; }
    bool isTextNode() const { return m_name->empty() && !m_isCData; }
    bool isEmptyTag() const { return m_isEmptyTag; }
    void setEmptyTag(bool emptyTag) { m_isEmptyTag = emptyTag; }
    const std::u16string& ownText() const { return m_text; }

    // The own text followed by the text of every descendant in document order,
    // CDATA included.
    std::u16string getText() const;
    // Replaces the own text.
    void setText(std::u16string text) { m_text = std::move(text); }
    // A CDATA node's own text; otherwise that of the first CDATA child; else empty.
    std::u16string getCDataText() const;
    // Only on a node with an empty name: makes it a CDATA node holding text, with
    // every "]]>" written as "]]&gt;" so that the section cannot be ended early.
    void setCData(std::u16string_view text);

    // Attributes (exact, case-sensitive names) ---------------------------------------
    const Attributes& attributes() const { return m_attributes; }
    std::u16string getAttribute(std::u16string_view name, std::u16string_view defaultValue = {}) const;
    bool hasAttribute(std::u16string_view name) const;
    void setAttribute(std::u16string_view name, std::u16string_view value);
    // Replaces every attribute at once, as setAttribute on each entry in turn
    // would leave them (sorted by name, the last value of a repeated name kept);
    // the list's strings are taken over, not copied.
    void setAttributes(Attributes attributes);
    // Puts a list in attribute order: sorted by name, the last value of a
    // repeated name kept. Costs n log n however many names repeat.
    static void sortAttributes(Attributes& attributes);
    // The value read as a decimal integer (white space, sign, digits up to the
    // first non-digit; 0 without digits), or defaultValue when absent.
    int getIntAttribute(std::u16string_view name, int defaultValue) const;

    // Searches, depth-first pre-order ---------------------------------------------------
    // This element when its name matches, else the first matching descendant.
    Element* findElement(std::u16string_view name) const;
    // Appends every matching descendant (not this element).
    void getElementsByTagName(std::u16string_view name, std::vector<Element*>& list) const;
    // getText of findElement(name), or defaultValue.
    std::u16string getTextOf(std::u16string_view name, std::u16string_view defaultValue = {}) const;
    // Sets the first text node inside findElement(name) to value, creating the
    // element (as a last child of this one) and the text node when missing.
    void setChildText(std::u16string_view name, std::u16string_view value);
    void setChildInt(std::u16string_view name, int number);

private:
    void link(Element* child, Element* before);  // child goes before `before` (or last)
    void destroyChildren();
    // Gives up ownership of every descendant into `sink`, leaving this element childless.
    void releaseChildren(std::vector<std::unique_ptr<Element>>& sink);
    int depth() const;

    Element* m_parent = nullptr;
    std::unique_ptr<Element> m_firstChild;
    Element* m_lastChild = nullptr;
    std::unique_ptr<Element> m_next;  // a node owns its next sibling; the parent owns the first
    Element* m_previous = nullptr;
    std::u16string m_text;
    std::u16string m_ownName;                   // the name, unless it is shared
    const std::u16string* m_name = &m_ownName;  // m_ownName or a shared name; never null
    Attributes m_attributes;
    bool m_isCData = false;
    bool m_isEmptyTag = false;
};

// Integer parsing shared by the attribute reader and the time codes: leading
// white space (space, tab, CR, LF, VT, FF), an optional sign, digits up to the first
// non-digit; 0 without digits. Overflow wraps modulo 2^32 rather than being
// undefined.
int parseDecimal(std::u16string_view text);

// The text as it may stand in a quoted attribute value (or anywhere in
// markup): & < > " and ' written as character references.
std::u16string escapedAttributeValue(std::u16string_view text);
