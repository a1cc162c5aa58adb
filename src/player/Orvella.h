// The player component that fills the main window: it owns the audio player,
// the sentence table, the lyrics view with its timing index, the translation
// and explanation panes and the file list, carries out the player's commands
// (100 to 121) from the tool bar, the buttons and the accelerators, and keeps
// the highlight in step with playback through PlayerCore.
//
// Layout (width W, height H): the sentence table and the lyrics view share
// the top H - 136 pixels (the explanation pane, when shown, takes the lower
// half of the lyrics view's place); below them the tool row (21 pixels) with
// the number fields at the right, the translation pane (86 pixels at
// H - 113) and the bottom row at H - 24: "Menu...", play, stop, the time
// slider, the volume slider and the time label.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "audio/BassPlayer.h"
#include "dictionary/WordListDialog.h"
#include "editor/FindAndReplacePane.h"
#include "editor/TextEditor.h"
#include "editor/TextEditorListener.h"
#include "lyrics/SentenceListHost.h"
#include "player/AutoTiming.h"
#include "player/ChannelPane.h"
#include "player/FileTable.h"
#include "player/LyricsEditing.h"
#include "player/LyricsTable.h"
#include "player/LyricsTextEditor.h"
#include "player/MediaSession.h"
#include "player/OrvellaMenu.h"
#include "player/PlayerCommands.h"
#include "player/PlayerControls.h"
#include "player/PlayerCore.h"
#include "player/RecentFileList.h"
#include "player/StudyTools.h"
#include "toolkit/Button.h"
#include "toolkit/Component.h"
#include "toolkit/Image.h"
#include "toolkit/LabelComponent.h"
#include "toolkit/Slider.h"
#include "toolkit/ToolBar.h"
#include "toolkit/ToolWindow.h"
#include "toolkit/UpDownTextField.h"
#include "xml/XMLParser.h"

class Orvella : public Component, public PlayerControls, public SentenceListHost, public TextEditorListener {
public:
    // A 24 x 24 button showing one cell of "Resources/AudioTool.png" instead of its text.
    class FaceButton : public Button {
    public:
        void paintLabel(Graphics&) override {}
        // The cell fills the button: row 0 normally, 24 under the pointer,
        // 48 while pressed; a disabled button shows its normal face dimmed.
        void paintFace(Graphics& g) override;
        void paintImage(Graphics& g) override;
        // Shows column x of the picture (0 Play, 24 Pause, 48 Stop).
        void showColumn(int x);

    private:
        int column_ = 0;
    };
    // Its caption is its state, "Play" or "Pause"; the face follows it.
    class PlayButton : public FaceButton {
    public:
        void setText(const std::u16string& text) override;
    };
    class TimeSlider : public Slider {};
    class VolumeSlider : public Slider {};

    // Command identifiers (player/PlayerCommands.h).
    using enum player_commands::Command;
    // Items of the player's menu ("Menu...", OrvellaMenu.h).
    static constexpr UINT kMenuReloadLyrics = OrvellaMenu::ReloadLyrics;
    static constexpr UINT kMenuSaveAsMp3 = OrvellaMenu::SaveAsMp3;
    static constexpr UINT kMenuSavePlaylist = OrvellaMenu::SavePlaylist;
    static constexpr UINT kMenuWordList = OrvellaMenu::WordList;
    static constexpr UINT kMenuTimeSentences = TimeSentences;
    static constexpr UINT kMenuUndoTimeSentences = UndoTimeSentences;
    // How far the word list dialog moves left of and above the pointer.
    static constexpr int kWordListOffset = 160;
    static constexpr int kLyricsTableId = 1001;
    static constexpr int kFileTableId = 1002;
    static constexpr int kTempoFieldId = 1003;
    static constexpr int kPitchFieldId = 1004;
    static constexpr int kFontFieldId = 1005;
    static constexpr int kTimeSliderId = 1006;
    static constexpr int kVolumeSliderId = 1007;
    static constexpr char16_t kSection[] = u"Player";
    static constexpr COLORREF kBackground = 0xFFFFFF;
    static constexpr COLORREF kText = 0x171717;
    static constexpr COLORREF kLyricsBackground = 0xFAFFFA;
    // Ranges of the number fields.
    static constexpr int kTempoMin = 50, kTempoMax = 360;
    static constexpr int kPitchMin = 50, kPitchMax = 300;
    static constexpr int kFontMin = 8, kFontMax = 32;

    // On the process-wide audio library in the program's Plugins folder.
    Orvella();
    ~Orvella() override;

    // Creates the child controls, loads the settings and the themes,
    // initialises the audio and sets the main window's title.
    bool create(HWND parent) override;
    void destroyWindow() override;

    bool openFile(const std::u16string& path) { return core_.openFile(path); }
    void reloadLyrics();
    void saveSentenceList();
    void loadPlayerSettings();
    void savePlayerSettings();
    // Reads a theme list (the program's is "Resources/OrvellaThemeList.xml").
    // A broken file shows the XML reader's message with its row and column
    // and keeps the themes read before; a missing one says nothing.
    bool loadThemeList(const std::u16string& path);
    // The theme list read at start; null when there is none.
    const Element* themeList() const { return themes_.getRoot(); }
    void applyTheme(int index);
    // The number fields and the volume slider, as their change notifications.
    void setTempoValue(int value);
    void setPitchValue(int value);
    void setFontValue(int value);
    void setVolumeValue(int value);
    void setExplanationVisible(bool visible);
    // Menu item 6: asks for a target and exports the open audio as an MP3 at
    // the tempo, pitch and volume set, with the sentences as synchronised
    // lyrics; then opens the audio again, since the export left the player
    // with a decoding stream. True when the file was written.
    bool saveAsMp3();
    // Command 117: opens the word list dialog, or brings an open one to the pointer.
    void showWordList();
    // Command 116: opens the find-and-replace pane on the lyrics view, or
    // brings an open one forward with the view's selection as its find text.
    void showFindPane();
    // Menu item 9: the file list as an M3U playlist, named in a save dialog;
    // the narrow code page is the system's for the whole command.
    void savePlaylist();
    // The file chooser used by command 100 (the open dialog).
    using FileChooser = std::function<std::u16string(std::u16string_view filter, const std::u16string& initial)>;
    void setFileChooser(FileChooser chooser) { chooser_ = std::move(chooser); }

    // Component ---------------------------------------------------------------------------
    void onCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT onNotify(WPARAM wParam, LPARAM lParam) override;
    LRESULT onSize(WPARAM type, LPARAM size) override;
    bool onTimer(UINT_PTR id, LPARAM lParam) override;
    // Asks whether to save unsaved edits (Yes saves, No discards, Cancel
    // keeps the window); then saves the settings and closes the audio. Once
    // the session's end has been agreed it closes without asking again.
    bool onClose() override;
    // The session is ending (WM_QUERYENDSESSION). With someone to answer it
    // asks as closing does and may refuse; unattended it keeps unsaved edits
    // in the audio's recovery file (RecoveryFile.h), leaves the XML file on
    // disk as it was, and agrees.
    bool queryEndSession(bool unattended);
    // WM_ENDSESSION: when the session goes on after all, a later close asks again.
    void endSession(bool ending) { sessionEnding_ = ending; }
    bool onFilesDropped(const std::vector<std::u16string>& paths) override;
    LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    // PlayerControls ----------------------------------------------------------------------
    int timeSliderValue() const override { return timeSlider_.position(); }
    void setTimeSliderValue(int value) override;
    void setTimeSliderRange(int maximum) override;
    std::u16string playCaption() const override { return caption_; }
    void setPlayCaption(const std::u16string& caption) override;
    void enablePlayButton(Enable enable) override;
    void enableStopButton(Enable enable) override;
    std::u16string timeLabel() const override { return label_; }
    void setTimeLabel(const std::u16string& text) override;
    int tempo() const override { return tempo_; }
    int pitch() const override { return pitch_; }
    int volume() const override { return volume_; }
    void setTitle(const std::u16string& title) override;
    void startTimer(UINT_PTR id) override;
    void stopTimer(UINT_PTR id) override;

    // SentenceListHost ---------------------------------------------------------------------
    bool openAudio(const std::u16string& path) override { return core_.openAudioForReader(path); }
    std::u16string chooseAudioFile(std::u16string_view filter, const std::u16string& initialPath) override;
    void showMessage(const std::u16string& text, MessageOwner owner) override;

    // TextEditorListener --------------------------------------------------------------------
    void modifiedChanged(TextEditor& editor) override;

    // Parts, for the window's owner and tests.
    PlayerCore& core() { return core_; }
    LyricsEditing& editing() { return editing_; }
    LyricsTable& lyricsTable() { return lyricsTable_; }
    LyricsTextEditor& lyricsView() { return lyricsView_; }
    TextEditor& translationPane() { return translationPane_; }
    TextEditor& explanationPane() { return explanationPane_; }
    FileTable& fileTable() { return fileTable_; }
    ChannelPane& channels() { return channels_; }
    RecentFileList& recentFiles() { return recentFiles_; }
    StudyTools& study() { return study_; }
    WordListDialog& wordListDialog() { return wordListDialog_; }
    FindAndReplacePane& findPane() { return findPane_; }
    OrvellaMenu& menu() { return menu_; }
    AutoTiming& autoTiming() { return autoTiming_; }
    BassPlayer& audio() { return audio_; }
    bool playEnabled() const { return playEnabled_; }
    bool stopEnabled() const { return stopEnabled_; }
    int sliderMaximum() const { return timeSlider_.maximum(); }
    int fontValue() const { return fontSize_; }
    bool explanationVisible() const { return explanationVisible_; }
    Button& menuButton() { return menuButton_; }
    PlayButton& playButton() { return playButton_; }
    FaceButton& stopButton() { return stopButton_; }
    TimeSlider& timeSlider() { return timeSlider_; }
    VolumeSlider& volumeSlider() { return volumeSlider_; }
    UpDownTextField& tempoField() { return tempoField_; }
    ToolBar& toolBar() { return toolBar_; }
    LabelComponent& timeLabelComponent() { return timeLabel_; }

private:
    void layout(int width, int height);
    void themePanesLikeLyricsView();
    // The "File" tab, in an open channel pane.
    void showFileTab();
    void execute(int command);
    void onLyricsTableNotify(const NMHDR& header);
    void clickAtPointer();
    void createControls();
    void createToolBar();
    // A change reported by one of the number fields or sliders; false for other windows.
    bool controlChanged(HWND control);
    bool askYesNo(const std::u16string& text, const std::u16string& caption);
    // IDYES keeps the times already set, IDNO times every sentence, IDCANCEL stops.
    int askKeepTimes();
    // Asks about unsaved edits and saves them when told to; false when the
    // user cancelled or the save failed (and said why).
    bool settleUnsavedEdits();
    // After an audio file opened: a recovery file of it is offered, then removed.
    void offerRecovery();

    BassPlayer audio_;
    LyricsTable lyricsTable_;
    FileTable fileTable_;
    // Holds both tables as its tabs; declared after them so it goes first.
    ChannelPane channels_;
    LyricsTextEditor lyricsView_;
    TextEditor translationPane_;
    TextEditor explanationPane_;
    LyricsEditing editing_{lyricsTable_, lyricsView_, translationPane_, explanationPane_};
    WordListDialog wordListDialog_{editing_.document().wordList()};
    FindAndReplacePane findPane_{&lyricsView_};
    PlayerCore core_;
    StudyTools study_{audio_, core_, editing_, *this};
    AutoTiming autoTiming_{editing_, [this](const std::u16string& text) { showMessage(text, MessageOwner::Player); },
                           [this] { return askKeepTimes(); }};
    RecentFileList recentFiles_;
    XMLParser themes_;
    ToolWindow toolWindow_;
    ToolBar toolBar_;
    Button menuButton_;
    PlayButton playButton_;
    FaceButton stopButton_;
    TimeSlider timeSlider_;
    VolumeSlider volumeSlider_;
    LabelComponent timeLabel_;
    UpDownTextField fontField_;
    UpDownTextField tempoField_;
    UpDownTextField pitchField_;
    FileChooser chooser_;
    MediaSession media_;
    OrvellaMenu menu_{*this};

    std::u16string caption_ = PlayerCore::kPlay;
    std::u16string label_ = u"00:00/00:00";
    bool playEnabled_ = false;
    bool stopEnabled_ = false;
    int tempo_ = 100;
    int pitch_ = 100;
    int volume_ = 100;
    int fontSize_ = 20;
    bool explanationVisible_ = false;
    bool sessionEnding_ = false;
    int width_ = 0;
    int height_ = 0;
};
