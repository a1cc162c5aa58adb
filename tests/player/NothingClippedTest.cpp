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

#include "ClippedTexts.h"
#include "ProgramSession.h"
#include "app/Paths.h"
#include "editor/EditorTheme.h"
#include "platform/display/Headless.h"
#include "toolkit/Slider.h"
#include "support/TempDir.h"
#include "xml/XMLParser.h"

namespace headless = veltrix::platform::headless;

namespace {

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
            RECT client{};
            GetClientRect(player().handle(), &client);
            ASSERT_GE(client.right, size.cx - 16);
            for (const std::string& problem : veltrix::test::clippedTexts(player())) ADD_FAILURE() << problem;
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
        for (const std::string& problem : veltrix::test::clippedTexts(player())) ADD_FAILURE() << problem;
        if (keep) headless::savePicture(session->app().handle(), std::string(keep) + "/study-" + std::to_string(command) + ".png");
        player().study().execute(command);
        player().study().controller().stop();
        player().core().stopPlayback();
        session->run(60);
    }
}

TEST_F(NothingClipped, ANarrowThumbGrowsToItsWidestValueAndBackWhenTheRangeShrinks) {
    Slider& slider = player().timeSlider();
    auto sliderWidth = [&] {
        RECT r{};
        GetClientRect(slider.handle(), &r);
        return static_cast<int>(r.right);
    };
    const int before = slider.maximum();
    slider.setRange(0, 360000);  // an hour in steps of 10 ms
    const int wide = slider.thumbWidth();
    EXPECT_GE(wide, slider.widestValueWidth() + 2 * Slider::kValueMargin);
    EXPECT_GT(wide, 12);
    // The track stays the rest of the slider, so the ends still map to the range's ends.
    EXPECT_EQ(slider.trackLength(), sliderWidth() - wide);
    slider.setPosition(360000);
    EXPECT_NEAR(slider.thumbX() + wide, sliderWidth(), 1);
    // A short range gives the thumb back its asked width when that is enough.
    slider.setRange(0, 5);
    EXPECT_EQ(slider.thumbWidth(), std::max(12, slider.widestValueWidth() + 2 * Slider::kValueMargin));
    slider.setRange(0, before);
}

}  // namespace
