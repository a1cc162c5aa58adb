// The desktop's own file chooser through the XDG desktop portal
// (org.freedesktop.portal.FileChooser), for GetOpenFileNameW and
// GetSaveFileNameW.
//
// askPortal runs a nested message loop on the calling (window) thread while
// the bus thread talks to the portal; the owner is disabled meanwhile, as
// under any modal dialog. It never waits for the bus itself: the portal's
// answer arrives as a thread message that ends the loop.
#pragma once

#include <string>
#include <vector>

#include "platform/controls/FileDialogModel.h"

namespace veltrix::platform::bus {

struct PortalRequest {
    controls::FileDialogMode mode = controls::FileDialogMode::Open;
    HWND owner = nullptr;  // a top-level window or none
    std::string parent;    // the owner as the desktop names it ("x11:…"), or empty
    std::u16string title;
    std::vector<controls::FileFilter> filters;
    int filterIndex = 0;
    std::u16string folder;       // "/"-separated, existing
    std::u16string initialName;  // save: the name proposed
};

struct PortalAnswer {
    enum class Outcome { Chosen, Cancelled, Unavailable };
    Outcome outcome = Outcome::Unavailable;
    std::u16string path;   // Chosen: the file, "/"-separated
    int filterIndex = -1;  // Chosen: the filter the user had, when the portal says
};

// Unavailable at once without a session bus; Unavailable too when no portal
// answers the request (then the caller shows its own dialog).
PortalAnswer askPortal(const PortalRequest& request);

// A Windows pattern list ("*.mp3;*.OGG") as portal globs, which are matched
// with regard to case: each letter becomes a class of both cases
// ("*.[mM][pP]3"); "*.*" is every file ("*").
std::vector<std::string> portalGlobs(std::u16string_view patterns);

}  // namespace veltrix::platform::bus
