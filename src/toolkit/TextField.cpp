#include "toolkit/TextField.h"

TextField::TextField() = default;

void TextField::setStyle(DWORD style) {
    if (style & ES_NUMBER) style |= ES_RIGHT;
    TextArea::setStyle(style);
}
