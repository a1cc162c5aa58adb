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
    EventObject(Component* source, int code, int value) : source(source), code(code), value(value) {}
    virtual ~EventObject() = default;
    // Diagnostics only; every event answers the empty text.
    virtual std::u16string toString() const { return {}; }

    Component* source;
    int code;
    int value;
};

class ActionEvent : public EventObject {
public:
    explicit ActionEvent(Component* source) : EventObject(source, 0, 0) {}
};

// value: 0 from buttons; the notification code -551 from the tabbed pane.
class ChangeEvent : public EventObject {
public:
    ChangeEvent(Component* source, int value) : EventObject(source, 0, value) {}
};

// value holds the mouse message number; x and y are client coordinates.
class MouseEvent : public EventObject {
public:
    MouseEvent(Component* source, unsigned message, int x, int y)
        : EventObject(source, 0, static_cast<int>(message)), x(x), y(y) {}
    unsigned message() const { return static_cast<unsigned>(value); }

    int x;
    int y;
};

// value holds the key or notification code as received; keyCode the virtual
// key (a table's Return notification arrives as 13).
class KeyEvent : public EventObject {
public:
    KeyEvent(Component* source, int received, int keyCode) : EventObject(source, 0, received), keyCode(keyCode) {}

    int when = 0;
    int modifiers = 0;
    int keyCode;
    int keyChar = 0;
    int keyLocation = 0;
};

class ClipboardEvent : public EventObject {
public:
    explicit ClipboardEvent(Component* source) : EventObject(source, 0, 0) {}
};

// The source of a table-model event is a model, not a component: the
// component source stays null and the model is named separately.
class TableModelEvent : public EventObject {
public:
    TableModelEvent(TableModel* model, int notification, int column, int firstRow, int lastRow, int type)
        : EventObject(nullptr, 0, notification), model(model), column(column), firstRow(firstRow), lastRow(lastRow),
          type(type) {}

    TableModel* model;
    int column;
    int firstRow;
    int lastRow;
    int type;
};
