// The rest of a response body after the page flushed its head: the page's
// thread writes, the server's thread reads and sends. A writer that gets
// ahead of the client waits, so a long answer is never held whole.
#pragma once

#include <QByteArray>
#include <condition_variable>
#include <deque>
#include <mutex>

namespace ordwick::preview {

class BodyStream {
public:
    explicit BodyStream(qsizetype maxQueuedBytes = 1 << 20) : m_maxQueued(maxQueuedBytes) {}

    // Queues a part of the body, first waiting while too much is queued.
    // False when nobody reads any more (the client went away).
    bool write(QByteArray part);
    // The writer is done: the reader gets what is queued, then the end.
    void finish();

    // The next part, waiting for one; false at the end of the body.
    bool read(QByteArray& part);
    // The reader stops reading; a waiting writer is let go.
    void closeReader();

private:
    const qsizetype m_maxQueued;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<QByteArray> m_parts;
    qsizetype m_queued = 0;
    bool m_finished = false;
    bool m_readerClosed = false;
};

} // namespace ordwick::preview
