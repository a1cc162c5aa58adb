// Looks English words up in the Japanese WordNet ("wnjpn.db", SQLite) and
// gives the pairs of English and Japanese lemma that share a synset, ordered
// by the English lemma.
//
// The database is only ever read: it is opened read-only, and a missing file
// is never created. The word is put into the one SELECT statement as an SQL
// string literal with its quotes doubled, so no word can end the literal or
// add a statement. "%" and "_" in the word still act as LIKE wildcards in a
// prefix search, as the query intends.
//
// Invariants: isOpen() exactly when a connection is held; every row holds
// four texts (synset, English lemma, Japanese lemma, English word id).
#pragma once

#include <array>
#include <string>
#include <vector>

#include "dictionary/PDicKey.h"
#include "dictionary/SqliteConnection.h"

class WordNetDatabase {
public:
    using Row = std::array<std::u16string, 4>;

    // Closes a connection that is open, then opens the database at path;
    // false, and no file made, when it does not exist or cannot be opened.
    bool open(const std::u16string& path);
    // Closes the connection and forgets the rows.
    void close();
    bool isOpen() const { return m_db != nullptr; }

    // Appends the rows of the query to those held, at most rowLimit in all
    // (rowLimit <= 0: no limit), and gives the number held. A failing query
    // keeps the rows it gave before it failed.
    int search(const std::u16string& word, SearchMode mode, int rowLimit);
    // Column 1 (English lemma) as key and column 2 (Japanese lemma) as value
    // of a row; false for a row that does not exist.
    bool hitAt(int row, std::u16string& key, std::u16string& value) const;
    const std::vector<Row>& rows() const { return m_rows; }

    // The query's text for a word, as it is handed to SQLite (UTF-16 here).
    static std::u16string queryText(const std::u16string& word, SearchMode mode);

private:
    static int onRow(void* self, int columns, char** values, char** names);
    int acceptRow(int columns, char** values, char** names);

    SqliteConnection m_db;
    std::vector<Row> m_rows;
    int m_rowLimit = 0;
};
