// A switch by which another thread ends a worker's web request at once: the
// dialog that owns a downloader cancels, and the request in progress fails
// within moments instead of waiting out its time-outs.
//
// Invariants: once cancelled it stays cancelled; while a request is attached,
// its internet session is the one cancel() closes. It watches one request at a
// time (a worker makes its requests one after another).
#pragma once

#include <atomic>
#include <mutex>

#include "platform/api/Internet.h"

class RequestCancel {
public:
    RequestCancel() = default;
    RequestCancel(const RequestCancel&) = delete;
    RequestCancel& operator=(const RequestCancel&) = delete;

    // Any thread. Closes the session of the request in progress, which ends
    // a call blocked on it; later requests fail without connecting.
    void cancel();
    bool isCancelled() const { return m_cancelled.load(); }

    // Attaches the session of a request about to be made, for as long as the
    // attachment lives; refused (attached() false) when already cancelled.
    class Attachment {
    public:
        Attachment() = default;
        Attachment(RequestCancel* owner, HINTERNET session);
        ~Attachment();
        Attachment(Attachment&& other) noexcept;
        Attachment& operator=(Attachment&& other) noexcept;
        bool attached() const { return m_owner != nullptr; }

    private:
        void release();
        RequestCancel* m_owner = nullptr;
    };

private:
    std::mutex m_lock;
    std::atomic<bool> m_cancelled{false};
    HINTERNET m_session = nullptr;
};
