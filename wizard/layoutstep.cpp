#include "wizard/layoutstep.h"

#include "foundation/paths.h"

#include <QDir>

namespace ordwick::LayoutStep {

const std::array<RecordsPerPageEntry, 5>& recordsPerPageEntries() {
    static const std::array<RecordsPerPageEntry, 5> entries = {{
        {QStringLiteral("10 Records"), 1},
        {QStringLiteral("20 Records"), 2},
        {QStringLiteral("50 Records"), 5},
        {QStringLiteral("100 Records"), 10},
        {QStringLiteral("500 Records"), 50},
    }};
    return entries;
}

int recordsPerPageIndex(std::int32_t tag) {
    const auto& entries = recordsPerPageEntries();
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].tag == tag)
            return static_cast<int>(i);
    }
    return -1;
}

QString noTemplate() {
    return QStringLiteral("no template");
}

LayoutChoice of(const Project& p) {
    LayoutChoice choice;
    choice.printerFriendly = p.PrinterFriendlyVersion;
    choice.exportOption = p.ExportOption;
    choice.recordsPerPage = p.RecordsPerPage;
    if (recordsPerPageIndex(p.RecordsPerPageID) >= 0)
        choice.recordsPerPageTag = p.RecordsPerPageID;
    choice.initialOrder = p.SortColumnBy;
    choice.moreLink = p.ShowMoreLink;
    choice.moreLinkText = QString::number(p.ShowMoreLinkID);
    choice.templateName = p.SelectedTemplate;
    return choice;
}

std::optional<QString> apply(Project& p, const LayoutChoice& choice) {
    const QString moreLink = choice.moreLinkText.trimmed();
    bool numeric = true;
    const int length = moreLink.isEmpty() ? kDefaultMoreLinkLength : moreLink.toInt(&numeric);
    // Checked first so a refused step stores nothing at all.
    if (!numeric || length < 0)
        return QStringLiteral("Please enter the number of characters after which the 'more...' "
                              "link is shown!");
    p.PrinterFriendlyVersion = choice.printerFriendly;
    p.ExportOption = choice.exportOption;
    p.RecordsPerPage = choice.recordsPerPage;
    if (choice.recordsPerPageTag)
        p.RecordsPerPageID = *choice.recordsPerPageTag;
    p.SortColumnBy = choice.initialOrder;
    if (!p.SortColumnBy)
        p.SortColumnID.clear();
    p.ShowMoreLink = choice.moreLink;
    p.ShowMoreLinkID = length;
    p.SelectedTemplate = choice.templateName;
    return std::nullopt;
}

} // namespace ordwick::LayoutStep
