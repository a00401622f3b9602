#pragma once

#include "project/project.h"

namespace ordwick {

// The eight feature switches of the "Select Features" step.
struct Features {
    bool add = false;            // chkAdd: "Allow add"
    bool edit = false;           // chkEdit: "Allow edit"
    bool remove = false;         // chkDelete: "Allow delete"
    bool search = true;          // chkSearch: "Enable basic search"
    bool advancedSearch = false; // chkAdvancedSearch: "Enable advanced search"
    bool sort = false;           // chkSort: "Enable column sorting"
    bool page = true;            // chkPage: "Enable records per page"
    bool login = false;          // chkLogin: "Create login page"

    bool operator==(const Features&) const = default;

    static Features of(const Project& project);
    void applyTo(Project& project) const;
    // "Select All Features": checking it checks all eight; clearing it clears
    // all but advanced search, which keeps its state.
    Features withAllSelected(bool selected) const;
    // Records may be changed by the pages, so a table needs a unique key.
    bool changesRecords() const { return add || edit || remove; }
};

} // namespace ordwick
