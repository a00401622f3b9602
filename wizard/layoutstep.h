#pragma once

#include "project/project.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace ordwick {

// What the "Form Layout" step shows and stores.
struct LayoutChoice {
    bool printerFriendly = false;
    bool exportOption = false;
    bool recordsPerPage = false;
    std::optional<std::int32_t> recordsPerPageTag; // nothing when no entry is selected
    bool initialOrder = false;
    bool moreLink = false;
    QString moreLinkText;
    QString templateName;

    bool operator==(const LayoutChoice&) const = default;
};

namespace LayoutStep {

struct RecordsPerPageEntry {
    QString text;
    std::int32_t tag; // the number of records divided by ten
};
const std::array<RecordsPerPageEntry, 5>& recordsPerPageEntries();
// The list position of a stored tag, or -1 when no entry has it.
int recordsPerPageIndex(std::int32_t tag);

constexpr std::int32_t kDefaultMoreLinkLength = 80;

QString noTemplate();

// The choice as the project holds it.
LayoutChoice of(const Project& project);
// Stores the choice, in the order the fields are listed; a refusal is the
// message to show (the more-link length must be a number).
std::optional<QString> apply(Project& project, const LayoutChoice& choice);

} // namespace LayoutStep

} // namespace ordwick
