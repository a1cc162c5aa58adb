// The input options of a text field: read-only, file-name characters and
// path characters (all off at first). With file-name characters on, the
// characters " * / : < > ? \ | are refused; with path characters on,
// " < > | are refused. Pasted text is cleaned the same way: path characters
// turn each refused character into a space, file-name characters cut the text
// before its first refused character.
#pragma once

#include <string>

class RestrictionName {
public:
    virtual ~RestrictionName() = default;

    void setReadOnly(bool on) { readOnly_ = on; }
    bool isReadOnly() const { return readOnly_; }
    void setFileNameCharacters(bool on) { fileName_ = on; }
    bool fileNameCharacters() const { return fileName_; }
    void setPathCharacters(bool on) { path_ = on; }
    bool pathCharacters() const { return path_; }

    // Whether a typed character is refused by the active options.
    bool refuses(char16_t c) const;
    // The text a paste inserts.
    std::u16string cleanPaste(std::u16string text) const;

    static bool isFileNameRefused(char16_t c);
    static bool isPathRefused(char16_t c);

private:
    bool readOnly_ = false;
    bool fileName_ = false;
    bool path_ = false;
};
