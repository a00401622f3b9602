#pragma once

#include <QList>
#include <QPair>
#include <QString>

namespace ordwick {

// The "key=value; key=value" pairs of a connection string. Keys match without
// regard to case; a value in braces may hold ";" ({Microsoft Text Driver (*.txt; *.csv)}).
class ConnectionString {
public:
    explicit ConnectionString(const QString& text);

    // The value without surrounding blanks or braces, or the empty text.
    QString value(const QString& key) const;
    bool has(const QString& key) const;

private:
    QList<QPair<QString, QString>> m_pairs;
};

} // namespace ordwick
