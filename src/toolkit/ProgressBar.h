// A progress bar (window class "ProgressBar"): a percentage from 0 to 100
// drawn as a bar from the left inside the rounded field frame, with the
// window text centred on it. It never takes the focus.
#pragma once

#include "toolkit/Component.h"

class ProgressBar : public Component {
public:
    ProgressBar();

    bool create(HWND parent) override;
    void paint(Graphics& g) override;
    LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    int position() const { return position_; }
    // Clamped to 0..100; repaints when it changes.
    void setPosition(int percent);

    static constexpr COLORREF kBarColour = 0xFFBE64;
    static constexpr int kFrameRadius = 8;

private:
    int position_ = 0;
};
