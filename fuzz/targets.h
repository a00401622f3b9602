// The fuzz targets. Each takes one input, runs a parser of the program on
// it and checks what must hold for every input; a break aborts (support.h).
#pragma once

#include <QByteArray>
#include <span>

namespace ordwick::fuzz {

void iniDocument(const QByteArray& data);
void projectFile(const QByteArray& data);
void projectRecord(const QByteArray& data);
void connectionString(const QByteArray& data);
void textTable(const QByteArray& data);
void lookupAndSortOrder(const QByteArray& data);
void aspPage(const QByteArray& data);
void jetSql(const QByteArray& data);
void requestData(const QByteArray& data);
void pageNames(const QByteArray& data);
void dbaseTable(const QByteArray& data);
void libraryResults(const QByteArray& data);

struct Target {
    const char* name; // the folder of its corpus and regressions
    void (*run)(const QByteArray& data);
};

std::span<const Target> targets();
// The target of that name, or null.
const Target* findTarget(QByteArrayView name);

} // namespace ordwick::fuzz
