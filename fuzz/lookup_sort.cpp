// Lookup details and sort-order texts: any text reads, and what the wizard
// writes reads back as it was chosen.
#include "datasource/sqlnames.h"
#include "fuzz/support.h"
#include "fuzz/targets.h"
#include "wizard/lookupdetails.h"
#include "wizard/sortorder.h"

namespace ordwick::fuzz {

namespace {

constexpr char kTarget[] = "lookup_sort";

QString shown(const LookupQuery& q) {
    return QStringLiteral("table \"%1\", display \"%2\", link \"%3\", order \"%4\" %5")
        .arg(q.table, q.displayColumn, q.linkColumn, q.orderColumn, q.direction);
}

void lookupRoundTrip(InputReader& in) {
    LookupQuery query;
    query.table = in.text(24);
    query.displayColumn = in.text(24);
    query.linkColumn = in.text(24);
    query.orderColumn = in.text(24);
    const std::uint8_t choice = in.byte();
    static const QString directions[] = {QString(), QStringLiteral("Ascending"),
                                         QStringLiteral("Descending")};
    query.direction = query.orderColumn.isEmpty() ? QString() : directions[choice % 3];
    const int editType = (choice & 4) ? LookupDetails::LookupField : LookupDetails::RadioButton;
    if (editType == LookupDetails::RadioButton)
        query.linkColumn.clear();
    const auto quoting = static_cast<NameQuoting>((choice >> 3) % 4);
    LookupChoice chosen;
    chosen.form = LookupChoice::Form::Dynamic;
    chosen.query = query;
    const LookupDetails::Saved saved = LookupDetails::save(chosen, editType, quoting);
    if (saved.refusal)
        return;
    const LookupChoice read = LookupDetails::read(saved.text);
    require(read.form == LookupChoice::Form::Dynamic && read.query == query, kTarget, [&] {
        return QStringLiteral("%1 is stored as \"%2\", which reads as %3")
            .arg(shown(query), saved.text, shown(read.query));
    });
}

void sortOrderRoundTrip(const QString& text) {
    std::vector<SortLevel> levels = SortOrder::parse(text);
    require(levels.size() <= SortOrder::kLevels, kTarget,
            [&] { return QStringLiteral("%1 sort levels").arg(levels.size()); });
    std::erase_if(levels, [](const SortLevel& level) { return level.column.isEmpty(); });
    for (const SortLevel& level : levels)
        require(SortOrder::canStore(level.column) && (level.direction == 0 || level.direction == 1),
                kTarget, [&] {
                    return QStringLiteral("level \"%1\" %2 read")
                        .arg(level.column)
                        .arg(level.direction);
                });
    const QString stored = SortOrder::build(levels);
    require(SortOrder::parse(stored) == levels, kTarget,
            [&] { return QStringLiteral("sort order \"%1\" reads otherwise").arg(stored); });
}

} // namespace

void lookupAndSortOrder(const QByteArray& data) {
    const QString text = QString::fromUtf8(data);
    const LookupChoice choice = LookupDetails::read(text);
    for (const int editType : {LookupDetails::RadioButton, LookupDetails::LookupField})
        LookupDetails::save(choice, editType, NameQuoting::Brackets);
    sortOrderRoundTrip(text);
    InputReader in(data);
    lookupRoundTrip(in);
}

} // namespace ordwick::fuzz
