#include "preview/bodystream.h"

namespace ordwick::preview {

bool BodyStream::write(QByteArray part) {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_readerClosed || m_queued < m_maxQueued; });
    if (m_readerClosed)
        return false;
    if (part.isEmpty())
        return true;
    m_queued += part.size();
    m_parts.push_back(std::move(part));
    m_changed.notify_all();
    return true;
}

void BodyStream::finish() {
    const std::lock_guard lock(m_mutex);
    m_finished = true;
    m_changed.notify_all();
}

bool BodyStream::read(QByteArray& part) {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_parts.empty() || m_finished; });
    if (m_parts.empty())
        return false;
    part = std::move(m_parts.front());
    m_parts.pop_front();
    m_queued -= part.size();
    m_changed.notify_all();
    return true;
}

void BodyStream::closeReader() {
    const std::lock_guard lock(m_mutex);
    m_readerClosed = true;
    m_parts.clear();
    m_queued = 0;
    m_changed.notify_all();
}

} // namespace ordwick::preview
