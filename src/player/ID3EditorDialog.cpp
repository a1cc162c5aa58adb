#include "player/ID3EditorDialog.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string>

#include "xml/Element.h"

namespace {

constexpr int kLabelX = 10;
constexpr int kLabelWidth = 110;
constexpr int kFieldX = kLabelX + kLabelWidth;
constexpr int kRowHeight = 22;
constexpr int kRightMargin = 16;
constexpr int kDateWidth = 80;
constexpr int kDateGap = 8;
constexpr int kRows[] = {10, 48, 86, 124, 162};
constexpr const char16_t* kLabels[] = {u"Title:", u"Official Site:", u"Source File Url:", u"Category:",
                                       u"Year/Month/Day:"};
// The block's children, in the order of the text fields.
constexpr const char16_t* kTextNames[] = {u"title", u"officialSite", u"sourceUrl", u"category"};

struct DatePart {
    const char16_t* name;
    int minimum;
    int maximum;
};
constexpr DatePart kDateParts[] = {{u"year", 0, 9999}, {u"month", 1, 12}, {u"day", 1, 31}};

// The number the block holds for a date part; nothing when it holds none that
// fits (a list whose file dates could not be read keeps 0 for all three).
std::optional<int> storedNumber(const Element& id3, const DatePart& part) {
    const std::u16string text = id3.getTextOf(part.name);
    if (text.empty()) return std::nullopt;
    const std::string digits(text.begin(), text.end());
    int value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    if (value <= 0 || value < part.minimum || value > part.maximum) return std::nullopt;
    return value;
}

}  // namespace

ID3EditorDialog::~ID3EditorDialog() {
    for (TextField& field : texts_) field.destroyWindow();
    for (UpDownTextField& field : dates_) field.destroyWindow();
}

bool ID3EditorDialog::createContents() {
    setTitle(u"ID3 Editor");
    for (int i = 0; i < 5; ++i) {
        HWND label = CreateWindowExW(0, u"STATIC", kLabels[i], WS_CHILD | WS_VISIBLE, kLabelX, kRows[i] + 2,
                                     kLabelWidth, 18, handle(), nullptr, nullptr, nullptr);
        if (label) SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    }
    for (int i = 0; i < 4; ++i) {
        TextField& field = texts_[static_cast<std::size_t>(i)];
        field.createAt(handle(), kFieldX, kRows[i], kWidth - kFieldX - kRightMargin, kRowHeight);
        SetWindowLongPtrW(field.handle(), GWLP_ID, kFirstFieldId + i);
        field.setText(id3_.getTextOf(kTextNames[i]));
    }
    SYSTEMTIME today{};
    GetLocalTime(&today);
    const int todays[] = {today.wYear, today.wMonth, today.wDay};
    for (int i = 0; i < 3; ++i) {
        UpDownTextField& field = dates_[static_cast<std::size_t>(i)];
        const DatePart& part = kDateParts[i];
        field.createField(handle(), kFirstFieldId + 4 + i, u"", kFieldX + i * (kDateWidth + kDateGap), kRows[4],
                          kDateWidth, kRowHeight);
        field.setRange(part.minimum, part.maximum);
        field.setValue(storedNumber(id3_, part).value_or(todays[i]));
    }
    addStandardButtons(kOkButton | kCancelButton);
    // Return in any field is OK, as a form is expected to answer it.
    SendMessageW(handle(), DM_SETDEFID, kOkButton, 0);
    setSizeCentered(kWidth, kHeight);
    SetFocus(texts_[0].handle());
    return false;
}

void ID3EditorDialog::onSize(WPARAM, LPARAM) {
    if (!texts_[0].handle()) return;
    RECT client{};
    GetClientRect(handle(), &client);
    const int width = std::max<int>(static_cast<int>(client.right) - kFieldX - kRightMargin, 40);
    for (int i = 0; i < 4; ++i)
        MoveWindow(texts_[static_cast<std::size_t>(i)].handle(), kFieldX, kRows[i], width, kRowHeight, TRUE);
}

bool ID3EditorDialog::onOk() {
    for (int i = 0; i < 4; ++i) {
        const std::u16string value = texts_[static_cast<std::size_t>(i)].getText();
        if (id3_.findElement(kTextNames[i]) && id3_.getTextOf(kTextNames[i]) == value) continue;
        id3_.setChildText(kTextNames[i], value);
        changed_ = true;
    }
    for (int i = 0; i < 3; ++i) {
        const DatePart& part = kDateParts[i];
        const int value = dates_[static_cast<std::size_t>(i)].getValue();
        const std::string digits = std::to_string(value);
        if (id3_.findElement(part.name) && id3_.getTextOf(part.name) == std::u16string(digits.begin(), digits.end()))
            continue;
        id3_.setChildInt(part.name, value);
        changed_ = true;
    }
    return true;
}

bool ID3EditorDialog::edit(HWND owner, Element& id3) {
    ID3EditorDialog dialog(id3);
    return showModal(owner, dialog) && dialog.changed();
}
