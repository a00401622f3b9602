#include "wizard/lookupdetails.h"

#include "datasource/dataconnection.h"
#include "project/project.h"
#include "wizard/columnencodings.h"
#include "wizard/loginstep.h"

#include <QRegularExpression>

namespace ordwick {

namespace {

const QString kSelect = QStringLiteral("SELECT ");
const QString kFrom = QStringLiteral(" FROM ");
const QString kOrderBy = QStringLiteral(" ORDER BY ");
const QString kAscending = QStringLiteral("Ascending");
const QString kDescending = QStringLiteral("Descending");

QChar closingQuote(QChar opening) {
    if (opening == QLatin1Char('['))
        return QLatin1Char(']');
    if (opening == QLatin1Char('`') || opening == QLatin1Char('"'))
        return opening;
    return {};
}

// Where `needle` next occurs in `text` from `from` on, outside quoted names;
// -1 when it does not.
qsizetype indexOutsideQuotes(const QString& text, const QString& needle, qsizetype from) {
    qsizetype i = from;
    while (i < text.size()) {
        const QChar closing = closingQuote(text.at(i));
        if (!closing.isNull()) {
            // A doubled closing quote stands for itself inside the name.
            qsizetype j = i + 1;
            while (j < text.size()) {
                if (text.at(j) == closing) {
                    if (j + 1 < text.size() && text.at(j + 1) == closing) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            i = j + 1;
            continue;
        }
        if (QStringView(text).mid(i).startsWith(needle))
            return i;
        ++i;
    }
    return -1;
}

QString name(const QString& text) {
    return LookupDetails::unquoted(text.trimmed());
}

} // namespace

NameQuoting LookupDetails::quotingFor(const Project& project) {
    return nameQuotingFor(project.DatasourceType, project.ConnectionString);
}

QString LookupDetails::quoted(const QString& name, NameQuoting quoting) {
    return sqlName(name, quoting);
}

QString LookupDetails::unquoted(const QString& text) {
    if (text.size() < 2)
        return text;
    const QChar close = closingQuote(text.front());
    if (close.isNull() || text.back() != close)
        return text;
    return text.mid(1, text.size() - 2).replace(QString(2, close), QString(close));
}

QString LookupDetails::staticText(const QStringList& values) {
    return values.join(QStringLiteral(", "));
}

QString LookupDetails::dynamicText(const LookupQuery& query, int editType, NameQuoting quoting) {
    QString text = kSelect;
    if (editType == LookupField)
        text += quoted(query.linkColumn, quoting) + QStringLiteral(", ");
    text += quoted(query.displayColumn, quoting) + kFrom + quoted(query.table, quoting);
    if (!query.orderColumn.isEmpty()) {
        text += kOrderBy + quoted(query.orderColumn, quoting);
        if (query.direction == kAscending)
            text += QStringLiteral(" ASC");
        else if (!query.direction.isEmpty())
            text += QStringLiteral(" DESC");
    }
    return text;
}

LookupChoice LookupDetails::read(const QString& details) {
    LookupChoice choice;
    const QString text = details.trimmed();
    if (text.isEmpty())
        return choice;
    if (!text.contains(kSelect) || !text.contains(kFrom)) {
        choice.form = LookupChoice::Form::Static;
        choice.values = text.split(QStringLiteral(", "));
        return choice;
    }
    choice.form = LookupChoice::Form::Dynamic;
    const qsizetype listStart = text.indexOf(kSelect) + kSelect.size();
    qsizetype from = indexOutsideQuotes(text, kFrom, listStart);
    if (from < 0)
        from = text.indexOf(kFrom, listStart);
    if (from < 0) // " FROM " only before "SELECT ": nothing to read
        return choice;
    // The lookup form lists the link column and the display column; the radio
    // button form lists the display column alone.
    const QString list = text.mid(listStart, from - listStart);
    const qsizetype comma = indexOutsideQuotes(list, QStringLiteral(", "), 0);
    if (comma >= 0) {
        choice.query.linkColumn = name(list.left(comma));
        choice.query.displayColumn = name(list.mid(comma + 2));
    } else {
        choice.query.displayColumn = name(list);
    }
    const QString rest = text.mid(from + kFrom.size());
    const qsizetype orderBy = indexOutsideQuotes(rest, kOrderBy, 0);
    choice.query.table = name(orderBy < 0 ? rest : rest.left(orderBy));
    if (orderBy >= 0) {
        // The direction is the last word, so an order column whose name
        // begins with "ASC" or "DESC" is read whole.
        QString order = rest.mid(orderBy + kOrderBy.size()).trimmed();
        if (order.endsWith(QLatin1String(" DESC"))) {
            choice.query.direction = kDescending;
            order.chop(5);
        } else if (order.endsWith(QLatin1String(" ASC"))) {
            choice.query.direction = kAscending;
            order.chop(4);
        }
        choice.query.orderColumn = name(order);
    }
    return choice;
}

bool LookupDetails::offersColumn(int adoType) {
    // The same type codes as the login step's fields.
    return LoginStep::acceptsType(adoType);
}

QString LookupDetails::tableIconKey(const QString& type) {
    if (type == QLatin1String("SYSTEM TABLE"))
        return QStringLiteral("SYSTEMTABLE");
    if (type == QLatin1String("VIEW") || type == QLatin1String("TABLE"))
        return type;
    return {};
}

QString LookupDetails::valueIconKey(int editType) {
    return editType == RadioButton ? QStringLiteral("RADIO") : QStringLiteral("SELECT");
}

LookupDetails::Saved LookupDetails::save(const LookupChoice& choice, int editType,
                                         NameQuoting quoting) {
    using Focus = Refusal::Focus;
    Saved saved;
    switch (choice.form) {
    case LookupChoice::Form::None:
        saved.refusal = Refusal{optionWarning(), Focus::Options};
        return saved;
    case LookupChoice::Form::Static:
        if (choice.values.isEmpty()) {
            saved.refusal =
                Refusal{QStringLiteral("Please specify static values!"), Focus::StaticList};
            return saved;
        }
        saved.text = staticText(choice.values);
        break;
    case LookupChoice::Form::Dynamic: {
        const LookupQuery& query = choice.query;
        if (query.table.isEmpty() || query.displayColumn.isEmpty()) {
            saved.refusal = Refusal{QStringLiteral("Please select the table name and column name!"),
                                    Focus::TableList};
            return saved;
        }
        if (editType == LookupField && query.linkColumn.isEmpty()) {
            saved.refusal =
                Refusal{QStringLiteral("Please select the link column!"), Focus::LinkList};
            return saved;
        }
        saved.text = dynamicText(query, editType, quoting);
        break;
    }
    }
    if (const std::optional<QString> refusal = ColumnEncoding::storedValueRefusal(saved.text))
        saved.refusal =
            Refusal{*refusal, choice.form == LookupChoice::Form::Static ? Focus::StaticList
                                                                        : Focus::TableList};
    return saved;
}

} // namespace ordwick
