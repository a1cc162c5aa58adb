#include "lyrics/SentenceListBuilders.h"

#include <string>

namespace {

Element* firstCData(const Element& element) {
    for (Element* child = element.firstChild(); child; child = child->next()) {
        if (child->isCData()) return child;
    }
    return nullptr;
}

Element& findOrAppend(Element& element, std::u16string_view name) {
    if (Element* found = element.findElement(name)) return *found;
    return *element.appendChild(std::make_unique<Element>(std::u16string(name)));
}

std::unique_ptr<Element> elementWithCData(std::u16string_view name, std::u16string_view text) {
    auto element = std::make_unique<Element>(std::u16string(name));
    element->appendChild(std::make_unique<Element>())->setCData(text);
    return element;
}

}  // namespace

std::unique_ptr<Element> createSentenceGroup(std::u16string_view sentence, std::u16string_view translation,
                                             std::u16string_view explanation) {
    auto group = std::make_unique<Element>(u"SentenceGroup");
    group->appendChild(elementWithCData(u"sentence", sentence));
    group->appendChild(elementWithCData(u"translation", translation));
    group->appendChild(elementWithCData(u"explanation", explanation));
    return group;
}

std::unique_ptr<Element> createWord(std::u16string_view key, std::u16string_view value,
                                    std::u16string_view explanation) {
    auto word = std::make_unique<Element>(u"Word");
    word->appendChild(elementWithCData(u"key", key));
    setWordValue(*word, value);
    setExplanation(*word, explanation);
    return word;
}

void setExplanation(Element& element, std::u16string_view text) {
    if (text.empty()) {
        if (Element* found = element.findElement(u"explanation"); found && found->parent() == &element) {
            element.deleteChild(found);
        }
        return;
    }
    Element& explanation = findOrAppend(element, u"explanation");
    Element* cdata = firstCData(explanation);
    if (!cdata) cdata = explanation.appendChild(std::make_unique<Element>());
    cdata->setCData(text);
}

void setWordValue(Element& word, std::u16string_view text) {
    Element& value = findOrAppend(word, u"value");
    if (Element* cdata = firstCData(value)) {
        cdata->setCData(text);
        return;
    }
    std::unique_ptr<Element> taken;
    if (Element* older = firstCData(word))
        taken = word.removeChild(older);
    else
        taken = std::make_unique<Element>();
    value.removeAllChildren();
    value.appendChild(std::move(taken))->setCData(text);
}

void setImage(Element& element, std::u16string_view text) {
    findOrAppend(element, u"image").setText(std::u16string(text));
}

std::u16string wordKey(const Element& word) {
    if (const Element* key = word.findElement(u"key")) return key->getCDataText();
    return word.getAttribute(u"key");
}

std::u16string wordValue(const Element& word) {
    if (const Element* value = word.findElement(u"value")) return value->getCDataText();
    if (const Element* older = firstCData(word)) return older->getCDataText();
    return u"?";
}

std::u16string wordExplanation(const Element& word) {
    const Element* explanation = word.findElement(u"explanation");
    return explanation ? explanation->getCDataText() : std::u16string();
}
