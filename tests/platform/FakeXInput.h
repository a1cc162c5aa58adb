// Real input events made by the X test extension, behind an interface free of
// X's macros (None, Bool, Display) so that it sits beside GoogleTest.
#pragma once

#include <memory>

namespace veltrix::test {

class FakeXInput {
public:
    // Null without an X display or without the XTEST extension.
    static std::unique_ptr<FakeXInput> open();
    ~FakeXInput();
    FakeXInput(const FakeXInput&) = delete;
    FakeXInput& operator=(const FakeXInput&) = delete;

    void moveTo(int x, int y);
    // Press and release of a pointer button: 1 left, 3 right, 4 wheel up.
    void click(unsigned int button);
    // Press and release of the key that gives the key symbol.
    void typeKey(unsigned long keySymbol);
    // Press or release alone, for keys held around others (Ctrl, Shift).
    void pressKey(unsigned long keySymbol);
    void releaseKey(unsigned long keySymbol);

    static constexpr unsigned long kLetterA = 0x61;  // XK_a
    static constexpr unsigned long kReturn = 0xFF0D;  // XK_Return
    static constexpr unsigned long kEscape = 0xFF1B;  // XK_Escape
    static constexpr unsigned long kControl = 0xFFE3;  // XK_Control_L

private:
    FakeXInput() = default;
    void* display_ = nullptr;
};

}  // namespace veltrix::test
