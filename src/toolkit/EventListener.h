// Listener interfaces. The registry of a component calls handleEvent; the
// typed interfaces turn it into their own operation. A listener that expects
// one event kind and receives another raises std::bad_cast, which ends the
// delivery of that event (see ListenerRegistry).
//
// A listener knows the lists that hold it (see ListenerList) and leaves them
// when it ends, so a component never calls a listener that is gone.
#pragma once

#include <vector>

#include "toolkit/EventObject.h"

class ListenerList;

class EventListener {
public:
    EventListener() = default;
    // A copy listens to nothing: registrations belong to the object that made them.
    EventListener(const EventListener&) {}
    EventListener& operator=(const EventListener&) { return *this; }

    virtual void handleEvent(const EventObject& event) = 0;
    virtual ~EventListener();

private:
    friend class ListenerList;
    std::vector<ListenerList*> lists_;  // the lists this listener is in
};

class ActionListener : public EventListener {
public:
    // Buttons call actionPerformed directly; events from a registry are ignored.
    void handleEvent(const EventObject&) override {}
    virtual void actionPerformed(ActionEvent event) = 0;
};

class ChangeListener : public EventListener {
public:
    void handleEvent(const EventObject& event) override { stateChanged(dynamic_cast<const ChangeEvent&>(event)); }
    virtual void stateChanged(ChangeEvent event) = 0;
};

class KeyListener : public EventListener {
public:
    void handleEvent(const EventObject& event) override { keyPressed(dynamic_cast<const KeyEvent&>(event)); }
    // Kept for subclasses written against the full key interface; the toolkit
    // only ever calls keyPressed.
    virtual void keyTyped(KeyEvent) {}
    virtual void keyReleased(KeyEvent) {}
    virtual void keyPressed(KeyEvent) {}
};

class TableModelListener : public EventListener {
public:
    void handleEvent(const EventObject&) override {}
    virtual void tableChanged(TableModelEvent event) = 0;
};

class ClipboardListener : public EventListener {
public:
    void handleEvent(const EventObject&) override {}
    virtual void clipboardChanged(ClipboardEvent event) = 0;
};

// How a downloader reports to its dialog; called directly, never through a registry.
class DownloadListener {
public:
    virtual ~DownloadListener() = default;
    virtual void downloadFinished() = 0;
    virtual void downloadFailed() = 0;
    virtual void downloadMessage(const std::u16string& text) = 0;
};
