// The toolkit's event values. Every event is a copyable value whose first three
// fields are the source component, a code and a value; the derived kinds add
// their own fields. Listeners receive them by reference through handleEvent and
// by value through their typed operations.
#pragma once

#include <string>

class Component;
class TableModel;

class EventObject {
public:
    EventObject(Component* from, int eventCode, int eventValue) : source(from), code(eventCode), value(eventValue) {}
    virtual ~EventObject() = default;
    // Diagnostics only; every event answers the empty text.
    virtual std::u16string toString() const { return {}; }

    Component* source;
    int code;
    int value;
};

class ActionEvent : public EventObject {
public:
    explicit ActionEvent(Component* from) : EventObject(from, 0, 0) {}
};

// value: 0 from buttons; the notification code -551 from the tabbed pane.
class ChangeEvent : public EventObject {
public:
    ChangeEvent(Component* from, int changeValue) : EventObject(from, 0, changeValue) {}
};

// value holds the mouse message number; x and y are client coordinates.
class MouseEvent : public EventObject {
public:
    MouseEvent(Component* from, unsigned message, int clientX, int clientY)
        : EventObject(from, 0, static_cast<int>(message)), x(clientX), y(clientY) {}
    unsigned message() const { return static_cast<unsigned>(value); }

    int x;
    int y;
};

// value holds the key or notification code as received; keyCode the virtual
// key (a table's Return notification arrives as 13).
class KeyEvent : public EventObject {
public:
    KeyEvent(Component* from, int received, int virtualKey) : EventObject(from, 0, received), keyCode(virtualKey) {}

    int when = 0;
    int modifiers = 0;
    int keyCode;
    int keyChar = 0;
    int keyLocation = 0;
};

class ClipboardEvent : public EventObject {
public:
    explicit ClipboardEvent(Component* from) : EventObject(from, 0, 0) {}
};

// The source of a table-model event is a model, not a component: the
// component source stays null and the model is named separately.
class TableModelEvent : public EventObject {
public:
    TableModelEvent(TableModel* changed, int notification, int changedColumn, int first, int last, int kind)
        : EventObject(nullptr, 0, notification),
          model(changed),
          column(changedColumn),
          firstRow(first),
          lastRow(last),
          type(kind) {}

    TableModel* model;
    int column;
    int firstRow;
    int lastRow;
    int type;
};
