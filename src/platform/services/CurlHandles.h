// Owners of the libcurl objects behind the internet service: an easy handle,
// a multi handle, a header list, and the link of an easy handle into a multi
// handle, which must be undone before either is cleaned up.
#pragma once

#include <curl/curl.h>

#include "platform/common/UniqueC.h"

namespace platform::curl {

using UniqueEasy = veltrix::UniqueC<CURL, curl_easy_cleanup>;
using UniqueMulti = veltrix::UniqueC<CURLM, curl_multi_cleanup>;
using UniqueSlist = veltrix::UniqueC<curl_slist, curl_slist_free_all>;

// Declared after the handles it links, so it is destroyed before them.
class MultiAttachment {
public:
    MultiAttachment() = default;
    MultiAttachment(CURLM* multi, CURL* easy) : m_multi(multi), m_easy(easy) {
        if (curl_multi_add_handle(multi, easy) != CURLM_OK) m_multi = nullptr;
    }
    ~MultiAttachment() {
        if (m_multi) curl_multi_remove_handle(m_multi, m_easy);
    }
    MultiAttachment(const MultiAttachment&) = delete;
    MultiAttachment& operator=(const MultiAttachment&) = delete;
    MultiAttachment(MultiAttachment&& other) noexcept : m_multi(other.m_multi), m_easy(other.m_easy) {
        other.m_multi = nullptr;
    }
    MultiAttachment& operator=(MultiAttachment&& other) noexcept {
        if (this != &other) {
            if (m_multi) curl_multi_remove_handle(m_multi, m_easy);
            m_multi = other.m_multi;
            m_easy = other.m_easy;
            other.m_multi = nullptr;
        }
        return *this;
    }
    bool attached() const { return m_multi != nullptr; }

private:
    CURLM* m_multi = nullptr;
    CURL* m_easy = nullptr;
};

// libcurl's process-wide set-up, done once before the first handle is made.
void initialiseOnce();

}  // namespace platform::curl
