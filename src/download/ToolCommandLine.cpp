#include "download/ToolCommandLine.h"

std::u16string quoteArgument(std::u16string_view argument) {
    std::u16string out = u"\"";
    std::size_t backslashes = 0;
    for (char16_t c : argument) {
        if (c == u'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes only escape when a quote follows them.
        out.append(c == u'"' ? backslashes * 2 + 1 : backslashes, u'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, u'\\');
    out += u'"';
    return out;
}

ToolCommandLine& ToolCommandLine::option(std::u16string_view name) {
    m_text += u' ';
    m_text += name;
    return *this;
}

ToolCommandLine& ToolCommandLine::value(std::u16string_view text) {
    m_text += u' ';
    m_text += quoteArgument(text);
    return *this;
}
