// A session bus of the test's own: a dbus-daemon with no services to start on
// demand, its address put in DBUS_SESSION_BUS_ADDRESS for the program's code
// to find, and gone (with the variable) when the object goes. Optionally the
// stand-in desktop services (a file-chooser portal and a notification server,
// see StandInDesktop.cpp) run on it, logging each request to a file.
#pragma once

#include <string>
#include <vector>

#include <sys/types.h>

#include "support/TempDir.h"

class PrivateSessionBus {
public:
    PrivateSessionBus();
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    bool running() const { return daemon_ > 0 && !address_.empty(); }
    const std::string& address() const { return address_; }

    // Starts the stand-in services; answer is what the file chooser answers:
    // a path to choose, or "cancel". False when they did not come up.
    bool startStandInDesktop(const std::string& answer);
    // The requests the stand-in services saw so far, one line each.
    std::vector<std::string> requests() const;

    // Runs a command to its end (at most 10 s) with the bus in its
    // environment; its standard output, without the last line feed.
    struct Result {
        int status = -1;
        std::string out;
    };
    static Result run(const std::vector<std::string>& argv);

private:
    TempDir folder_;
    pid_t daemon_ = -1;
    pid_t standIn_ = -1;
    std::string address_;
};
