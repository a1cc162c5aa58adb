// The downloaders' exception: one message, in the words the learner reads in
// the downloader's log. Thrown while a worker reads pages, caught where the
// worker's run reports to its dialog.
#pragma once

#include <string>
#include <utility>

class RetrieverException {
public:
    explicit RetrieverException(std::u16string message) : m_message(std::move(message)) {}

    const std::u16string& message() const { return m_message; }

private:
    std::u16string m_message;
};
