// The open and save dialogs: what typed text means, the listing and its
// filters, and the dialogs used as a user would (keys, mouse, the overwrite
// question, cancelling) on the headless display.
#include <gtest/gtest.h>

#include "MessageLog.h"
#include "platform/controls/FileDialogModel.h"
#include "platform/controls/FileList.h"
#include "platform/display/Headless.h"
#include "platform/display/HeadlessAnswers.h"
#include "support/TempDir.h"

using namespace veltrix::test;
using namespace veltrix::platform::controls;
namespace headless = veltrix::platform::headless;
using Action = TypedOutcome::Action;

namespace {

// "Audio (*.mp3)", "*.mp3;*.ogg", "All (*.*)", "*.*" with its double terminator.
const char16_t kFilter[] = u"Audio (*.mp3)\0*.mp3;*.ogg\0All (*.*)\0*.*\0";

struct Folder {
    TempDir dir;
    std::u16string root;
    Folder() {
        root = normalisePath(dir.file(""), u"/");
        dir.write("song.mp3", "ID3");
        dir.write("Lecture.OGG", "OggS");
        dir.write("notes.txt", "text");
        dir.write(".hidden.mp3", "x");
        std::filesystem::create_directories(dir.native("Music/日本語"));
        std::filesystem::create_directories(dir.native("archive"));
        dir.write("Music/track.mp3", "ID3");
        dir.write("Music/日本語/会話.mp3", "ID3");
    }
    std::u16string at(const std::u16string& relative) const { return root + u"/" + relative; }
};

}  // namespace

TEST(FileDialogModel, PatternsMatchAsOnWindows) {
    struct Case {
        std::u16string name, patterns;
        bool match;
    };
    const Case cases[] = {
        {u"song.mp3", u"*.mp3", true},
        {u"SONG.MP3", u"*.mp3", true},
        {u"song.mp3.txt", u"*.mp3", false},
        {u"song.ogg", u"*.mp3;*.ogg", true},
        {u"song.ogg", u"*.mp3; *.ogg", true},
        {u"README", u"*.*", true},
        {u"a.b", u"?.b", true},
        {u"ab.b", u"?.b", false},
        {u"x.lrc.lrc", u"*.lrc", true},
        {u"anything", u"", true},
        {u"aaaaaaaaaaaaaaaaaaaaaaaaaab", u"*a*a*a*a*a*a*c", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(matchesPattern(c.name, c.patterns), c.match)
            << std::string(c.name.begin(), c.name.end()) << " / " << std::string(c.patterns.begin(), c.patterns.end());
}

TEST(FileDialogModel, FiltersAreReadInPairsAndBounded) {
    auto filters = parseFilter(kFilter);
    ASSERT_EQ(filters.size(), 2u);
    EXPECT_EQ(filters[0].label, u"Audio (*.mp3)");
    EXPECT_EQ(filters[0].patterns, u"*.mp3;*.ogg");
    EXPECT_EQ(filters[1].patterns, u"*.*");
    EXPECT_TRUE(parseFilter(nullptr).empty());
    // A label whose pattern is empty lists every file.
    const char16_t odd[] = u"Only a label\0\0";
    ASSERT_EQ(parseFilter(odd).size(), 1u);
    EXPECT_TRUE(matchesPattern(u"x.txt", parseFilter(odd)[0].patterns));
    // A filter that never ends stops at the limit instead of reading on.
    std::u16string endless(kMaxFilterText + 10, u'x');
    EXPECT_TRUE(parseFilter(endless.c_str()).empty());
}

TEST(FileDialogModel, PathsAreNormalised) {
    struct Case {
        std::u16string path, base, expected;
    };
    const Case cases[] = {
        {u"/a/b/../c", u"/", u"/a/c"},
        {u"c:\\x", u"/a", u"/a/c:/x"},
        {u"..", u"/a/b", u"/a"},
        {u"../../..", u"/a", u"/"},
        {u"sub/./f.txt", u"/a", u"/a/sub/f.txt"},
        {u"//a///b/", u"/", u"/a/b"},
        {u"\\a\\b", u"/x", u"/a/b"},
    };
    for (const auto& c : cases) EXPECT_EQ(normalisePath(c.path, c.base), c.expected);
    EXPECT_EQ(parentFolder(u"/"), u"/");
}

TEST(FileDialogModel, ListingPutsFoldersFirstAndAppliesTheFilter) {
    Folder f;
    auto names = [](const Listing& l) {
        std::vector<std::u16string> out;
        for (const auto& e : l.entries) out.push_back(e.name);
        return out;
    };
    Listing audio = listFolder(f.root, u"*.mp3;*.ogg", HiddenFiles::Skip);
    EXPECT_TRUE(audio.readable);
    EXPECT_EQ(names(audio), (std::vector<std::u16string>{u"..", u"archive", u"Music", u"Lecture.OGG", u"song.mp3"}));
    EXPECT_TRUE(audio.entries[1].folder);
    EXPECT_EQ(audio.entries[4].size, 3u);
    Listing all = listFolder(f.root, u"*.*", HiddenFiles::Show);
    EXPECT_EQ(names(all).size(), 7u);
    EXPECT_FALSE(listFolder(f.at(u"missing"), u"*.*", HiddenFiles::Skip).readable);
    EXPECT_EQ(listFolder(u"/", u"*.*", HiddenFiles::Skip).entries.front().name == u"..", false);
}

TEST(FileDialogModel, TypedTextMeansWhatAUserExpects) {
    Folder f;
    constexpr DWORD openFlags = OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR;
    constexpr DWORD saveFlags = OFN_OVERWRITEPROMPT | OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR;
    struct Case {
        const char* what;
        FileDialogMode mode;
        DWORD flags;
        std::u16string typed, extension;
        Action action;
        std::u16string path;
    };
    const Case cases[] = {
        {"a folder opens it", FileDialogMode::Open, openFlags, u"Music", u"", Action::Navigate, f.at(u"Music")},
        {"a full folder path", FileDialogMode::Open, openFlags, f.at(u"Music/日本語"), u"", Action::Navigate,
         f.at(u"Music/日本語")},
        {"a name in the folder", FileDialogMode::Open, openFlags, u"song.mp3", u"", Action::Choose, f.at(u"song.mp3")},
        {"quoted and padded", FileDialogMode::Open, openFlags, u"  \"song.mp3\" ", u"", Action::Choose,
         f.at(u"song.mp3")},
        {"the default extension is tried", FileDialogMode::Open, openFlags, u"song", u"mp3", Action::Choose,
         f.at(u"song.mp3")},
        {"a missing file is refused", FileDialogMode::Open, openFlags, u"nothing.mp3", u"", Action::Refuse, u""},
        {"without must-exist it is returned", FileDialogMode::Open, 0, u"new.mp3", u"", Action::Choose,
         f.at(u"new.mp3")},
        {"a pattern filters", FileDialogMode::Open, openFlags, u"*.txt", u"", Action::Filter, f.root},
        {"nothing typed", FileDialogMode::Open, openFlags, u"   ", u"", Action::Nothing, u""},
        {"save adds the extension", FileDialogMode::Save, saveFlags, u"lesson", u".xml", Action::Choose,
         f.at(u"lesson.xml")},
        {"save ignores must-exist", FileDialogMode::Save, saveFlags, u"Music/new.lrc", u"lrc", Action::Choose,
         f.at(u"Music/new.lrc")},
        {"save asks before overwriting", FileDialogMode::Save, saveFlags, u"notes", u"txt", Action::AskOverwrite,
         f.at(u"notes.txt")},
        {"save without the prompt flag", FileDialogMode::Save, 0, u"notes.txt", u"", Action::Choose,
         f.at(u"notes.txt")},
        {"save into a missing folder is refused", FileDialogMode::Save, 0, u"nowhere/x.txt", u"", Action::Refuse, u""},
    };
    for (const auto& c : cases) {
        TypedOutcome o = resolveTyped(c.mode, c.flags, f.root, c.typed, c.extension);
        EXPECT_EQ(o.action, c.action) << c.what;
        if (c.action == Action::Navigate || c.action == Action::Choose || c.action == Action::AskOverwrite ||
            c.action == Action::Filter) {
            EXPECT_EQ(o.path, c.path) << c.what;
        }
    }
    auto refused = resolveTyped(FileDialogMode::Open, openFlags, f.root, u"nothing.mp3", u"");
    EXPECT_EQ(refused.message, u"nothing.mp3\nFile not found.\nCheck the file name and try again.");
    auto ask = resolveTyped(FileDialogMode::Save, saveFlags, f.root, u"notes.txt", u"");
    EXPECT_EQ(ask.message, u"notes.txt already exists.\nDo you want to replace it?");
}

namespace {

struct FileDialogs : ::testing::Test {
    Folder f;
    HWND owner = nullptr;
    std::vector<WCHAR> file = std::vector<WCHAR>(260, 0);
    std::vector<WCHAR> fileTitle = std::vector<WCHAR>(260, 0);
    OPENFILENAMEW ofn{};

    void SetUp() override {
        headless::pumpMessages();
        headless::takeFileDialogs();
        headless::takeMessageBoxes();
        owner = CreateWindowExW(0, loggedClass(), u"Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 800, 600, nullptr,
                                nullptr, nullptr, nullptr);
        headless::pumpMessages();
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = owner;
        ofn.lpstrFilter = kFilter;
        ofn.lpstrFile = file.data();
        ofn.nMaxFile = static_cast<DWORD>(file.size());
        ofn.lpstrFileTitle = fileTitle.data();
        ofn.nMaxFileTitle = static_cast<DWORD>(fileTitle.size());
        ofn.lpstrInitialDir = f.root.c_str();
        ofn.Flags = OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR;
    }
    void TearDown() override {
        headless::setFileDialogResponder({});
        headless::setMessageBoxResponder({});
        DestroyWindow(owner);
        headless::pumpMessages();
    }
    void setInitialFile(const std::u16string& text) { std::copy(text.begin(), text.end() + 1, file.begin()); }
    std::u16string chosen() const { return std::u16string(file.data()); }
    // Answers with injected input only.
    void drive(std::function<void(const headless::FileDialogShown&)> input) {
        headless::setFileDialogResponder([input](const headless::FileDialogShown& s) {
            input(s);
            return headless::FileDialogAnswer::letItRun();
        });
    }
    static POINT listRow(HWND dialog, int row) {
        RECT r;
        GetWindowRect(GetDlgItem(dialog, kFileListId), &r);
        return {r.left + 60, r.top + 1 + row * 22 + 11};
    }
    static POINT centreOf(HWND dialog, int id) {
        RECT r;
        GetWindowRect(GetDlgItem(dialog, id), &r);
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
};

}  // namespace

TEST_F(FileDialogs, TheResponderSeesTheDialogAndChoosesAFile) {
    headless::FileDialogShown seen;
    bool ownerEnabled = true;
    std::u16string shownTitle;
    int focusId = 0;
    headless::setFileDialogResponder([&](const headless::FileDialogShown& s) {
        seen = s;
        ownerEnabled = IsWindowEnabled(owner);
        shownTitle = headless::title(s.dialog);
        focusId = GetDlgCtrlID(GetFocus());
        EXPECT_TRUE(headless::savePicture(s.dialog, "file-dialog-open.png"));
        return headless::FileDialogAnswer::choose(u"song");
    });
    ofn.lpstrDefExt = u"mp3";
    ofn.lpstrTitle = u"音声ファイルを開く";
    ASSERT_TRUE(GetOpenFileNameW(&ofn));
    EXPECT_EQ(chosen(), f.at(u"song.mp3"));
    EXPECT_EQ(std::u16string(fileTitle.data()), u"song.mp3");
    EXPECT_EQ(ofn.nFileOffset, f.root.size() + 1);
    EXPECT_EQ(ofn.nFileExtension, f.root.size() + 1 + 5);
    EXPECT_EQ(ofn.nFilterIndex, 1u);
    EXPECT_EQ(CommDlgExtendedError(), 0u);
    EXPECT_FALSE(ownerEnabled);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(shownTitle, u"音声ファイルを開く");
    EXPECT_EQ(seen.kind, headless::FileDialogKind::Open);
    EXPECT_EQ(seen.folder, f.root);
    EXPECT_EQ(seen.filters.size(), 2u);
    EXPECT_EQ(seen.entries, (std::vector<std::u16string>{u"..", u"archive/", u"Music/", u"Lecture.OGG", u"song.mp3"}));
    EXPECT_EQ(focusId, kNameEditId);  // typing goes to the file name at once
    auto record = headless::takeFileDialogs();
    ASSERT_EQ(record.size(), 1u);
    EXPECT_EQ(record[0].result, f.at(u"song.mp3"));
}

TEST_F(FileDialogs, CancellingReturnsNothing) {
    setInitialFile(u"keep");
    const std::vector<std::function<void(HWND)>> ways = {
        [](HWND) { headless::pressKey(VK_ESCAPE); },
        [](HWND d) { headless::closeWindow(d); },
        [](HWND d) { headless::click(headless::Button::Left, centreOf(d, IDCANCEL)); },
    };
    for (const auto& way : ways) {
        drive([&](const headless::FileDialogShown& s) { way(s.dialog); });
        EXPECT_FALSE(GetOpenFileNameW(&ofn));
        EXPECT_EQ(CommDlgExtendedError(), 0u);
        EXPECT_EQ(headless::takeFileDialogs().at(0).result, u"");
    }
    // Without a responder the headless display cancels at once.
    headless::setFileDialogResponder({});
    EXPECT_FALSE(GetSaveFileNameW(&ofn));
}

TEST_F(FileDialogs, TypingAFolderThenAFileByKeys) {
    drive([&](const headless::FileDialogShown&) {
        headless::typeText(f.at(u"Music"));
        headless::pressKey(VK_RETURN);
        headless::typeText(u"日本語");
        headless::pressKey(VK_RETURN);
        headless::typeText(u"会話");
        headless::pressKey(VK_RETURN);
    });
    ofn.lpstrDefExt = u"mp3";
    ASSERT_TRUE(GetOpenFileNameW(&ofn));
    EXPECT_EQ(chosen(), f.at(u"Music/日本語/会話.mp3"));
    EXPECT_EQ(headless::takeMessageBoxes().size(), 0u);
}

TEST_F(FileDialogs, AMissingFileIsRefusedAndTheDialogStays) {
    std::vector<headless::MessageBoxShown> boxes;
    headless::setMessageBoxResponder([&](const headless::MessageBoxShown& b) {
        boxes.push_back(b);
        return IDOK;
    });
    drive([&](const headless::FileDialogShown&) {
        headless::typeText(u"missing.mp3");
        headless::pressKey(VK_RETURN);
        // The field keeps the text, selected, so typing replaces it.
        headless::typeText(u"song.mp3");
        headless::pressKey(VK_RETURN);
    });
    ASSERT_TRUE(GetOpenFileNameW(&ofn));
    EXPECT_EQ(chosen(), f.at(u"song.mp3"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, u"missing.mp3\nFile not found.\nCheck the file name and try again.");
    EXPECT_EQ(boxes[0].caption, u"Open");
}

TEST_F(FileDialogs, SaveAsksBeforeOverwriting) {
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR;
    ofn.lpstrDefExt = u"txt";
    for (int answer : {IDNO, IDYES}) {
        std::vector<headless::MessageBoxShown> boxes;
        headless::setMessageBoxResponder([&](const headless::MessageBoxShown& b) {
            boxes.push_back(b);
            return answer;
        });
        drive([&](const headless::FileDialogShown&) {
            headless::typeText(u"notes");
            headless::pressKey(VK_RETURN);
            headless::pressKey(VK_ESCAPE);  // reached only when the dialog is still open
        });
        BOOL saved = GetSaveFileNameW(&ofn);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, u"notes.txt already exists.\nDo you want to replace it?");
        EXPECT_EQ(boxes[0].buttons, (std::vector<std::u16string>{u"Yes", u"No"}));
        EXPECT_EQ(boxes[0].defaultButton, 1);  // No: a stray Return never overwrites
        if (answer == IDYES) {
            EXPECT_TRUE(saved);
            EXPECT_EQ(chosen(), f.at(u"notes.txt"));
        } else {
            EXPECT_FALSE(saved);
        }
    }
    // A new name is not asked about.
    headless::setFileDialogResponder([](const headless::FileDialogShown& s) {
        EXPECT_EQ(s.kind, headless::FileDialogKind::Save);
        EXPECT_EQ(s.title, u"Save As");
        return headless::FileDialogAnswer::choose(u"fresh");
    });
    ASSERT_TRUE(GetSaveFileNameW(&ofn));
    EXPECT_EQ(chosen(), f.at(u"fresh.txt"));
}

TEST_F(FileDialogs, TheMouseAndTheListNavigate) {
    headless::setFileDialogResponder([&](const headless::FileDialogShown& s) {
        // Rows: "..", archive, Music, Lecture.OGG, song.mp3; a double click opens Music.
        POINT music = listRow(s.dialog, 2);
        headless::click(headless::Button::Left, music);
        headless::click(headless::Button::Left, music);
        headless::pressKey(VK_BACK);  // and Backspace comes back up
        headless::pressKey(VK_END);   // song.mp3
        headless::pressKey(VK_UP);    // Lecture.OGG, copied into the name field
        headless::click(headless::Button::Left, centreOf(s.dialog, IDOK));
        return headless::FileDialogAnswer::letItRun();
    });
    ASSERT_TRUE(GetOpenFileNameW(&ofn));
    EXPECT_EQ(chosen(), f.at(u"Lecture.OGG"));
}

TEST_F(FileDialogs, TabOrderReachesTheUpButton) {
    setInitialFile(f.at(u"Music/"));
    headless::setFileDialogResponder([&](const headless::FileDialogShown&) {
        // From the name field: Open, the filter box, Cancel, the folder field, Up one level.
        for (int i = 0; i < 5; ++i) headless::pressKey(VK_TAB);
        headless::pressKey(VK_SPACE);
        headless::pressKey(VK_ESCAPE);
        return headless::FileDialogAnswer::letItRun();
    });
    EXPECT_FALSE(GetOpenFileNameW(&ofn));
    auto record = headless::takeFileDialogs();
    ASSERT_EQ(record.size(), 1u);
    EXPECT_EQ(record[0].folder, f.root);  // one level up from Music
}

TEST_F(FileDialogs, TheInitialFileNamesTheFolderAndTheName) {
    struct Case {
        std::u16string initial, folder, name;
    };
    const Case cases[] = {
        {f.at(u"Music/track.mp3"), f.at(u"Music"), u"track.mp3"},
        {f.at(u"Music"), f.at(u"Music"), u""},  // a folder opens with an empty name
        {u"song.mp3", f.root, u"song.mp3"},
        {f.at(u"gone/x.mp3"), f.root, f.at(u"gone/x.mp3")},  // no such folder: the initial folder
    };
    for (const auto& c : cases) {
        setInitialFile(c.initial);
        headless::FileDialogShown seen;
        headless::setFileDialogResponder([&](const headless::FileDialogShown& s) {
            seen = s;
            return headless::FileDialogAnswer::cancel();
        });
        EXPECT_FALSE(GetOpenFileNameW(&ofn));
        EXPECT_EQ(seen.folder, c.folder);
        EXPECT_EQ(seen.fileName, c.name);
    }
}

TEST_F(FileDialogs, BadArgumentsAndSmallBuffersFail) {
    headless::setFileDialogResponder(
        [](const headless::FileDialogShown&) { return headless::FileDialogAnswer::choose(u"song.mp3"); });
    OPENFILENAMEW small = ofn;
    WCHAR tiny[8] = {};
    small.lpstrFile = tiny;
    small.nMaxFile = 8;
    EXPECT_FALSE(GetOpenFileNameW(&small));
    EXPECT_EQ(CommDlgExtendedError(), FNERR_BUFFERTOOSMALL);
    EXPECT_EQ(tiny[0], static_cast<WCHAR>(f.at(u"song.mp3").size() + 1));
    OPENFILENAMEW wrongSize = ofn;
    wrongSize.lStructSize = 12;
    EXPECT_FALSE(GetOpenFileNameW(&wrongSize));
    EXPECT_EQ(CommDlgExtendedError(), CDERR_STRUCTSIZE);
    EXPECT_FALSE(GetOpenFileNameW(nullptr));
}
