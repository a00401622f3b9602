#include "datasource/connectionstring.h"

namespace ordwick {

namespace {

QString unbraced(const QString& value) {
    const QString trimmed = value.trimmed();
    if (trimmed.size() >= 2 && trimmed.startsWith(QLatin1Char('{')) &&
        trimmed.endsWith(QLatin1Char('}')))
        return trimmed.mid(1, trimmed.size() - 2);
    return trimmed;
}

} // namespace

ConnectionString::ConnectionString(const QString& text) {
    QString pair;
    int depth = 0;
    const auto flush = [&] {
        const qsizetype equals = pair.indexOf(QLatin1Char('='));
        if (equals > 0) {
            m_pairs.append({pair.left(equals).trimmed(), unbraced(pair.mid(equals + 1))});
            m_rawPairs.append(pair.left(equals).trimmed() + QLatin1Char('=') +
                              pair.mid(equals + 1).trimmed());
        }
        pair.clear();
    };
    for (const QChar c : text) {
        if (c == u'{')
            ++depth;
        else if (c == u'}' && depth > 0)
            --depth;
        if (c == u';' && depth == 0)
            flush();
        else
            pair.append(c);
    }
    flush();
}

QString ConnectionString::value(const QString& key) const {
    for (const auto& [name, value] : m_pairs) {
        if (name.compare(key, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

QString ConnectionString::normalized() const {
    return m_rawPairs.isEmpty() ? QString() : m_rawPairs.join(QLatin1Char(';')) + QLatin1Char(';');
}

bool ConnectionString::has(const QString& key) const {
    for (const auto& pair : m_pairs) {
        if (pair.first.compare(key, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace ordwick
