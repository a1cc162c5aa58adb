// The ID3 editor: a modal dialog over the sentence list's id3 block (the
// element the list file keeps beside its sentences). Four text fields (title,
// official site, source address, category) and three number fields for the
// date, each kept in its range (year 0 to 9999, month 1 to 12, day 1 to 31);
// a date part the block does not hold starts from today's local date. OK
// writes all seven values back into the block; Cancel leaves it as it was.
#pragma once

#include <array>

#include "toolkit/Dialog.h"
#include "toolkit/TextField.h"
#include "toolkit/UpDownTextField.h"

class Element;

class ID3EditorDialog : public Dialog {
public:
    static constexpr int kWidth = 500;
    static constexpr int kHeight = 360;
    static constexpr int kFirstFieldId = 1101;

    explicit ID3EditorDialog(Element& id3) : id3_(id3) {}
    ~ID3EditorDialog() override;

    bool createContents() override;
    void onSize(WPARAM type, LPARAM size) override;
    bool onOk() override;

    // The text fields in the order title, official site, source url, category.
    TextField& textField(int i) { return texts_.at(static_cast<std::size_t>(i)); }
    // Year, month, day.
    UpDownTextField& dateField(int i) { return dates_.at(static_cast<std::size_t>(i)); }
    // Whether OK changed a value of the block.
    bool changed() const { return changed_; }

    // Shows the dialog modally over owner; true when OK changed the block.
    static bool edit(HWND owner, Element& id3);

private:
    Element& id3_;
    std::array<TextField, 4> texts_;
    std::array<UpDownTextField, 3> dates_;
    bool changed_ = false;
};
