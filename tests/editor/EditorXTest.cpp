// The lyrics view as a learner types into it on a real X display: the whole
// program on the SDL display, keys and clicks through the X test extension
// (typing, Ctrl+arrows, Shift+End, Ctrl+C/V, Ctrl+Z/Y, a triple click), and
// Japanese through the input method's events as SDL delivers them (put on
// SDL's queue: no input method runs on the virtual server). Runs under
// xvfb-run from the program folder; without an X display it skips itself.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <thread>

#include "app/AcceleratorTable.h"
#include "app/Application.h"
#include "app/Paths.h"
#include "app/Settings.h"
#include "app/TestApp.h"
#include "platform/SdlEvents.h"
#include "platform/display/Headless.h"
#include "support/ProgramLoop.h"
#include "support/TempDir.h"
#include "support/XDesktop.h"
#include "text/NarrowText.h"

// Last: X's macros (None, Bool) would break the program's headers.
#include <X11/keysym.h>

using namespace veltrix::test;

namespace {

void settle(TestApp& app, int ms = 150) {
    runUntil(app, ms, [] { return false; });
}

}  // namespace

TEST(EditorOnX, TypingKeysClicksAndJapaneseInTheLyricsView) {
    unsetenv("VELTRIX_DISPLAY");
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::unique_ptr<XDesktop> x = XDesktop::open();
    if (!x) GTEST_SKIP() << "no X display with the XTEST extension";

    TempDir folder;
    setNarrowCodePage(932);
    prepareSettingsFile();
    fillProgramAccelerators(AcceleratorTable::instance());
    TestApp app(folder.file("window.ini"));
    ASSERT_TRUE(app.createMainWindow());
    if (veltrix::platform::headless::active()) GTEST_SKIP() << "SDL2 found no video driver";
    ShowWindow(app.handle(), SW_SHOWNORMAL);
    settle(app, 500);

    LyricsTextEditor& view = app.content().lyricsView();
    auto text = [&] { return view.text(); };
    auto screenOf = [&](int position) {
        POINT point = view.pointOfPosition(position);
        point.x += 2;
        point.y += view.fontHeight() / 2;
        ClientToScreen(view.getHandle(), &point);
        return point;
    };
    // Without a window manager the keyboard follows the pointer.
    const POINT start = screenOf(0);
    x->moveTo(start.x, start.y);
    x->click(1);
    settle(app, 300);
    ASSERT_EQ(GetFocus(), view.getHandle());

    x->type("Listen to me");
    x->flush();
    ASSERT_TRUE(runUntil(app, 3000, [&] { return text() == u"Listen to me"; })) << text().size();
    x->press(XK_Left, {XK_Control_L});
    x->press(XK_Left, {XK_Control_L});
    x->flush();
    ASSERT_TRUE(runUntil(app, 2000, [&] { return view.caret() == 7; })) << view.caret();
    x->press(XK_End, {XK_Shift_L});
    x->flush();
    ASSERT_TRUE(runUntil(app, 2000, [&] { return view.selectedText() == u"to me"; }));
    x->press(XK_c, {XK_Control_L});
    x->press(XK_Home);
    x->press(XK_v, {XK_Control_L});
    x->flush();
    ASSERT_TRUE(runUntil(app, 2000, [&] { return text() == u"to meListen to me"; })) << text().size();
    x->press(XK_z, {XK_Control_L});
    x->flush();
    ASSERT_TRUE(runUntil(app, 2000, [&] { return text() == u"Listen to me"; }));
    x->press(XK_y, {XK_Control_L});
    x->flush();
    ASSERT_TRUE(runUntil(app, 2000, [&] { return text() == u"to meListen to me"; }));

    // A triple click selects the sentence under the pointer.
    view.setText(u"First one here. Second one there. Third.");
    settle(app);
    const POINT second = screenOf(20);
    x->moveTo(second.x, second.y);
    x->click(1);
    x->click(1);
    x->click(1);
    x->flush();
    ASSERT_TRUE(runUntil(app, 2000, [&] { return view.selectedText() == u"Second one there. "; }))
        << view.selectionStart() << ".." << view.selectionEnd();

    // Japanese: the reading shows in place, the commit is one undo step.
    settle(app, 350);
    x->press(XK_End, {XK_Control_L});
    x->flush();
    ASSERT_TRUE(runUntil(app, 2000, [&] { return view.caret() == static_cast<int>(text().size()); }));
    const std::u16string before = text();
    pushSdlComposition("にほんご", 4);
    settle(app, 300);
    EXPECT_EQ(text(), before);
    std::filesystem::create_directories(std::filesystem::path(appDirectory()) / "pictures");
    x->screenshot((std::filesystem::path(appDirectory()) / "pictures" / "editor-composition-on-x.png").string());
    pushSdlText("日本語");
    ASSERT_TRUE(runUntil(app, 2000, [&] { return text() == before + u"日本語"; }));
    x->press(XK_z, {XK_Control_L});
    x->flush();
    ASSERT_TRUE(runUntil(app, 2000, [&] { return text() == before; }));

    settle(app, 200);
    x->screenshot((std::filesystem::path(appDirectory()) / "pictures" / "editor-on-x.png").string());
    view.setModified(false);
    app.content().destroyWindow();
    app.destroyWindow();
}
