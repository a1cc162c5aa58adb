// The clipboard-text reader and the clipboard viewer's burst rule and chain.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "ToolkitTestSupport.h"
#include "toolkit/ClipboardText.h"
#include "toolkit/ClipboardViewer.h"

using namespace veltrix::test;
using namespace std::chrono_literals;

namespace {

void putText(const std::u16string& text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    if (!text.empty()) {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(char16_t));
        std::memcpy(GlobalLock(block), text.c_str(), (text.size() + 1) * sizeof(char16_t));
        GlobalUnlock(block);
        SetClipboardData(CF_UNICODETEXT, block);
    }
    CloseClipboard();
}

TEST(ClipboardText, UnicodeTextComesBackUnchangedAndAnEmptyClipboardGivesNothing) {
    putText(u"日本語 and English\r\n");
    EXPECT_EQ(readClipboardText(nullptr), u"日本語 and English\r\n");
    putText(u"");
    EXPECT_EQ(readClipboardText(nullptr), u"");
}

TEST(ClipboardText, AClipboardHeldOpenElsewhereGivesTheEmptyText) {
    putText(u"held");
    std::atomic<bool> opened{false}, done{false};
    std::thread holder([&] {
        OpenClipboard(nullptr);
        opened = true;
        while (!done) std::this_thread::sleep_for(1ms);
        CloseClipboard();
    });
    while (!opened) std::this_thread::sleep_for(1ms);
    EXPECT_EQ(readClipboardText(nullptr), u"");
    done = true;
    holder.join();
    EXPECT_EQ(readClipboardText(nullptr), u"held");
}

struct Counter : ClipboardListener {
    void clipboardChanged(ClipboardEvent event) override {
        ++events;
        source = event.source;
    }
    int events = 0;
    Component* source = nullptr;
};

struct Viewer : ::testing::Test {
    void SetUp() override {
        ASSERT_TRUE(viewer.create(frame.handle()));
        viewer.setClipboardListener(&counter);
    }
    void waitPastDelay() {
        for (int i = 0; i < 40; ++i) {
            std::this_thread::sleep_for(5ms);
            headless::pumpMessages();
        }
    }
    RecordingFrame frame;
    ClipboardViewer viewer;
    Counter counter;
};

TEST_F(Viewer, IsHiddenAndTurnsABurstOfChangesIntoOneEvent) {
    EXPECT_FALSE(IsWindowVisible(viewer.handle()));
    SendMessageW(viewer.handle(), WM_DRAWCLIPBOARD, 0, 0);
    std::this_thread::sleep_for(50ms);
    SendMessageW(viewer.handle(), WM_DRAWCLIPBOARD, 0, 0);
    EXPECT_TRUE(viewer.isNotificationPending());
    waitPastDelay();
    EXPECT_EQ(counter.events, 1);
    EXPECT_EQ(counter.source, &viewer);
    EXPECT_FALSE(viewer.isNotificationPending());
    SendMessageW(viewer.handle(), WM_DRAWCLIPBOARD, 0, 0);
    waitPastDelay();
    EXPECT_EQ(counter.events, 2);
}

TEST_F(Viewer, AChangeWhoseOwnerIsGoneBeforeTheDelayGivesNoEvent) {
    HWND owner =
        CreateWindowExW(0, u"BaseWindowPane", u"", WS_CHILD, 0, 0, 1, 1, frame.handle(), nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    SendMessageW(viewer.handle(), WM_DRAWCLIPBOARD, reinterpret_cast<WPARAM>(owner), 0);
    DestroyWindow(owner);
    waitPastDelay();
    EXPECT_EQ(counter.events, 0);
    EXPECT_FALSE(viewer.isNotificationPending());
}

TEST_F(Viewer, SuppressedChangesAreIgnored) {
    viewer.setSuppressed(true);
    SendMessageW(viewer.handle(), WM_DRAWCLIPBOARD, 0, 0);
    waitPastDelay();
    EXPECT_EQ(counter.events, 0);
}

TEST_F(Viewer, PassesChangesDownTheChainAndFollowsItsChanges) {
    ClipboardViewer next;
    ASSERT_TRUE(next.create(frame.handle()));
    Counter nextCounter;
    next.setClipboardListener(&nextCounter);
    viewer.setNextViewer(next.handle());
    SendMessageW(viewer.handle(), WM_DRAWCLIPBOARD, 0, 0);
    waitPastDelay();
    EXPECT_EQ(nextCounter.events, 1);

    // The next viewer leaves: the chain closes over it.
    HWND after = reinterpret_cast<HWND>(0x1234);
    SendMessageW(viewer.handle(), WM_CHANGECBCHAIN, reinterpret_cast<WPARAM>(next.handle()),
                 reinterpret_cast<LPARAM>(after));
    EXPECT_EQ(viewer.nextViewer(), after);
}

TEST_F(Viewer, JoinsAndLeavesThePlatformChain) {
    HWND previous = SetClipboardViewer(viewer.handle());
    viewer.setNextViewer(previous);
    viewer.destroyWindow();
    EXPECT_EQ(viewer.nextViewer(), nullptr);
    // The head is the previous viewer again: setting a new head answers it.
    ClipboardViewer other;
    ASSERT_TRUE(other.create(frame.handle()));
    EXPECT_EQ(SetClipboardViewer(other.handle()), previous);
    ChangeClipboardChain(other.handle(), previous);
}

}  // namespace
