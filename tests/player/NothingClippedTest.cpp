// The player holding the sample lesson, in every theme of the program's list,
// at 640 x 480 and at 1280 x 800, with nothing clipped: every control lies
// inside its parent, and every text a control paints fits the rectangle it is
// painted into, measured as the control measures it (its own font through
// Graphics::getTextWidth). The tables and the channel pane take the theme's
// colours. VELTRIX_SAVE_PICTURES=<folder> keeps a picture of each case.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "ProgramSession.h"
#include "app/Paths.h"
#include "editor/EditorTheme.h"
#include "platform/display/Headless.h"
#include "support/TempDir.h"
#include "toolkit/Button.h"
#include "toolkit/Graphics.h"
#include "toolkit/LabelComponent.h"
#include "toolkit/Slider.h"
#include "toolkit/TabbedPane.h"
#include "toolkit/UpDownTextField.h"
#include "xml/XMLParser.h"

namespace headless = veltrix::platform::headless;

namespace {

int textWidth(const WinApiWindow& window, const std::u16string& text) {
    Graphics g(1, 1);
    g.setFont(window.font());
    return g.getTextWidth(text);
}

RECT clientOf(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return r;
}

// Class names and captions here are ASCII.
std::string ascii(const std::u16string& text) {
    std::string narrow;
    for (char16_t c : text) narrow += c < 0x80 ? static_cast<char>(c) : '?';
    return narrow;
}

std::string windowName(HWND window) {
    WCHAR name[64] = {};
    GetClassNameW(window, name, 64);
    return ascii(name);
}

// Each problem found as a line naming the control and the sizes.
std::vector<std::string> clippedTexts(Orvella& player) {
    std::vector<std::string> problems;
    auto report = [&](HWND window, const std::string& what, int need, int have) {
        if (need > have)
            problems.push_back(windowName(window) + ": " + what + " needs " + std::to_string(need) + " px, has " +
                               std::to_string(have));
    };
    std::vector<HWND> children;
    EnumChildWindows(
        player.handle(),
        [](HWND child, LPARAM list) {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&children));
    for (HWND child : children) {
        if (!IsWindowVisible(child)) continue;
        const RECT parent = clientOf(GetParent(child));
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
        if (r.right > r.left && r.bottom > r.top &&
            (r.left < 0 || r.top < 0 || r.right > parent.right || r.bottom > parent.bottom))
            problems.push_back(windowName(child) + ": outside its parent at " + std::to_string(r.left) + "," +
                               std::to_string(r.top) + "-" + std::to_string(r.right) + "," + std::to_string(r.bottom) +
                               " in " + std::to_string(parent.right) + "x" + std::to_string(parent.bottom));
        BaseWindow* window = BaseWindow::fromHandle(child);
        const int width = clientOf(child).right;
        if (auto* slider = dynamic_cast<Slider*>(window)) {
            report(child, "the slider's value", slider->widestValueWidth() + 2 * Slider::kValueMargin,
                   slider->thumbWidth());
            report(child, "the slider's thumb", slider->thumbWidth(), width);
        } else if (auto* field = dynamic_cast<UpDownTextField*>(window)) {
            report(child, "the field \"" + ascii(field->getText()) + "\"",
                   field->packedWidth(), width);
        } else if (auto* label = dynamic_cast<LabelComponent*>(window)) {
            report(child, "the label", 2 + textWidth(*label, label->getText()), width);
        } else if (auto* button = dynamic_cast<Button*>(window);
                   button && !dynamic_cast<Orvella::FaceButton*>(window)) {
            report(child, "the button's caption", textWidth(*button, button->getText()) + 4, width);
        } else if (auto* tabs = dynamic_cast<TabbedPane*>(window)) {
            for (int i = 0; i < tabs->count(); ++i) {
                const RECT tab = tabs->tabBounds(i);
                report(child, "a tab's title", textWidth(*tabs, tabs->tab(i)->title) + 6, tab.right - tab.left);
            }
        }
    }
    LyricsTable& table = player.lyricsTable();
    for (int column : {LyricsTable::Start, LyricsTable::End})
        report(table.handle(), "a time column", table.preferredColumnWidth(column), table.getColumnWidth(column));
    return problems;
}

class NothingClipped : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ::setenv("SDL_AUDIODRIVER", "dummy", 1);
        session = std::make_unique<veltrix::test::ProgramSession>();
    }
    static void TearDownTestSuite() { session.reset(); }

    Orvella& player() { return session->app().content(); }

    static inline std::unique_ptr<veltrix::test::ProgramSession> session;
    TempDir folder;
};

TEST_F(NothingClipped, ThePlayerInEveryThemeAtBothSizes) {
    ASSERT_TRUE(headless::active());
    for (const char* name : {"AskingTheWay.mp3", "AskingTheWay.xml"})
        std::filesystem::copy_file(std::filesystem::path(appDirectory()) / "Samples" / name, folder.native(name));
    ASSERT_TRUE(player().openFile(folder.file("AskingTheWay.mp3")));
    // The widest times the lesson can show, in the cells and on the thumb.
    player().lyricsTable().setCell(0, LyricsTable::End, u"59:59:99");
    player().editing().selectSentence(2);

    XMLParser list;
    ASSERT_TRUE(list.parse(appDirectory() + u"Resources/OrvellaThemeList.xml"));
    const std::size_t themes = themeElements(*list.getRoot()).size();
    ASSERT_GE(themes, 2u);
    const char* keep = std::getenv("VELTRIX_SAVE_PICTURES");
    for (std::size_t theme = 0; theme < themes; ++theme) {
        player().applyTheme(static_cast<int>(theme));
        const COLORREF background = player().lyricsView().color(ColorSlot::Background);
        EXPECT_EQ(player().lyricsTable().backgroundColour(), background);
        EXPECT_EQ(player().fileTable().backgroundColour(), background);
        EXPECT_EQ(player().lyricsTable().textColour(), player().lyricsView().color(ColorSlot::Text));
        for (const SIZE size : {SIZE{640, 480}, SIZE{1280, 800}}) {
            const std::string name =
                "theme" + std::to_string(theme) + "-" + std::to_string(size.cx) + "x" + std::to_string(size.cy);
            SCOPED_TRACE(name);
            MoveWindow(session->app().handle(), 0, 0, size.cx, size.cy, TRUE);
            session->run(60);
            const RECT client = clientOf(player().handle());
            ASSERT_GE(client.right, size.cx - 16);
            for (const std::string& problem : clippedTexts(player())) ADD_FAILURE() << problem;
            // The table's rows show the theme, not white.
            RECT cell{LVIR_BOUNDS, LyricsTable::Sentence, 0, 0};
            SendMessageW(player().lyricsTable().handle(), LVM_GETSUBITEMRECT, 0, reinterpret_cast<LPARAM>(&cell));
            EXPECT_EQ(headless::pixel(player().lyricsTable().handle(), cell.left + 2, cell.top + 2), background);
            if (keep) headless::savePicture(session->app().handle(), std::string(keep) + "/" + name + ".png");
        }
    }
    player().applyTheme(0);

    // The study status beside the tool bar, in each mode, at the smaller size.
    MoveWindow(session->app().handle(), 0, 0, 640, 480, TRUE);
    using namespace player_commands;
    for (int command : {StudyLoop, StudyAutoPause, StudyLadder, StudyDictation}) {
        SCOPED_TRACE(command);
        ASSERT_TRUE(player().study().execute(command));
        session->run(60);
        EXPECT_FALSE(player().study().statusText().empty());
        for (const std::string& problem : clippedTexts(player())) ADD_FAILURE() << problem;
        if (keep) headless::savePicture(session->app().handle(), std::string(keep) + "/study-" + std::to_string(command) + ".png");
        player().study().execute(command);
        player().study().controller().stop();
        player().core().stopPlayback();
        session->run(60);
    }
}

TEST_F(NothingClipped, ANarrowThumbGrowsToItsWidestValueAndBackWhenTheRangeShrinks) {
    Slider& slider = player().timeSlider();
    const int before = slider.maximum();
    slider.setRange(0, 360000);  // an hour in steps of 10 ms
    const int wide = slider.thumbWidth();
    EXPECT_GE(wide, slider.widestValueWidth() + 2 * Slider::kValueMargin);
    EXPECT_GT(wide, 12);
    // The track stays the rest of the slider, so the ends still map to the range's ends.
    EXPECT_EQ(slider.trackLength(), clientOf(slider.handle()).right - wide);
    slider.setPosition(360000);
    EXPECT_NEAR(slider.thumbX() + wide, clientOf(slider.handle()).right, 1);
    // A short range gives the thumb back its asked width when that is enough.
    slider.setRange(0, 5);
    EXPECT_EQ(slider.thumbWidth(), std::max(12, slider.widestValueWidth() + 2 * Slider::kValueMargin));
    slider.setRange(0, before);
}

}  // namespace
