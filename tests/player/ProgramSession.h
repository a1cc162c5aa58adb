// The whole program in a test, on the headless display: its main window made
// once per test program as start-up makes it (settings from their defaults),
// its message loop run for a while of real time, the shortcuts a learner
// presses, and the close at the end.
#pragma once

#include <memory>

#include "app/TestApp.h"
#include "support/TempDir.h"

namespace veltrix::test {

class ProgramSession {
public:
    ProgramSession();
    // Closes the main window, answering No to a question about unsaved edits.
    ~ProgramSession();
    ProgramSession(const ProgramSession&) = delete;
    ProgramSession& operator=(const ProgramSession&) = delete;

    TestApp& app() { return *m_app; }
    // The program's message loop for a while of real time.
    void run(int ms);
    // Runs until done() holds or ms have passed; true when it held.
    template <typename Done>
    bool runUntil(int ms, Done done) {
        for (int waited = 0; waited < ms; waited += 20) {
            run(20);
            if (done()) return true;
        }
        return done();
    }
    // Ctrl (and Shift) with a key, then 30 ms of the loop.
    void ctrl(int key, bool shift = false);

private:
    TempDir m_windowSettings;
    std::unique_ptr<TestApp> m_app;
};

}  // namespace veltrix::test
