// The lyrics readers' and writers' exception: the file path as its message and
// a code that describes itself.
#pragma once

#include "app/Exception.h"

class LyricsManagerException : public Exception {
public:
    // Codes without a text of their own: the end of the file was reached, the
    // file has no tag, the lyrics frame is missing.
    static constexpr long kEndOfFile = 0;
    static constexpr long kCannotOpen = 1;
    static constexpr long kNoTag = 2;
    static constexpr long kFrameMissing = 3;
    static constexpr long kFormatFileUnreadable = 4;
    static constexpr long kLrcNotWritten = 5;
    static constexpr long kSyltNotWritten = 6;

    using Exception::Exception;

protected:
    std::u16string describeCode(long code) const override;
};
