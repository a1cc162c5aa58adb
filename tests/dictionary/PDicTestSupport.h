// Shared pieces of the dictionary tests: small dictionaries written into a
// temporary folder and the titles a search found.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "PDicWriter.h"
#include "dictionary/PDicReader.h"
#include "support/TempDir.h"

namespace veltrix::test {

inline std::u16string u16(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

// An entry whose texts are made from its title.
inline PDicEntry entryFor(const std::u16string& title, int level = 0) {
    return PDicEntry{title, u"訳:" + title, u"例: " + title + u" here", u"[" + title + u"]", level, {}};
}

inline std::vector<PDicEntry> entriesFor(std::initializer_list<const char16_t*> titles) {
    std::vector<PDicEntry> entries;
    int level = 0;
    for (const char16_t* title : titles) entries.push_back(entryFor(title, level++ % 16));
    return entries;
}

// Searches and gives the decoded title of every hit, in hit order.
inline std::vector<std::u16string> titlesOf(CPDicReader& reader, const std::u16string& word, SearchMode mode,
                                            int maxHits = 0, int* truncated = nullptr) {
    int cut = 0;
    const int hits = reader.search(word, mode, maxHits, cut);
    if (truncated) *truncated = cut;
    std::vector<std::u16string> titles;
    for (int i = 0; i < hits; ++i) {
        PDicHitTexts texts;
        if (reader.hitAt(i, texts) != 0) break;
        titles.push_back(texts.title);
    }
    return titles;
}

// The eight layouts every behaviour is checked in: both encodings, both
// index widths, both record length widths, versions 4 to 6.
inline std::vector<PDicLayout> allLayouts(int blockSize = 128) {
    std::vector<PDicLayout> layouts;
    for (auto encoding : {PDicLayout::Encoding::ShiftJis, PDicLayout::Encoding::Unicode}) {
        for (bool bits32 : {false, true}) {
            for (int version : {4, 6}) {
                PDicLayout layout;
                layout.encoding = encoding;
                layout.indexBits32 = bits32;
                layout.majorVersion = version;
                layout.wideLengths = bits32;
                layout.blockSize = blockSize;
                layouts.push_back(layout);
            }
        }
    }
    return layouts;
}

inline std::string describeLayout(const PDicLayout& layout) {
    return std::string(layout.encoding == PDicLayout::Encoding::Unicode ? "Unicode" : "Shift-JIS") + " v" +
           std::to_string(layout.majorVersion) + (layout.indexBits32 ? " 32-bit index" : " 16-bit index") +
           (layout.wideLengths ? " 32-bit lengths" : "") + " block " + std::to_string(layout.blockSize);
}

// A test name for a layout.
inline std::string layoutName(const ::testing::TestParamInfo<PDicLayout>& param) {
    std::string name = describeLayout(param.param);
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

}  // namespace veltrix::test
