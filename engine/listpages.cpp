// The list page and the pages that show the same rows: print and export.
#include "engine/sitepages.h"

namespace ordwick::engine {

using pagetext::caption;
using pagetext::formatClasses;
using pagetext::link;

namespace {

std::vector<const SiteColumn*> listColumns(const SitePlan& plan) {
    std::vector<const SiteColumn*> shown;
    for (const SiteColumn& c : plan.columns) {
        if (c.settings->ListDisplay)
            shown.push_back(&c);
    }
    return shown;
}

// The opening of a page that reads rows: the state of the list and its query.
QString rowsPrologue(const QString& role) {
    return QStringLiteral("ow_begin();\n"
                          "ow_requireLogin(\"%1\");\n"
                          "var ow_state = ow_readListState();\n")
        .arg(role);
}

QString headerCells(const SitePlan& plan, bool sortLinks) {
    QString html;
    for (const SiteColumn* c : listColumns(plan)) {
        html += QStringLiteral("<th class=\"%1\">").arg(formatClasses(*c, true));
        if (sortLinks && plan.project->InitialSort)
            html += QStringLiteral("<%= ow_sortHeader(%1, %2, ow_state, OW_PAGES.index) %>")
                        .arg(c->index)
                        .arg(jsString(caption(*c, true)));
        else
            html += htmlText(caption(*c, true));
        html += QStringLiteral("</th>\n");
    }
    return html;
}

QString rowCells(const SitePlan& plan, bool cut) {
    QString html;
    for (const SiteColumn* c : listColumns(plan))
        html +=
            QStringLiteral("<td class=\"%1\"><%= ow_cellText(%2, ow_field(ow_rs, %2), ow_db, %3) "
                           "%></td>\n")
                .arg(formatClasses(*c, true))
                .arg(c->index)
                .arg(cut ? QStringLiteral("true") : QStringLiteral("false"));
    return html;
}

QString title(const SitePlan& plan, const QString& what) {
    return what.isEmpty() ? plan.table : plan.table + QStringLiteral(" - ") + what;
}

} // namespace

QByteArray indexPage(const SitePlan& plan, const Frame& frame) {
    const Project& p = *plan.project;
    const bool editLinks = plan.canEdit() && plan.editPage();
    const bool deleting = plan.canDelete();
    const bool tools = editLinks || deleting;
    const auto shown = listColumns(plan);

    QString code = rowsPrologue(QStringLiteral("index"));
    code += QStringLiteral(
        "var ow_notices = { added: \"The record was added.\", saved: \"The record was saved.\", "
        "deleted: \"The record was deleted.\" };\n"
        "var ow_message = ow_has(ow_notices, ow_q(\"m\")) ? ow_notices[ow_q(\"m\")] : \"\";\n"
        "var ow_problem = \"\";\n"
        "var ow_db = ow_open();\n");
    if (deleting)
        code += QStringLiteral(
            "// Records are deleted only by a POST that carries the session's token and\n"
            "// names the record by its key.\n"
            "if (ow_isPost()) {\n"
            "    var ow_keys = ow_requestKeys(ow_f);\n"
            "    if (!ow_checkedPost() || ow_f(\"ow_action\") != \"delete\" || ow_keys === null) "
            "{\n"
            "        Response.Status = \"403 Forbidden\";\n"
            "        ow_problem = \"The request was refused; please try again.\";\n"
            "    } else {\n"
            "        ow_run(ow_db, ow_deleteQuery(ow_keys));\n"
            "        ow_db.Close();\n"
            "        var ow_back = ow_stateQuery(ow_state, {});\n"
            "        Response.Redirect(OW_PAGES.index + \"?\" + (ow_back == \"\" ? \"\" : ow_back "
            "+ "
            "\"&\") + \"m=deleted\");\n"
            "    }\n"
            "}\n");
    code += QStringLiteral("var ow_query = ow_listQuery(ow_state);\n"
                           "if (ow_problem == \"\") ow_problem = ow_query.problems.join(\" \");\n"
                           "var ow_list = ow_listRows(ow_db, ow_query, ow_state);\n"
                           "var ow_rs = ow_list.rs, ow_total = ow_list.total, ow_shown = 0;\n");

    QString body =
        QStringLiteral("<div class=\"ow-page\">\n<h1>%1</h1>\n").arg(htmlText(plan.table));
    body += QStringLiteral(
        "<% if (ow_message != \"\") { %><div class=\"ow-message\"><%= ow_html(ow_message) "
        "%></div><% } %>\n"
        "<% if (ow_problem != \"\") { %><div class=\"ow-problem\"><%= ow_html(ow_problem) "
        "%></div><% } %>\n");
    body += QStringLiteral("<%= ow_logoutForm() %>\n");
    // Basic search over the columns chosen for it.
    std::vector<const SiteColumn*> simple;
    for (const SiteColumn& c : plan.columns) {
        if (c.settings->InSimpleSearch)
            simple.push_back(&c);
    }
    if (p.SimpleSearch && !simple.empty()) {
        body += QStringLiteral("<form class=\"ow-search\" method=\"get\" action=\"%1\">\n")
                    .arg(link(plan.files.index));
        body += QStringLiteral("<label for=\"ow-q\">Search</label>\n<input type=\"text\" "
                               "id=\"ow-q\" name=\"q\" size=\"30\" value=\"<%= "
                               "ow_html(ow_state.search) %>\">\n");
        body += QStringLiteral("<select name=\"qf\" aria-label=\"Search in\">\n<option "
                               "value=\"\">All fields</option>\n");
        for (const SiteColumn* c : simple)
            body += QStringLiteral("<option value=\"%1\"<%= ow_state.field == %1 ? \" selected\" : "
                                   "\"\" %>>%2</option>\n")
                        .arg(c->index)
                        .arg(htmlText(caption(*c, true)));
        body += QStringLiteral("</select>\n<%= ow_stateFields(ow_state, { q: \"\", qf: \"\", p: "
                               "\"\" }) %>\n");
        body += QStringLiteral("<button type=\"submit\"><img src=\"images/search.png\" alt=\"\" "
                               "width=\"16\" height=\"16\"> Search</button>\n");
        body +=
            QStringLiteral("<a href=\"%1\">Show all</a>\n</form>\n").arg(link(plan.files.index));
    }

    body += QStringLiteral("<div class=\"ow-actions\">\n");
    if (plan.canAdd() && plan.editPage())
        body += QStringLiteral("<a href=\"%1\"><img src=\"images/add.png\" alt=\"\" width=\"16\" "
                               "height=\"16\"> Add a record</a>\n")
                    .arg(link(plan.files.edit));
    if (plan.has(TaskKind::Search))
        body += QStringLiteral("<a href=\"%1\"><img src=\"images/search.png\" alt=\"\" "
                               "width=\"16\" height=\"16\"> Advanced search</a>\n")
                    .arg(link(plan.files.search));
    if (plan.has(TaskKind::Print))
        // The printer-friendly version shows the rows the visitor sees: the
        // same search, order and page.
        body += QStringLiteral("<a href=\"<%= ow_link(OW_PAGES.print, ow_stateQuery(ow_state, {})) "
                               "%>\"><img src=\"images/print.png\" alt=\"\" width=\"16\" "
                               "height=\"16\"> Printer-friendly version</a>\n");
    if (plan.has(TaskKind::Export)) {
        body += QStringLiteral("<a href=\"<%= ow_link(OW_PAGES.exp, ow_stateQuery(ow_state, { p: "
                               "\"\" }) + (ow_stateQuery(ow_state, { p: \"\" }) == \"\" ? \"\" : "
                               "\"&\") + \"f=csv\") %>\"><img src=\"images/export.png\" alt=\"\" "
                               "width=\"16\" height=\"16\"> Export to CSV</a>\n");
        body += QStringLiteral("<a href=\"<%= ow_link(OW_PAGES.exp, ow_stateQuery(ow_state, { p: "
                               "\"\" }) + (ow_stateQuery(ow_state, { p: \"\" }) == \"\" ? \"\" : "
                               "\"&\") + \"f=xls\") %>\"><img src=\"images/export.png\" alt=\"\" "
                               "width=\"16\" height=\"16\"> Export to a spreadsheet</a>\n");
    }
    body += QStringLiteral("</div>\n");

    body += QStringLiteral("<table class=\"ow-list\">\n<thead>\n<tr>\n");
    body += headerCells(plan, true);
    if (tools)
        body += QStringLiteral("<th class=\"ow-tools\"></th>\n");
    body += QStringLiteral("</tr>\n</thead>\n<tbody>\n");
    body += QStringLiteral("<% while (!ow_rs.EOF && (!OW_FEATURES.paging || ow_shown < "
                           "ow_state.size)) { ow_shown++; %>\n<tr>\n");
    body += rowCells(plan, true);
    if (tools) {
        body += QStringLiteral("<td class=\"ow-tools\">\n");
        if (editLinks)
            body += QStringLiteral("<a href=\"<%= ow_link(OW_PAGES.edit, ow_keyQueryString(ow_rs)) "
                                   "%>\" title=\"Edit\"><img src=\"images/edit.png\" alt=\"Edit\" "
                                   "width=\"16\" height=\"16\"></a>\n");
        if (deleting)
            body += QStringLiteral(
                "<form class=\"ow-delete\" method=\"post\" action=\"<%= ow_link(OW_PAGES.index, "
                "ow_stateQuery(ow_state, {})) %>\"><%= ow_tokenField() %><input type=\"hidden\" "
                "name=\"ow_action\" value=\"delete\"><%= ow_keyFields(ow_rs) %><button "
                "type=\"submit\" title=\"Delete\"><img src=\"images/delete.png\" alt=\"Delete\" "
                "width=\"16\" height=\"16\"></button></form>\n");
        body += QStringLiteral("</td>\n");
    }
    body += QStringLiteral("</tr>\n<% ow_rs.MoveNext(); } %>\n");
    body += QStringLiteral("<% if (ow_total == 0) { %><tr><td colspan=\"%1\">No records "
                           "found.</td></tr><% } %>\n")
                .arg(std::max<size_t>(1, shown.size() + (tools ? 1 : 0)));
    body += QStringLiteral("</tbody>\n</table>\n");
    if (p.PageSupport)
        body += QStringLiteral("<%= ow_pager(ow_state, ow_list.pageCount, OW_PAGES.index) %>\n");
    body += QStringLiteral("<p class=\"ow-count\"><%= ow_total %> record<%= ow_total == 1 ? \"\" : "
                           "\"s\" %></p>\n");
    if (p.PageSupport && p.RecordsPerPage) {
        body += QStringLiteral("<form class=\"ow-pagesize\" method=\"get\" action=\"%1\">\n"
                               "<label>Records per page\n<select name=\"n\" "
                               "class=\"ow-autosubmit\">\n")
                    .arg(link(plan.files.index));
        body +=
            QStringLiteral("<% for (var ow_i = 0; ow_i < OW_PAGE_SIZES.length; ow_i++) { %>"
                           "<option value=\"<%= OW_PAGE_SIZES[ow_i] %>\"<%= OW_PAGE_SIZES[ow_i] "
                           "== ow_state.size ? \" selected\" : \"\" %>><%= OW_PAGE_SIZES[ow_i] "
                           "%></option><% } %>\n");
        body += QStringLiteral("</select>\n</label>\n<%= ow_stateFields(ow_state, { n: \"\", p: "
                               "\"\" }) %>\n<noscript><button type=\"submit\">Show</button>"
                               "</noscript>\n</form>\n");
    }
    body += QStringLiteral("</div>\n");

    QString page = pagetext::directiveAndIncludes(plan);
    page += QStringLiteral("<%\n") + code + QStringLiteral("%>");
    page += frame.wrap(title(plan, {}), body, plan.files);
    page += QStringLiteral("<%\now_rs.Close();\now_db.Close();\n%>\n");
    return pagetext::finish(page);
}

QByteArray printPage(const SitePlan& plan, const Frame& frame) {
    QString code = rowsPrologue(QStringLiteral("print"));
    code += QStringLiteral("var ow_db = ow_open();\n"
                           "var ow_query = ow_listQuery(ow_state);\n"
                           "var ow_problem = ow_query.problems.join(\" \");\n"
                           "var ow_list = ow_listRows(ow_db, ow_query, ow_state);\n"
                           "var ow_rs = ow_list.rs, ow_total = ow_list.total, ow_shown = 0;\n");
    QString body =
        QStringLiteral("<div class=\"ow-page ow-print\">\n<h1>%1</h1>\n").arg(htmlText(plan.table));
    body += QStringLiteral("<% if (ow_problem != \"\") { %><div class=\"ow-problem\"><%= "
                           "ow_html(ow_problem) %></div><% } %>\n");
    body += QStringLiteral("<p class=\"ow-noprint\"><button type=\"button\" data-ow-print "
                           "hidden><img src=\"images/print.png\" alt=\"\" width=\"16\" "
                           "height=\"16\"> Print</button>\n");
    body += QStringLiteral("<a href=\"<%= ow_link(OW_PAGES.index, ow_stateQuery(ow_state, {})) "
                           "%>\">Back to the list</a></p>\n");
    body += QStringLiteral("<table class=\"ow-list\">\n<thead>\n<tr>\n") +
            headerCells(plan, false) +
            QStringLiteral("</tr>\n</thead>\n<tbody>\n<% while (!ow_rs.EOF && "
                           "(!OW_FEATURES.paging || ow_shown < ow_state.size)) { ow_shown++; "
                           "%>\n<tr>\n") +
            rowCells(plan, false) +
            QStringLiteral("</tr>\n<% ow_rs.MoveNext(); } %>\n</tbody>\n</table>\n");
    body += QStringLiteral("<% if (ow_list.pageCount > 1) { %><p class=\"ow-printpage\">Page <%= "
                           "ow_state.page %> of <%= ow_list.pageCount %></p><% } %>\n"
                           "<p class=\"ow-count\"><%= ow_total %> record<%= ow_total == 1 ? \"\" : "
                           "\"s\" %></p>\n</div>\n");
    QString page = pagetext::directiveAndIncludes(plan);
    page += QStringLiteral("<%\n") + code + QStringLiteral("%>");
    page += frame.wrap(title(plan, QStringLiteral("Printer-friendly version")), body, plan.files);
    page += QStringLiteral("<%\now_rs.Close();\now_db.Close();\n%>\n");
    return pagetext::finish(page);
}

QByteArray exportPage(const SitePlan& plan) {
    const auto shown = listColumns(plan);
    QStringList columns;
    for (const SiteColumn* c : shown)
        columns.append(QString::number(c->index));
    QString stem = plan.table.toLower();
    for (QChar& ch : stem) {
        if (!ch.isLetterOrNumber() && ch != QLatin1Char('_') && ch != QLatin1Char('-'))
            ch = QLatin1Char('_');
    }
    QString code = rowsPrologue(QStringLiteral("exp"));
    code += QStringLiteral("var ow_columns = [%1];\n").arg(columns.join(QStringLiteral(", ")));
    code += QStringLiteral("var ow_spreadsheet = ow_q(\"f\") == \"xls\";\n"
                           "var ow_db = ow_open();\n"
                           "var ow_rs = ow_forwardRows(ow_db, ow_listQuery(ow_state));\n"
                           "var ow_i, ow_line, ow_written = 0;\n"
                           "// Rows leave the server in parts, so a long file never waits whole in "
                           "its buffer;\n"
                           "// a visitor who cancelled the download stops the reading.\n"
                           "function ow_rowWritten() {\n"
                           "    if (++ow_written % 200 != 0) return true;\n"
                           "    Response.Flush();\n"
                           "    return Response.IsClientConnected;\n"
                           "}\n");
    code += QStringLiteral("if (ow_spreadsheet) {\n"
                           "    // SpreadsheetML: one worksheet that spreadsheet programs open as "
                           "it is.\n"
                           "    Response.ContentType = \"application/vnd.ms-excel\";\n"
                           "    Response.AddHeader(\"Content-Disposition\", \"attachment; "
                           "filename=\" + %1);\n")
                .arg(jsString(QLatin1Char('"') + stem + QStringLiteral(".xml\"")));
    code += QStringLiteral(
        "    Response.Write(\"\\x3c?xml version=\\\"1.0\\\" "
        "encoding=\\\"utf-8\\\"?\\x3e\\r\\n\");\n"
        "    Response.Write(\"\\x3c?mso-application progid=\\\"Excel.Sheet\\\"?\\x3e\\r\\n\");\n"
        "    Response.Write(\"\\x3cWorkbook "
        "xmlns=\\\"urn:schemas-microsoft-com:office:spreadsheet\\\" "
        "xmlns:ss=\\\"urn:schemas-microsoft-com:office:spreadsheet\\\"\\x3e\\r\\n\");\n"
        "    Response.Write(\"\\x3cWorksheet ss:Name=\\\"\" + ow_xml(OW_TABLE.substr(0, 31)) + "
        "\"\\\"\\x3e\\x3cTable\\x3e\\r\\n\");\n"
        "    ow_line = \"\\x3cRow\\x3e\";\n"
        "    for (ow_i = 0; ow_i < ow_columns.length; ow_i++)\n"
        "        ow_line += \"\\x3cCell\\x3e\\x3cData ss:Type=\\\"String\\\"\\x3e\" + "
        "ow_xml(ow_safeCell(OW_COLUMNS[ow_columns[ow_i]].caption)) + "
        "\"\\x3c/Data\\x3e\\x3c/Cell\\x3e\";\n"
        "    Response.Write(ow_line + \"\\x3c/Row\\x3e\\r\\n\");\n"
        "    while (!ow_rs.EOF) {\n"
        "        ow_line = \"\\x3cRow\\x3e\";\n"
        "        for (ow_i = 0; ow_i < ow_columns.length; ow_i++) {\n"
        "            var ow_c = ow_columns[ow_i], ow_v = ow_field(ow_rs, ow_c);\n"
        "            var ow_number = ow_v !== null && typeof ow_v == \"number\" && "
        "OW_COLUMNS[ow_c].kind != \"boolean\" && OW_COLUMNS[ow_c].lookup == \"none\";\n"
        "            ow_line += \"\\x3cCell\\x3e\\x3cData ss:Type=\\\"\" + (ow_number ? \"Number\" "
        ": \"String\") + \"\\\"\\x3e\" + (ow_number ? ow_xml(String(ow_v)) : "
        "ow_xml(ow_safeCell(OW_FORMAT[ow_c](ow_v, ow_db)))) + \"\\x3c/Data\\x3e\\x3c/Cell\\x3e\";\n"
        "        }\n"
        "        Response.Write(ow_line + \"\\x3c/Row\\x3e\\r\\n\");\n"
        "        if (!ow_rowWritten()) break;\n"
        "        ow_rs.MoveNext();\n"
        "    }\n"
        "    Response.Write(\"\\x3c/Table\\x3e\\x3c/Worksheet\\x3e\\x3c/Workbook\\x3e\\r\\n\");\n"
        "} else {\n"
        "    // CSV as spreadsheet programs read it: UTF-8 with a byte order mark, CRLF lines.\n");
    code += QStringLiteral("    Response.ContentType = \"text/csv\";\n"
                           "    Response.AddHeader(\"Content-Disposition\", \"attachment; "
                           "filename=\" + %1);\n")
                .arg(jsString(QLatin1Char('"') + stem + QStringLiteral(".csv\"")));
    code += QStringLiteral(
        "    Response.Write(\"\\ufeff\");\n"
        "    ow_line = [];\n"
        "    for (ow_i = 0; ow_i < ow_columns.length; ow_i++) "
        "ow_line.push(ow_csvField(OW_COLUMNS[ow_columns[ow_i]].caption));\n"
        "    Response.Write(ow_line.join(\",\") + \"\\r\\n\");\n"
        "    while (!ow_rs.EOF) {\n"
        "        ow_line = [];\n"
        "        for (ow_i = 0; ow_i < ow_columns.length; ow_i++)\n"
        "            ow_line.push(ow_csvField(OW_FORMAT[ow_columns[ow_i]](ow_field(ow_rs, "
        "ow_columns[ow_i]), ow_db)));\n"
        "        Response.Write(ow_line.join(\",\") + \"\\r\\n\");\n"
        "        if (!ow_rowWritten()) break;\n"
        "        ow_rs.MoveNext();\n"
        "    }\n"
        "}\n"
        "ow_rs.Close();\n"
        "ow_db.Close();\n");
    // The file is all the page writes: nothing before its first byte, nothing
    // after its last.
    QString page = pagetext::directiveAndIncludes(plan);
    page += QStringLiteral("<%\n") + code + QStringLiteral("%>");
    return pagetext::finish(page);
}

} // namespace ordwick::engine
