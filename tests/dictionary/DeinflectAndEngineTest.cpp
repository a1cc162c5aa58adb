// The base-form guess of the word list's second look-up, and the engine that
// picks PDIC or WordNet by the dictionary's path.
#include <gtest/gtest.h>

#include "PDicTestSupport.h"
#include "WordNetFixture.h"
#include "dictionary/Deinflect.h"
#include "dictionary/DictionaryEngine.h"

using namespace veltrix::test;

TEST(Deinflect, EachRuleInItsOrder) {
    const std::pair<const char16_t*, const char16_t*> cases[] = {
        {u"happily", u"happy"},  {u"quickly", u"quick"},   {u"tried", u"try"},       {u"panicked", u"panic"},
        {u"stopped", u"stop"},   {u"played", u"play"},     {u"walking", u"walk"},    {u"cats", u"cat"},
        {u"cries", u"cry"},      {u"goes", u"go"},         {u"wolves", u"wolf"},     {u"boxes", u"box"},
        {u"happiest", u"happy"}, {u"biggest", u"big"},     {u"fastest", u"fast"},    {u"happier", u"happy"},
        {u"bigger", u"big"},     {u"faster", u"fast"},     {u"making", u"mak"},      {u"lives", u"lif"},
        {u"rhythm", u"rhythm"},  {u"run", u"run"},         {u"is", u"is"},           {u"", u""},
        {u"West", u"W"},         {u"STOPPED", u"STOPPED"}, {u"aest", u"a"},          {u"ooest", u"o"},
        {u"pass", u"pas"},       {u"glass", u"glas"},      {u"walkING", u"walkING"},
    };
    for (const auto& [word, base] : cases) EXPECT_EQ(deinflect(word), base);
}

TEST(DictionaryEngine, ChoosesTheBackEndByThePath) {
    TempDir folder;
    ASSERT_TRUE(writePDic(folder.native("english.dic"), entriesFor({u"make", u"maker", u"making"}), PDicLayout{}));
    ASSERT_TRUE(buildWordNet(folder.native("wnjpn.db").string(), sampleSynsets()));

    DictionaryEngine engine;
    int truncated = 0;
    EXPECT_EQ(engine.search(u"make", SearchMode::Prefix, 30, truncated), 0);  // nothing open
    ASSERT_TRUE(engine.open(folder.file("english.dic")));
    EXPECT_EQ(engine.search(u"mak", SearchMode::Prefix, 2, truncated), 2);
    EXPECT_EQ(truncated, 1);
    DictionaryHit hit;
    hit.level = 99;
    ASSERT_EQ(engine.hitAt(1, hit), 0);
    EXPECT_EQ(hit.key, u"maker");
    EXPECT_EQ(hit.value, u"訳:maker");
    EXPECT_EQ(hit.explanation, u"例: maker here");
    EXPECT_EQ(hit.pronunciation, u"[maker]");
    EXPECT_EQ(hit.level, 1);
    EXPECT_NE(engine.hitAt(2, hit), 0);

    // Any path containing "wnjpn.db" is the WordNet database.
    ASSERT_TRUE(engine.open(folder.file("wnjpn.db")));
    EXPECT_EQ(engine.search(u"cat", SearchMode::Exact, 30, truncated), 1);
    DictionaryHit word;
    word.explanation = u"kept";
    word.level = 7;
    ASSERT_EQ(engine.hitAt(0, word), 0);
    EXPECT_EQ(word.key, u"cat");
    EXPECT_EQ(word.value, u"猫");
    EXPECT_EQ(word.explanation, u"kept");
    EXPECT_EQ(word.level, 7);

    // A PDIC file named like the database is taken for one: nothing is
    // found in it, and the rows of the database before are gone.
    folder.write("not-wnjpn.db.dic", folder.read("english.dic"));
    engine.open(folder.file("not-wnjpn.db.dic"));
    EXPECT_EQ(engine.search(u"make", SearchMode::Prefix, 30, truncated), 0);
    EXPECT_NE(engine.hitAt(0, word), 0);
    EXPECT_FALSE(engine.open(folder.file("missing.dic")));
}

TEST(DictionaryEngine, LongTextsAreCutToTheWordListsLimits) {
    TempDir folder;
    PDicEntry entry{std::u16string(1500, u'k'),
                    std::u16string(3500, u'v'),
                    std::u16string(25000, u'e'),
                    std::u16string(1200, u'p'),
                    0,
                    {}};
    PDicLayout layout;
    layout.blockSize = 1024;
    layout.wideLengths = true;
    // Titles are at most 1024 bytes: the key's cut is for the other texts' sake.
    entry.title = std::u16string(1000, u'k');
    ASSERT_TRUE(writePDic(folder.native("long.dic"), {entry}, layout));
    DictionaryEngine engine;
    ASSERT_TRUE(engine.open(folder.file("long.dic")));
    int truncated = 0;
    ASSERT_EQ(engine.search(u"kk", SearchMode::Prefix, 30, truncated), 1);
    DictionaryHit hit;
    ASSERT_EQ(engine.hitAt(0, hit), 0);
    EXPECT_EQ(hit.key.size(), 1000u);
    EXPECT_EQ(hit.value.size(), 2999u);
    EXPECT_EQ(hit.explanation.size(), 19999u);
    EXPECT_EQ(hit.pronunciation.size(), 999u);
}
