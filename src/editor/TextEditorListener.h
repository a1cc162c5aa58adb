// How an owner follows one text editor without subclassing it. Every
// operation does nothing by default, so a listener overrides only what it
// needs. The editor does not own its listener.
#pragma once

class TextEditor;

class TextEditorListener {
public:
    virtual ~TextEditorListener() = default;
    // After every edit step (typing, paste, undo, replace, set text), before
    // the parent hears EN_UPDATE.
    virtual void textChanged(TextEditor&) {}
    // The modified flag was set or cleared (also after a file was opened).
    virtual void modifiedChanged(TextEditor&) {}
    // After every placement of the caret, so after every selection change.
    virtual void caretMoved(TextEditor&) {}
};
