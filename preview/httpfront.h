// The HTTP side of the preview: cpp-httplib listening on 127.0.0.1, handing
// each request to the site on one of its worker threads.
#pragma once

#include "preview/headguard.h"
#include "preview/requestdata.h"

#include <QString>
#include <functional>
#include <memory>

namespace ordwick::preview {

struct HttpLimits {
    qsizetype maxBodyBytes = 0;
    HeadLimits head;
};

class HttpFront {
public:
    using Handler = std::function<HttpResponse(const HttpRequest&)>;

    HttpFront(Handler handler, const HttpLimits& limits, int threads);
    ~HttpFront();
    HttpFront(const HttpFront&) = delete;
    HttpFront& operator=(const HttpFront&) = delete;

    // Listens on 127.0.0.1:port (0: a free port); the port, or 0 and error.
    int listen(int port, QString& error);
    void stop();

private:
    struct Server;
    std::unique_ptr<Server> m_server;
};

} // namespace ordwick::preview
