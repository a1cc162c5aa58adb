// The look-up back end of the word list: one PDIC reader and one WordNet
// database, of which at most one is open, chosen by the dictionary's path.
// The word list makes a new engine for every search, so each search opens
// the chosen file afresh.
#pragma once

#include <string>

#include "dictionary/PDicReader.h"
#include "dictionary/WordNetDatabase.h"

// One hit as the word list shows it.
struct DictionaryHit {
    std::u16string key;
    std::u16string value;
    std::u16string explanation;
    std::u16string pronunciation;
    int level = 0;
};

class DictionaryEngine {
public:
    // Any path that contains this text is taken for the WordNet database.
    static constexpr char16_t kWordNetName[] = u"wnjpn.db";
    // The longest texts of a PDIC hit, in UTF-16 units.
    static constexpr PDicTextLimits kLimits{1024, 3000, 20000, 1000};

    // Closes both back ends, then opens path as the WordNet database or as a
    // PDIC dictionary; false when that open fails.
    bool open(const std::u16string& path);
    // The number of hits (0 with nothing open); maxHits <= 0 means no limit;
    // truncated is set by a PDIC search only.
    int search(const std::u16string& word, SearchMode mode, int maxHits, int& truncated);
    // 0 and the hit's texts, or non-zero for a hit that cannot be fetched.
    // A WordNet hit sets only key and value and leaves the rest as it is.
    int hitAt(int n, DictionaryHit& hit);

    int rowLimit() const { return m_rowLimit; }
    void setRowLimit(int limit) { m_rowLimit = limit; }

private:
    CPDicReader m_pdic;
    WordNetDatabase m_wordNet;
    int m_rowLimit = 100;
};
