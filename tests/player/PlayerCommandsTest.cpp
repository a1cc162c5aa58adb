// The player's command table: which commands wait for an audio file, which
// keys and tool-bar buttons they have, in the orders the main window and the
// tool bar rely on.
#include <gtest/gtest.h>

#include <vector>

#include "player/PlayerCommands.h"

namespace {

using namespace player_commands;

TEST(PlayerCommands, TheCommandsThatWaitForAnAudioFile) {
    for (int command : {101, 102, 103, 104, 105, 106, 107, 108, 109, 112, 114, 115, 119, 120})
        EXPECT_TRUE(needsAudio(command)) << command;
    // An unknown number needs nothing and does nothing.
    for (int command : {100, 110, 111, 113, 116, 117, 118, 121, 0, 99, 122})
        EXPECT_FALSE(needsAudio(command)) << command;
    EXPECT_NE(find(110), nullptr);
}

TEST(PlayerCommands, TheToolBarsButtonsInTheirSlots) {
    std::vector<int> commands;
    for (int slot = 0; slot < toolButtonCount(); ++slot) commands.push_back(toolButtonAt(slot)->command);
    EXPECT_EQ(commands, (std::vector<int>{100, 112, 102, 119, 120, 105, 114, 121}));
    EXPECT_EQ(toolButtonAt(0)->button.style, BTNS_DROPDOWN);
    EXPECT_EQ(toolButtonAt(7)->button.style, BTNS_CHECK);
    EXPECT_EQ(toolButtonAt(8), nullptr);
    EXPECT_EQ(std::u16string(find(ApplyPanes)->button.tip), u"選択中のセンテンスに翻訳文・解説文を設定する (Ctrl+J)");
}

TEST(PlayerCommands, EveryTipNamesItsCommandsKey) {
    for (const Row& row : kRows) {
        if (row.button.slot < 0 || !row.key.key) continue;
        std::u16string key = row.key.modifiers & FSHIFT ? u"Ctrl+Shift+" : u"Ctrl+";
        if (row.key.key == VK_UP)
            key += u"Up";
        else if (row.key.key == VK_DOWN)
            key += u"Down";
        else
            key += static_cast<char16_t>(row.key.key);
        EXPECT_NE(std::u16string(row.button.tip).find(u"(" + key + u")"), std::u16string::npos) << row.command;
    }
}

}  // namespace
