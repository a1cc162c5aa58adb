// The word list as a learner reaches it on a real X display: the whole
// program on the SDL display, Ctrl+W and a typed word as real key presses
// through the X test extension, and the dictionary's hit in the result
// table. Runs under xvfb-run (run-under-xvfb.sh) from the program folder, so
// that the audio modules are where the program looks; without an X display
// it skips itself.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <thread>

#include "PDicWriter.h"
#include "app/AcceleratorTable.h"
#include "app/Application.h"
#include "app/Paths.h"
#include "app/Settings.h"
#include "app/TestApp.h"
#include "platform/display/Headless.h"
#include "support/ProgramLoop.h"
#include "support/TempDir.h"
#include "support/XDesktop.h"
#include "text/NarrowText.h"

// Last: X's macros (None, Bool) would break the program's headers.
#include <X11/keysym.h>

using namespace veltrix::test;

namespace {

POINT centreOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

}  // namespace

TEST(WordListOnX, CtrlWThenATypedWordShowsItsHit) {
    unsetenv("VELTRIX_DISPLAY");
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::unique_ptr<XDesktop> x = XDesktop::open();
    if (!x) GTEST_SKIP() << "no X display with the XTEST extension";

    TempDir folder;
    std::filesystem::create_directories(folder.native("Dictionaries/PDIC"));
    std::vector<PDicEntry> entries;
    for (const char16_t* word : {u"station", u"street", u"turn", u"turnip"})
        entries.push_back({word, std::u16string(u"訳 ") + word, u"", u"", 1, {}});
    ASSERT_TRUE(writePDic(folder.native("Dictionaries/PDIC/english.dic"), entries, {}));

    setNarrowCodePage(932);
    prepareSettingsFile();
    fillProgramAccelerators(AcceleratorTable::instance());
    TestApp app(folder.file("window.ini"));
    ASSERT_TRUE(app.createMainWindow());
    if (veltrix::platform::headless::active()) GTEST_SKIP() << "SDL2 found no video driver";
    ShowWindow(app.handle(), SW_SHOWNORMAL);
    WordListDialog& dialog = app.content().wordListDialog();
    dialog.pane().setDictionaryRoot(folder.path().u16string() + u"/");
    runUntil(app, 500, [] { return false; });

    // Without a window manager the keyboard follows the pointer.
    const POINT main = centreOf(app.handle());
    x->moveTo(main.x, main.y);
    runUntil(app, 200, [] { return false; });
    x->press(XK_w, {XK_Control_L});
    x->flush();
    ASSERT_TRUE(runUntil(app, 3000, [&] { return dialog.handle() && IsWindowVisible(dialog.handle()); }));
    runUntil(app, 300, [] { return false; });

    WordListPane& pane = dialog.pane();
    const POINT field = centreOf(pane.keyField().handle());
    x->moveTo(field.x, field.y);
    x->click(1);
    runUntil(app, 200, [] { return false; });
    x->type("turni");
    x->flush();
    ASSERT_TRUE(runUntil(app, 4000, [&] { return pane.resultTable().getRowCount() > 0; }))
        << "key field: " << pane.keyField().text().size() << " characters";
    EXPECT_EQ(pane.keyField().text(), u"turni");
    ASSERT_EQ(pane.resultTable().getRowCount(), 1);
    EXPECT_EQ(pane.resultTable().getValueAt(0, WordListPane::Key), u"turnip");
    EXPECT_EQ(pane.resultTable().getValueAt(0, WordListPane::Value), u"訳 turnip");

    runUntil(app, 300, [] { return false; });
    std::filesystem::create_directories(std::filesystem::path(appDirectory()) / "pictures");
    x->screenshot((std::filesystem::path(appDirectory()) / "pictures" / "word-list-on-x.png").string());

    dialog.close(0);
    app.content().destroyWindow();
    app.destroyWindow();
}
