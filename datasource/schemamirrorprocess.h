#pragma once

#include "datasource/dataconnection.h"

#include <QByteArray>
#include <QDataStream>
#include <QIODevice>
#include <QString>
#include <functional>
#include <vector>

namespace ordwick {

// Reads a file with a library that a damaged file can crash, abort, hang or
// drive to exhaust memory. `read` runs in a child process with bounded memory
// and processor time and returns its answer as bytes; a RuntimeError it throws
// is thrown here as it was. When the child dies instead, this throws
// RuntimeError(DataError::GeneralFailure, damaged).
QByteArray readInChildProcess(const std::function<QByteArray()>& read, const QString& damaged);

// What the children send back.
inline QDataStream& operator<<(QDataStream& out, const TableInfo& table) {
    return out << table.name << table.type;
}
inline QDataStream& operator>>(QDataStream& in, TableInfo& table) {
    return in >> table.name >> table.type;
}
inline QDataStream& operator<<(QDataStream& out, const ColumnInfo& column) {
    return out << column.name << qint32(column.dataType) << column.maxLength.has_value()
               << column.maxLength.value_or(0);
}
inline QDataStream& operator>>(QDataStream& in, ColumnInfo& column) {
    qint32 dataType = 0;
    bool hasLength = false;
    qint64 length = 0;
    in >> column.name >> dataType >> hasLength >> length;
    column.dataType = dataType;
    column.maxLength = hasLength ? std::optional<qint64>(length) : std::nullopt;
    return in;
}
inline QDataStream& operator<<(QDataStream& out, const KeyColumn& key) {
    return out << key.table << key.column;
}
inline QDataStream& operator>>(QDataStream& in, KeyColumn& key) {
    return in >> key.table >> key.column;
}

inline QByteArray packedRows(const TableRows& rows) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << quint32(rows.columns.size());
    for (const ColumnInfo& column : rows.columns)
        out << column;
    out << quint32(rows.rows.size());
    for (const QVariantList& row : rows.rows)
        out << row;
    return bytes;
}

inline TableRows unpackedRows(const QByteArray& bytes) {
    QDataStream in(bytes);
    TableRows result;
    quint32 count = 0;
    in >> count;
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        ColumnInfo column;
        in >> column;
        result.columns.push_back(std::move(column));
    }
    in >> count;
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        QVariantList row;
        in >> row;
        result.rows.push_back(std::move(row));
    }
    return result;
}

template <typename T> QByteArray packed(const std::vector<T>& items) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << quint32(items.size());
    for (const T& item : items)
        out << item;
    return bytes;
}

template <typename T> std::vector<T> unpacked(const QByteArray& bytes) {
    QDataStream in(bytes);
    quint32 count = 0;
    in >> count;
    std::vector<T> items;
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        T item;
        in >> item;
        items.push_back(std::move(item));
    }
    return items;
}

} // namespace ordwick
