// The WordNet look-up on a small database in the wnjpn.db schema: exact and
// prefix queries, the row limit, quoting, and that the database is only read.
#include <gtest/gtest.h>

#include <filesystem>

#include "WordNetFixture.h"
#include "dictionary/WordNetDatabase.h"
#include "support/TempDir.h"

using namespace veltrix::test;

namespace {

class WordNet : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(buildWordNet(folder.native("wnjpn.db").string(), sampleSynsets()));
        ASSERT_TRUE(database.open(folder.file("wnjpn.db")));
    }
    std::vector<std::pair<std::u16string, std::u16string>> pairs() const {
        std::vector<std::pair<std::u16string, std::u16string>> out;
        for (int i = 0; i < static_cast<int>(database.rows().size()); ++i) {
            std::u16string key, value;
            EXPECT_TRUE(database.hitAt(i, key, value));
            out.emplace_back(key, value);
        }
        return out;
    }
    TempDir folder;
    WordNetDatabase database;
};

}  // namespace

TEST_F(WordNet, ExactSearchGivesEveryJapaneseLemmaOfEverySynset) {
    EXPECT_EQ(database.search(u"dog", SearchMode::Exact, 30), 4);
    auto found = pairs();
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<std::pair<std::u16string, std::u16string>>{
                         {u"dog", u"イヌ"}, {u"dog", u"ドッグ"}, {u"dog", u"ブス"}, {u"dog", u"犬"}}));
    // The four columns: synset, English lemma, Japanese lemma, English word id.
    EXPECT_EQ(database.rows()[0][1], u"dog");
    EXPECT_FALSE(database.rows()[0][0].empty());
    EXPECT_FALSE(database.rows()[0][3].empty());
    std::u16string key, value;
    EXPECT_FALSE(database.hitAt(4, key, value));
}

TEST_F(WordNet, PrefixSearchIsLimitedAndOrderedByTheEnglishLemma) {
    EXPECT_EQ(database.search(u"dog", SearchMode::Prefix, 30), 30);
    const auto found = pairs();
    for (std::size_t i = 0; i < found.size(); ++i) {
        EXPECT_EQ(found[i].first.substr(0, 3), u"dog");
        if (i > 0) {
            EXPECT_LE(found[i - 1].first, found[i].first);
        }
    }
    // LIKE matches ASCII letters whatever their case; hot dog does not begin with dog.
    WordNetDatabase again;
    ASSERT_TRUE(again.open(folder.file("wnjpn.db")));
    EXPECT_EQ(again.search(u"DOGF", SearchMode::Prefix, 0), 1);
    EXPECT_EQ(again.rows()[0][1], u"dogfish");
}

TEST_F(WordNet, RowsOfSearchesAddUp) {
    EXPECT_EQ(database.search(u"cat", SearchMode::Exact, 30), 1);
    EXPECT_EQ(database.search(u"doge", SearchMode::Exact, 30), 2);
}

TEST_F(WordNet, AWordWithAQuoteIsOneStringLiteral) {
    EXPECT_EQ(database.search(u"don't", SearchMode::Exact, 30), 1);
    EXPECT_EQ(pairs().front().second, u"禁止");
    EXPECT_NE(WordNetDatabase::queryText(u"don't", SearchMode::Exact).find(u"word_en.lemma='don''t' "),
              std::u16string::npos);
    // An attempt to end the literal and run a statement of its own finds
    // nothing and changes nothing.
    WordNetDatabase other;
    ASSERT_TRUE(other.open(folder.file("wnjpn.db")));
    EXPECT_EQ(other.search(u"x'; DROP TABLE word; --", SearchMode::Prefix, 30), 0);
    EXPECT_EQ(other.search(u"cat", SearchMode::Exact, 30), 1);
}

TEST_F(WordNet, TheQueryIsTheOneSelectStatement) {
    const std::u16string exact = WordNetDatabase::queryText(u"dog", SearchMode::Exact);
    EXPECT_EQ(exact.substr(0, 38), u"SELECT DISTINCT sense_B.synset, word_e");
    EXPECT_NE(exact.find(u"sense_B.wordid = word_ja.wordid and word_en.lemma='dog' ORDER BY word_en.lemma"),
              std::u16string::npos);
    const std::u16string prefix = WordNetDatabase::queryText(u"dog", SearchMode::Prefix);
    EXPECT_NE(prefix.find(u"word_ja.wordid and word_en.lemma LIKE 'dog%' ORDER BY word_en.lemma"),
              std::u16string::npos);
}

TEST_F(WordNet, TheDatabaseIsOnlyRead) {
    const auto before = std::filesystem::last_write_time(folder.native("wnjpn.db"));
    const std::string bytes = folder.read("wnjpn.db");
    database.search(u"dog", SearchMode::Prefix, 0);
    database.close();
    EXPECT_EQ(folder.read("wnjpn.db"), bytes);
    EXPECT_EQ(std::filesystem::last_write_time(folder.native("wnjpn.db")), before);
}

TEST(WordNetOpen, AMissingDatabaseIsNotCreated) {
    TempDir folder;
    std::filesystem::create_directories(folder.native("Dictionaries/WordNet"));
    WordNetDatabase database;
    EXPECT_FALSE(database.open(folder.file("Dictionaries/WordNet/wnjpn.db")));
    EXPECT_FALSE(database.isOpen());
    EXPECT_FALSE(std::filesystem::exists(folder.native("Dictionaries/WordNet/wnjpn.db")));
    EXPECT_EQ(database.search(u"dog", SearchMode::Prefix, 30), 0);
}

TEST(WordNetOpen, AFileThatIsNoDatabaseGivesNoRows) {
    TempDir folder;
    folder.write("wnjpn.db", std::string(4096, 'x'));
    WordNetDatabase database;
    // SQLite reads the file only when the query runs; the query then fails.
    if (database.open(folder.file("wnjpn.db"))) {
        EXPECT_EQ(database.search(u"dog", SearchMode::Prefix, 30), 0);
    }
    EXPECT_EQ(folder.read("wnjpn.db"), std::string(4096, 'x'));
}
