// Conversion between UTF-16 and the process's narrow code page: 0 (the system
// code page) until start-up sets 932; the playlist save switches it to 0 and
// back. Characters the code page cannot hold become "?".
#pragma once

#include <string>
#include <string_view>

void setNarrowCodePage(unsigned codePage);
unsigned narrowCodePage();

// Switches the narrow code page for the scope's life and restores the one in
// use before on every way out.
class NarrowCodePageScope {
public:
    explicit NarrowCodePageScope(unsigned codePage) : m_previous(narrowCodePage()) { setNarrowCodePage(codePage); }
    ~NarrowCodePageScope() { setNarrowCodePage(m_previous); }
    NarrowCodePageScope(const NarrowCodePageScope&) = delete;
    NarrowCodePageScope& operator=(const NarrowCodePageScope&) = delete;

private:
    unsigned m_previous;
};

std::string toNarrow(std::u16string_view text);
std::u16string toWide(std::string_view narrow);

// The same conversions with an explicit code page (0, 932, 20932 or 65001).
std::string encodeCodePage(std::u16string_view text, unsigned codePage);
std::u16string decodeCodePage(std::string_view bytes, unsigned codePage);
