#include "wizard/featurestep.h"

namespace ordwick {

Features Features::of(const Project& p) {
    return {p.EnableAppend,   p.EditAs,      p.EnableDelete, p.SimpleSearch,
            p.AdvancedSearch, p.InitialSort, p.PageSupport,  p.LoginPage};
}

void Features::applyTo(Project& p) const {
    p.EnableAppend = add;
    p.EditAs = edit;
    p.EnableDelete = remove;
    p.SimpleSearch = search;
    p.AdvancedSearch = advancedSearch;
    p.InitialSort = sort;
    p.PageSupport = page;
    p.LoginPage = login;
}

Features Features::withAllSelected(bool selected) const {
    Features result{selected, selected, selected, selected, selected, selected, selected, selected};
    if (!selected)
        result.advancedSearch = advancedSearch;
    return result;
}

} // namespace ordwick
