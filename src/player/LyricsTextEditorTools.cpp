// The lyrics view's bilingual tools: swapping English and Japanese parts of
// the selection, and saving its pairs as a sentence-list file.
#include "editor/BilingualText.h"
#include "lyrics/SentenceListFile.h"
#include "player/LyricsTextEditor.h"
#include "toolkit/FileChooser.h"
#include "toolkit/PopupMenu.h"

namespace {

const std::u16string kXmlFilter = std::u16string(u"XML files {*.xml}\0*.xml\0All files {*.*}\0*.*\0", 44);

}  // namespace

void LyricsTextEditor::buildContextMenu(PopupMenu& menu) {
    TextEditor::buildContextMenu(menu);
    const ItemState state = selectionStart() != selectionEnd() ? ItemState::Enabled : ItemState::Greyed;
    menu.addMenuItem(u"", 0);
    menu.addMenuItem(u"選択範囲にある、日本文と英文の位置を入れ替える", kCommandSwapByCharacters, state);
    menu.addMenuItem(u"選択範囲にある、日本文と英文の位置をセンテンスで入れ替える", kCommandSwapBySentences, state);
    menu.addMenuItem(u"選択範囲にある、日本文と英文の組を XML 形式にする", kCommandSentencePairs, state);
    menu.addMenuItem(u"選択範囲にある、日単語と英単語の組を XML 形式にする", kCommandWordPairs, state);
}

bool LyricsTextEditor::runCommand(int command) {
    switch (command) {
        case kCommandSwapByCharacters:
        case kCommandSwapBySentences: {
            const std::u16string text = selectedText();
            if (text.empty() || readOnly()) return true;
            const auto runs =
                command == kCommandSwapByCharacters ? bilingual::characterRuns(text) : bilingual::sentenceRuns(text);
            replaceSelection(bilingual::swapRuns(text, runs), Recording::On);
            scrollCaretIntoView();
            return true;
        }
        case kCommandSentencePairs:
            exportSentencePairs();
            return true;
        case kCommandWordPairs:
            exportWordPairs();
            return true;
        default:
            return TextEditor::runCommand(command);
    }
}

bool LyricsTextEditor::exportSentencePairs() {
    const std::u16string text = selectedText();
    if (text.empty()) return false;
    std::vector<SentencePair> pairs;
    for (bilingual::Pair& pair : bilingual::languagePairs(text, bilingual::LineBreaks::Keep))
        pairs.push_back(SentencePair{std::move(pair.english), std::move(pair.japanese)});
    return saveExport(sentencePairsXml(pairs));
}

bool LyricsTextEditor::exportWordPairs() {
    const std::u16string text = selectedText();
    if (text.empty()) return false;
    std::vector<WordPair> words;
    for (bilingual::Pair& pair : bilingual::languagePairs(text, bilingual::LineBreaks::Remove))
        words.push_back(WordPair{std::move(pair.english), std::move(pair.japanese)});
    return saveExport(wordListXml(words));
}

bool LyricsTextEditor::saveExport(std::u16string_view xml) {
    const std::u16string path = chooseSaveFile(handle_, u"", kXmlFilter, u"", u"xml");
    if (path.empty()) return false;
    if (saveUtf16File(path, xml)) return true;
    MessageBoxW(handle_, (path + u"\r\nファイルの作成に失敗しました。").c_str(), u"Veltrix", MB_OK | MB_TOPMOST);
    return false;
}
