// A deliberately plain XML reader used only by the tests, as an oracle for
// XMLParser: it feeds one character at a time through the scanner states,
// counts rows and columns as it goes and builds a tree of its own, so that the
// parser's runs, its rows worked out afterwards and its streamed pieces can be
// checked against the reading rules taken one character at a time.
#pragma once

#include <string>
#include <string_view>

class Element;

struct ReferenceOutcome {
    bool ok = false;
    std::u16string tree;     // describeTree of the root; empty when none was built
    std::u16string message;  // the text shown for a failure; empty when none
    int location = 0;        // number, row and column of the failure
    int row = 0;
    int column = 0;
    std::u16string declaration;
    int declaredEncoding = 1;
};

// Reads text as a fresh parser would; filePath only goes into the message.
ReferenceOutcome referenceRead(std::u16string_view text, std::u16string_view filePath = {});

// Every node of the subtree, one line each, with its depth, kind, name,
// attributes, own text and flags, in document order.
std::u16string describeTree(const Element& root);
