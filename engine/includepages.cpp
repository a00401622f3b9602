// The pages every other page includes, the style sheet and the scripts.
#include "engine/runtimefiles.h"
#include "engine/sitepages.h"

#include <QRegularExpression>

namespace ordwick::engine {

namespace {

QString boolText(bool value) {
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

QString lookupName(Lookup::Kind kind) {
    switch (kind) {
    case Lookup::Kind::Static:
        return QStringLiteral("static");
    case Lookup::Kind::Query:
        return QStringLiteral("query");
    case Lookup::Kind::None:
        break;
    }
    return QStringLiteral("none");
}

QString datePattern(int dateType) {
    switch (dateType) {
    case 1:
        return QStringLiteral("mm/dd/yyyy");
    case 2:
        return QStringLiteral("dd/mm/yyyy");
    default:
        return QStringLiteral("yyyy-mm-dd");
    }
}

QString checkMessage(const SiteColumn& c, const QString& tail) {
    return jsString(pagetext::caption(c, false) + tail);
}

// The checks of one column's typed text, the same on the server and in the
// browser. keepEmpty lets a password field stay empty when a record is edited.
QString checkFunction(const SiteColumn& c) {
    const ColumnSettings& s = *c.settings;
    QString f = QStringLiteral("function ow_check_%1(text, keepEmpty) {\n").arg(c.index);
    if (!c.sendsValue() || c.editType == EditCheckbox) {
        f += QStringLiteral("    return \"\";\n}\n");
        return f;
    }
    f += QStringLiteral("    var s = ow_trimmed(text);\n");
    if (s.Required)
        f += QStringLiteral("    if (s == \"\") return keepEmpty ? \"\" : %1;\n")
                 .arg(checkMessage(c, QStringLiteral(" is required.")));
    else
        f += QStringLiteral("    if (s == \"\") return \"\";\n");
    const bool textual = c.kind == ValueKind::Text || c.kind == ValueKind::Memo;
    if (textual && s.MaxLength > 0)
        f += QStringLiteral("    if (String(text).length > %1) return %2;\n")
                 .arg(s.MaxLength)
                 .arg(checkMessage(
                     c, QStringLiteral(" can hold at most %1 characters.").arg(s.MaxLength)));
    switch (c.kind) {
    case ValueKind::Integer:
        f += QStringLiteral("    if (!ow_isInteger(s)) return %1;\n")
                 .arg(checkMessage(c, QStringLiteral(" must be a whole number.")));
        break;
    case ValueKind::Number:
        f += QStringLiteral("    if (!ow_isNumber(s)) return %1;\n")
                 .arg(checkMessage(c, QStringLiteral(" must be a number.")));
        break;
    case ValueKind::Currency:
        f += QStringLiteral("    if (!ow_isNumber(ow_currencyNumber(s))) return %1;\n")
                 .arg(checkMessage(c, QStringLiteral(" must be an amount of money.")));
        break;
    case ValueKind::Date:
        f +=
            QStringLiteral("    if (ow_parseDate(s, %1) === null) return %2;\n")
                .arg(c.dateType)
                .arg(checkMessage(
                    c, QStringLiteral(" must be a date written %1.").arg(datePattern(c.dateType))));
        break;
    case ValueKind::Boolean:
        f += QStringLiteral("    if (!/^(true|false|yes|no|on|off|1|0|-1)$/i.test(s)) return %1;\n")
                 .arg(checkMessage(c, QStringLiteral(" must be yes or no.")));
        break;
    case ValueKind::Text:
    case ValueKind::Memo:
        break;
    }
    switch (c.validation) {
    case ValidateCreditCard:
        f += QStringLiteral("    if (!ow_isCreditCard(s)) return %1;\n")
                 .arg(checkMessage(c, QStringLiteral(" must be a valid credit card number.")));
        break;
    case ValidateCurrency:
        f += QStringLiteral("    if (!ow_isCurrency(s)) return %1;\n")
                 .arg(checkMessage(c, QStringLiteral(" must be an amount such as 1,250.00.")));
        break;
    case ValidateDate:
        f +=
            QStringLiteral("    if (ow_parseDate(s, %1) === null) return %2;\n")
                .arg(c.dateType)
                .arg(checkMessage(
                    c, QStringLiteral(" must be a date written %1.").arg(datePattern(c.dateType))));
        break;
    case ValidateEmail:
        f += QStringLiteral("    if (!ow_isEmail(s)) return %1;\n")
                 .arg(checkMessage(c, QStringLiteral(" must be an e-mail address.")));
        break;
    case ValidateNumber:
        f += QStringLiteral("    if (!ow_isNumber(s)) return %1;\n")
                 .arg(checkMessage(c, QStringLiteral(" must be a number.")));
        break;
    case ValidatePassword:
        f += QStringLiteral("    if (!ow_isPassword(String(text))) return %1;\n")
                 .arg(checkMessage(c, QStringLiteral(" must have at least 8 characters, with "
                                                     "letters and digits.")));
        break;
    case ValidatePhone:
        f += QStringLiteral("    if (!ow_isPhone(s)) return %1;\n")
                 .arg(checkMessage(c, QStringLiteral(" must be a telephone number.")));
        break;
    case ValidateZip:
        f += QStringLiteral("    if (!ow_isZip(s)) return %1;\n")
                 .arg(checkMessage(c, QStringLiteral(" must be a postal code.")));
        break;
    default:
        break;
    }
    f += QStringLiteral("    return \"\";\n}\n");
    return f;
}

// An included page is one server block and nothing else: a line break after
// it would be written out before the including page's first byte.
QString serverBlock(const QString& code) {
    return QStringLiteral("<%\n") + code + QStringLiteral("%>");
}

QString likeStyle(SqlFamily family) {
    switch (family) {
    case SqlFamily::Jet:
        return QStringLiteral("brackets");
    case SqlFamily::SqlServer:
        return QStringLiteral("escape-classes");
    case SqlFamily::Sqlite:
    case SqlFamily::Oracle:
    case SqlFamily::Other:
        break;
    }
    return QStringLiteral("escape");
}

QString pagingName(Paging paging) {
    switch (paging) {
    case Paging::Limit:
        return QStringLiteral("limit");
    case Paging::RowNumber:
        return QStringLiteral("rownumber");
    case Paging::Top:
        return QStringLiteral("top");
    case Paging::Cursor:
        break;
    }
    return QStringLiteral("cursor");
}

QString insertBefore(const QString& markup, const QString& closingTag, const QString& text,
                     bool atEndOtherwise) {
    const qsizetype at = markup.lastIndexOf(closingTag, -1, Qt::CaseInsensitive);
    if (at >= 0)
        return markup.left(at) + text + markup.mid(at);
    return atEndOtherwise ? markup + text : text + markup;
}

} // namespace

// ------------------------------------------------------------------ helpers

namespace pagetext {

// One line without breaks: text between the directive, the includes and the
// first server block is written out as it stands.
QString directiveAndIncludes(const SitePlan& plan) {
    return QStringLiteral("<%@ Language=\"JScript\" %>") +
           QStringLiteral("<!-- #include file=\"%1\" -->").arg(plan.files.variables) +
           QStringLiteral("<!-- #include file=\"%1\" -->").arg(plan.files.functions) +
           QStringLiteral("<!-- #include file=\"%1\" -->").arg(plan.files.dynamicFunctions);
}

QString caption(const SiteColumn& column, bool list) {
    const QString text = list ? column.settings->ListCaption : column.settings->EditCaption;
    return text.trimmed().isEmpty() ? column.name : text;
}

QString formatClasses(const SiteColumn& column, bool list) {
    const ColumnSettings& s = *column.settings;
    static const char* const alignments[] = {"ow-left", "ow-center", "ow-right"};
    const int align = list ? s.ListAlignment : s.EditAlignment;
    QString classes = QLatin1String(alignments[align >= 0 && align <= 2 ? align : 0]);
    if (list ? s.ListBold : s.EditBold)
        classes += QLatin1String(" ow-b");
    if (list ? s.ListItalic : s.EditItalic)
        classes += QLatin1String(" ow-i");
    if (list ? s.ListUnderline : s.EditUnderline)
        classes += QLatin1String(" ow-u");
    return classes;
}

QString link(const QString& file) {
    return htmlText(urlPath(file));
}

QByteArray finish(const QString& text) {
    return text.toUtf8();
}

} // namespace pagetext

// ------------------------------------------------------------------ frame

Frame Frame::builtIn() {
    Frame frame;
    frame.m_before = QStringLiteral("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n"
                                    "<meta charset=\"utf-8\">\n"
                                    "<meta name=\"viewport\" content=\"width=device-width, "
                                    "initial-scale=1\">\n"
                                    "<title><|title|></title>\n<|head|></head>\n"
                                    "<body class=\"ow-plain\">\n");
    frame.m_after = QStringLiteral("<|scripts|></body>\n</html>\n");
    return frame;
}

Frame Frame::fromTemplate(const QString& indexHtml, const SiteFiles&) {
    Frame frame;
    frame.m_template = true;
    const qsizetype at = indexHtml.indexOf(bodyTag());
    // Only the first tag takes the body; a page has one body.
    // A page starts with the template's first tag, not with blank lines before it.
    frame.m_before = asciiMarkup(indexHtml.left(at < 0 ? indexHtml.size() : at));
    while (!frame.m_before.isEmpty() && frame.m_before.front().isSpace())
        frame.m_before.remove(0, 1);
    frame.m_after = asciiMarkup(
        at < 0 ? QString() : QString(indexHtml.mid(at + bodyTag().size())).remove(bodyTag()));
    frame.m_before =
        insertBefore(frame.m_before, QStringLiteral("</head>"), QStringLiteral("<|head|>"), false);
    frame.m_after =
        insertBefore(frame.m_after, QStringLiteral("</body>"), QStringLiteral("<|scripts|>"), true);
    return frame;
}

QString Frame::wrap(const QString& title, const QString& body, const SiteFiles& files) const {
    const QString head = QStringLiteral("<link rel=\"stylesheet\" href=\"%1\">\n")
                             .arg(pagetext::link(files.styleSheet));
    const QString scripts =
        QStringLiteral("<script src=\"%1\"></script>\n").arg(pagetext::link(files.siteScript));
    QString before = m_before;
    QString after = m_after;
    before.replace(QStringLiteral("<|title|>"), htmlText(title));
    before.replace(QStringLiteral("<|head|>"), head);
    after.replace(QStringLiteral("<|scripts|>"), scripts);
    return before + body + after;
}

namespace {

// The origins ("https://fonts.example") of the absolute addresses the
// markup's tags of one kind load from.
QStringList originsOf(const QString& markup, const QString& tagPattern) {
    static const QRegularExpression address(
        QStringLiteral(R"((?:src|href)\s*=\s*["']?(https?://[^/"'\s>]+))"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpression tag(tagPattern, QRegularExpression::CaseInsensitiveOption);
    QStringList origins;
    for (auto t = tag.globalMatch(markup); t.hasNext();) {
        const QRegularExpressionMatch found = address.match(t.next().captured());
        if (found.hasMatch() && !origins.contains(found.captured(1).toLower()))
            origins.append(found.captured(1).toLower());
    }
    return origins;
}

QString sources(const QStringList& origins, bool inlineToo) {
    QString text = QStringLiteral("'self'");
    if (inlineToo)
        text += QStringLiteral(" 'unsafe-inline'");
    for (const QString& origin : origins)
        text += QLatin1Char(' ') + origin;
    return text;
}

} // namespace

QString Frame::contentPolicy() const {
    const QString markup = m_before + m_after;
    const auto has = [&](const QString& pattern) {
        return QRegularExpression(pattern, QRegularExpression::CaseInsensitiveOption)
            .match(markup)
            .hasMatch();
    };
    // A script tag without a source, an event handler attribute or a
    // javascript: address runs script written into the page.
    const bool inlineScript = has(QStringLiteral(R"(<script(?![^>]*\ssrc\s*=)[^>]*>)")) ||
                              has(QStringLiteral(R"(<[^>]+\son[a-z]+\s*=)")) ||
                              has(QStringLiteral(R"(=\s*["']?\s*javascript:)"));
    const bool inlineStyle =
        has(QStringLiteral(R"(<style[\s>])")) || has(QStringLiteral(R"(<[^>]+\sstyle\s*=)"));
    return QStringLiteral("default-src 'self'; script-src %1; style-src %2; img-src %3 data:; "
                          "font-src %4; object-src 'none'; base-uri 'self'; form-action 'self'; "
                          "frame-ancestors 'self'")
        .arg(sources(originsOf(markup, QStringLiteral("<script[^>]*>")), inlineScript),
             sources(originsOf(markup, QStringLiteral("<link[^>]*>")), inlineStyle),
             sources(originsOf(markup, QStringLiteral("<img[^>]*>")), false),
             sources(originsOf(markup, QStringLiteral("<link[^>]*>")), false));
}

// ------------------------------------------------------------------ pages

QByteArray variablesPage(const SitePlan& plan, const Frame& frame) {
    const Project& p = *plan.project;
    QString code;
    code += QStringLiteral("// The settings of the %1 pages: the table, its columns, the features "
                           "and the pages that\n// offer them, the login and the connection.\n")
                .arg(jsString(plan.table));
    code += QStringLiteral("var OW_TABLE = %1;\n").arg(jsString(plan.table));
    code += QStringLiteral("var OW_TABLE_SQL = %1;\n").arg(jsString(plan.tableSql));
    code += QStringLiteral("var OW_BASE_SQL = %1;\n").arg(jsString(plan.baseSql));
    code += QStringLiteral("var OW_RECORD_SQL = %1;\n").arg(jsString(plan.recordSql));
    code += QStringLiteral("var OW_SUBQUERY_ALIAS = %1;\n")
                .arg(jsString(plan.quoting == NameQuoting::DoubleQuotes &&
                                      p.ConnectionString.contains(QLatin1String("oracle"),
                                                                  Qt::CaseInsensitive)
                                  ? QStringLiteral(" ow_rows")
                                  : QStringLiteral(" AS ow_rows")));
    code += QStringLiteral("// How the source's SQL takes a literal % or _ in LIKE, and how its "
                           "stored dates compare.\n");
    code += QStringLiteral("var OW_DIALECT = { like: %1, dates: %2 };\n")
                .arg(jsString(likeStyle(plan.family)),
                     jsString(plan.family == SqlFamily::Sqlite ? QStringLiteral("julianday")
                                                               : QStringLiteral("typed")));
    code += QStringLiteral("// How the source reads one page of the list.\n");
    code +=
        QStringLiteral("var OW_PAGING = { style: %1 };\n").arg(jsString(pagingName(plan.paging)));
    code += QStringLiteral(
                "// Counting a big table can cost more than reading its page: a count of\n"
                "// at least fromRows rows serves again for keep seconds. The site's own\n"
                "// changes forget the counts at once; those of other programs show in\n"
                "// the count after keep seconds at most.\n"
                "var OW_COUNTS = { fromRows: 10000, keep: 10, entries: 50, name: %1 };\n")
                .arg(jsString(QStringLiteral("ow_counts_") + p.TableName.toLower()));
    code += QStringLiteral("// What the pages may load and run: the site's own files, and what "
                           "its frame needs.\n");
    code += QStringLiteral("var OW_CONTENT_POLICY = %1;\n").arg(jsString(frame.contentPolicy()));
    code += QStringLiteral("var OW_PAGE_SIZE = %1;\n").arg(plan.pageSize);
    code += QStringLiteral("var OW_PAGE_SIZES = [10, 20, 50, 100, 500];\n");
    code += QStringLiteral("var OW_MORE_LENGTH = %1;\n").arg(std::max(1, p.ShowMoreLinkID));
    bool anySimple = false;
    for (const SiteColumn& c : plan.columns)
        anySimple = anySimple || c.settings->InSimpleSearch;
    code += QStringLiteral("var OW_FEATURES = {\n");
    code += QStringLiteral("    add: %1, edit: %2, del: %3,\n")
                .arg(boolText(plan.canAdd() && plan.editPage()),
                     boolText(plan.canEdit() && plan.editPage()), boolText(plan.canDelete()));
    code += QStringLiteral("    simpleSearch: %1, advancedSearch: %2, sorting: %3,\n")
                .arg(boolText(p.SimpleSearch && anySimple), boolText(p.AdvancedSearch),
                     boolText(p.InitialSort));
    code += QStringLiteral("    paging: %1, pageChoice: %2, print: %3, exp: %4, more: %5\n};\n")
                .arg(boolText(p.PageSupport), boolText(p.PageSupport && p.RecordsPerPage),
                     boolText(plan.has(TaskKind::Print)), boolText(plan.has(TaskKind::Export)),
                     boolText(p.ShowMoreLink && p.ShowMoreLinkID > 0));
    const auto page = [&](TaskKind kind, const QString& file) {
        return jsString(plan.has(kind) ? urlPath(file) : QString());
    };
    code += QStringLiteral("var OW_PAGES = {\n");
    code += QStringLiteral("    index: %1, edit: %2, search: %3,\n")
                .arg(page(TaskKind::Index, plan.files.index), page(TaskKind::Edit, plan.files.edit),
                     page(TaskKind::Search, plan.files.search));
    code += QStringLiteral("    print: %1, exp: %2, login: %3\n};\n")
                .arg(page(TaskKind::Print, plan.files.print),
                     page(TaskKind::Export, plan.files.exportPage),
                     page(TaskKind::Login, plan.files.login));
    code += QStringLiteral("var OW_COLUMNS = [\n");
    for (const SiteColumn& c : plan.columns) {
        const ColumnSettings& s = *c.settings;
        code +=
            QStringLiteral("    { name: %1, sql: %2, kind: %3, caption: %4, editCaption: %5,\n")
                .arg(jsString(c.name), jsString(c.sql), jsString(kindName(c.kind)),
                     jsString(pagetext::caption(c, true)), jsString(pagetext::caption(c, false)));
        code +=
            QStringLiteral("      list: %1, edit: %2, simple: %3, advanced: %4, required: %5, "
                           "key: %6,\n")
                .arg(boolText(s.ListDisplay), boolText(c.sendsValue()), boolText(s.InSimpleSearch),
                     boolText(s.InAdvancedSearch), boolText(s.Required), boolText(c.key));
        code += QStringLiteral("      editType: %1, validation: %2, dateType: %3, maxLength: %4, "
                               "lookup: %5, lookupSql: %6, linked: %7 }%8\n")
                    .arg(c.editType)
                    .arg(c.validation)
                    .arg(c.dateType)
                    .arg(std::max(0, s.MaxLength))
                    .arg(jsString(lookupName(c.lookup.kind)), jsString(c.lookup.sql),
                         boolText(c.lookup.linked),
                         c.index + 1 < static_cast<int>(plan.columns.size()) ? QStringLiteral(",")
                                                                             : QString());
    }
    code += QStringLiteral("];\n");
    QStringList keys;
    for (const int k : plan.keys)
        keys.append(QString::number(k));
    code += QStringLiteral("var OW_KEYS = [%1];\n").arg(keys.join(QStringLiteral(", ")));
    QStringList order;
    for (const InitialOrder& o : plan.initialOrder)
        order.append(
            QStringLiteral("{ column: %1, desc: %2 }").arg(o.column).arg(boolText(o.descending)));
    code += QStringLiteral("var OW_INITIAL_ORDER = [%1];\n").arg(order.join(QStringLiteral(", ")));
    const QString loginKind = plan.login == LoginKind::Fixed   ? QStringLiteral("fixed")
                              : plan.login == LoginKind::Table ? QStringLiteral("table")
                                                               : QStringLiteral("none");
    code +=
        QStringLiteral("var OW_LOGIN = {\n    kind: %1, sessionKey: %2,\n")
            .arg(jsString(loginKind), jsString(QStringLiteral("ow_user_") + p.TableName.toLower()));
    code += QStringLiteral(
        "    // Guessing slowed down: after this many failures for one login name (or\n"
        "    // from one address) each further attempt waits firstWait seconds,\n"
        "    // doubled with every failure up to longestWait.\n"
        "    throttle: { tries: 5, addressTries: 20, firstWait: 30, longestWait: 900, forgetAfter: "
        "3600, entries: 1000 },\n");
    code += QStringLiteral("    name: %1, password: %2, sql: %3\n};\n")
                .arg(jsString(plan.login == LoginKind::Fixed ? p.CodeLoginName : QString()),
                     jsString(plan.login == LoginKind::Fixed ? p.CodeLoginPassword : QString()),
                     jsString(plan.loginSql));
    if (plan.family == SqlFamily::Sqlite)
        code += QStringLiteral(
            "// The SQLite ODBC driver is named as Windows registers it, \"SQLite3 ODBC Driver\".\n"
            "// A server that registers it under another name (unixODBC: \"SQLite3\") needs that\n"
            "// name between the braces instead.\n");
    code += QStringLiteral("function ow_connectionString() {\n    return %1;\n}\n")
                .arg(plan.connectionScript);
    return pagetext::finish(serverBlock(code));
}

QByteArray functionsPage() {
    return pagetext::finish(serverBlock(QString::fromUtf8(runtime::validators) + QLatin1Char('\n') +
                                        QString::fromUtf8(runtime::functions)));
}

QByteArray siteScript() {
    return QByteArray(runtime::site);
}

QByteArray styleSheet() {
    return QByteArray(runtime::style);
}

QByteArray dynamicFunctionsPage(const SitePlan& plan) {
    QString code = QStringLiteral("// Per-column formatting, choices and checks of the %1 pages.\n")
                       .arg(jsString(plan.table));
    QStringList formats;
    QStringList checks;
    QStringList options;
    for (const SiteColumn& c : plan.columns) {
        code += QStringLiteral("function ow_format_%1(v, conn) {\n").arg(c.index);
        if (c.lookup.kind != Lookup::Kind::None && c.lookup.linked)
            code += QStringLiteral("    return ow_optionText(%1, ow_editText(%1, v), conn);\n")
                        .arg(c.index);
        else
            code += QStringLiteral("    return ow_formatValue(v, %1);\n").arg(c.index);
        code += QStringLiteral("}\n");
        code += checkFunction(c);
        formats.append(QStringLiteral("ow_format_%1").arg(c.index));
        checks.append(QStringLiteral("ow_check_%1").arg(c.index));
        if (c.lookup.kind == Lookup::Kind::Static) {
            QStringList values;
            for (const QString& v : c.lookup.values)
                values.append(jsString(v));
            options.append(QLatin1Char('[') + values.join(QStringLiteral(", ")) + QLatin1Char(']'));
        } else {
            options.append(QStringLiteral("null"));
        }
    }
    code += QStringLiteral("var OW_FORMAT = [%1];\n").arg(formats.join(QStringLiteral(", ")));
    code += QStringLiteral("var OW_CHECK = [%1];\n").arg(checks.join(QStringLiteral(", ")));
    code +=
        QStringLiteral("var OW_STATIC_OPTIONS = [%1];\n").arg(options.join(QStringLiteral(", ")));
    return pagetext::finish(serverBlock(code));
}

QByteArray validationScript(const SitePlan& plan) {
    QString code = QStringLiteral("// Checks of the %1 add/edit form in the browser; the server "
                                  "checks every value again.\n")
                       .arg(jsString(plan.table));
    code += QString::fromUtf8(runtime::validators) + QLatin1Char('\n');
    QStringList fields;
    for (const SiteColumn& c : plan.columns) {
        if (!c.sendsValue() || c.editType == EditCheckbox || c.editType == EditHidden)
            continue;
        code += checkFunction(c);
        fields.append(QStringLiteral("        { name: \"f%1\", check: ow_check_%1, keepEmpty: %2 }")
                          .arg(c.index)
                          .arg(boolText(c.editType == EditPassword)));
    }
    code += QStringLiteral("(function () {\n    var fields = [\n");
    code += fields.join(QStringLiteral(",\n"));
    code += QStringLiteral(R"JS(
    ];

    function valueOf(form, name) {
        var control = form.elements[name];
        if (!control) return null;
        if (!control.tagName && control.length) {
            for (var i = 0; i < control.length; i++)
                if (control[i].checked) return control[i].value;
            return "";
        }
        if (control.type == "radio") return control.checked ? control.value : "";
        return control.value;
    }

    function check(form) {
        var editing = form.elements.ow_mode && form.elements.ow_mode.value == "edit";
        var first = null;
        for (var i = 0; i < fields.length; i++) {
            var value = valueOf(form, fields[i].name);
            if (value === null) continue;
            var message = fields[i].check(value, fields[i].keepEmpty && editing);
            var out = document.getElementById("e-" + fields[i].name);
            if (out) out.textContent = message;
            if (message && first === null) first = fields[i].name;
        }
        if (first !== null) {
            var control = form.elements[first];
            if (control && control.focus) control.focus();
            return false;
        }
        return true;
    }

    function ready() {
        var form = document.getElementById("ow-edit-form");
        if (!form) return;
        form.addEventListener("submit", function (event) {
            if (!check(form)) event.preventDefault();
        });
    }

    if (document.readyState == "loading") document.addEventListener("DOMContentLoaded", ready);
    else ready();
})();
)JS");
    return pagetext::finish(code);
}

} // namespace ordwick::engine
