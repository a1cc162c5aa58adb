// The lyrics view's bilingual tools as text operations: runs by character
// and by sentence, the swap's exact output, and the pairs for the exports.
#include <gtest/gtest.h>

#include "editor/BilingualText.h"

namespace {

TEST(BilingualText, SwappingByCharacterRunsPutsTheJapaneseLineFirst) {
    const std::u16string text = u"Hello.\r\nこんにちは。\r\n";
    const auto runs = bilingual::characterRuns(text);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(bilingual::swapRuns(text, runs), u"こんにちは。\r\nHello.\r\n\r\n");
    // A Japanese run goes on over spaces and line breaks, an English one over
    // Latin-1 letters; an odd last run is kept as it stands.
    const std::u16string three = u"日本 語\r\nCafé au lait\r\nおわり\r\n";
    const auto threeRuns = bilingual::characterRuns(three);
    ASSERT_EQ(threeRuns.size(), 3u);
    EXPECT_EQ(bilingual::swapRuns(three, threeRuns), u"Café au lait\r\n日本 語\r\n\r\nおわり\r\n");
}

TEST(BilingualText, SwappingBySentencesKeepsEnglishPunctuationWithItsRun) {
    const std::u16string text = u"I like tea. It is hot.\r\n私はお茶が好きです。熱いです。\r\nSee you.\r\nまたね。";
    EXPECT_EQ(bilingual::swapRuns(text, bilingual::sentenceRuns(text)),
              u"私はお茶が好きです。熱いです。\r\nI like tea. It is hot.\r\n\r\nまたね。\r\nSee you.\r\n\r\n");
}

TEST(BilingualText, PairsPutTheEnglishRunFirstWhicheverComesFirstAndKeepAnOddRun) {
    const std::u16string japaneseFirst = u"りんご\r\napple\r\nみかん\r\norange\r\nぶどう\r\n";
    const auto words = bilingual::languagePairs(japaneseFirst, bilingual::LineBreaks::Remove);
    ASSERT_EQ(words.size(), 3u);
    EXPECT_EQ(words[0].english, u"apple");
    EXPECT_EQ(words[0].japanese, u"りんご");
    EXPECT_EQ(words[1].english, u"orange");
    EXPECT_EQ(words[2].english, u"");
    EXPECT_EQ(words[2].japanese, u"ぶどう");
    // Sentence pairs keep their line breaks, which separate the rows once
    // the sentences are joined in the lyrics view.
    const auto sentences = bilingual::languagePairs(u"Good morning.\r\nおはよう。\r\n", bilingual::LineBreaks::Keep);
    ASSERT_EQ(sentences.size(), 1u);
    EXPECT_EQ(sentences[0].english, u"Good morning.\r\n");
    EXPECT_EQ(sentences[0].japanese, u"おはよう。\r\n");
}

}  // namespace
