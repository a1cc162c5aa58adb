// Command lines for the external tools, written the way the runner reads
// them: one string split by the Windows rules. Every value is quoted so that
// the split gives it back exactly as one argument, whatever it holds (spaces,
// quotes, backslashes, text that a shell would run); option names stay bare,
// as a user would type them.
#pragma once

#include <string>
#include <string_view>

// The argument in double quotes, each quote escaped and the backslashes
// before a quote (and at the end) doubled, so that the Windows split gives
// back exactly the argument.
std::u16string quoteArgument(std::u16string_view argument);

class ToolCommandLine {
public:
    // Starts with the tool's path, quoted.
    explicit ToolCommandLine(std::u16string_view toolPath) : m_text(quoteArgument(toolPath)) {}

    // An option name (or another fixed word of ours), unquoted.
    ToolCommandLine& option(std::u16string_view name);
    // A value, quoted.
    ToolCommandLine& value(std::u16string_view text);

    const std::u16string& text() const { return m_text; }

private:
    std::u16string m_text;
};
