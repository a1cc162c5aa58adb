// A one-line text field (styles 0x50810080 unless the creator passes its
// own). Setting styles with the digits-only style also sets right alignment,
// so numbers line up at the right edge.
#pragma once

#include "toolkit/TextArea.h"

class TextField : public TextArea {
public:
    TextField();

    void setStyle(DWORD style) override;

    static constexpr DWORD kFieldStyle = 0x50810080;

protected:
    DWORD defaultStyle() const override { return kFieldStyle; }
};
