#include "dictionary/PDicReader.h"

#include <algorithm>

#include "dictionary/Bocu1Decoder.h"
#include "text/NarrowText.h"

CPDicReader::~CPDicReader() { close(); }

int CPDicReader::open(const std::u16string& pszFilePath) {
    if (m_open) {
        m_error = PDicError::AlreadyOpen;
        return -1;
    }
    m_error = PDicError::None;
    if (!m_file.open(pszFilePath)) {
        m_error = PDicError::CannotOpen;
        close();
        return -1;
    }
    std::uint8_t raw[PDicHeader::kSize];
    const std::size_t count = m_file.readAt(0, raw, sizeof raw);
    m_error = m_header.parse(raw, count);
    if (m_error != PDicError::None) {
        const PDicError why = m_error;
        close();
        m_error = why;
        return -1;
    }
    m_major = m_header.majorVersion();
    m_index = std::make_unique<CPDicIndex>(m_header, m_file);
    m_data = std::make_unique<CPDicData>(m_header, m_file);
    m_open = true;
    return 0;
}

void CPDicReader::close() {
    m_data.reset();
    m_index.reset();
    m_file.close();
    m_hits.clear();
    m_hits.shrink_to_fit();
    m_numhit = 0;
    m_titleStore.clear();
    m_titleStore.shrink_to_fit();
    m_visited.clear();
    m_open = false;
    m_major = 0;
}

int CPDicReader::search(const std::u16string& keyword, SearchMode mode, int maxHits, int& truncated) {
    truncated = 0;
    m_numhit = 0;
    m_hits.clear();
    m_titleStore.clear();
    if (!m_open || !m_index->loadIndexTable()) return 0;
    const std::u16string word = m_major >= 6 ? normalizeKeyword(keyword) : keyword;
    const PDicKey key(word, m_header.unicode());
    if (key.tooLong()) return 0;

    m_visited.clear();
    m_bytesRead = 0;
    for (int b = m_index->findBlockIndex(key); b < m_index->count(); ++b) {
        std::uint32_t block = 0;
        std::string_view title;
        if (!m_index->readIndexEntry(b, block, title)) break;
        if (key.compareStored(title) > 0) break;
        if (!searchBlock(b, block, key, mode, maxHits, truncated)) break;
    }
    m_numhit = static_cast<int>(m_hits.size());
    return m_numhit;
}

// False when the search ends in this block.
bool CPDicReader::searchBlock(int entry, std::uint32_t block, const PDicKey& key, SearchMode mode, int maxHits,
                              int& truncated) {
    // A block that an earlier entry already led to holds nothing new.
    if (!m_visited.insert(block).second) return true;
    if (!m_data->loadBlock(block)) return false;
    // Well-formed files never make one search read more than the whole file.
    m_bytesRead += static_cast<std::int64_t>(m_data->loadedBytes());
    if (m_bytesRead > m_file.size()) return false;

    const bool exact = mode == SearchMode::Exact;
    PDicRecord record;
    while (m_data->nextRecord(record)) {
        const std::string& stored = m_data->lastTitle();
        int order = 0;
        std::size_t e = 0;
        if (key.unicode()) {
            std::u16string title = decodeBocu1(stored);
            if (exact && m_major >= 6) {
                // "test<TAB>Test": the part before the TAB is what is compared.
                if (const auto tab = title.find(u'\t'); tab != std::u16string::npos) title.resize(tab);
            }
            order = key.compareUnits(title);
            e = title.size();
        } else {
            order = key.compareBytes(stored);
            e = stored.size();
        }
        if (order > 0) return false;
        if (order == 0) {
            if (!exact || e == key.length()) addHit(entry, block, record);
            if (exact && e > key.length()) return false;
        }
        if (maxHits > 0 && static_cast<int>(m_hits.size()) >= maxHits) {
            truncated = 1;
            return false;
        }
    }
    return true;
}

void CPDicReader::addHit(int entry, std::uint32_t block, const PDicRecord& record) {
    PDicHit hit;
    hit.indexEntry = static_cast<std::uint32_t>(entry);
    hit.block = block;
    hit.recordOffset = record.offset;
    hit.titleOffset = static_cast<std::uint32_t>(m_titleStore.size());
    hit.titleLength = static_cast<std::uint32_t>(m_data->lastTitle().size());
    hit.honbunOffset = record.honbunOffset;
    hit.honbunLength = record.honbunLength;
    hit.yoreiOffset = record.yoreiOffset;
    hit.yoreiLength = record.yoreiLength;
    hit.pronOffset = record.pronOffset;
    hit.pronLength = record.pronLength;
    hit.level = record.level;
    m_titleStore += m_data->lastTitle();
    m_titleStore.push_back('\0');
    m_hits.push_back(hit);
}

std::u16string CPDicReader::decode(std::string_view bytes, std::size_t capacity) const {
    if (capacity == 0) return {};
    const std::size_t units = capacity - 1;
    if (m_header.unicode()) return decodeBocu1(bytes, units);
    // Texts are C strings in the block: a zero byte ends one.
    bytes = bytes.substr(0, bytes.find('\0'));
    std::u16string text = decodeCodePage(bytes, 932);
    if (text.size() > units) {
        // Cut as the Unicode texts are cut, never inside a surrogate pair.
        std::size_t cut = units;
        if (cut > 0 && text[cut - 1] >= 0xD800 && text[cut - 1] <= 0xDBFF) --cut;
        text.resize(cut);
    }
    return text;
}

int CPDicReader::hitAt(int num, PDicHitTexts& texts, const PDicTextLimits& limits) {
    if (!m_open || num < 0 || num >= m_numhit) return -1;
    const PDicHit& hit = m_hits[static_cast<std::size_t>(num)];
    if (!m_data->loadBlock(hit.block)) return -1;
    texts.title = decode(std::string_view(m_titleStore).substr(hit.titleOffset, hit.titleLength), limits.title);
    texts.honbun = decode(m_data->bytes(hit.honbunOffset, hit.honbunLength), limits.honbun);
    texts.yorei = hit.yoreiLength ? decode(m_data->bytes(hit.yoreiOffset, hit.yoreiLength), limits.yorei) : u"";
    texts.pronunciation =
        hit.pronLength ? decode(m_data->bytes(hit.pronOffset, hit.pronLength), limits.pronunciation) : u"";
    texts.level = hit.level;
    return 0;
}
