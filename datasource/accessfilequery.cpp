#include "datasource/accessfilequery.h"

#include "datasource/schemamirror.h"

#include <QRegularExpression>
#include <QStringList>

namespace ordwick {

namespace {

// The position after the run that starts at `i`: a bracketed name or a quoted
// string is one run, any other character a run of its own.
qsizetype afterRun(const QString& text, qsizetype i) {
    const QChar c = text.at(i);
    const QChar close = c == u'[' ? u']' : (c == u'"' || c == u'\'') ? c : QChar();
    if (close.isNull())
        return i + 1;
    const qsizetype end = text.indexOf(close, i + 1);
    return end < 0 ? text.size() : end + 1;
}

// The index of the parenthesis that closes the one at `open`, or -1.
qsizetype closingParenthesis(const QString& text, qsizetype open) {
    int depth = 0;
    for (qsizetype i = open; i < text.size(); i = afterRun(text, i)) {
        if (text.at(i) == u'(')
            ++depth;
        else if (text.at(i) == u')' && --depth == 0)
            return i;
    }
    return -1;
}

QString unwrapped(QString expression) {
    for (;;) {
        expression = expression.trimmed();
        if (!expression.startsWith(u'(') ||
            closingParenthesis(expression, 0) != expression.size() - 1)
            return expression;
        expression = expression.mid(1, expression.size() - 2);
    }
}

// The parts of a plain column reference ("Column", "Table.Column",
// "[Order Details].*"), or nothing when the expression is anything else.
std::optional<QStringList> referenceParts(const QString& expression) {
    QStringList parts;
    qsizetype i = 0;
    while (i < expression.size()) {
        if (expression.at(i) == u'[') {
            const qsizetype close = expression.indexOf(u']', i + 1);
            if (close < 0)
                return std::nullopt;
            parts.append(expression.mid(i + 1, close - i - 1));
            i = close + 1;
        } else if (expression.at(i) == u'*') {
            parts.append(QStringLiteral("*"));
            ++i;
        } else {
            const qsizetype start = i;
            while (i < expression.size() &&
                   (expression.at(i).isLetterOrNumber() || expression.at(i) == u'_'))
                ++i;
            if (i == start)
                return std::nullopt;
            parts.append(expression.mid(start, i - start));
        }
        if (i == expression.size())
            break;
        if (expression.at(i) != u'.' || parts.last() == QLatin1String("*"))
            return std::nullopt;
        ++i;
    }
    if (parts.isEmpty() || parts.size() > 2)
        return std::nullopt;
    return parts;
}

struct FunctionCall {
    QString name; // upper case
    QString argument;
};

std::optional<FunctionCall> functionCall(const QString& expression) {
    static const QRegularExpression head(QStringLiteral("^([A-Za-z_][A-Za-z0-9_]*)\\s*\\("));
    const QRegularExpressionMatch match = head.match(expression);
    if (!match.hasMatch())
        return std::nullopt;
    const qsizetype open = match.capturedEnd(0) - 1;
    if (closingParenthesis(expression, open) != expression.size() - 1)
        return std::nullopt;
    return FunctionCall{match.captured(1).toUpper(),
                        expression.mid(open + 1, expression.size() - open - 2)};
}

bool isOneOf(const QString& word, std::initializer_list<const char*> names) {
    for (const char* name : names) {
        if (word == QLatin1String(name))
            return true;
    }
    return false;
}

ColumnInfo typed(int dataType) {
    return {QString(), dataType, std::nullopt};
}

// The operands of an expression that is a chain of arithmetic at its top level
// ("CCur(x)*100", "1-[Discount]"), or nothing for any other expression.
struct Arithmetic {
    QStringList operands;
    bool division = false;
};

std::optional<Arithmetic> arithmetic(const QString& expression) {
    static const QString operators = QStringLiteral("+-*/\\^");
    Arithmetic result;
    bool found = false;
    int depth = 0;
    qsizetype start = 0;
    const auto endOperand = [&](qsizetype end) {
        const QString operand = expression.mid(start, end - start).trimmed();
        if (!operand.isEmpty())
            result.operands.append(operand);
    };
    for (qsizetype i = 0; i < expression.size();) {
        const QChar c = expression.at(i);
        qsizetype next = afterRun(expression, i);
        if (c == u'(') {
            ++depth;
        } else if (c == u')') {
            --depth;
        } else if (depth == 0 && operators.contains(c)) {
            endOperand(i);
            start = next;
            found = true;
            result.division = result.division || c == u'/';
        } else if (depth == 0 && i > 0 && expression.at(i - 1).isSpace() &&
                   QStringView(expression)
                       .mid(i)
                       .startsWith(QLatin1String("Mod "), Qt::CaseInsensitive)) {
            endOperand(i);
            next = i + 3;
            start = next;
            found = true;
        }
        i = next;
    }
    endOperand(expression.size());
    if (!found || result.operands.isEmpty())
        return std::nullopt;
    return result;
}

// Wider numeric types win when operands meet, as they do in the engine.
int numericRank(int dataType) {
    switch (dataType) {
    case adTinyInt:
        return 1;
    case adSmallInt:
        return 2;
    case adInteger:
        return 3;
    case adNumeric:
        return 4;
    case adSingle:
        return 5;
    case adDouble:
        return 6;
    default:
        return 0;
    }
}

class QueryColumns {
public:
    QueryColumns(const SavedQuery& query, const SourceColumns& sourceColumns) {
        for (const SavedQuery::Input& input : query.inputs) {
            m_inputs.push_back({input.alias.isEmpty() ? input.source : input.alias, input.source,
                                sourceColumns(input.source).value_or(std::vector<ColumnInfo>())});
        }
        if (query.allFields) {
            for (const Input& input : m_inputs)
                addAll(input);
        }
        int unnamed = 0;
        for (const SavedQuery::Output& output : query.outputs) {
            const QString expression = unwrapped(output.expression);
            const std::optional<QStringList> parts = referenceParts(expression);
            if (parts && parts->last() == QLatin1String("*")) {
                for (const Input& input : m_inputs) {
                    if (parts->size() == 1 || matches(input, parts->first()))
                        addAll(input);
                }
                continue;
            }
            ColumnInfo column = typeOf(expression);
            if (!output.alias.isEmpty())
                column.name = output.alias;
            else if (parts)
                column.name = parts->last();
            else
                column.name = QStringLiteral("Expr%1").arg(1000 + unnamed++);
            add(std::move(column),
                parts && parts->size() == 2 && output.alias.isEmpty() ? parts->first() : QString());
        }
    }

    std::vector<ColumnInfo> result() && { return std::move(m_columns); }

private:
    struct Input {
        QString qualifier;
        QString source;
        std::vector<ColumnInfo> columns;
    };

    static bool matches(const Input& input, const QString& name) {
        return input.qualifier.compare(name, Qt::CaseInsensitive) == 0 ||
               input.source.compare(name, Qt::CaseInsensitive) == 0;
    }

    std::optional<ColumnInfo> resolve(const QStringList& parts) const {
        for (const Input& input : m_inputs) {
            if (parts.size() == 2 && !matches(input, parts.first()))
                continue;
            for (const ColumnInfo& column : input.columns) {
                if (column.name.compare(parts.last(), Qt::CaseInsensitive) == 0)
                    return column;
            }
        }
        return std::nullopt;
    }

    ColumnInfo typeOf(const QString& expression) const {
        const QString inner = unwrapped(expression);
        if (const std::optional<QStringList> parts = referenceParts(inner)) {
            if (const std::optional<ColumnInfo> column = resolve(*parts))
                return *column;
        }
        if (const std::optional<Arithmetic> chain = arithmetic(inner))
            return arithmeticType(*chain);
        if (const std::optional<FunctionCall> call = functionCall(inner)) {
            const QString& name = call->name;
            if (isOneOf(name, {"SUM", "MIN", "MAX", "FIRST", "LAST"}))
                return typeOf(call->argument);
            if (name == QLatin1String("COUNT"))
                return typed(adInteger);
            if (isOneOf(name, {"AVG", "STDEV", "STDEVP", "VAR", "VARP", "CDBL"}))
                return typed(adDouble);
            // Currency columns are reported as numeric; so is what becomes one.
            if (isOneOf(name, {"CCUR", "CDEC"}))
                return typed(adNumeric);
            if (name == QLatin1String("CSNG"))
                return typed(adSingle);
            if (name == QLatin1String("CLNG"))
                return typed(adInteger);
            if (isOneOf(name,
                        {"CINT", "YEAR", "MONTH", "DAY", "WEEKDAY", "HOUR", "MINUTE", "SECOND"}))
                return typed(adSmallInt);
            if (name == QLatin1String("CBYTE"))
                return typed(adTinyInt);
            if (name == QLatin1String("CBOOL"))
                return typed(adBoolean);
            if (isOneOf(name, {"CDATE", "CVDATE", "DATESERIAL", "DATEVALUE", "DATEADD", "NOW",
                               "DATE", "TIMESERIAL", "TIMEVALUE"}))
                return typed(adDBTimeStamp);
        }
        return {QString(), adWChar, kShortTextLength};
    }

    ColumnInfo arithmeticType(const Arithmetic& chain) const {
        static const QRegularExpression wholeNumber(QStringLiteral("^\\d+$"));
        static const QRegularExpression decimal(QStringLiteral("^\\d*\\.\\d+$"));
        int widest = 0;
        for (const QString& operand : chain.operands) {
            // A whole-number literal is an Integer and never widens its partner.
            const int type = wholeNumber.match(operand).hasMatch() ? adSmallInt
                             : decimal.match(operand).hasMatch()   ? adDouble
                                                                   : typeOf(operand).dataType;
            if (numericRank(type) == 0)
                return {QString(), adWChar, kShortTextLength};
            if (numericRank(type) > numericRank(widest))
                widest = type;
        }
        // Dividing whole numbers gives a fraction; fixed-point amounts stay fixed-point.
        if (chain.division && numericRank(widest) <= numericRank(adInteger))
            widest = adDouble;
        return typed(widest);
    }

    void addAll(const Input& input) {
        for (const ColumnInfo& column : input.columns)
            add(column, input.qualifier);
    }

    // The engine qualifies a name that two sources share with its source.
    void add(ColumnInfo column, const QString& qualifier) {
        if (taken(column.name) && !qualifier.isEmpty())
            column.name = qualifier + u'.' + column.name;
        m_columns.push_back(std::move(column));
    }

    bool taken(const QString& name) const {
        for (const ColumnInfo& column : m_columns) {
            if (column.name.compare(name, Qt::CaseInsensitive) == 0)
                return true;
        }
        return false;
    }

    std::vector<Input> m_inputs;
    std::vector<ColumnInfo> m_columns;
};

} // namespace

std::vector<ColumnInfo> savedQueryColumns(const SavedQuery& query,
                                          const SourceColumns& sourceColumns) {
    return QueryColumns(query, sourceColumns).result();
}

} // namespace ordwick
