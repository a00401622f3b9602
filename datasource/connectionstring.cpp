#include "datasource/connectionstring.h"

namespace ordwick {

namespace {

// One "key=value" pair of the text from `position` on, as the ODBC rules read
// it: a value that starts with "{" runs to the next single "}", and "}}"
// inside it stands for one "}"; any other value runs to the next ";".
struct Pair {
    QString key;
    QString value; // without braces, "}}" read as "}"
    QString raw;   // as written, trimmed
};

Pair readPair(const QString& text, qsizetype& position) {
    const qsizetype start = position;
    const qsizetype size = text.size();
    Pair pair;
    qsizetype equals = text.indexOf(QLatin1Char('='), position);
    const qsizetype semicolon = text.indexOf(QLatin1Char(';'), position);
    if (equals < 0 || (semicolon >= 0 && semicolon < equals)) {
        position = semicolon < 0 ? size : semicolon + 1;
        return pair; // no "=" before the next ";": not a pair
    }
    pair.key = text.mid(start, equals - start).trimmed();
    position = equals + 1;
    while (position < size && text.at(position).isSpace())
        ++position;
    if (position < size && text.at(position) == u'{') {
        ++position;
        bool closed = false;
        while (position < size && !closed) {
            const QChar c = text.at(position++);
            if (c != u'}') {
                pair.value.append(c);
            } else if (position < size && text.at(position) == u'}') {
                pair.value.append(c);
                ++position;
            } else {
                closed = true;
            }
        }
        const qsizetype end = text.indexOf(QLatin1Char(';'), position);
        position = end < 0 ? size : end;
        // A brace that never closes took in the rest of the text; the string
        // handed on closes it, or the ";" after the pair would join the value.
        if (!closed) {
            pair.raw = pair.key + QStringLiteral("={") +
                       QString(pair.value).replace(u'}', QStringLiteral("}}")) + u'}';
            return pair;
        }
    } else {
        const qsizetype end = text.indexOf(QLatin1Char(';'), position);
        position = end < 0 ? size : end;
        pair.value = text.mid(equals + 1, position - equals - 1).trimmed();
    }
    pair.raw = pair.key + QLatin1Char('=') + text.mid(equals + 1, position - equals - 1).trimmed();
    if (position < size)
        ++position; // the ";"
    return pair;
}

} // namespace

ConnectionString::ConnectionString(const QString& text) {
    qsizetype position = 0;
    while (position < text.size()) {
        const Pair pair = readPair(text, position);
        if (pair.key.isEmpty())
            continue;
        m_pairs.append({pair.key, pair.value});
        m_rawPairs.append(pair.raw);
    }
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
