// Records what window procedures receive, so tests can compare the order of
// messages with an expected table in the manner of a message-sequence test.
#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/win32.h"

namespace veltrix::test {

struct LoggedMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// One expected entry: which window (by name given to the log) and message.
struct Expected {
    const char* window;
    UINT message;
};

class MessageLog {
public:
    static MessageLog& instance();
    void clear() { log_.clear(); }
    void name(HWND window, std::string name);
    void add(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    const std::vector<LoggedMessage>& entries() const { return log_; }
    // Entries of these messages only (in order), as "name:message" lines.
    std::string describe() const;
    // Compares the log, less the messages a sequence test does not look at.
    ::testing::AssertionResult matches(const std::vector<Expected>& expected) const;
    std::vector<LoggedMessage> of(UINT message) const;

private:
    std::vector<LoggedMessage> log_;
    std::vector<std::pair<HWND, std::string>> names_;
    std::string nameOf(HWND window) const;
};

// A window procedure that logs and then calls DefWindowProcW.
LRESULT loggingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Registers the logging class "Logged" (once) and returns its name.
LPCWSTR loggedClass();
// Registers the logging class "LoggedDbl" with CS_DBLCLKS (once).
LPCWSTR loggedDoubleClickClass();
std::string messageName(UINT message);

}  // namespace veltrix::test
