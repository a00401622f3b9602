// Where a page's answer goes while the page runs on its own thread: the whole
// answer at the end, or, from the page's first Response.Flush, the head and
// the body so far at once and the rest of the body as the page writes it.
#pragma once

#include "preview/bodystream.h"
#include "preview/requestdata.h"

#include <future>
#include <memory>

namespace ordwick::preview {

class ResponseOutlet {
public:
    ResponseOutlet() = default;
    ResponseOutlet(const ResponseOutlet&) = delete;
    ResponseOutlet& operator=(const ResponseOutlet&) = delete;
    // A page that never finished still answers: with a server error.
    ~ResponseOutlet();

    // What the server's thread waits for: the answer or its head.
    std::future<HttpResponse> head() { return m_head.get_future(); }

    // Sends the head and the body so far the first time, the body alone
    // after that. False when the client no longer reads.
    bool flush(HttpResponse partial);
    // The page is done: its answer, or the last of its body when it flushed.
    void finish(HttpResponse last);

    bool flushed() const { return m_stream != nullptr; }

private:
    std::promise<HttpResponse> m_head;
    std::shared_ptr<BodyStream> m_stream;
    bool m_done = false;
};

} // namespace ordwick::preview
