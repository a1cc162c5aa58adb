// A button whose clickable area is a region: a polygon in client
// coordinates, or, while none is set, the ellipse filling the client area.
// Presses outside the region are not taken (they fall through to the
// system), the pressed shade follows the region, and the face is painted in
// the region's shape.
#pragma once

#include <vector>

#include "toolkit/Button.h"

class RegionButton : public Button {
public:
    RegionButton();

    // A closed polygon (at least three points); fewer points mean the ellipse.
    void setRegion(std::vector<POINT> polygon);
    const std::vector<POINT>& region() const { return polygon_; }

    bool onMousePressed(int x, int y) override;
    void paintFace(Graphics& g) override;

protected:
    bool containsPoint(int x, int y) const override;

private:
    std::vector<POINT> polygon_;
};
