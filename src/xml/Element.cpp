#include "xml/Element.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <mutex>
#include <unordered_set>

#include "xml/Utf16Search.h"

namespace {

// The next node after `node` in a pre-order walk that stays inside `top`'s
// subtree; null when the walk is over. Walking by the links needs no stack.
const Element* nextInPreOrder(const Element* node, const Element* top) {
    if (node->firstChild()) return node->firstChild();
    while (node != top) {
        if (node->next()) return node->next();
        node = node->parent();
    }
    return nullptr;
}

void appendEscapedAttribute(std::u16string& out, std::u16string_view value) {
    for (char16_t c : value) {
        switch (c) {
            case u'&':
                out += u"&amp;";
                break;
            case u'<':
                out += u"&lt;";
                break;
            case u'>':
                out += u"&gt;";
                break;
            case u'"':
                out += u"&quot;";
                break;
            case u'\'':
                out += u"&apos;";
                break;
            default:
                out += c;
        }
    }
}

// Character data written outside CDATA: the three characters that would end or
// start markup are written as the references the reader decodes, so a title
// such as "Q&A" survives a save and a reload instead of making the file unreadable.
void appendEscapedText(std::u16string& out, std::u16string_view text) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c != u'&' && c != u'<' && c != u'>') continue;
        out.append(text.substr(start, i - start));
        out += c == u'&' ? u"&amp;" : c == u'<' ? u"&lt;" : u"&gt;";
        start = i + 1;
    }
    out.append(text.substr(start));
}

void appendTabs(std::u16string& out, int depth) { out.append(static_cast<std::size_t>(depth), u'\t'); }

// The shared names, or none when the name is not to be shared: empty, longer
// than any tag a program's own file uses, or new once the set is full. The set
// is never destroyed: an element may outlive the statics of its thread.
const std::u16string* sharedName(std::u16string_view name) {
    constexpr std::size_t kMaxLength = 64;
    constexpr std::size_t kMaxNames = 4096;
    if (name.empty() || name.size() > kMaxLength) return nullptr;
    // A document repeats a few names: those this thread met last are found
    // without the lock.
    constexpr std::size_t kRecent = 8;
    thread_local std::array<const std::u16string*, kRecent> recent{};
    thread_local std::size_t nextRecent = 0;
    for (const std::u16string* known : recent) {
        if (known && *known == name) return known;
    }
    static std::mutex lock;
    static auto* const names = new std::unordered_set<std::u16string>();
    const std::u16string* shared;
    {
        std::lock_guard guard(lock);
        auto it = names->find(std::u16string(name));
        if (it == names->end()) {
            if (names->size() >= kMaxNames) return nullptr;
            it = names->emplace(name).first;
        }
        shared = &*it;  // nodes of an unordered_set stay where they are
    }
    recent[nextRecent++ % kRecent] = shared;
    return shared;
}

std::unique_ptr<Element> shallowCopy(const Element& source) {
    auto copy = std::make_unique<Element>(source.getName());
    copy->setText(source.ownText());
    for (const auto& [name, value] : source.attributes()) copy->setAttribute(name, value);
    if (source.isCData()) copy->setCData(source.ownText());
    copy->setEmptyTag(source.isEmptyTag());
    return copy;
}

}  // namespace

std::u16string escapedAttributeValue(std::u16string_view text) {
    std::u16string out;
    appendEscapedAttribute(out, text);
    return out;
}

int parseDecimal(std::u16string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    std::uint32_t value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) value = value * 10u + (text[i] - u'0');
    if (negative) value = 0u - value;
    return static_cast<int>(value);
}

Element::Element(std::u16string name) : m_ownName(std::move(name)) {}

Element::Element(SharedName name) {
    if (const std::u16string* shared = sharedName(name.text))
        m_name = shared;
    else
        m_ownName.assign(name.text);
}

Element::~Element() {
    // Children are handed to a flat list and destroyed one at a time, each
    // already stripped of its own children and siblings, so that neither a deep
    // tree nor a long sibling chain turns into nested destructor calls.
    std::vector<std::unique_ptr<Element>> pending;
    if (m_firstChild) pending.push_back(std::move(m_firstChild));
    if (m_next) pending.push_back(std::move(m_next));
    while (!pending.empty()) {
        std::unique_ptr<Element> node = std::move(pending.back());
        pending.pop_back();
        if (node->m_next) pending.push_back(std::move(node->m_next));
        if (node->m_firstChild) pending.push_back(std::move(node->m_firstChild));
    }
}

void Element::releaseChildren(std::vector<std::unique_ptr<Element>>& sink) {
    if (m_firstChild) sink.push_back(std::move(m_firstChild));
    m_lastChild = nullptr;
}

void Element::destroyChildren() {
    std::vector<std::unique_ptr<Element>> pending;
    releaseChildren(pending);
    while (!pending.empty()) {
        std::unique_ptr<Element> node = std::move(pending.back());
        pending.pop_back();
        if (node->m_next) pending.push_back(std::move(node->m_next));
        if (node->m_firstChild) pending.push_back(std::move(node->m_firstChild));
    }
}

void Element::copyFrom(const Element& source) {
    if (&source == this) return;
    // Build the whole copy first: source may live inside this element's subtree.
    std::unique_ptr<Element> copy = shallowCopy(source);
    Element* copyParent = copy.get();  // the copy of the source node's parent
    const Element* node = source.firstChild();
    while (node) {
        Element* made = copyParent->appendChild(shallowCopy(*node));
        if (node->firstChild()) {
            copyParent = made;
            node = node->firstChild();
            continue;
        }
        while (node != &source && !node->next()) {
            node = node->parent();
            copyParent = copyParent->parent();
        }
        node = node == &source ? nullptr : node->next();
    }

    destroyChildren();
    if (copy->m_name == &copy->m_ownName)
        setName(std::move(copy->m_ownName));
    else
        m_name = copy->m_name;
    m_text = std::move(copy->m_text);
    m_attributes = std::move(copy->m_attributes);
    m_isCData = copy->m_isCData;
    m_isEmptyTag = copy->m_isEmptyTag;
    m_firstChild = std::move(copy->m_firstChild);
    m_lastChild = copy->m_lastChild;
    copy->m_lastChild = nullptr;
    for (Element* child = m_firstChild.get(); child; child = child->next()) child->m_parent = this;
}

std::u16string Element::openingMarkup() const {
    if (isTextNode()) return m_text;
    std::u16string out = u"<";
    out += *m_name;
    for (const auto& [name, value] : m_attributes) {
        out += u' ';
        out += name;
        out += u"=\"";
        appendEscapedAttribute(out, value);
        out += u'"';
    }
    if (m_isEmptyTag) {
        out += u" />";
    } else if (m_isCData) {
        out += u"![CDATA[";
        out += m_text;
        out += u"]]>";
    } else {
        out += u'>';
    }
    return out;
}

std::u16string Element::toString() const {
    std::u16string out;
    if (isTextNode()) {
        appendEscapedText(out, m_text);
        return out;
    }
    // A node is written in two halves: its opening part when the walk enters it
    // and, when it has children to write, its closing part when the walk leaves it.
    auto writeOpening = [&](const Element& node, int depth) -> bool {  // true: descend
        if (node.isTextNode()) {
            appendEscapedText(out, node.m_text);
            return false;
        }
        appendTabs(out, depth);
        out += node.openingMarkup();
        const bool isTop = &node == this;
        if (!node.m_isEmptyTag && !node.m_isCData) {
            if (node.m_firstChild) {
                if (!node.m_firstChild->isTextNode()) out += u"\r\n";
                return true;
            }
            if (!isTop) appendEscapedText(out, node.m_text);
            out += u"</";
            out += *node.m_name;
            out += u'>';
        }
        if (!isTop) out += u"\r\n";
        return false;
    };
    auto writeClosing = [&](const Element& node, int depth) {
        if (!node.m_firstChild->isTextNode()) appendTabs(out, depth);
        out += u"</";
        out += *node.m_name;
        out += u'>';
        if (&node != this) out += u"\r\n";
    };

    int depth = this->depth();
    if (!writeOpening(*this, depth)) return out;
    const Element* node = m_firstChild.get();
    ++depth;
    while (true) {
        if (writeOpening(*node, depth)) {
            node = node->firstChild();
            ++depth;
            continue;
        }
        while (!node->next()) {
            node = node->parent();
            --depth;
            writeClosing(*node, depth);
            if (node == this) return out;
        }
        node = node->next();
    }
}

int Element::depth() const {
    int depth = 0;
    for (const Element* p = m_parent; p; p = p->m_parent) ++depth;
    return depth;
}

void Element::link(Element* child, Element* before) {
    child->m_parent = this;
    if (!before) {
        child->m_previous = m_lastChild;
        std::unique_ptr<Element>& slot = m_lastChild ? m_lastChild->m_next : m_firstChild;
        slot.reset(child);
        m_lastChild = child;
        return;
    }
    std::unique_ptr<Element>& slot = before->m_previous ? before->m_previous->m_next : m_firstChild;
    child->m_previous = before->m_previous;
    child->m_next = std::move(slot);
    before->m_previous = child;
    slot.reset(child);
}

Element* Element::appendChild(std::unique_ptr<Element> child) {
    if (!child) return nullptr;
    Element* raw = child.release();
    link(raw, nullptr);
    return raw;
}

Element* Element::insertChild(std::unique_ptr<Element> child, Element* reference, InsertMode mode) {
    if (!child) return nullptr;
    if (!reference || reference->m_parent != this) mode = InsertMode::Last;
    Element* raw = child.release();
    switch (mode) {
        case InsertMode::Before:
            link(raw, reference);
            break;
        case InsertMode::After:
            link(raw, reference->next());
            break;
        case InsertMode::First:
            link(raw, m_firstChild.get());
            break;
        case InsertMode::Last:
            link(raw, nullptr);
            break;
    }
    return raw;
}

std::unique_ptr<Element> Element::removeChild(Element* child) {
    if (!child || child->m_parent != this) return nullptr;
    std::unique_ptr<Element>& slot = child->m_previous ? child->m_previous->m_next : m_firstChild;
    std::unique_ptr<Element> taken = std::move(slot);
    slot = std::move(taken->m_next);
    if (slot)
        slot->m_previous = taken->m_previous;
    else
        m_lastChild = taken->m_previous;
    taken->m_previous = nullptr;
    taken->m_parent = nullptr;
    return taken;
}

bool Element::deleteChild(Element* child) { return removeChild(child) != nullptr; }

void Element::removeAllChildren() { destroyChildren(); }

void Element::clear() {
    destroyChildren();
    m_attributes.clear();
    m_text.clear();
}

std::vector<Element*> Element::getChildren() const {
    std::vector<Element*> children;
    for (Element* child = m_firstChild.get(); child; child = child->next()) children.push_back(child);
    return children;
}

bool Element::moveElement(Element& element, Element& target, InsertMode mode) {
    Element* owner = element.m_parent;
    if (!owner) return false;
    for (const Element* p = &target; p; p = p->m_parent) {
        if (p == &element) return false;
    }
    std::unique_ptr<Element> detached = owner->removeChild(&element);
    if (target.m_parent)
        target.m_parent->insertChild(std::move(detached), &target, mode);
    else
        target.appendChild(std::move(detached));
    return true;
}

std::u16string Element::getText() const {
    std::u16string text;
    for (const Element* node = this; node; node = nextInPreOrder(node, this)) text += node->m_text;
    return text;
}

std::u16string Element::getCDataText() const {
    if (m_isCData) return m_text;
    for (const Element* child = m_firstChild.get(); child; child = child->next()) {
        if (child->m_isCData) return child->m_text;
    }
    return {};
}

void Element::setCData(std::u16string_view text) {
    if (!m_name->empty()) return;
    m_isCData = true;
    m_text.clear();
    m_text.reserve(text.size());
    const char16_t* const end = text.data() + text.size();
    const char16_t* start = text.data();  // the part not yet copied
    const char16_t* from = start;         // where to look for the next "]"
    while (true) {
        const char16_t* bracket = xml::findUnit(from, end, u']');
        if (end - bracket < 3) break;
        if (bracket[1] == u']' && bracket[2] == u'>') {
            m_text.append(start, bracket);
            m_text += u"]]&gt;";
            start = from = bracket + 3;
        } else {
            from = bracket + 1;
        }
    }
    m_text.append(start, end);
}

namespace {
template <typename List>
auto findAttribute(List& attributes, std::u16string_view name) {
    return std::lower_bound(attributes.begin(), attributes.end(), name,
                            [](const auto& entry, std::u16string_view key) { return entry.first < key; });
}
}  // namespace

std::u16string Element::getAttribute(std::u16string_view name, std::u16string_view defaultValue) const {
    auto it = findAttribute(m_attributes, name);
    if (it != m_attributes.end() && it->first == name) return it->second;
    return std::u16string(defaultValue);
}

bool Element::hasAttribute(std::u16string_view name) const {
    auto it = findAttribute(m_attributes, name);
    return it != m_attributes.end() && it->first == name;
}

void Element::setAttribute(std::u16string_view name, std::u16string_view value) {
    auto it = findAttribute(m_attributes, name);
    if (it != m_attributes.end() && it->first == name) {
        it->second = value;
        return;
    }
    m_attributes.emplace(it, std::u16string(name), std::u16string(value));
}

void Element::setAttributes(Attributes attributes) {
    sortAttributes(attributes);
    m_attributes = std::move(attributes);
}

void Element::sortAttributes(Attributes& attributes) {
    const auto before = [](const auto& a, const auto& b) { return a.first < b.first; };
    // A list read from a tag is usually in order already, with no name twice.
    if (std::adjacent_find(attributes.begin(), attributes.end(),
                           [&](const auto& a, const auto& b) { return !before(a, b); }) == attributes.end())
        return;
    if (attributes.size() <= 8) {
        // A tag's few attributes: an insertion sort, stable and without the
        // buffer a merge sort takes.
        for (std::size_t i = 1; i < attributes.size(); ++i) {
            for (std::size_t j = i; j > 0 && before(attributes[j], attributes[j - 1]); --j)
                std::swap(attributes[j], attributes[j - 1]);
        }
    } else {
        std::stable_sort(attributes.begin(), attributes.end(), before);
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < attributes.size(); ++i) {
        if (i + 1 < attributes.size() && attributes[i + 1].first == attributes[i].first) continue;
        if (kept != i) attributes[kept] = std::move(attributes[i]);
        ++kept;
    }
    attributes.resize(kept);
}

int Element::getIntAttribute(std::u16string_view name, int defaultValue) const {
    auto it = findAttribute(m_attributes, name);
    if (it == m_attributes.end() || it->first != name) return defaultValue;
    return parseDecimal(it->second);
}

Element* Element::findElement(std::u16string_view name) const {
    for (const Element* node = this; node; node = nextInPreOrder(node, this)) {
        if (*node->m_name == name) return const_cast<Element*>(node);
    }
    return nullptr;
}

void Element::getElementsByTagName(std::u16string_view name, std::vector<Element*>& list) const {
    for (const Element* node = nextInPreOrder(this, this); node; node = nextInPreOrder(node, this)) {
        if (*node->m_name == name) list.push_back(const_cast<Element*>(node));
    }
}

std::u16string Element::getTextOf(std::u16string_view name, std::u16string_view defaultValue) const {
    const Element* found = findElement(name);
    return found ? found->getText() : std::u16string(defaultValue);
}

void Element::setChildText(std::u16string_view name, std::u16string_view value) {
    Element* holder = findElement(name);
    if (!holder) holder = appendChild(std::make_unique<Element>(std::u16string(name)));
    Element* textNode = nullptr;
    for (Element* child = holder->firstChild(); child && !textNode; child = child->next()) {
        if (child->isTextNode()) textNode = child;
    }
    if (!textNode) textNode = holder->appendChild(std::make_unique<Element>());
    textNode->setText(std::u16string(value));
}

void Element::setChildInt(std::u16string_view name, int number) {
    const std::string digits = std::to_string(number);
    setChildText(name, std::u16string(digits.begin(), digits.end()));
}
