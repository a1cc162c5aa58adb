// The controls the player core reads and drives: the time slider, the play
// and stop buttons, the time label, the three number fields, the volume
// slider, the window title and the component's timers. The player component
// implements it with its widgets; tests with plain values.
#pragma once

#include <string>

#include "platform/win32.h"

enum class Enable { Off, On };

class PlayerControls {
public:
    virtual ~PlayerControls() = default;

    // Slider steps are 10 ms. Setting the value repaints the slider.
    virtual int timeSliderValue() const = 0;
    virtual void setTimeSliderValue(int value) = 0;
    virtual void setTimeSliderRange(int maximum) = 0;
    // "Play" or "Pause": what the user chose last.
    virtual std::u16string playCaption() const = 0;
    virtual void setPlayCaption(const std::u16string& caption) = 0;
    virtual void enablePlayButton(Enable enable) = 0;
    virtual void enableStopButton(Enable enable) = 0;
    virtual std::u16string timeLabel() const = 0;
    virtual void setTimeLabel(const std::u16string& text) = 0;
    virtual int tempo() const = 0;
    virtual int pitch() const = 0;
    virtual int volume() const = 0;
    virtual void setTitle(const std::u16string& title) = 0;
    // Window timers of the component (both 100 ms).
    virtual void startTimer(UINT_PTR id) = 0;
    virtual void stopTimer(UINT_PTR id) = 0;
};
