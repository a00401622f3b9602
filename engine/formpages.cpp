// The pages with forms: add/edit, advanced search and login.
#include "engine/sitepages.h"

namespace ordwick::engine {

using pagetext::caption;
using pagetext::formatClasses;
using pagetext::link;

namespace {

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

QString sizeAttributes(const ColumnSettings& s, bool textual) {
    QString attributes;
    if (s.FieldWidth > 0)
        attributes += QStringLiteral(" size=\"%1\"").arg(s.FieldWidth);
    if (textual && s.MaxLength > 0)
        attributes += QStringLiteral(" maxlength=\"%1\"").arg(s.MaxLength);
    return attributes;
}

// The control of one column on the add/edit form.
QString control(const SiteColumn& c) {
    const ColumnSettings& s = *c.settings;
    const QString id = QStringLiteral("f%1").arg(c.index);
    const QString value = QStringLiteral("<%= ow_html(ow_values[%1]) %>").arg(c.index);
    const bool textual = c.kind == ValueKind::Text || c.kind == ValueKind::Memo;
    const QString required = s.Required ? QStringLiteral(" required") : QString();
    switch (c.editType) {
    case EditTextArea:
        return QStringLiteral("<textarea id=\"%1\" name=\"%1\" cols=\"%2\" rows=\"5\"%3%4>%5"
                              "</textarea>")
            .arg(id)
            .arg(s.FieldWidth > 0 ? s.FieldWidth : 30)
            .arg(textual && s.MaxLength > 0 ? QStringLiteral(" maxlength=\"%1\"").arg(s.MaxLength)
                                            : QString(),
                 required, value);
    case EditPassword:
        // A stored password is never sent back to the browser.
        return QStringLiteral("<input type=\"password\" id=\"%1\" name=\"%1\"%2 "
                              "autocomplete=\"new-password\" value=\"\">"
                              "<% if (ow_mode == \"edit\") { %><span class=\"ow-hint\">Leave empty "
                              "to keep the current password.</span><% } %>")
            .arg(id, sizeAttributes(s, true));
    case EditHidden:
        return QStringLiteral("<input type=\"hidden\" id=\"%1\" name=\"%1\" value=\"%2\">")
            .arg(id, value);
    case EditRadio:
        return QStringLiteral("<span id=\"%1\" class=\"ow-choices\"><%= ow_radioButtons(%2, "
                              "ow_values[%2], ow_db) %></span>")
            .arg(id)
            .arg(c.index);
    case EditCheckbox:
        return QStringLiteral("<input type=\"checkbox\" id=\"%1\" name=\"%1\" value=\"1\"<%= "
                              "ow_isTrue(ow_values[%2]) ? \" checked\" : \"\" %>>")
            .arg(id)
            .arg(c.index);
    case EditDate:
        return QStringLiteral("<input type=\"text\" id=\"%1\" name=\"%1\"%2 placeholder=\"%3\" "
                              "value=\"%4\"%5><span class=\"ow-hint\">%3</span>")
            .arg(id, sizeAttributes(s, false), datePattern(c.dateType), value, required);
    case EditLookup:
        return QStringLiteral("<select id=\"%1\" name=\"%1\"%2><%= ow_selectOptions(%3, "
                              "ow_values[%3], ow_db, %4) %></select>")
            .arg(id, required)
            .arg(c.index)
            .arg(s.Required ? QStringLiteral("false") : QStringLiteral("true"));
    case EditReadonly:
        return QStringLiteral("<span id=\"%1\" class=\"ow-readonly\"><%= "
                              "ow_html(OW_FORMAT[%2](ow_values[%2], ow_db)) %></span>")
            .arg(id)
            .arg(c.index);
    default:
        return QStringLiteral("<input type=\"text\" id=\"%1\" name=\"%1\"%2 value=\"%3\"%4>")
            .arg(id, sizeAttributes(s, textual), value, required);
    }
}

QString formRow(const SiteColumn& c) {
    if (c.editType == EditHidden)
        return control(c) + QLatin1Char('\n');
    const QString mark = c.settings->Required && c.sendsValue() && c.editType != EditCheckbox
                             ? QStringLiteral("<span class=\"ow-required\" title=\"required\"> "
                                              "*</span>")
                             : QString();
    const QString label = c.editType == EditRadio || c.editType == EditReadonly
                              ? htmlText(caption(c, false))
                              : QStringLiteral("<label for=\"f%1\">%2</label>")
                                    .arg(c.index)
                                    .arg(htmlText(caption(c, false)));
    return QStringLiteral("<tr>\n<th class=\"%1\">%2%3</th>\n<td class=\"%4\">%5 <span "
                          "class=\"ow-error\" id=\"e-f%6\"><%= ow_html(ow_errors[%6]) "
                          "%></span></td>\n</tr>\n")
        .arg(formatClasses(c, false), label, mark,
             formatClasses(c, false).section(QLatin1Char(' '), 0, 0), control(c),
             QString::number(c.index));
}

// Reads one column from the posted form and checks it.
QString readColumn(const SiteColumn& c) {
    const QString i = QString::number(c.index);
    QString code;
    if (c.editType == EditCheckbox) {
        code += QStringLiteral("    ow_values[%1] = ow_f(\"f%1\") != \"\" ? \"1\" : \"0\";\n"
                               "    ow_pairs.push({ column: %1, value: ow_typedValue(%1, "
                               "ow_values[%1]) });\n")
                    .arg(i);
        return code;
    }
    const bool password = c.editType == EditPassword;
    code += QStringLiteral("    ow_values[%1] = ow_f(\"f%1\");\n").arg(i);
    code += QStringLiteral("    ow_errors[%1] = OW_CHECK[%1](ow_values[%1], %2);\n")
                .arg(i, password ? QStringLiteral("ow_mode == \"edit\"") : QStringLiteral("false"));
    if (c.lookup.kind != Lookup::Kind::None)
        code += QStringLiteral("    if (ow_errors[%1] == \"\" && ow_trimmed(ow_values[%1]) != \"\" "
                               "&& !ow_isOption(%1, ow_values[%1], ow_db))\n"
                               "        ow_errors[%1] = %2;\n")
                    .arg(i, jsString(caption(c, false) +
                                     QStringLiteral(": choose one of the offered values.")));
    code += QStringLiteral("    if (ow_errors[%1] == \"\" && typeof ow_typedValue(%1, "
                           "ow_values[%1]) == \"undefined\")\n"
                           "        ow_errors[%1] = %2;\n")
                .arg(i, jsString(caption(c, false) +
                                 QStringLiteral(" has a value of the wrong kind.")));
    if (password)
        code += QStringLiteral("    if (ow_errors[%1] == \"\" && !(ow_mode == \"edit\" && "
                               "ow_trimmed(ow_values[%1]) == \"\"))\n")
                    .arg(i);
    else
        code += QStringLiteral("    if (ow_errors[%1] == \"\")\n").arg(i);
    code += QStringLiteral("        ow_pairs.push({ column: %1, value: ow_typedValue(%1, "
                           "ow_values[%1]) });\n")
                .arg(i);
    if (password)
        code += QStringLiteral("    ow_values[%1] = \"\";\n").arg(i);
    return code;
}

} // namespace

QByteArray editPage(const SitePlan& plan, const Frame& frame) {
    QString code = QStringLiteral("ow_begin();\n"
                                  "ow_requireLogin(\"edit\");\n"
                                  "var ow_db = ow_open();\n"
                                  "var ow_keys = ow_requestKeys(ow_isPost() ? ow_f : ow_q);\n"
                                  "// A request that names a record is about that record: a key "
                                  "that does not\n// convert names none, and never a new one.\n"
                                  "var ow_mode = ow_keys === null && !ow_namesRecord(ow_isPost() ? "
                                  "ow_f : ow_q) ? \"add\" : \"edit\";\n"
                                  "var ow_allowed = ow_mode == \"add\" ? OW_FEATURES.add : "
                                  "OW_FEATURES.edit;\n"
                                  "var ow_values = [], ow_errors = [], ow_problem = \"\", "
                                  "ow_pairs = [];\n"
                                  "for (var ow_i = 0; ow_i < OW_COLUMNS.length; ow_i++) {\n"
                                  "    ow_values.push(\"\");\n"
                                  "    ow_errors.push(\"\");\n"
                                  "}\n");
    code +=
        QStringLiteral("if (!ow_allowed) {\n"
                       "    Response.Status = \"403 Forbidden\";\n"
                       "    ow_problem = ow_mode == \"add\" ? \"Records cannot be added here.\" "
                       ": \"Records cannot be edited here.\";\n"
                       "} else if (ow_mode == \"edit\" && ow_keys === null) {\n"
                       "    Response.Status = \"404 Not Found\";\n"
                       "    ow_problem = \"The record no longer exists.\";\n"
                       "    ow_allowed = false;\n"
                       "} else if (ow_isPost()) {\n"
                       "    // Changes come only by POST with the session's token.\n"
                       "    if (!ow_checkedPost()) {\n"
                       "        Response.Status = \"403 Forbidden\";\n"
                       "        ow_problem = \"The form has expired; please send it again.\";\n"
                       "    } else if (ow_mode == \"edit\" && !ow_exists(ow_db, ow_keys)) {\n"
                       "        Response.Status = \"404 Not Found\";\n"
                       "        ow_problem = \"The record no longer exists.\";\n"
                       "        ow_allowed = false;\n"
                       "    } else {\n"
                       "        ow_save();\n"
                       "    }\n"
                       "} else if (ow_mode == \"edit\") {\n"
                       "    var ow_rs = ow_rows(ow_db, ow_recordQuery(ow_keys));\n"
                       "    if (ow_rs.EOF) {\n"
                       "        Response.Status = \"404 Not Found\";\n"
                       "        ow_problem = \"The record no longer exists.\";\n"
                       "        ow_allowed = false;\n"
                       "    } else {\n"
                       "        for (var ow_j = 0; ow_j < OW_COLUMNS.length; ow_j++)\n"
                       "            ow_values[ow_j] = OW_COLUMNS[ow_j].editType == 3 ? \"\" : "
                       "ow_editText(ow_j, ow_field(ow_rs, ow_j));\n"
                       "    }\n"
                       "    ow_rs.Close();\n"
                       "} else {\n");
    for (const SiteColumn& c : plan.columns) {
        if (!c.settings->DefaultValue.isEmpty() && c.editType != EditPassword)
            code += QStringLiteral("    ow_values[%1] = %2;\n")
                        .arg(c.index)
                        .arg(jsString(c.settings->DefaultValue));
    }
    code += QStringLiteral("}\n\n");

    code += QStringLiteral("// Reads and checks the form; stores the record when every value "
                           "passed.\nfunction ow_save() {\n");
    for (const SiteColumn& c : plan.columns) {
        // A hidden field holds what the site's owner fixed: what a visitor
        // posts for it is never read, so editing the form cannot change it.
        if (c.sendsValue() && c.editType != EditHidden) {
            code += readColumn(c);
        } else if (!c.settings->DefaultValue.isEmpty() && !c.key) {
            // A column the form does not take takes its default value in a new
            // record, and keeps its stored value when the record is edited.
            code += QStringLiteral("    if (ow_mode == \"add\") ow_pairs.push({ column: %1, value: "
                                   "ow_typedValue(%1, %2) });\n")
                        .arg(c.index)
                        .arg(jsString(c.settings->DefaultValue));
        }
    }
    code += QStringLiteral("    for (var i = 0; i < ow_errors.length; i++)\n"
                           "        if (ow_errors[i] != \"\") return;\n"
                           "    if (ow_pairs.length == 0) return;\n"
                           "    if (ow_mode == \"add\") ow_run(ow_db, ow_insertQuery(ow_pairs));\n"
                           "    else ow_run(ow_db, ow_updateQuery(ow_pairs, ow_keys));\n"
                           "    ow_db.Close();\n"
                           "    Response.Redirect(OW_PAGES.index + \"?m=\" + (ow_mode == \"add\" ? "
                           "\"added\" : \"saved\"));\n"
                           "}\n");

    QString body = QStringLiteral("<div class=\"ow-page\">\n<h1><%= ow_mode == \"add\" ? \"Add a "
                                  "record\" : \"Edit a record\" %> - %1</h1>\n")
                       .arg(htmlText(plan.table));
    body += QStringLiteral("<%= ow_logoutForm() %>\n");
    body += QStringLiteral("<% if (ow_problem != \"\") { %><div class=\"ow-problem\"><%= "
                           "ow_html(ow_problem) %></div><% } %>\n");
    body += QStringLiteral("<% if (ow_allowed) { %>\n");
    body += QStringLiteral("<form id=\"ow-edit-form\" method=\"post\" action=\"%1\" "
                           "novalidate>\n<%= ow_tokenField() %>\n"
                           "<input type=\"hidden\" name=\"ow_mode\" value=\"<%= ow_html(ow_mode) "
                           "%>\">\n")
                .arg(link(plan.files.edit));
    body +=
        QStringLiteral("<% if (ow_mode == \"edit\") { for (var ow_k = 0; ow_k < OW_KEYS.length; "
                       "ow_k++) { %><input type=\"hidden\" name=\"k<%= ow_k %>\" value=\"<%= "
                       "ow_html(ow_keyText(ow_keys[ow_k], OW_KEYS[ow_k])) %>\"><% } } %>\n");
    body += QStringLiteral("<table class=\"ow-form\">\n<tbody>\n");
    for (const SiteColumn& c : plan.columns) {
        if (c.settings->EditDisplay)
            body += formRow(c);
    }
    body +=
        QStringLiteral("</tbody>\n</table>\n<div class=\"ow-buttons\"><button type=\"submit\">Save"
                       "</button> <a href=\"%1\">Cancel</a></div>\n</form>\n<% } %>\n")
            .arg(link(plan.files.index));
    body += QStringLiteral("</div>\n<script src=\"%1\"></script>\n")
                .arg(link(plan.files.validationScript));

    QString page = pagetext::directiveAndIncludes(plan);
    page += QStringLiteral("<%\n") + code + QStringLiteral("%>");
    page += frame.wrap(plan.table + QStringLiteral(" - Add or edit"), body, plan.files);
    page += QStringLiteral("<%\now_db.Close();\n%>\n");
    return pagetext::finish(page);
}

QByteArray searchPage(const SitePlan& plan, const Frame& frame) {
    QString body = QStringLiteral("<div class=\"ow-page\">\n<h1>Advanced search - %1</h1>\n")
                       .arg(htmlText(plan.table));
    body += QStringLiteral("<%= ow_logoutForm() %>\n");
    body += QStringLiteral("<form class=\"ow-search\" method=\"get\" action=\"%1\">\n<table "
                           "class=\"ow-form\">\n<tbody>\n")
                .arg(link(plan.files.index));
    for (const SiteColumn& c : plan.columns) {
        if (!c.settings->InAdvancedSearch)
            continue;
        const QString i = QString::number(c.index);
        body += QStringLiteral("<tr>\n<th class=\"%1\"><label for=\"a%2v\">%3</label></th>\n<td>")
                    .arg(formatClasses(c, false), i, htmlText(caption(c, false)));
        switch (c.kind) {
        case ValueKind::Boolean:
            body += QStringLiteral("<input type=\"hidden\" name=\"a%1o\" value=\"eq\"><select "
                                   "id=\"a%1v\" name=\"a%1v\"><option value=\"\"></option><option "
                                   "value=\"1\">Yes</option><option value=\"0\">No</option>"
                                   "</select>")
                        .arg(i);
            break;
        case ValueKind::Text:
        case ValueKind::Memo:
            body += QStringLiteral("<select name=\"a%1o\" aria-label=\"How\"><option "
                                   "value=\"contains\">contains</option><option "
                                   "value=\"starts\">starts with</option><option "
                                   "value=\"eq\">is</option><option value=\"ne\">is not</option>"
                                   "</select> <input type=\"text\" id=\"a%1v\" name=\"a%1v\" "
                                   "size=\"30\">")
                        .arg(i);
            break;
        default:
            body += QStringLiteral("<select name=\"a%1o\" aria-label=\"How\"><option "
                                   "value=\"eq\">=</option><option value=\"ne\">&lt;&gt;</option>"
                                   "<option value=\"lt\">&lt;</option><option "
                                   "value=\"le\">&lt;=</option><option value=\"gt\">&gt;</option>"
                                   "<option value=\"ge\">&gt;=</option></select> <input "
                                   "type=\"text\" id=\"a%1v\" name=\"a%1v\" size=\"20\">")
                        .arg(i);
            if (c.kind == ValueKind::Date)
                body += QStringLiteral("<span class=\"ow-hint\">%1</span>")
                            .arg(datePattern(c.dateType));
            break;
        }
        body += QStringLiteral("</td>\n</tr>\n");
    }
    body +=
        QStringLiteral("</tbody>\n</table>\n<div class=\"ow-buttons\"><button type=\"submit\"><img "
                       "src=\"images/search.png\" alt=\"\" width=\"16\" height=\"16\"> "
                       "Search</button> <a href=\"%1\">Back to the list</a></div>\n</form>\n"
                       "</div>\n")
            .arg(link(plan.files.index));
    QString page = pagetext::directiveAndIncludes(plan);
    page += QStringLiteral("<%\now_begin();\now_requireLogin(\"search\");\n%>");
    page += frame.wrap(plan.table + QStringLiteral(" - Advanced search"), body, plan.files);
    return pagetext::finish(page);
}

QByteArray loginPage(const SitePlan& plan, const Frame& frame) {
    QString code = QStringLiteral(
        "ow_begin();\n"
        "// Where to go after logging in: a page of this site named by its role,\n"
        "// never an address taken from the request.\n"
        "var ow_role = ow_isPost() ? ow_f(\"r\") : ow_q(\"r\");\n"
        "var ow_return = ow_has(OW_PAGES, ow_role) && ow_role != \"login\" && OW_PAGES[ow_role] != "
        "\"\" ? OW_PAGES[ow_role] : OW_PAGES.index;\n"
        "var ow_problem = \"\", ow_message = \"\", ow_name = \"\";\n"
        "if (ow_isPost()) {\n"
        "    if (!ow_checkedPost()) {\n"
        "        ow_problem = \"The form has expired; please send it again.\";\n"
        "    } else if (ow_f(\"ow_action\") == \"logout\") {\n"
        "        ow_endLogin();\n"
        "        Session(\"ow_token\") = ow_newToken();\n"
        "        ow_message = \"You have logged out.\";\n"
        "    } else {\n"
        "        ow_name = ow_trimmed(ow_f(\"name\"));\n"
        "        // A new token after every attempt, so one form sent once cannot be\n"
        "        // sent again with the next guess, nor carry over a login.\n"
        "        Session(\"ow_token\") = ow_newToken();\n"
        "        if (ow_tryLogin(ow_name, ow_f(\"password\"))) {\n"
        "            ow_startLogin(ow_name);\n"
        "            Response.Redirect(ow_return);\n"
        "        }\n"
        "        ow_problem = \"The login name or password is not correct.\";\n"
        "    }\n"
        "}\n");
    QString body = QStringLiteral("<div class=\"ow-page ow-login\">\n<h1>Log in - %1</h1>\n")
                       .arg(htmlText(plan.table));
    body += QStringLiteral("<% if (ow_message != \"\") { %><div class=\"ow-message\"><%= "
                           "ow_html(ow_message) %></div><% } %>\n"
                           "<% if (ow_problem != \"\") { %><div class=\"ow-problem\"><%= "
                           "ow_html(ow_problem) %></div><% } %>\n");
    body += QStringLiteral(
                "<form method=\"post\" action=\"%1\">\n<%= ow_tokenField() %>\n"
                "<input type=\"hidden\" name=\"r\" value=\"<%= ow_html(ow_role) %>\">\n"
                "<table class=\"ow-form\">\n<tbody>\n"
                "<tr><th><label for=\"ow-name\">Login name</label></th><td><input "
                "type=\"text\" id=\"ow-name\" name=\"name\" size=\"25\" "
                "autocomplete=\"username\" value=\"<%= ow_html(ow_name) %>\"></td></tr>\n"
                "<tr><th><label for=\"ow-password\">Password</label></th><td><input "
                "type=\"password\" id=\"ow-password\" name=\"password\" size=\"25\" "
                "autocomplete=\"current-password\"></td></tr>\n"
                "</tbody>\n</table>\n<div class=\"ow-buttons\"><button type=\"submit\">Log in"
                "</button></div>\n</form>\n</div>\n")
                .arg(link(plan.files.login));
    QString page = pagetext::directiveAndIncludes(plan);
    page += QStringLiteral("<%\n") + code + QStringLiteral("%>");
    page += frame.wrap(plan.table + QStringLiteral(" - Log in"), body, plan.files);
    return pagetext::finish(page);
}

} // namespace ordwick::engine
