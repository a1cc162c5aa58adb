#include "player/OrvellaMenu.h"

#include <utility>

#include "app/Paths.h"
#include "app/Settings.h"
#include "download/ProcessRunner.h"
#include "download/ToolCommandLine.h"
#include "editor/EditorTheme.h"
#include "lyrics/LrcExport.h"
#include "lyrics/LrcWriter.h"
#include "platform/common/AsciiCase.h"
#include "player/ID3EditorDialog.h"
#include "player/Orvella.h"
#include "toolkit/FileChooser.h"
#include "toolkit/PopupMenu.h"
#include "xml/Element.h"

namespace {

bool japaneseOrTaiwanese(LCID locale) { return locale == 1041 || locale == 1028; }

bool fileExists(const std::u16string& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// A relative program path is taken from the program's folder; a Windows
// "x.exe" that is missing here is tried as "x", as the external tools are.
std::u16string existingProgram(std::u16string path) {
    if (path.empty()) return {};
    if (PathIsRelativeW(path.c_str())) path = appDirectory() + path;
    if (fileExists(path)) return path;
    if (veltrix::ascii::endsWithIgnoringCase(path, u".exe")) {
        std::u16string bare = path.substr(0, path.size() - 4);
        if (fileExists(bare)) return bare;
    }
    return {};
}

// The top-level window the player sits in: the downloaders and the ID3
// editor disable it while they run.
HWND topLevel(HWND player) {
    HWND parent = player ? GetParent(player) : nullptr;
    return parent ? parent : player;
}

}  // namespace

std::vector<PlayerMenuItem> OrvellaMenu::items(const PlayerMenuState& s) {
    const bool stoppedWithAudio = s.audioOpen && !s.playing;
    std::vector<PlayerMenuItem> list = {
        {u"Reload Lyrics...\tCtrl+L", ReloadLyrics, s.audioOpen},
        {},
        {u"Save &As MP3 File (with Lyrics)...", SaveAsMp3, stoppedWithAudio},
        {u"Save As .lrc File...", SaveAsLrc, stoppedWithAudio},
        {u"Save As PlayList...", SavePlaylist, s.fileListHasRows},
        {},
        {u"Time Sentences Automatically...\tCtrl+Shift+A", TimeSentences, s.audioOpen},
        {u"Undo Automatic Timing", UndoTimeSentences, s.timingUndoable},
        {},
        {u"Open Word List...\tCtrl+W", WordList, true},
        {u"Open ID3 Editor...", Id3Editor, s.audioOpen},
        {},
        {u"Open Youtube Lyrics Downloader...", CaptionDownloader, true},
    };
    if (japaneseOrTaiwanese(s.threadLocale)) {
        list.push_back({u"Open NHK News de Eikaiwa Downloader...", NewsDownloader, true});
        if (japaneseOrTaiwanese(s.systemLocale) && s.streamRecorderPresent)
            list.push_back({u"Open NHK Gogakuru Downloader...", PhraseDownloader, true});
    }
    list.push_back({});
    list.push_back({u"Send xml to Morvane...", SendToMorvane, s.audioOpen});
    list.push_back({});
    list.push_back({u"Theme...", Themes, true});
    if (s.moreTools) {
        list.push_back({});
        list.push_back({u"Open VOA List Manager...", VoaListManager, true});
        list.push_back({u"Open Kokokoza Downloader...", LectureDownloader, true});
        list.push_back({u"Open Website Downloader...", WebsiteDownloader, true});
    }
    return list;
}

std::vector<std::u16string> OrvellaMenu::themeItems(const Element& themeList) {
    std::vector<std::u16string> texts;
    for (const Element* theme : themeElements(themeList)) {
        std::u16string text = theme->getAttribute(u"name");
        const std::u16string author = theme->getAttribute(u"author");
        if (!author.empty()) text += u"\t(" + author + u")";
        texts.push_back(std::move(text));
    }
    return texts;
}

PlayerMenuState OrvellaMenu::currentState() const {
    PlayerMenuState state;
    state.audioOpen = player_.core().hasAudio();
    state.playing = player_.audio().isPlaying();
    state.fileListHasRows = player_.fileTable().getRowCount() > 0;
    state.timingUndoable = player_.autoTiming().canUndo();
    state.threadLocale = GetThreadLocale();
    state.systemLocale = GetSystemDefaultLCID();
    state.streamRecorderPresent = fileExists(pluginToolPath(u"flvstreamer"));
    state.moreTools = GetKeyState(VK_SHIFT) < 0;
    return state;
}

void OrvellaMenu::show() {
    PopupMenu menu;
    for (const PlayerMenuItem& item : items(currentState()))
        menu.addMenuItem(std::u16string(item.text), item.number, item.enabled ? ItemState::Enabled : ItemState::Greyed);
    perform(static_cast<UINT>(menu.trackAtPointer(player_.handle(), MenuAlignment::Bottom)));
}

bool OrvellaMenu::itemAllowed(UINT number) const {
    const PlayerMenuState state = currentState();
    switch (number) {
        case ReloadLyrics:
        case Id3Editor:
        case SendToMorvane:
            return state.audioOpen;
        case SaveAsMp3:
        case SaveAsLrc:
            return state.audioOpen && !state.playing;
        case SavePlaylist:
            return state.fileListHasRows;
        case UndoTimeSentences:
            return state.timingUndoable;
        case TimeSentences:
            return state.audioOpen;
        default:
            return true;
    }
}

void OrvellaMenu::perform(UINT number) {
    if (number == 0 || !itemAllowed(number)) return;
    // The downloaders, by the names DownloaderShortcut opens them with.
    static constexpr std::pair<UINT, std::string_view> kDownloaders[] = {
        {CaptionDownloader, "captions"}, {NewsDownloader, "news"},        {PhraseDownloader, "phrases"},
        {VoaListManager, "voa"},         {LectureDownloader, "lectures"}, {WebsiteDownloader, "website"}};
    for (const auto& [item, name] : kDownloaders)
        if (item == number) {
            downloaders_.open(topLevel(player_.handle()), name);
            return;
        }
    switch (number) {
        case ReloadLyrics:
            player_.reloadLyrics();
            return;
        case SaveAsMp3:
            player_.saveAsMp3();
            return;
        case SaveAsLrc:
            saveAsLrc();
            return;
        case SavePlaylist:
            player_.savePlaylist();
            return;
        case WordList:
            player_.showWordList();
            return;
        case Id3Editor:
            editId3();
            return;
        case SendToMorvane:
            sendToMorvane();
            return;
        case Themes:
            showThemeMenu();
            return;
        case TimeSentences:
        case UndoTimeSentences:
            // The player's own commands, as their keys send them.
            SendMessageW(player_.handle(), WM_COMMAND, MAKEWPARAM(number, 0), 0);
            return;
        default:
            return;
    }
}

void OrvellaMenu::showThemeMenu() {
    const Element* list = player_.themeList();
    if (!list) return;
    PopupMenu menu;
    UINT number = kFirstTheme;
    for (const std::u16string& text : themeItems(*list)) menu.addMenuItem(text, number++);
    const int choice = menu.trackAtPointer(player_.handle());
    if (choice >= static_cast<int>(kFirstTheme) && choice < static_cast<int>(number))
        player_.applyTheme(choice - static_cast<int>(kFirstTheme));
}

bool OrvellaMenu::saveAsLrc() {
    const std::u16string audio = player_.core().audioPath();
    const std::u16string filter = std::u16string(u".lrc File (.lrc)") + u'\0' + u"*.lrc" + u'\0';
    // The name beside the audio, so that players that look for it there find it.
    const std::u16string path =
        chooseSaveFile(player_.handle(), u"Save As .lrc File", filter, withoutExtension(audio) + u".lrc", u"lrc");
    if (path.empty()) return false;
    player_.editing().collectDocument();
    bool told = false;
    const bool saved = exportLrc(player_.editing().document(), static_cast<std::uint32_t>(player_.audio().lengthMs),
                                 path, [&](const std::u16string& text) {
                                     told = true;
                                     player_.showMessage(text, MessageOwner::Player);
                                 });
    // A file that could not be made is said, not passed over in silence.
    if (!saved && !told)
        player_.showMessage(u"Couldn't save the .lrc file.\r\n" + lrcFileNameFromChoice(path), MessageOwner::Player);
    return saved;
}

bool OrvellaMenu::sendToMorvane() {
    if (!player_.core().hasAudio()) return false;
    std::u16string program = existingProgram(readSettingString(kMorvaneSection, u"Path", kMorvaneDefault));
    if (program.empty()) {
        const std::u16string filter = std::u16string(u"Morvane.exe") + u'\0' + u"Morvane.exe;Morvane" + u'\0';
        program = chooseOpenFile(player_.handle(), filter, appDirectory());
        // A cancelled question keeps what the settings named.
        if (program.empty()) return false;
        writeSettingString(kMorvaneSection, u"Path", program);
    }
    std::u16string xml = player_.editing().document().xmlPath();
    if (xml.empty()) xml = withoutExtension(player_.core().audioPath()) + u".xml";
    const std::u16string parameters = quoteArgument(xml);
    const auto started = reinterpret_cast<LONG_PTR>(
        ShellExecuteW(player_.handle(), u"open", program.c_str(), parameters.c_str(), nullptr, SW_SHOWNORMAL));
    if (started > 32) return true;
    player_.showMessage(u"Couldn't start " + program, MessageOwner::Player);
    return false;
}

bool OrvellaMenu::editId3() {
    if (!player_.core().hasAudio()) return false;
    if (!ID3EditorDialog::edit(topLevel(player_.handle()), player_.editing().document().id3())) return false;
    // The block is written with the sentence list: until then it is an unsaved edit.
    player_.lyricsView().setModified(true);
    return true;
}
