// A tiny database in the schema of the Japanese WordNet ("wnjpn.db"), built
// with SQLite: English and Japanese words joined through shared synsets.
#pragma once

#include <sqlite3.h>

#include <string>
#include <utility>
#include <vector>

#include "dictionary/SqliteConnection.h"

namespace veltrix::test {

// One synset: its English lemmas and its Japanese lemmas.
struct Synset {
    std::string id;
    std::vector<std::string> english;
    std::vector<std::string> japanese;
};

inline bool buildWordNet(const std::string& path, const std::vector<Synset>& synsets) {
    sqlite3* raw = nullptr;
    const int opened = sqlite3_open(path.c_str(), &raw);
    SqliteConnection db(raw);
    if (opened != SQLITE_OK) return false;
    std::string sql =
        "CREATE TABLE word (wordid integer primary key, lang text, lemma text, pron text, pos text);"
        "CREATE TABLE sense (synset text, wordid integer, lang text, rank text, lexid integer, freq integer, src text);"
        "CREATE TABLE synset (synset text, pos text, name text, src text);"
        "BEGIN;";
    int id = 1;
    // The same English word in several synsets keeps one word id.
    std::vector<std::pair<std::string, int>> known;
    const auto wordId = [&](const std::string& lemma, const char* lang) {
        for (const auto& [name, number] : known)
            if (name == std::string(lang) + ":" + lemma) return number;
        known.emplace_back(std::string(lang) + ":" + lemma, id);
        char* quotedLemma = sqlite3_mprintf("%Q", lemma.c_str());
        sql += "INSERT INTO word VALUES (" + std::to_string(id) + ", '" + lang + "', " + quotedLemma + ", NULL, 'n');";
        sqlite3_free(quotedLemma);
        return id++;
    };
    for (const Synset& synset : synsets) {
        sql += "INSERT INTO synset VALUES ('" + synset.id + "', 'n', 'x', 'test');";
        for (const std::string& lemma : synset.english)
            sql += "INSERT INTO sense VALUES ('" + synset.id + "', " + std::to_string(wordId(lemma, "eng")) +
                   ", 'eng', NULL, 0, 0, 'test');";
        for (const std::string& lemma : synset.japanese)
            sql += "INSERT INTO sense VALUES ('" + synset.id + "', " + std::to_string(wordId(lemma, "jpn")) +
                   ", 'jpn', NULL, 0, 0, 'test');";
    }
    sql += "COMMIT;";
    return sqlite3_exec(db.get(), sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

inline std::vector<Synset> sampleSynsets() {
    std::vector<Synset> synsets = {
        {"02084071-n", {"dog", "domestic dog"}, {"犬", "イヌ", "ドッグ"}},
        {"10114209-n", {"dog", "frump"}, {"ブス"}},
        {"07676602-n", {"hotdog", "hot dog"}, {"ホットドッグ"}},
        {"02103406-n", {"dogfish"}, {"ツノザメ"}},
        {"00001740-n", {"don't"}, {"禁止"}},
        {"00002000-n", {"cat"}, {"猫"}},
        {"00002001-n", {"doge"}, {"総督"}},
    };
    // Forty words beginning with "dog", for the row limit.
    for (int i = 0; i < 40; ++i)
        synsets.push_back({"1" + std::to_string(1000000 + i) + "-n", {"dogword" + std::to_string(100 + i)}, {"語"}});
    return synsets;
}

}  // namespace veltrix::test
