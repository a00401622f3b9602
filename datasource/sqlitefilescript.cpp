// Build tool: turns an SQL script into a new SQLite database file.
//
//   sqlitefile_script input.sql output.db
//
// The database is written beside the output under a temporary name and renamed
// over it only when the whole script ran, so a failed build never leaves a
// half-filled sample behind that a later build would take as up to date.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sqlite3.h>
#include <sstream>
#include <string>

namespace {

int fail(const std::string& message) {
    std::cerr << "sqlitefile_script: " << message << '\n';
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3)
        return fail("usage: sqlitefile_script input.sql output.db");
    const std::filesystem::path input = argv[1];
    const std::filesystem::path output = argv[2];

    std::ifstream in(input, std::ios::binary);
    if (!in)
        return fail("cannot read " + input.string());
    std::ostringstream script;
    script << in.rdbuf();

    std::error_code error;
    if (output.has_parent_path())
        std::filesystem::create_directories(output.parent_path(), error);
    const std::filesystem::path partial = output.string() + ".partial";
    std::filesystem::remove(partial, error);

    sqlite3* db = nullptr;
    if (sqlite3_open_v2(partial.string().c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK) {
        const std::string reason = db ? sqlite3_errmsg(db) : "out of memory";
        sqlite3_close(db);
        return fail("cannot create " + partial.string() + ": " + reason);
    }
    char* message = nullptr;
    const int rc = sqlite3_exec(db, script.str().c_str(), nullptr, nullptr, &message);
    const std::string reason = message ? message : "";
    sqlite3_free(message);
    const int closed = sqlite3_close(db);
    if (rc != SQLITE_OK || closed != SQLITE_OK) {
        std::filesystem::remove(partial, error);
        return fail(input.string() + ": " + reason);
    }
    std::filesystem::rename(partial, output, error);
    if (error)
        return fail("cannot write " + output.string() + ": " + error.message());
    return 0;
}
