// The error raised inside the XML reader. It never leaves XMLParser: the parser
// catches it at its edge, reports it and keeps it as lastError().
#pragma once

#include <string>

namespace xml {

class ParserException {
public:
    // location: the fixed number of the check that failed (221, 235, ... 534).
    // row (from 1) and column (characters before the failing one on its row) are
    // where the failing character stands.
    ParserException(std::u16string message, int location, int row = 0, int column = 0)
        : m_message(std::move(message)), m_location(location), m_row(row), m_column(column) {}

    const std::u16string& message() const { return m_message; }
    int location() const { return m_location; }
    int row() const { return m_row; }
    int column() const { return m_column; }
    void setPosition(int row, int column) {
        m_row = row;
        m_column = column;
    }

    // "XMLParser line:" + location + "\r\n" + message.
    std::u16string displayText() const;

private:
    std::u16string m_message;
    int m_location;
    int m_row;
    int m_column;
};

}  // namespace xml
