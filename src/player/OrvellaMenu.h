// The player's "Menu..." pop-up (command 111) and its theme menu (command
// 110), and the actions of their items that belong to no other part of the
// player: the LRC export's front end, the ID3 editor, the downloaders with
// their settings, and handing the sentence list to the sibling study program.
//
// Which items the menu has, and which are enabled, is a pure function of the
// program's state (PlayerMenuState), so that it can be checked in every state.
// The downloader items for the Japanese programmes appear only for a Japanese
// or Taiwanese locale. The tools numbered 10, 66 and 300 have no item of their
// own in the menu; holding Shift while the menu opens adds them at its end.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "download/DownloaderShortcut.h"
#include "platform/win32.h"

class Element;
class Orvella;

struct PlayerMenuState {
    bool audioOpen = false;
    bool playing = false;
    bool fileListHasRows = false;
    // The last automatic timing can be taken back.
    bool timingUndoable = false;
    LCID threadLocale = 1033;
    LCID systemLocale = 1033;
    // "Plugins/flvstreamer", which the phrase downloader records with.
    bool streamRecorderPresent = false;
    // Shift was held: the tools without an item of their own are listed too.
    bool moreTools = false;
};

struct PlayerMenuItem {
    std::u16string_view text;  // empty for a separator
    UINT number = 0;           // 0 for a separator
    bool enabled = true;
};

class OrvellaMenu {
public:
    // The numbers of the menu's items, which its handler also answers.
    enum Item : UINT {
        ReloadLyrics = 1,
        CaptionDownloader = 2,
        Themes = 3,
        SaveAsMp3 = 6,
        SaveAsLrc = 8,
        SavePlaylist = 9,
        VoaListManager = 10,
        Id3Editor = 11,
        WordList = 12,
        NewsDownloader = 15,
        PhraseDownloader = 16,
        SendToMorvane = 30,
        LectureDownloader = 66,
        WebsiteDownloader = 300,
        // The automatic timing's commands, offered here as well.
        TimeSentences = 220,
        UndoTimeSentences = 221,
    };
    // The theme menu numbers theme i as kFirstTheme + i.
    static constexpr UINT kFirstTheme = 10;
    static constexpr char16_t kMorvaneSection[] = u"Morvane";
    static constexpr char16_t kMorvaneDefault[] = u"Morvane.exe";

    explicit OrvellaMenu(Orvella& player) : player_(player) {}

    static std::vector<PlayerMenuItem> items(const PlayerMenuState& state);
    // The theme menu's texts: the name, then a tab and the author in
    // parentheses when there is one; numbered from kFirstTheme in list order.
    static std::vector<std::u16string> themeItems(const Element& themeList);
    // The state of the player now; the locale from the environment.
    PlayerMenuState currentState() const;

    // Command 111: shows the menu at the pointer and carries out the choice.
    void show();
    // Carries out an item's action (also 10, 66 and 300). An item whose
    // condition fails does nothing.
    void perform(UINT number);
    // Command 110: one item per theme; the chosen theme is applied, not saved.
    void showThemeMenu();

    // Item 8: asks for a name beside the audio and writes the LRC file; a
    // failure is reported. True when the file was written.
    bool saveAsLrc();
    // Item 30: starts the program the settings name (asked for when it is not
    // there) with the sentence list's path. True when it was started.
    bool sendToMorvane();
    // Item 11: the ID3 editor on the sentence list's id3 block; edits count as
    // unsaved edits of the list. True when OK changed something.
    bool editId3();

    DownloaderShortcut& downloaders() { return downloaders_; }

private:
    bool itemAllowed(UINT number) const;

    Orvella& player_;
    DownloaderShortcut downloaders_;
};
