#include "download/RequestCancel.h"

#include <utility>

void RequestCancel::cancel() {
    std::lock_guard guard(m_lock);
    m_cancelled.store(true);
    // The owner closes the same handle again later; the service refuses that
    // second close without harm, since handles are never reused.
    if (m_session) InternetCloseHandle(m_session);
    m_session = nullptr;
}

RequestCancel::Attachment::Attachment(RequestCancel* owner, HINTERNET session) {
    if (!owner) return;
    std::lock_guard guard(owner->m_lock);
    if (owner->m_cancelled.load()) return;
    owner->m_session = session;
    m_owner = owner;
}

RequestCancel::Attachment::~Attachment() { release(); }

RequestCancel::Attachment::Attachment(Attachment&& other) noexcept : m_owner(std::exchange(other.m_owner, nullptr)) {}

RequestCancel::Attachment& RequestCancel::Attachment::operator=(Attachment&& other) noexcept {
    if (this != &other) {
        release();
        m_owner = std::exchange(other.m_owner, nullptr);
    }
    return *this;
}

void RequestCancel::Attachment::release() {
    if (!m_owner) return;
    std::lock_guard guard(m_owner->m_lock);
    m_owner->m_session = nullptr;
    m_owner = nullptr;
}
