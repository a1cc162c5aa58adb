#include "dictionary/WordNetDatabase.h"

#include <cstdio>
#include <memory>

#include "platform/win32.h"
#include "text/NarrowText.h"

namespace {

constexpr char16_t kSelect[] =
    u"SELECT DISTINCT sense_B.synset, word_en.lemma, word_ja.lemma, word_en.wordid FROM sense sense_A, sense "
    u"sense_B, word word_en, word word_ja WHERE word_en.wordid = sense_A.wordid and sense_A.lang = 'eng' and "
    u"sense_B.lang = 'jpn' and sense_A.synset = sense_B.synset and sense_B.wordid = word_ja.wordid ";
constexpr char16_t kOrder[] = u"ORDER BY word_en.lemma";
// The row callback's answer that makes SQLite abandon the statement.
constexpr int kEnough = 4;

// The word inside an SQL string literal: each quote doubled.
std::u16string quoted(const std::u16string& word) {
    std::u16string out;
    out.reserve(word.size());
    for (char16_t c : word) {
        if (c == u'\'') out.push_back(u'\'');
        out.push_back(c);
    }
    return out;
}

// SQLite wants a file-system path: UTF-8 with "/" between folders.
std::string filePath(const std::u16string& path) {
    std::string out = encodeCodePage(path, CP_UTF8);
    for (char& c : out)
        if (c == '\\') c = '/';
    return out;
}

}  // namespace

bool WordNetDatabase::open(const std::u16string& path) {
    close();
    // Opening for reading first keeps SQLite from making a missing file.
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> probe(_wfopen(path.c_str(), u"r"), &std::fclose);
    if (!probe) return false;
    sqlite3* connection = nullptr;
    const int result = sqlite3_open_v2(filePath(path).c_str(), &connection, SQLITE_OPEN_READONLY, nullptr);
    // SQLite hands out a connection even when the open fails; it must be closed all the same.
    SqliteConnection owned(connection);
    if (result != SQLITE_OK) return false;
    m_db = std::move(owned);
    return true;
}

void WordNetDatabase::close() {
    m_db.reset();
    // Rows of a database that is closed answer for nothing.
    m_rows.clear();
}

std::u16string WordNetDatabase::queryText(const std::u16string& word, SearchMode mode) {
    std::u16string query = kSelect;
    if (mode == SearchMode::Exact)
        query += u"and word_en.lemma='" + quoted(word) + u"' ";
    else
        query += u"and word_en.lemma LIKE '" + quoted(word) + u"%' ";
    query += kOrder;
    return query;
}

int WordNetDatabase::search(const std::u16string& word, SearchMode mode, int rowLimit) {
    m_rowLimit = rowLimit;
    if (!m_db) return static_cast<int>(m_rows.size());
    const std::string query = encodeCodePage(queryText(word, mode), CP_UTF8);
    sqlite3_exec(m_db.get(), query.c_str(), &WordNetDatabase::onRow, this, nullptr);
    return static_cast<int>(m_rows.size());
}

int WordNetDatabase::onRow(void* self, int columns, char** values, char** names) {
    return static_cast<WordNetDatabase*>(self)->acceptRow(columns, values, names);
}

int WordNetDatabase::acceptRow(int columns, char** values, char** names) {
    if (m_rowLimit > 0 && static_cast<int>(m_rows.size()) >= m_rowLimit) return kEnough;
    Row row;
    for (int i = 0; i < columns && i < static_cast<int>(row.size()); ++i) {
        row[static_cast<std::size_t>(i)] = values[i] ? decodeCodePage(values[i], CP_UTF8) : u"NULL";
        // A trace for diagnosis, in the system's code page; nothing reads it.
        std::printf("%02d. %s = %s\n", i, names[i] ? names[i] : "",
                    encodeCodePage(row[static_cast<std::size_t>(i)], CP_ACP).c_str());
    }
    m_rows.push_back(std::move(row));
    return 0;
}

bool WordNetDatabase::hitAt(int row, std::u16string& key, std::u16string& value) const {
    if (row < 0 || row >= static_cast<int>(m_rows.size())) return false;
    key = m_rows[static_cast<std::size_t>(row)][1];
    value = m_rows[static_cast<std::size_t>(row)][2];
    return true;
}
