// A headless frame holding the player's sentence views (table, lyrics view,
// translation and explanation panes) with the editing operations over them,
// and helpers that write and read real sentence-list files.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "lyrics/SentenceListFile.h"
#include "platform/display/Headless.h"
#include "player/LyricsEditing.h"
#include "support/TempDir.h"
#include "toolkit/BaseWindow.h"

namespace veltrix::test {

// Stands in for the player when files are read and written.
struct RecordingHost : SentenceListHost {
    bool openAudio(const std::u16string& path) override {
        opened.push_back(path);
        return true;
    }
    std::u16string chooseAudioFile(std::u16string_view, const std::u16string&) override { return {}; }
    void showMessage(const std::u16string& text, MessageOwner) override { messages.push_back(text); }
    std::vector<std::u16string> opened;
    std::vector<std::u16string> messages;
};

class LyricsViews : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes a sentence list of the given entries beside an (empty) audio
    // file in the temporary folder and loads it into the views.
    void loadEntries(const std::vector<SentenceGroup>& entries);
    // Six rows "S0. " .. "S5. " with starts 1000, 2000, ... and translations T0..T5.
    void loadSix();
    // Writes the views back to their file and reads it into a fresh document.
    std::unique_ptr<SentenceList> saveAndReread();

    std::u16string sentenceAt(int row) const { return table.getValueAt(row, LyricsTable::Sentence); }
    std::vector<std::u16string> sentences() const;
    // Checks that the table, the timing index and the text agree.
    void expectInStep() const;

    TempDir folder;
    RecordingHost host;
    BaseWindow frame;
    LyricsTable table;
    LyricsTextEditor lyrics;
    TextEditor translation;
    TextEditor explanation;
    LyricsEditing editing{table, lyrics, translation, explanation};
};

}  // namespace veltrix::test
