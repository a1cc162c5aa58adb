// Builders for the structures of sentence-list files, used by the downloaders
// and the word list so that what they make reads back like what the player writes.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "xml/Element.h"

// A SentenceGroup without time attributes holding sentence, translation and
// explanation children in that order, each with exactly one CDATA child (even
// for an empty text).
std::unique_ptr<Element> createSentenceGroup(std::u16string_view sentence, std::u16string_view translation,
                                             std::u16string_view explanation);
// A Word with a key child holding one CDATA child, then its value and explanation
// set with setWordValue and setExplanation.
std::unique_ptr<Element> createWord(std::u16string_view key, std::u16string_view value,
                                    std::u16string_view explanation);
// A non-empty text goes into the CDATA of the explanation element found under
// element (both made when missing); an empty text removes a direct explanation child.
void setExplanation(Element& element, std::u16string_view text);
// Puts the meaning into the CDATA of the word's value element (made when
// missing), moving an older file's CDATA child of the word itself there first.
void setWordValue(Element& word, std::u16string_view text);
// The texts of a Word as files old and new hold them: the key child's CDATA
// (older files: the key attribute); the value child's CDATA (older files: a
// CDATA section directly inside the word; "?" when it has neither); the
// explanation child's CDATA (empty when absent).
std::u16string wordKey(const Element& word);
std::u16string wordValue(const Element& word);
std::u16string wordExplanation(const Element& word);
// Sets the own text (not CDATA) of the image element found under element,
// made when missing.
void setImage(Element& element, std::u16string_view text);
