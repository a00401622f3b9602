#include "fuzz/targets.h"

#include <algorithm>

namespace ordwick::fuzz {

namespace {

constexpr Target kTargets[] = {
    {"ini_document", iniDocument},
    {"project_file", projectFile},
    {"project_record", projectRecord},
    {"connection_string", connectionString},
    {"text_table", textTable},
    {"lookup_sort", lookupAndSortOrder},
    {"asp_page", aspPage},
    {"jet_sql", jetSql},
    {"request_data", requestData},
    {"page_names", pageNames},
    {"dbase_table", dbaseTable},
    {"library_results", libraryResults},
};

} // namespace

std::span<const Target> targets() {
    return kTargets;
}

const Target* findTarget(QByteArrayView name) {
    const auto found = std::find_if(std::begin(kTargets), std::end(kTargets),
                                    [&](const Target& t) { return name == t.name; });
    return found == std::end(kTargets) ? nullptr : found;
}

} // namespace ordwick::fuzz
