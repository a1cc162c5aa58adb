#include "dictionary/DictionaryEngine.h"

bool DictionaryEngine::open(const std::u16string& path) {
    m_pdic.close();
    m_wordNet.close();
    if (path.find(kWordNetName) != std::u16string::npos) return m_wordNet.open(path);
    return m_pdic.open(path) == 0;
}

int DictionaryEngine::search(const std::u16string& word, SearchMode mode, int maxHits, int& truncated) {
    if (m_wordNet.isOpen()) return m_wordNet.search(word, mode, maxHits);
    if (m_pdic.isOpen()) return m_pdic.search(word, mode, maxHits, truncated);
    return 0;
}

int DictionaryEngine::hitAt(int n, DictionaryHit& hit) {
    if (m_wordNet.isOpen()) return m_wordNet.hitAt(n, hit.key, hit.value) ? 0 : 1;
    PDicHitTexts texts;
    if (!m_pdic.isOpen() || m_pdic.hitAt(n, texts, kLimits) != 0) return 1;
    hit.key = std::move(texts.title);
    hit.value = std::move(texts.honbun);
    hit.explanation = std::move(texts.yorei);
    hit.pronunciation = std::move(texts.pronunciation);
    hit.level = texts.level;
    return 0;
}
