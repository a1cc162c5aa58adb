// A push button (window class "ButtonPane") with a text and an optional
// image, painted as a rounded face (corner radius 12) whose shade shows the
// state of the pointer and the focus.
//
// Painting runs in three steps that subclasses may replace: paintFace (the
// shaded face), paintImage (the image cell, when an image is loaded) and
// paintLabel (the text).
#pragma once

#include <string>

#include "toolkit/Image.h"
#include "toolkit/StateButton.h"

enum class ButtonShade { Normal, Hovered, Focused, PressedInside, PressedOutside, Disabled };

class Button : public StateButton {
public:
    Button();

    // createButton with an empty text and an empty rectangle.
    virtual bool createWithId(HWND parent, int controlId);
    virtual void paintFace(Graphics& g);
    virtual void paintImage(Graphics& g);
    virtual void paintLabel(Graphics& g);

    void paint(Graphics& g) override;

    // Loads the face image; the whole picture is one cell until setImageCell.
    bool loadImage(const std::u16string& path);
    // The part of the image that is drawn (x, y, width, height in the image).
    void setImageCell(const Rect& cell);
    Image& image() { return image_; }
    bool hasImage() const { return image_.loaded(); }

    // The shade the face is painted in, from the pressed, hover, focus and
    // enabled state (in that order of precedence).
    ButtonShade shade() const;

    static constexpr int kCornerRadius = 12;

protected:
    Image image_;
    Rect imageCell_;
};
