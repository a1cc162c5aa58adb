// Drop targets: files dropped from the desktop, text dragged inside the
// program with the modal drag loop, formats that are not accepted, and the
// registration's reference counting.
#include <gtest/gtest.h>

#include <cstring>

#include "ToolkitTestSupport.h"
#include "toolkit/Component.h"
#include "toolkit/DropTarget.h"

using namespace veltrix::test;

namespace {

class DropPane : public Component, public DropTarget {
public:
    bool onFilesDropped(const std::vector<std::u16string>& paths) override {
        files = paths;
        return takeFiles;
    }
    HRESULT onDrop(int x, int y, IDataObject* data, DWORD* effect) override {
        ++drops;
        at = {x, y};
        dropEffect = *effect;
        FORMATETC text{CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        STGMEDIUM medium{};
        if (data && data->GetData(&text, &medium) == S_OK) {
            dropped = static_cast<const char16_t*>(GlobalLock(medium.hGlobal));
            GlobalUnlock(medium.hGlobal);
            ReleaseStgMedium(&medium);
        }
        return 0;
    }
    void onDragEnter() override { ++enters; }
    void onDragLeave() override { ++leaves; }
    std::vector<std::u16string> files;
    bool takeFiles = true;
    int drops = 0, enters = 0, leaves = 0;
    POINT at{};
    DWORD dropEffect = 0;
    std::u16string dropped;
};

// Text offered as CF_UNICODETEXT; lives on the stack.
class TextData final : public IDataObject {
public:
    explicit TextData(std::u16string text) : text_(std::move(text)) {}
    HRESULT QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    HRESULT QueryGetData(FORMATETC* f) override { return f->cfFormat == CF_UNICODETEXT ? S_OK : DV_E_FORMATETC; }
    HRESULT GetData(FORMATETC* f, STGMEDIUM* medium) override {
        if (QueryGetData(f) != S_OK) return DV_E_FORMATETC;
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (text_.size() + 1) * 2);
        std::memcpy(GlobalLock(block), text_.c_str(), (text_.size() + 1) * 2);
        GlobalUnlock(block);
        *medium = STGMEDIUM{TYMED_HGLOBAL, block, nullptr};
        return S_OK;
    }

private:
    std::u16string text_;
};

// Drops when the left button is released; cancels on Escape.
class ButtonSource final : public IDropSource {
public:
    HRESULT QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    HRESULT QueryContinueDrag(BOOL escape, DWORD keys) override {
        if (escape) return DRAGDROP_S_CANCEL;
        return (keys & MK_LBUTTON) ? S_OK : DRAGDROP_S_DROP;
    }
    HRESULT GiveFeedback(DWORD effect) override {
        lastFeedback = effect;
        return DRAGDROP_S_USEDEFAULTCURSORS;
    }
    DWORD lastFeedback = 0;
};

struct DragAndDrop : ::testing::Test {
    void SetUp() override {
        headless::pumpMessages();
        ASSERT_TRUE(pane.create(frame.handle()));
        pane.setBounds(50, 40, 120, 80);
    }
    void TearDown() override {
        ReleaseCapture();
        headless::pumpMessages();
    }
    RecordingFrame frame;
    DropPane pane;
};

TEST_F(DragAndDrop, DesktopFilesReachTheRegisteredComponentWithTheLinkEffect) {
    pane.acceptFormat(CF_HDROP);
    ASSERT_TRUE(pane.registerDropTarget(pane.handle()));
    EXPECT_EQ(pane.referenceCount(), 1u);
    headless::dropFiles({u"/tmp/a.mp3", u"/tmp/b c.ogg"}, screenOf(pane.handle(), 10, 10));
    headless::pumpMessages();
    EXPECT_EQ(pane.enters, 1);
    EXPECT_EQ(pane.files, (std::vector<std::u16string>{u"/tmp/a.mp3", u"/tmp/b c.ogg"}));
    EXPECT_EQ(pane.drops, 0) << "taken by onFilesDropped";
    EXPECT_EQ(pane.referenceCount(), 1u);
}

TEST_F(DragAndDrop, FilesNotTakenGoOnToOnDropWithTheSamePointAndTheLinkEffect) {
    pane.takeFiles = false;
    pane.acceptFormat(CF_HDROP);
    ASSERT_TRUE(pane.registerDropTarget(pane.handle()));
    POINT at = screenOf(pane.handle(), 20, 30);
    headless::dropFiles({u"/tmp/x.wma"}, at);
    headless::pumpMessages();
    EXPECT_EQ(pane.files.size(), 1u);
    ASSERT_EQ(pane.drops, 1);
    EXPECT_EQ(pane.at.x, at.x);
    EXPECT_EQ(pane.at.y, at.y);
    EXPECT_EQ(pane.dropEffect, DROPEFFECT_LINK);
}

TEST_F(DragAndDrop, AFormatThatIsNotAcceptedShowsNoEffectAndDeliversNothing) {
    pane.acceptFormat(CF_UNICODETEXT);
    TextData files(u"");
    struct OnlyFiles final : IDataObject {
        HRESULT QueryInterface(REFIID, void** o) override {
            *o = nullptr;
            return E_NOINTERFACE;
        }
        ULONG AddRef() override { return 1; }
        ULONG Release() override { return 1; }
        HRESULT QueryGetData(FORMATETC* f) override { return f->cfFormat == CF_HDROP ? S_OK : DV_E_FORMATETC; }
        HRESULT GetData(FORMATETC*, STGMEDIUM*) override { return DV_E_FORMATETC; }
    } onlyFiles;
    DWORD effect = DROPEFFECT_COPY;
    pane.DragEnter(&onlyFiles, 0, POINTL{1, 1}, &effect);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    EXPECT_FALSE(pane.isDragAccepted());
    effect = DROPEFFECT_COPY;
    pane.DragOver(0, POINTL{1, 1}, &effect);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    pane.Drop(&onlyFiles, 0, POINTL{1, 1}, &effect);
    pane.DragLeave();
    EXPECT_EQ(pane.drops + pane.enters + pane.leaves, 0);
}

TEST_F(DragAndDrop, TextDraggedInsideTheProgramIsDroppedWhereTheButtonIsReleased) {
    pane.acceptFormat(CF_UNICODETEXT);
    ASSERT_TRUE(pane.registerDropTarget(pane.handle()));
    // The drag starts with the button held elsewhere in the frame.
    POINT start = screenOf(frame.handle(), 5, 5);
    headless::mouseButton(headless::Button::Left, true, start);
    headless::pumpMessages();
    ReleaseCapture();
    POINT over = screenOf(pane.handle(), 30, 20);
    headless::mouseMove(over);
    headless::mouseButton(headless::Button::Left, false, over);
    TextData text(u"Hello, 世界");
    ButtonSource source;
    DWORD effect = 0;
    EXPECT_EQ(DoDragDrop(&text, &source, DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect), DRAGDROP_S_DROP);
    EXPECT_EQ(pane.enters, 1);
    ASSERT_EQ(pane.drops, 1);
    EXPECT_EQ(pane.dropped, u"Hello, 世界");
    EXPECT_EQ(pane.at.x, over.x);
    EXPECT_NE(effect, DROPEFFECT_NONE);
    EXPECT_EQ(effect & ~DWORD(DROPEFFECT_COPY | DROPEFFECT_MOVE), 0u) << "never more than the source allows";
    EXPECT_NE(source.lastFeedback, DROPEFFECT_NONE);
}

TEST_F(DragAndDrop, EscapeCancelsTheDragAndTheTargetIsLeft) {
    pane.acceptFormat(CF_UNICODETEXT);
    ASSERT_TRUE(pane.registerDropTarget(pane.handle()));
    headless::mouseButton(headless::Button::Left, true, screenOf(pane.handle(), 3, 3));
    headless::pumpMessages();
    ReleaseCapture();
    headless::mouseMove(screenOf(pane.handle(), 4, 4));
    headless::key(VK_ESCAPE, true);
    TextData text(u"x");
    ButtonSource source;
    DWORD effect = 7;
    EXPECT_EQ(DoDragDrop(&text, &source, DROPEFFECT_COPY, &effect), DRAGDROP_S_CANCEL);
    headless::key(VK_ESCAPE, false);
    headless::mouseButton(headless::Button::Left, false, screenOf(pane.handle(), 4, 4));
    headless::pumpMessages();
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    EXPECT_EQ(pane.drops, 0);
    EXPECT_EQ(pane.enters, pane.leaves);
}

TEST_F(DragAndDrop, RegistrationIsCountedAndRevokedOnReRegistrationAndDestruction) {
    {
        DropTarget target;
        ASSERT_TRUE(target.registerDropTarget(pane.handle()));
        EXPECT_EQ(target.referenceCount(), 1u);
        EXPECT_EQ(RegisterDragDrop(pane.handle(), &target), DRAGDROP_E_ALREADYREGISTERED);
        ASSERT_TRUE(target.registerDropTarget(frame.handle()));
        EXPECT_EQ(target.referenceCount(), 1u);
        EXPECT_EQ(RevokeDragDrop(pane.handle()), DRAGDROP_E_NOTREGISTERED);
        void* object = nullptr;
        EXPECT_EQ(target.QueryInterface(IID_IDropTarget, &object), S_OK);
        EXPECT_EQ(object, static_cast<IDropTarget*>(&target));
        target.Release();
        EXPECT_EQ(target.QueryInterface(IID_IDataObject, &object), E_NOINTERFACE);
        EXPECT_EQ(object, nullptr);
    }
    EXPECT_EQ(RevokeDragDrop(frame.handle()), DRAGDROP_E_NOTREGISTERED) << "revoked by the destructor";
    DropTarget unregistered;
    EXPECT_FALSE(unregistered.registerDropTarget(nullptr));
}

}  // namespace
