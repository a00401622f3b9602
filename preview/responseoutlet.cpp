#include "preview/responseoutlet.h"

namespace ordwick::preview {

ResponseOutlet::~ResponseOutlet() {
    if (m_done)
        return;
    HttpResponse failed;
    failed.status = 500;
    failed.setHeader("Content-Type", "text/html; charset=utf-8");
    failed.body = "<!DOCTYPE html>\n<html><body><h1>500 Internal Server Error</h1></body></html>\n";
    finish(std::move(failed));
}

bool ResponseOutlet::flush(HttpResponse partial) {
    if (m_done)
        return false;
    if (m_stream)
        return m_stream->write(std::move(partial.body));
    m_stream = std::make_shared<BodyStream>();
    partial.rest = m_stream;
    m_head.set_value(std::move(partial));
    return true;
}

void ResponseOutlet::finish(HttpResponse last) {
    if (m_done)
        return;
    m_done = true;
    if (!m_stream) {
        m_head.set_value(std::move(last));
        return;
    }
    m_stream->write(std::move(last.body));
    m_stream->finish();
}

} // namespace ordwick::preview
