#include "player/Orvella.h"

#include <algorithm>
#include <cstdio>

#include "app/Paths.h"
#include "app/Settings.h"
#include "editor/EditorTheme.h"
#include "lyrics/Playlist.h"
#include "platform/api/Desktop.h"
#include "platform/api/Toolbar.h"
#include "platform/common/FileExtension.h"
#include "player/LyricsEditDialog.h"
#include "player/Mp3Export.h"
#include "player/RecoveryFile.h"
#include "player/SentenceMenu.h"
#include "text/NarrowText.h"
#include "toolkit/FileChooser.h"
#include "toolkit/FontList.h"
#include "toolkit/Graphics.h"

namespace {

constexpr int kBottomArea = 136;
constexpr int kToolRowHeight = 21;
constexpr int kTranslationTop = 113;
constexpr int kTranslationHeight = 86;
constexpr int kBottomRow = 24;
constexpr int kButtonSide = 24;
constexpr int kMenuX = 4;
constexpr int kPlayX = 68;
constexpr int kVolumeWidth = 50;
constexpr int kLabelWidth = 64;
constexpr int kTranslationFontHeight = 16;
constexpr char16_t kAudioFilter[] = u"Audio File (*.ogg,*.mp3,*.wma)";
// The dialog's filter: the label, then the patterns (sentence lists and
// playlists open from here as well).
const std::u16string kAudioDialogFilter =
    std::u16string(kAudioFilter) + u'\0' + u"*.ogg;*.mp3;*.wma;*.xml;*.m3u" + u'\0';
constexpr COLORREF kGlyphTransparent = 0xE5E5E5;

}  // namespace

Orvella::Orvella()
    : core_(
          audio_, [this] { return audio_.lengthMs; }, editing_, *this, *this) {
    core_.setProgramName(appBaseName());
    core_.setOpenedHandler([this](const std::u16string& path) {
        recentFiles_.addRecentFile(path);
        offerRecovery();
        // The open file brought its own word list.
        if (wordListDialog_.handle() && IsWindowVisible(wordListDialog_.handle())) wordListDialog_.pane().reload();
    });
    // Words added with OK are unsaved edits of the sentence list, as typed text is.
    wordListDialog_.setStoredHandler([this] {
        if (core_.hasAudio()) lyricsView_.setModified(true);
    });
}

Orvella::~Orvella() { destroyWindow(); }

bool Orvella::create(HWND parent) {
    registerWindowClass(u"Orvella", u"", 0);
    if (!Component::create(parent)) return false;
    setBackground(kBackground);
    setForeground(kText);
    DragAcceptFiles(handle_, TRUE);

    lyricsView_.create(handle_);
    // The current sentence stays highlighted while the focus is elsewhere.
    lyricsView_.setStyle(lyricsView_.style() | ES_NOHIDESEL);
    lyricsView_.setColor(ColorSlot::Background, kLyricsBackground);
    lyricsView_.setColor(ColorSlot::Text, 0);
    lyricsView_.setListener(this);
    editing_.setSentenceAsker(
        [this](SentenceEdit edit, const SentenceTexts& texts) { return LyricsEditDialog::ask(handle_, edit, texts); });
    lyricsView_.setFilesDropped([this](const std::vector<std::u16string>& paths) { onFilesDropped(paths); });
    translationPane_.create(handle_);
    LOGFONTW paneFont = translationPane_.font();
    paneFont.lfHeight = kTranslationFontHeight;
    paneFont.lfWidth = 0;
    translationPane_.setFont(paneFont);
    explanationPane_.create(handle_);
    ShowWindow(explanationPane_.handle(), SW_HIDE);

    channels_.createChannels(handle_, lyricsTable_, fileTable_);
    SetWindowLongPtrW(lyricsTable_.handle(), GWLP_ID, kLyricsTableId);
    SetWindowLongPtrW(fileTable_.handle(), GWLP_ID, kFileTableId);
    createControls();
    study_.create(handle_, {channels_.handle(), lyricsView_.handle(), explanationPane_.handle()});

    loadPlayerSettings();
    audio_.initialize();
    core_.updateButtons();
    setTitle(u"Orvella");
    RECT client{};
    GetClientRect(handle_, &client);
    PostMessageW(handle_, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    media_.attach(handle_);
    return true;
}

void Orvella::destroyWindow() {
    media_.detach();
    if (wordListDialog_.handle()) wordListDialog_.close(0);
    if (handle_) {
        KillTimer(handle_, PlayerCore::kPlaybackTimer);
        KillTimer(handle_, PlayerCore::kSentenceTimer);
    }
    study_.destroy();
    lyricsView_.setListener(nullptr);
    lyricsView_.setFilesDropped(nullptr);
    for (BaseWindow* control : std::initializer_list<BaseWindow*>{&toolBar_, &toolWindow_, &menuButton_, &playButton_,
                                                                  &stopButton_, &timeSlider_, &volumeSlider_,
                                                                  &timeLabel_, &fontField_, &tempoField_, &pitchField_})
        control->destroyWindow();
    fileTable_.destroyWindow();
    lyricsTable_.destroyWindow();
    channels_.destroyWindow();
    explanationPane_.destroyWindow();
    translationPane_.destroyWindow();
    lyricsView_.destroyWindow();
    Component::destroyWindow();
}

// Settings and themes ---------------------------------------------------------------------

bool Orvella::loadThemeList(const std::u16string& path) {
    themes_.setMessageSink([this](const std::u16string& text) { showMessage(text, MessageOwner::Player); });
    return themes_.parse(path);
}

void Orvella::loadPlayerSettings() {
    loadThemeList(appDirectory() + u"Resources/OrvellaThemeList.xml");
    if (const LOGFONTW* font = FontList::instance().find(u"Times New Roman")) {
        lyricsView_.setFont(*font);
        explanationPane_.setFont(*font);
    }
    applyTheme(0);
    setTempoValue(readSettingInt(kSection, u"Tempo", 100));
    setVolumeValue(readSettingInt(kSection, u"Volume", 100));
    setFontValue(readSettingInt(kSection, u"FontSize", 20));
    setExplanationVisible(readSettingInt(kSection, u"ExplanationPaneVisibility", 0) != 0);
    recentFiles_.load(settingsFilePath());
}

void Orvella::savePlayerSettings() {
    writeSettingInt(kSection, u"Tempo", tempo_);
    writeSettingInt(kSection, u"Volume", volume_);
    writeSettingInt(kSection, u"FontSize", fontSize_);
    writeSettingInt(kSection, u"ExplanationPaneVisibility", explanationVisible_ ? 1 : 0);
    recentFiles_.save(settingsFilePath());
}

void Orvella::applyTheme(int index) {
    const Element* root = themes_.getRoot();
    if (!root || themeElements(*root).empty()) {
        lyricsView_.setColor(ColorSlot::Background, kLyricsBackground);
        lyricsView_.setColor(ColorSlot::Text, 0);
        return;
    }
    if (applyThemeFromList(*root, index, lyricsView_, &explanationPane_, appDirectory())) themePanesLikeLyricsView();
}

void Orvella::themePanesLikeLyricsView() {
    // The lyrics view's colours are the theme's; the panes beside it take
    // them from there, so a dark theme darkens the whole upper area.
    const COLORREF background = lyricsView_.color(ColorSlot::Background);
    const COLORREF text = lyricsView_.color(ColorSlot::Text);
    for (TableComponent* table : std::initializer_list<TableComponent*>{&lyricsTable_, &fileTable_}) {
        table->setBackground(background);
        table->setForeground(text);
        table->setUnfocusedSelectionColours(lyricsView_.color(ColorSlot::Highlight),
                                            lyricsView_.color(ColorSlot::HighlightText));
    }
    channels_.setSelectedTabColours(background, text);
}

void Orvella::setTempoValue(int value) {
    tempo_ = std::clamp(value, kTempoMin, kTempoMax);
    audio_.setTempo(tempo_);
    if (tempoField_.handle() && tempoField_.getValue() != tempo_) tempoField_.setValue(tempo_);
}

void Orvella::setPitchValue(int value) {
    pitch_ = std::clamp(value, kPitchMin, kPitchMax);
    audio_.setPitch(pitch_);
    if (pitchField_.handle() && pitchField_.getValue() != pitch_) pitchField_.setValue(pitch_);
}

void Orvella::setVolumeValue(int value) {
    volume_ = std::clamp(value, 0, 100);
    audio_.setVolume(volume_);
    if (volumeSlider_.handle() && volumeSlider_.position() != volume_) volumeSlider_.setPosition(volume_);
}

void Orvella::setFontValue(int value) {
    fontSize_ = std::clamp(value, kFontMin, kFontMax);
    for (TextEditor* editor : {static_cast<TextEditor*>(&lyricsView_), &explanationPane_}) {
        LOGFONTW font = editor->font();
        font.lfHeight = fontSize_;
        font.lfWidth = 0;
        editor->setFont(font);
    }
    if (fontField_.handle() && fontField_.getValue() != fontSize_) fontField_.setValue(fontSize_);
}

void Orvella::setExplanationVisible(bool visible) {
    explanationVisible_ = visible;
    if (toolBar_.handle())
        SendMessageW(toolBar_.handle(), TB_CHECKBUTTON, ExplanationPane, MAKELPARAM(visible ? TRUE : FALSE, 0));
    if (explanationPane_.handle()) ShowWindow(explanationPane_.handle(), visible ? SW_SHOW : SW_HIDE);
    if (handle_) layout(width_, height_);
}

// Layout and painting ---------------------------------------------------------------------

LRESULT Orvella::onSize(WPARAM, LPARAM) {
    // Start-up posts a size message before the window has its size; the
    // client rectangle is what counts when it arrives.
    RECT client{};
    GetClientRect(handle_, &client);
    layout(client.right, client.bottom);
    return 0;
}

void Orvella::layout(int width, int height) {
    width_ = width;
    height_ = height;
    if (width <= 0 || height <= 0) return;
    const int top = std::max(0, height - kBottomArea);
    const int tableWidth = std::clamp(width * 2 / 5, 120, 420);
    // Open, the channel pane stands beside the lyrics view; folded, it is a
    // strip of tabs above it and the view takes the whole width.
    int viewLeft = tableWidth;
    int viewTop = 0;
    if (channels_.isShowingPages()) {
        channels_.setBounds(0, 0, tableWidth, top);
    } else {
        viewLeft = 0;
        viewTop = std::min(top, ChannelPane::kCollapsedHeight);
        channels_.setBounds(0, 0, width, viewTop);
    }
    const int viewWidth = std::max(0, width - viewLeft);
    const int viewHeight = top - viewTop;
    const int lyricsHeight = explanationVisible_ ? viewHeight / 2 : viewHeight;
    lyricsView_.setBounds(viewLeft, viewTop, viewWidth, lyricsHeight);
    explanationPane_.setBounds(viewLeft, viewTop + lyricsHeight, viewWidth, viewHeight - lyricsHeight);
    translationPane_.setBounds(0, height - kTranslationTop, width, kTranslationHeight);
    // A theme applied before the panes had their size posted them a size of
    // nothing; tell them again what they have.
    for (TextEditor* editor : {static_cast<TextEditor*>(&lyricsView_), &explanationPane_, &translationPane_}) {
        RECT client{};
        GetClientRect(editor->handle(), &client);
        SendMessageW(editor->handle(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    }
    const int toolTop = height - kBottomArea;
    // The fields take what their captions and numbers measure, so the study
    // status between them and the tool bar has room at 640 pixels.
    int fieldsLeft = width;
    for (UpDownTextField* field : {&pitchField_, &tempoField_, &fontField_}) {
        const int fieldWidth = field->packedWidth();
        fieldsLeft -= fieldWidth + 4;
        field->setBounds(fieldsLeft, toolTop, fieldWidth, kToolRowHeight);
    }
    const int toolRight = std::max(0, fieldsLeft - 4);
    // The study status takes what the tool bar leaves of the row.
    const int statusLeft = std::min(toolRight, toolBar_.getWidth() + 8);
    // The row reaches down to the translation pane: the tool bar's buttons
    // are taller than the 21 pixels of the fields beside it.
    toolWindow_.setBounds(0, toolTop, statusLeft, kBottomArea - kTranslationTop);
    study_.layout(RECT{0, 0, width, top}, RECT{statusLeft, toolTop + 3, toolRight, toolTop + kToolRowHeight});
    const int rowTop = height - kBottomRow;
    menuButton_.setBounds(kMenuX, rowTop + 2, 60, 20);
    playButton_.setBounds(kPlayX, rowTop, kButtonSide, kButtonSide);
    stopButton_.setBounds(kPlayX + kButtonSide, rowTop, kButtonSide, kButtonSide);
    const int labelLeft = width - kLabelWidth - 2;
    const int volumeLeft = labelLeft - kVolumeWidth - 4;
    const int sliderLeft = kPlayX + 2 * kButtonSide + 6;
    timeSlider_.setBounds(sliderLeft, rowTop + 2, std::max(16, volumeLeft - sliderLeft - 6), 20);
    volumeSlider_.setBounds(volumeLeft, rowTop + 2, kVolumeWidth, 20);
    timeLabel_.setBounds(labelLeft, rowTop + 4, kLabelWidth, 20);
    InvalidateRect(handle_, nullptr, FALSE);
}

void Orvella::createToolBar() {
    toolWindow_.create(handle_);
    toolBar_.create(handle_);
    toolBar_.loadGlyphs(u"Resources/OrvellaTool.bmp", kGlyphTransparent);
    std::vector<TBBUTTON> buttons;
    for (int slot = 0; slot < player_commands::toolButtonCount(); ++slot) {
        const player_commands::Row& row = *player_commands::toolButtonAt(slot);
        TBBUTTON button{};
        button.iBitmap = slot;
        button.idCommand = row.command;
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = row.button.style;
        button.iString = reinterpret_cast<INT_PTR>(row.button.tip);
        buttons.push_back(button);
    }
    SendMessageW(toolBar_.handle(), TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    toolBar_.fitToButtons();
    toolWindow_.addToolBar(&toolBar_);
}

void Orvella::createControls() {
    createToolBar();
    const std::u16string faces = appDirectory() + u"Resources/AudioTool.png";
    menuButton_.createButton(handle_, PlayerMenu, u"Menu...", 0, 0, 60, 20);
    playButton_.createButton(handle_, TogglePlay, PlayerCore::kPlay, 0, 0, kButtonSide, kButtonSide);
    playButton_.loadImage(faces);
    playButton_.setText(PlayerCore::kPlay);
    stopButton_.createButton(handle_, StopPlayback, u"Stop", 0, 0, kButtonSide, kButtonSide);
    stopButton_.loadImage(faces);
    stopButton_.showColumn(48);
    timeSlider_.create(handle_);
    SetWindowLongPtrW(timeSlider_.handle(), GWLP_ID, kTimeSliderId);
    timeSlider_.setThumbWidth(12);
    timeSlider_.setRange(0, 0);
    volumeSlider_.create(handle_);
    SetWindowLongPtrW(volumeSlider_.handle(), GWLP_ID, kVolumeSliderId);
    volumeSlider_.setText(u"Volume");
    volumeSlider_.setThumbWidth(12);
    volumeSlider_.setRange(0, 100);
    volumeSlider_.setPosition(100);
    timeLabel_.createLabel(handle_, label_, 0, 0, kLabelWidth, 20);
    // "00:00/00:00" fits the label's 64 pixels at this height.
    timeLabel_.setFontHeight(11);
    fontField_.createField(handle_, kFontFieldId, u"Font", 0, 0, 112, kToolRowHeight);
    fontField_.setRange(kFontMin, kFontMax);
    fontField_.setValue(fontSize_);
    tempoField_.createField(handle_, kTempoFieldId, u"Tempo", 0, 0, 112, kToolRowHeight);
    tempoField_.setRange(kTempoMin, kTempoMax);
    tempoField_.setValue(tempo_);
    pitchField_.createField(handle_, kPitchFieldId, u"Pitch", 0, 0, 112, kToolRowHeight);
    pitchField_.setRange(kPitchMin, kPitchMax);
    pitchField_.setValue(100);
}

void Orvella::FaceButton::showColumn(int x) {
    column_ = x;
    setImageCell(Rect{x, 0, 24, 24});
    InvalidateRect(handle_, nullptr, FALSE);
}

void Orvella::FaceButton::paintFace(Graphics& g) {
    // The picture is the whole face; only the background shows at its corners.
    RECT client{};
    if (handle_) GetClientRect(handle_, &client);
    g.setBrushColor(GetSysColor(COLOR_BTNFACE));
    g.fillRect(0, 0, client.right, client.bottom);
}

void Orvella::FaceButton::paintImage(Graphics& g) {
    if (!image_.loaded()) return;
    RECT client{};
    if (handle_) GetClientRect(handle_, &client);
    int row = 0;
    switch (shade()) {
        case ButtonShade::Hovered:
            row = 24;
            break;
        case ButtonShade::PressedInside:
            row = 48;
            break;
        default:
            break;
    }
    const int x = (client.right - 24) / 2, y = (client.bottom - 24) / 2;
    g.drawImage(image_, x, y, 24, 24, column_, row, 24, 24);
}

void Orvella::PlayButton::setText(const std::u16string& text) {
    FaceButton::setText(text);
    showColumn(text == PlayerCore::kPause ? 24 : 0);
}

bool Orvella::controlChanged(HWND control) {
    if (!control) return false;
    if (control == tempoField_.handle()) {
        setTempoValue(tempoField_.getValue());
    } else if (control == pitchField_.handle()) {
        setPitchValue(pitchField_.getValue());
    } else if (control == fontField_.handle()) {
        setFontValue(fontField_.getValue());
    } else if (control == volumeSlider_.handle()) {
        setVolumeValue(volumeSlider_.position());
    } else if (control == timeSlider_.handle()) {
        core_.timeSliderMoved();
        InvalidateRect(timeSlider_.handle(), nullptr, FALSE);
    } else {
        return false;
    }
    return true;
}

// PlayerControls --------------------------------------------------------------------------

void Orvella::setTimeSliderValue(int value) {
    if (timeSlider_.position() == value) return;
    timeSlider_.setPosition(value);
    InvalidateRect(timeSlider_.handle(), nullptr, FALSE);
}

void Orvella::setTimeSliderRange(int maximum) { timeSlider_.setRange(0, std::max(maximum, 0)); }

void Orvella::setPlayCaption(const std::u16string& caption) {
    caption_ = caption;
    playButton_.setText(caption);
}

void Orvella::enablePlayButton(Enable enable) {
    playEnabled_ = enable == Enable::On;
    playButton_.setEnabled(playEnabled_);
}

void Orvella::enableStopButton(Enable enable) {
    stopEnabled_ = enable == Enable::On;
    stopButton_.setEnabled(stopEnabled_);
}

void Orvella::setTimeLabel(const std::u16string& text) {
    label_ = text;
    timeLabel_.setText(text);
    InvalidateRect(timeLabel_.handle(), nullptr, FALSE);
}

void Orvella::setTitle(const std::u16string& title) {
    if (HWND parent = handle_ ? GetParent(handle_) : nullptr) SetWindowTextW(parent, title.c_str());
}

void Orvella::startTimer(UINT_PTR id) {
    if (handle_) SetTimer(handle_, id, PlayerCore::kTickMs, nullptr);
}

void Orvella::stopTimer(UINT_PTR id) {
    if (handle_) KillTimer(handle_, id);
}

bool Orvella::onTimer(UINT_PTR id, LPARAM) {
    if (study_.onTimer(id)) return true;
    if (id != PlayerCore::kPlaybackTimer && id != PlayerCore::kSentenceTimer) return false;
    core_.onTimer(id);
    media_.publish(core_, audio_, editing_, audio_.lengthMs);
    return true;
}

// Host --------------------------------------------------------------------------------------

std::u16string Orvella::chooseAudioFile(std::u16string_view filter, const std::u16string& initialPath) {
    if (chooser_) return chooser_(filter, initialPath);
    return chooseOpenFile(handle_, filter == kAudioFilter ? kAudioDialogFilter : std::u16string(filter), initialPath);
}

void Orvella::showMessage(const std::u16string& text, MessageOwner owner) {
    MessageBoxW(owner == MessageOwner::Player ? handle_ : nullptr, text.c_str(), u"Veltrix", MB_OK | MB_TOPMOST);
}

void Orvella::modifiedChanged(TextEditor& editor) {
    if (&editor == &lyricsView_ && core_.hasAudio()) core_.updateTitle();
}

int Orvella::askKeepTimes() {
    return MessageBoxW(handle_,
                       u"Some sentences already have times. Keep them (Yes), or time every sentence from the audio "
                       u"(No)?",
                       u"Veltrix", MB_YESNOCANCEL | MB_ICONQUESTION);
}

bool Orvella::askYesNo(const std::u16string& text, const std::u16string& caption) {
    return MessageBoxW(handle_, text.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

// Commands ----------------------------------------------------------------------------------

void Orvella::onCommand(WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(wParam);
    // A number field reports a change (or Enter) with itself as lParam.
    if (controlChanged(reinterpret_cast<HWND>(lParam))) return;
    // The editors report their changes with control id 0.
    if (id == 0 && lParam != 0) return;
    execute(id);
    media_.publish(core_, audio_, editing_, audio_.lengthMs);
}

void Orvella::execute(int command) {
    if (player_commands::needsAudio(command) && !core_.hasAudio()) return;
    switch (command) {
        case OpenFile: {
            const std::u16string path = chooseAudioFile(kAudioFilter, core_.audioPath());
            if (path.empty()) return;
            if (veltrix::paths::extensionOf(path) == u".m3u") {
                fileTable_.clearFiles();
                fileTable_.loadPlaylist(path);
                showFileTab();
            } else {
                openFile(path);
            }
            return;
        }
        case TogglePlay:
            core_.togglePlay();
            return;
        case PlaySentence:
            core_.playSentence();
            return;
        case StopPlayback:
            core_.stopPlayback();
            return;
        case NextSetStart:
            editing_.selectAdjacentSentence(Direction::Forward);
            [[fallthrough]];
        case SetStart:
            editing_.setRowStart(core_.stampPosition());
            return;
        case NextSetEnd:
            editing_.selectAdjacentSentence(Direction::Forward);
            [[fallthrough]];
        case SetEnd:
            editing_.setRowEnd(core_.stampPosition());
            return;
        case NextClearTimes:
            editing_.selectAdjacentSentence(Direction::Forward);
            [[fallthrough]];
        case ClearTimes:
            editing_.setRowStart(0);
            editing_.setRowEnd(0);
            return;
        case SaveSentences:
            saveSentenceList();
            return;
        case ApplyPanes:
            editing_.applyPanesToRow();
            return;
        case ReloadLyrics:
            reloadLyrics();
            return;
        case OpenWordList:
            showWordList();
            return;
        case FindAndReplace:
            showFindPane();
            return;
        case ClickAtPointer:
            clickAtPointer();
            return;
        case PreviousSentence:
            editing_.selectAdjacentSentence(Direction::Backward);
            return;
        case NextSentence:
            editing_.selectAdjacentSentence(Direction::Forward);
            return;
        case ExplanationPane:
            setExplanationVisible(!explanationVisible_);
            return;
        case PlayerMenu:
            menu_.show();
            return;
        case ThemeMenu:
            menu_.showThemeMenu();
            return;
        case TimeSentences:
            autoTiming_.timeSentences(handle_, core_.audioPath(), static_cast<std::uint32_t>(audio_.lengthMs));
            return;
        case UndoTimeSentences:
            autoTiming_.undoLastTiming();
            return;
        default:
            study_.execute(command);
            return;
    }
}

void Orvella::showWordList() {
    HWND dialog = wordListDialog_.handle();
    if (!dialog) {
        HWND owner = handle_ ? GetParent(handle_) : nullptr;
        showModeless(owner ? owner : handle_, wordListDialog_);
        return;
    }
    if (!IsWindowVisible(dialog)) {
        ShowWindow(dialog, SW_SHOW);
        return;
    }
    POINT pointer{};
    GetCursorPos(&pointer);
    wordListDialog_.setLocation(std::max(0, static_cast<int>(pointer.x) - kWordListOffset),
                                std::max(0, static_cast<int>(pointer.y) - kWordListOffset));
}

void Orvella::showFindPane() {
    if (findPane_.handle()) {
        ShowWindow(findPane_.handle(), SW_SHOW);
        SetForegroundWindow(findPane_.handle());
        findPane_.takeSelection();
        return;
    }
    findPane_.setSettingsPath(settingsFilePath());
    HWND owner = handle_ ? GetParent(handle_) : nullptr;
    showModeless(owner ? owner : handle_, findPane_);
}

void Orvella::savePlaylist() {
    if (fileTable_.getRowCount() == 0) return;
    NarrowCodePageScope systemCodePage(CP_ACP);
    std::u16string name = fileTable_.playlistPath();
    if (name.empty()) name = fileTable_.getValueAt(0, FileTable::kPathColumn);
    const std::u16string filter = std::u16string(u"PlayList (.m3u)") + u'\0' + u"*.m3u";
    const std::u16string path = chooseSaveFile(handle_, u"Save as PlayList", filter, withoutExtension(name), u"m3u");
    if (path.empty()) return;
    switch (::savePlaylist(path, fileTable_.paths())) {
        case PlaylistSave::Saved:
            fileTable_.setPlaylistPath(path);
            return;
        case PlaylistSave::InvalidCharacters:
            showMessage(kPlaylistNotSaved, MessageOwner::Player);
            return;
        // Not a silent loss: the learner hears that the list was not written.
        case PlaylistSave::WriteFailed:
            showMessage(u"Couldn't save PlayList.\r\n" + path, MessageOwner::Player);
            return;
    }
}

bool Orvella::saveAsMp3() {
    if (!core_.hasAudio()) return false;
    const std::u16string filter = std::u16string(u"Audio File (.mp3)") + u'\0' + u"*.mp3";
    Mp3ExportRequest request;
    request.target = chooseSaveFile(handle_, u"Save As MP3", filter, fileNameOf(core_.audioPath()), u"mp3");
    if (request.target.empty()) return false;
    const auto& timings = lyricsView_.timings();
    request.sentences.reserve(timings.size());
    for (std::size_t i = 0; i < timings.size(); ++i)
        request.sentences.push_back(
            {lyricsTable_.cell(static_cast<int>(i), LyricsTable::Sentence), timings[i].startMs});
    request.tempo = tempo_;
    request.sourceTag = &core_.tag();
    core_.stopPlayback();
    const int position = audio_.getPosition();
    const bool saved = exportMp3(audio_, handle_, request,
                                 [this](const std::u16string& text) { showMessage(text, MessageOwner::None); });
    // The export left a decoding stream; the learner's place is kept.
    audio_.open(core_.audioPath());
    audio_.setPosition(position);
    core_.updateButtons();
    if (saved) desktop::notifyWhenInactive(handle_, u"MP3 file saved", request.target.c_str());
    return saved;
}

void Orvella::reloadLyrics() {
    if (!askYesNo(u"歌詞を再読み込みしますか？", u"Do you reload lyrics?")) return;
    editing_.setLyricsText(lyricsView_.text());
    lyricsTable_.selectOnly(0);
}

void Orvella::saveSentenceList() {
    if (!core_.hasAudio()) return;
    std::u16string xmlPath = editing_.document().xmlPath();
    if (xmlPath.empty()) xmlPath = withoutExtension(core_.audioPath()) + u".xml";
    if (!askYesNo(u"歌詞を " + fileNameOf(xmlPath) + u" に上書き保存しますか？", u"Save as XML file")) return;
    core_.writeSentences();
}

void Orvella::clickAtPointer() {
    HWND focus = GetFocus();
    POINT at{};
    GetCursorPos(&at);
    if (HWND under = WindowFromPoint(at)) {
        POINT client = at;
        ScreenToClient(under, &client);
        const LPARAM where = MAKELPARAM(client.x, client.y);
        SendMessageW(under, WM_LBUTTONDOWN, MK_LBUTTON, where);
        SendMessageW(under, WM_LBUTTONUP, 0, where);
    }
    if (HWND root = GetParent(handle_)) SetForegroundWindow(root);
    if (focus) SetFocus(focus);
}

// Notifications -----------------------------------------------------------------------------

LRESULT Orvella::onNotify(WPARAM wParam, LPARAM lParam) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (!header) return 0;
    if (header->hwndFrom == lyricsTable_.handle() && lyricsTable_.handle()) {
        onLyricsTableNotify(*header);
        return 0;
    }
    if (header->code == TBN_DROPDOWN) {
        // The open button's arrow offers the files opened last.
        const std::u16string path = recentFiles_.showRecentFilesMenu(handle_);
        if (!path.empty()) openFile(path);
        return 0;
    }
    if (header->hwndFrom == fileTable_.handle() && fileTable_.handle()) {
        if (fileTable_.respond(*header, [this](const std::u16string& path) { openFile(path); })) return 0;
    }
    return Component::onNotify(wParam, lParam);
}

void Orvella::onLyricsTableNotify(const NMHDR& header) {
    const int selected = editing_.firstSelected();
    switch (header.code) {
        case LVN_ITEMCHANGED:
        case NM_CLICK:
        case NM_DBLCLK:
            if (selected >= 0) core_.selectAndSeek(selected);
            study_.sentenceSelected();
            return;
        case NM_RETURN:
            if (selected >= 0) core_.playSentence();
            return;
        case Table::kRowsMoved:
            editing_.rowsReordered();
            return;
        case NM_RCLICK: {
            const int choice = showSentenceMenu(handle_, lyricsTable_.getSelectedRows().size());
            if (editing_.performMenuChoice(choice)) core_.playSentence();
            return;
        }
        case LVN_KEYDOWN: {
            const auto& key = reinterpret_cast<const NMLVKEYDOWN&>(header);
            if (selected < 0) return;
            if (key.wVKey == 187) editing_.shiftStartTimes(+1);
            if (key.wVKey == 189) editing_.shiftStartTimes(-1);
            return;
        }
        default:
            return;
    }
}

bool Orvella::onFilesDropped(const std::vector<std::u16string>& paths) {
    if (paths.empty()) return false;
    switch (fileTable_.takePlayerDrop(paths)) {
        case FileTable::DropOutcome::OpenSingle:
            openFile(paths.front());
            break;
        case FileTable::DropOutcome::ShowFileTab:
            showFileTab();
            break;
        // Several files are listed to be worked through: show them.
        case FileTable::DropOutcome::Listed:
            showFileTab();
            break;
    }
    return true;
}

void Orvella::showFileTab() {
    channels_.selectTab(ChannelPane::kFileTab, TabNotification::Fire);
    channels_.setExpanded(true);
}

// Closing -----------------------------------------------------------------------------------

bool Orvella::settleUnsavedEdits() {
    if (!core_.hasAudio() || !lyricsView_.modified()) return true;
    const int answer = MessageBoxW(handle_, u"編集中の歌詞が保存されていません。xml ファイルに保存しますか？",
                                   u"Veltrix", MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDCANCEL) return false;
    // A save that failed has said why; the window stays so nothing is lost.
    return answer != IDYES || core_.writeSentences();
}

bool Orvella::onClose() {
    if (!sessionEnding_ && !settleUnsavedEdits()) return false;
    if (!core_.isStopped()) audio_.stop();
    savePlayerSettings();
    // An open find pane keeps its histories as its own Close would.
    findPane_.closePane();
    audio_.close();
    return true;
}

bool Orvella::queryEndSession(bool unattended) {
    if (!unattended) {
        sessionEnding_ = settleUnsavedEdits();
        return sessionEnding_;
    }
    if (core_.hasAudio() && lyricsView_.modified()) {
        editing_.collectDocument();
        if (!recovery::keep(editing_.document(), core_.audioPath()))
            std::fprintf(stderr, "veltrix: the unsaved sentence list could not be kept in %s\n",
                         encodeCodePage(recovery::pathFor(core_.audioPath()), 65001).c_str());
    }
    sessionEnding_ = true;
    return true;
}

void Orvella::offerRecovery() {
    const std::u16string audio = core_.audioPath();
    if (!recovery::exists(audio)) return;
    const std::u16string path = recovery::pathFor(audio);
    if (askYesNo(u"前回、保存されないまま終了した編集中の歌詞があります。復元しますか？\r\n"
                 u"（いいえを選ぶと破棄します）\r\n" +
                     path,
                 u"Veltrix"))
        core_.restoreSentences(path);
    recovery::discard(audio);
}

LRESULT Orvella::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) return 1;
    if (message == WM_QUERYENDSESSION) return queryEndSession((lParam & ENDSESSION_CRITICAL) != 0) ? TRUE : FALSE;
    if (message == WM_ENDSESSION) {
        endSession(wParam != FALSE);
        return 0;
    }
    // The sliders report the user's changes as a track bar does.
    if (message == WM_HSCROLL && controlChanged(reinterpret_cast<HWND>(lParam))) return 0;
    return Component::windowProc(window, message, wParam, lParam);
}
