#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace ordwick {

// The "key=value; key=value" pairs of a connection string. Keys match without
// regard to case; a value in braces may hold ";" ({Microsoft Text Driver (*.txt; *.csv)}).
class ConnectionString {
public:
    explicit ConnectionString(const QString& text);

    // The value without surrounding blanks or braces, or the empty text.
    QString value(const QString& key) const;
    bool has(const QString& key) const;
    // The pairs without the blanks around keys and values: some drivers take a
    // blank before a key as part of its name, so "UID=a; PWD=b" would lose the
    // password.
    QString normalized() const;

private:
    QList<QPair<QString, QString>> m_pairs; // values without braces
    QStringList m_rawPairs;                 // "key=value" as written, trimmed
};

} // namespace ordwick
