// The program's own exception: where it was raised, what it is about, and an
// optional result code. Thrown inside a subsystem and caught at its edge, where
// displayText() is what the learner is shown.
#pragma once

#include <string>

class Exception {
public:
    Exception(std::u16string function, int line, std::u16string message, long code = 0)
        : m_function(std::move(function)), m_line(line), m_message(std::move(message)), m_code(code) {}
    virtual ~Exception() = default;

    const std::u16string& function() const { return m_function; }
    int line() const { return m_line; }
    const std::u16string& message() const { return m_message; }
    long code() const { return m_code; }

    // "Function: f\nLine:     12\nException:\n" + message and "\n" when there is
    // one + "ErrorCode: 0x1F\n" and the code's description when the code is not 0.
    std::u16string displayText() const;

protected:
    // The system's text for the code, or "Unexpected HRESULT".
    virtual std::u16string describeCode(long code) const;

private:
    std::u16string m_function;
    int m_line;
    std::u16string m_message;
    long m_code;
};
