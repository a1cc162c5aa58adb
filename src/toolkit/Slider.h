// A horizontal value slider (window class "SliderPane") that answers the
// system's track-bar messages, so code written for a track bar works on it.
//
// Geometry: the track is the client area; the thumb is as wide as asked (32
// by default), or wider when it shows the value (asked wider than 11) and the
// widest value of the range would not fit in it: then it is as wide as that
// text in the slider's font plus a margin on each side (at most the client
// width). It is as high as the control; trackLength = client width -
// thumb width; scale = |maximum - minimum| / trackLength (0 until a size is
// known). Every change of the value by the user (drag, click, keys, wheel)
// goes through notifyValue: the parent gets WM_HSCROLL with the position in
// the high word and the control id in the low word, the slider as lParam.
//
// TBM_SETRANGE packs both ends into 16-bit words as on the system; ranges
// beyond -32768..32767 are set with TBM_SETRANGEMIN and TBM_SETRANGEMAX.
//
// Invariant: minimum <= position <= maximum whenever minimum <= maximum.
#pragma once

#include <string>

#include "toolkit/Component.h"

class Slider : public Component {
public:
    Slider();

    // The rounded track and the thumb.
    virtual void paintTrack(Graphics& g);
    // The position as "%d" centred in the thumb, when the thumb is wider than 11.
    virtual void paintValue(Graphics& g);
    virtual void notifyValue();

    // "The current slider position is %d. The range is from %d to %d."
    std::u16string getTextCopy() const override;
    void paint(Graphics& g) override;
    bool onKeyDown(WPARAM key, LPARAM flags) override;
    bool onMousePressed(int x, int y) override;
    bool onMouseMoved(int x, int y) override;
    bool onMouseReleased() override;
    bool onMouseWheel(int x, int y, int keyState, int notches) override;
    LRESULT onSize(WPARAM type, LPARAM size) override;
    LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    int position() const { return position_; }
    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    // Clamped; repaints; no notification.
    void setPosition(int position);
    void setRange(int minimum, int maximum);
    // The asked width; the thumb may be wider (TBM_GETTHUMBLENGTH answers
    // the width it has).
    void setThumbWidth(int width);
    int thumbWidth() const { return thumb_.width; }
    // The widest of the range's two ends as painted in the thumb ("%d"), in
    // the slider's font.
    int widestValueWidth() const;
    int thumbX() const { return thumb_.x; }
    int trackLength() const { return trackLength_; }
    float scale() const { return scale_; }
    bool isDragging() const { return dragging_; }

    static constexpr LRESULT kDialogCode = 1;  // the arrow keys
    // A thumb this wide or narrower shows no value.
    static constexpr int kValueThumbMinimum = 11;
    // Room left and right of the value inside the thumb's rounded ends.
    static constexpr int kValueMargin = 3;

private:
    struct Box {
        int x = 0, y = 0, width = 0, height = 0;
        bool contains(int px, int py) const { return px >= x && px < x + width && py >= y && py < y + height; }
    };
    // Moves by delta (clamped), places the thumb, notifies, repaints.
    void moveBy(int delta);
    void placeThumb();
    void recomputeScale();
    // The thumb's width for the asked width, the range and the font; lays
    // the slider out again when it changed.
    void fitThumb();
    int clampToRange(int value) const;

    int position_ = 0;
    int minimum_ = 0;
    int maximum_ = 0;
    int lineStep_ = 1;
    int pageCount_ = 5;
    int askedThumbWidth_ = 32;
    Box thumb_{0, 0, 32, 18};
    Box track_;
    int trackLength_ = 0;
    float scale_ = 0.0f;
    bool dragging_ = false;
    int grabOffset_ = 0;
};
