// A table of sentence rows that also keeps the sentence-list document it was
// filled from, so that what the table does not show (the id3 and WordList
// elements, the audio and XML paths) survives a save.
#pragma once

#include "lyrics/SentenceList.h"
#include "toolkit/TableComponent.h"

class BaseLyricsTable : public TableComponent {
public:
    // Removes every row and empties the document's rows, id3 and WordList;
    // the document's paths stay.
    virtual void clear();

    // Clears the selection without notifications, then selects row alone
    // (notifying as selectRow does) and scrolls it into view.
    void selectOnly(int row);
    // Drops the selection without notifications.
    void clearSelection();
    // Paints the rows again after cells were written.
    void repaint() { invalidateTable(); }

    SentenceList& document() { return document_; }
    const SentenceList& document() const { return document_; }

private:
    SentenceList document_;
};
