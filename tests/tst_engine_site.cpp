// What the engine writes: generated from projects that cover every feature,
// edit type, validation type, date type and kind of data source, then read
// with Node's own JavaScript parser and prepared against the sample SQLite
// database.
#include "generation/enginebinding.h"
#include "generation/tasklist.h"
#include "project/projectfile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>
#include <sql.h>
#include <sqlext.h>
#include <sqlite3.h>

using namespace ordwick;

namespace {

// Reads a generated site with Node: "check" parses every server page (its
// includes expanded and its text turned into the one script the server runs)
// and every browser script; "queries" and "behave" run the pure helpers of
// the included pages.
const char kHarness[] =
    R"HARNESS(// Test harness: reads a generated site with Node's own parser and runs its
// pure helpers, or runs a page. Usage: node harness.js check SITE | queries SITE PAGE |
// behave SITE PAGE | search SITE PAGE STATE | typed SITE PAGE COLUMN TEXT... |
// like SITE PAGE | run SITE PAGE QUERY [OPTIONS]
"use strict";
const fs = require("fs");
const path = require("path");
const vm = require("vm");

const [mode, site, page] = process.argv.slice(2);

function expand(file) {
    const text = fs.readFileSync(file, "latin1");
    return text.replace(/<!--\s*#include\s+(file|virtual)\s*=\s*"([^"]+)"\s*-->/gi, (m, kind, rel) => {
        const target = kind.toLowerCase() === "file" ? path.resolve(path.dirname(file), rel)
                                                     : path.join(site, rel);
        if (!fs.existsSync(target)) throw new Error(`${file}: the included file ${rel} is missing`);
        return expand(target);
    });
}

// The page as the one script the server runs: literal text written out,
// <%= %> written out, <% %> as it stands.
function toScript(text, withLiterals) {
    const out = [];
    const literals = [];
    let i = 0;
    while (i < text.length) {
        const open = text.indexOf("<%", i);
        const literal = text.slice(i, open < 0 ? text.length : open);
        if (literal) {
            literals.push(literal);
            if (withLiterals) out.push("Response.Write(" + JSON.stringify(literal) + ");");
        }
        if (open < 0) break;
        const close = text.indexOf("%>", open + 2);
        if (close < 0) throw new Error("a server block is not closed");
        const body = text.slice(open + 2, close);
        if (body.startsWith("@")) {
            if (open !== 0 || !/^@\s*Language="JScript"\s*$/.test(body))
                throw new Error("the page does not start with the JScript directive");
        } else if (body.startsWith("=")) {
            out.push("Response.Write(" + body.slice(1) + ");");
        } else {
            out.push(body.replace(/\bSession\(([^()]*)\)\s*=\s*([^;]+);/g, "Session.set($1, $2);") + "\n");
        }
        i = close + 2;
    }
    return { code: out.join("\n"), literals: literals.join("") };
}

function walk(folder) {
    let files = [];
    for (const entry of fs.readdirSync(folder, { withFileTypes: true })) {
        const full = path.join(folder, entry.name);
        if (entry.isDirectory()) files = files.concat(walk(full));
        else files.push(full);
    }
    return files.sort();
}

function compile(code, filename, errors) {
    try {
        new vm.Script(code, { filename });
        return true;
    } catch (e) {
        errors.push({ file: filename, message: String(e && e.message) });
        return false;
    }
}

function check() {
    const result = { server: [], client: [], inline: 0, errors: [], leads: {} };
    for (const file of walk(site)) {
        const rel = path.relative(site, file);
        if (rel.endsWith(".asp")) {
            try {
                const script = toScript(expand(file), true);
                if (compile(script.code, rel, result.errors)) result.server.push(rel);
                // What the page writes out as it stands: its first characters, and
                // everything for a page included by others.
                result.leads[rel] = rel.startsWith("include/") ? script.literals : script.literals.slice(0, 40);
                const inline = /<script\b([^>]*)>([\s\S]*?)<\/script>/gi;
                let m;
                while ((m = inline.exec(script.literals)) !== null) {
                    if (/\bsrc\s*=/.test(m[1]) || /\brunat\s*=/.test(m[1])) continue;
                    result.inline++;
                    compile(m[2], rel + " (inline script)", result.errors);
                }
            } catch (e) {
                result.errors.push({ file: rel, message: String(e.message) });
            }
        } else if (rel.endsWith(".js")) {
            if (compile(fs.readFileSync(file, "utf8"), rel, result.errors)) result.client.push(rel);
        }
    }
    return result;
}

// The declarations of the page's included files, run in a fresh context.
function includesOf(pageFile) {
    const text = fs.readFileSync(pageFile, "latin1");
    const context = vm.createContext({});
    const re = /<!--\s*#include\s+file\s*=\s*"([^"]+)"\s*-->/gi;
    let m;
    while ((m = re.exec(text)) !== null) {
        const target = path.resolve(path.dirname(pageFile), m[1]);
        vm.runInContext(toScript(fs.readFileSync(target, "latin1"), false).code, context, { filename: m[1] });
    }
    return context;
}

function sample(kind) {
    switch (kind) {
    case "integer": return "7";
    case "number": return "1.5";
    case "currency": return "2.50";
    case "boolean": return "1";
    case "date": return null;
    default: return "abc";
    }
}

function queries() {
    const ctx = includesOf(path.join(site, page));
    const run = (code) => vm.runInContext(code, ctx);
    const columns = run("OW_COLUMNS");
    const out = [];
    const add = (what, q) => out.push({ what, sql: q.sql, params: q.params.map((p) => p.type) });
    const state = (extra) => Object.assign({ search: "", field: -1, sort: -1, desc: false, page: 1, size: 20, advanced: [] }, extra);
    const dateText = (c) => c.dateType === 1 ? "03/31/2024" : c.dateType === 2 ? "31/03/2024" : "2024-03-31";
    const valueText = (c) => c.kind === "date" ? dateText(c) : sample(c.kind);
    ctx.ow_state_ = null;
    add("list", run("ow_listQuery")(state({})));
    for (const term of ["abc", "7", "2.5", "yes", "2024-03-31", "x' OR 1=1 --"]) {
        add("simple search " + term, run("ow_listQuery")(state({ search: term })));
        for (let i = 0; i < columns.length; i++)
            if (columns[i].simple) add("simple search in " + i, run("ow_listQuery")(state({ search: term, field: i })));
    }
    const ops = ["contains", "starts", "eq", "ne", "lt", "le", "gt", "ge"];
    const every = [];
    for (let i = 0; i < columns.length; i++) {
        add("sort " + i, run("ow_listQuery")(state({ sort: i })));
        add("sort desc " + i, run("ow_listQuery")(state({ sort: i, desc: true })));
        for (const op of ops) {
            const a = { column: i, op, value: valueText(columns[i]) };
            add("advanced " + i + " " + op, run("ow_listQuery")(state({ advanced: [a] })));
            every.push(a);
        }
    }
    add("everything", run("ow_listQuery")(state({ search: "abc", sort: 0, desc: true, advanced: every })));
    const keys = run("OW_KEYS");
    if (keys.length) {
        const keyValues = keys.map((k) => run("ow_typedValue")(k, valueText(columns[k])));
        add("record", run("ow_recordQuery")(keyValues));
        add("delete", run("ow_deleteQuery")(keyValues));
        const pairs = [];
        for (let i = 0; i < columns.length; i++)
            if (columns[i].edit) pairs.push({ column: i, value: run("ow_typedValue")(i, valueText(columns[i])) });
        add("insert", run("ow_insertQuery")(pairs));
        add("update", run("ow_updateQuery")(pairs, keyValues));
    }
    for (let i = 0; i < columns.length; i++)
        if (columns[i].lookup === "query") out.push({ what: "lookup " + i, sql: columns[i].lookupSql, params: [] });
    const login = run("OW_LOGIN");
    if (login.sql) out.push({ what: "login", sql: login.sql, params: [202] });
    return out;
}

// Behaviour of the helpers a page relies on for its safety and its checks.
function behave() {
    const ctx = includesOf(path.join(site, page));
    const run = (code) => vm.runInContext(code, ctx);
    const state = (extra) => Object.assign({ search: "", field: -1, sort: -1, desc: false, page: 1, size: 20, advanced: [] }, extra);
    const r = {};
    r.html = run("ow_html")("<b>\"Tom\" & 'Jerry'</b>");
    const hostile = run("ow_listQuery")(state({ search: "x' OR 1=1 --", sort: 999, advanced: [{ column: 0, op: "constructor", value: "1" }, { column: 0, op: "eq); DROP TABLE x; --", value: "1" }] }));
    r.hostile = { sql: hostile.sql, values: hostile.params.map((p) => p.value) };
    r.sortBadDirection = run("ow_listQuery")(state({ sort: 1, desc: "sideways" })).sql;
    r.validators = {
        creditCard: [run("ow_isCreditCard")("4111 1111 1111 1111"), run("ow_isCreditCard")("4111 1111 1111 1112"), run("ow_isCreditCard")("1234")],
        currency: [run("ow_isCurrency")("1,250.00"), run("ow_isCurrency")("$12"), run("ow_isCurrency")("12.345"), run("ow_isCurrency")("abc")],
        email: [run("ow_isEmail")("maren@harbourlights.example"), run("ow_isEmail")("no at sign"), run("ow_isEmail")("a@b")],
        number: [run("ow_isNumber")("-1.5e3"), run("ow_isNumber")("1,5")],
        password: [run("ow_isPassword")("harbour24x"), run("ow_isPassword")("short1"), run("ow_isPassword")("lettersonly")],
        phone: [run("ow_isPhone")("+47 55 12 34 56"), run("ow_isPhone")("call me")],
        zip: [run("ow_isZip")("SW1A 1AA"), run("ow_isZip")("12345-6789"), run("ow_isZip")("1"), run("ow_isZip")("a_b")],
        dates: [0, 1, 2].map((t) => [run("ow_parseDate")("2024-03-31", t) !== null, run("ow_parseDate")("03/31/2024", t) !== null, run("ow_parseDate")("31/03/2024", t) !== null, run("ow_parseDate")("2024-02-30", t) !== null])
    };
    const columns = run("OW_COLUMNS");
    r.checks = [];
    for (let i = 0; i < columns.length; i++)
        r.checks.push({ name: columns[i].name, empty: run("OW_CHECK")[i]("", false), junk: run("OW_CHECK")[i]("x#?", false) });
    r.csv = [run("ow_csvField")("=SUM(A1)"), run("ow_csvField")("a,\"b\"")];
    return r;
}

// A value as the C++ side binds it: dates as their local date and time.
function plain(v) {
    if (v instanceof Date) {
        const p = (n, w) => String(n).padStart(w || 2, "0");
        return { date: `${p(v.getFullYear(), 4)}-${p(v.getMonth() + 1)}-${p(v.getDate())} ${p(v.getHours())}:${p(v.getMinutes())}:${p(v.getSeconds())}` };
    }
    return v === undefined ? "undefined" : v;
}

// The list query of a state given as JSON, with its parameters' types and values.
function search() {
    const ctx = includesOf(path.join(site, page));
    const state = Object.assign({ search: "", field: -1, sort: -1, desc: false, page: 1, size: 20, advanced: [] },
                                JSON.parse(process.argv[5]));
    const q = vm.runInContext("ow_listQuery", ctx)(state);
    return { sql: q.sql, params: q.params.map((p) => ({ type: p.type, value: plain(p.value) })), problems: q.problems };
}

// ow_typedValue of a column for each text.
function typed() {
    const ctx = includesOf(path.join(site, page));
    const column = Number(process.argv[5]);
    return process.argv.slice(6).map((t) => plain(vm.runInContext("ow_typedValue", ctx)(column, t)));
}

// Runs a page as the server would, in a host of its own: the request's query
// string, a session, the response collected as bytes, and ADO over the site's
// SQLite database through the sqlite3 program. Parameters reach SQLite the way
// the SQLite ODBC driver hands them over (dates as "yyyy-mm-dd hh:mm:ss.000"),
// and ADO's own checks of a parameter's value apply.
function runPage() {
    const { execFileSync } = require("child_process");
    const query = new URLSearchParams(process.argv[5] || "");
    const options = JSON.parse(process.argv[6] || "{}");
    const session = Object.assign({}, options.session || {});
    const response = { status: "200 OK", contentType: "text/html", headers: {}, chunks: [], ended: false };
    class End extends Error {}
    const collection = (values) => ({ Count: values.length, Item: (i) => values[i - 1] });
    const pad = (n, w) => String(n).padStart(w || 2, "0");
    const literal = (v) => {
        if (v === null || v === undefined) return "NULL";
        if (v instanceof Date)
            return `'${pad(v.getFullYear(), 4)}-${pad(v.getMonth() + 1)}-${pad(v.getDate())} ${pad(v.getHours())}:${pad(v.getMinutes())}:${pad(v.getSeconds())}.000'`;
        if (typeof v === "boolean") return v ? "1" : "0";
        if (typeof v === "number") return String(v);
        return "'" + String(v).replace(/'/g, "''") + "'";
    };
    const bind = (sql, params) => {
        let out = "", n = 0;
        for (let i = 0; i < sql.length; i++) {
            const ch = sql[i];
            const close = ch === "'" ? "'" : ch === "\"" ? "\"" : ch === "[" ? "]" : null;
            if (close) {
                const end = sql.indexOf(close, i + 1);
                out += sql.slice(i, end + 1);
                i = end;
            } else if (ch === "?") {
                out += literal(params[n++].Value);
            } else {
                out += ch;
            }
        }
        return out;
    };
    const execute = (database, sql) => {
        const text = execFileSync("sqlite3", ["-json", database], { input: sql + ";\n", encoding: "utf8" });
        return text.trim() === "" ? [] : JSON.parse(text);
    };
    // ADO refuses a value its parameter type cannot hold.
    const checkParameter = (type, value) => {
        const wrong = () => { throw new Error("Application uses a value of the wrong type for the current operation."); };
        if (value === null || typeof value !== "number") return;
        if (type === 3 && (value > 2147483647 || value < -2147483648)) wrong();
        if (type === 6 && Math.abs(value) > 922337203685477.5807) wrong();
        if (!isFinite(value)) wrong();
    };
    const host = {
        Response: {
            set Buffer(v) {}, set CodePage(v) {}, set CharSet(v) {}, set CacheControl(v) {},
            set Status(v) { response.status = v; }, get Status() { return response.status; },
            set ContentType(v) { response.contentType = v; },
            AddHeader(name, value) { response.headers[name] = String(value); },
            Write(text) { response.chunks.push(String(text)); },
            Clear() { response.chunks = []; },
            End() { throw new End(); },
            Redirect(url) { response.status = "302 Object moved"; response.headers.Location = url; throw new End(); }
        },
        Request: {
            QueryString: (name) => collection(query.getAll(name)),
            Form: () => collection([]),
            ServerVariables: (name) => (name === "REQUEST_METHOD" ? "GET" : name === "HTTPS" && options.https ? "on" : ""),
            Cookies: Object.assign((name) => (options.cookies || {})[name] || "",
                { names: () => Object.keys(options.cookies || {}) })
        },
        Session: Object.assign((name) => session[name], {
            set: (name, value) => { session[name] = value; },
            Contents: { Remove: (name) => { delete session[name]; } }
        }),
        Server: {
            MapPath: (p) => path.join(site, p),
            CreateObject(progId) {
                if ((options.refuse || []).includes(progId)) throw new Error("Server.CreateObject Failed");
                if (progId === "Scriptlet.TypeLib") return { Guid: "{" + require("crypto").randomUUID().toUpperCase() + "}" };
                if (progId === "ADODB.Connection") {
                    const c = { database: "" };
                    c.Open = (text) => { c.database = /Database=([^;]*)/i.exec(text)[1].trim(); };
                    c.Close = () => {};
                    return c;
                }
                if (progId === "ADODB.Command") {
                    const parameters = [];
                    return {
                        ActiveConnection: null, CommandText: "", CommandType: 1,
                        Parameters: { Append: (p) => parameters.push(p) },
                        CreateParameter(name, type, direction, size, value) {
                            checkParameter(type, value);
                            return { Type: type, Value: value };
                        },
                        Execute() { execute(this.ActiveConnection.database, bind(this.CommandText, parameters)); },
                        boundSql() { return bind(this.CommandText, parameters); }
                    };
                }
                if (progId === "ADODB.Recordset") {
                    const rs = { rows: [], at: 0, PageSize: 10 };
                    rs.Open = (cmd) => { rs.rows = execute(cmd.ActiveConnection.database, cmd.boundSql()); rs.at = 0; };
                    Object.defineProperty(rs, "EOF", { get: () => rs.at >= rs.rows.length });
                    Object.defineProperty(rs, "RecordCount", { get: () => rs.rows.length });
                    Object.defineProperty(rs, "AbsolutePage", { set: (p) => { rs.at = (p - 1) * rs.PageSize; } });
                    rs.MoveNext = () => { rs.at++; };
                    rs.Close = () => {};
                    rs.Fields = {
                        get Count() { return rs.rows.length ? Object.keys(rs.rows[rs.at]).length : 0; },
                        Item: (key) => {
                            const row = rs.rows[rs.at];
                            const name = typeof key === "number" ? Object.keys(row)[key] : key;
                            return { Value: row[name] };
                        }
                    };
                    return rs;
                }
                throw new Error("Server.CreateObject Failed: " + progId);
            }
        }
    };
    const context = vm.createContext(host);
    vm.runInContext("Date.prototype.getVarDate = function () { return this; };", context);
    // JScript's Enumerator, over the one collection the pages enumerate.
    context.Enumerator = function (collection) {
        const names = collection.names();
        let at = 0;
        return { atEnd: () => at >= names.length, item: () => names[at], moveNext: () => { at++; } };
    };
    let error = "";
    try {
        vm.runInContext(toScript(expand(path.join(site, page)), true).code, context, { filename: page });
    } catch (e) {
        if (!(e instanceof End) && !(e && e.constructor && e.constructor.name === "End")) {
            error = String(e && e.message);
            response.status = "500 Internal Server Error";
        }
    }
    return {
        status: response.status, contentType: response.contentType, headers: response.headers, error,
        body: Buffer.from(response.chunks.join(""), "utf8").toString("base64")
    };
}

// ow_likeText and the LIKE condition under each way a source escapes.
function like() {
    const ctx = includesOf(path.join(site, page));
    return ["brackets", "escape-classes", "escape"].map((style) => {
        vm.runInContext("OW_DIALECT.like = " + JSON.stringify(style), ctx);
        return { style, text: vm.runInContext("ow_likeText", ctx)("a%b_c[d]!e*f?g#h"),
                 sql: vm.runInContext("ow_condition", ctx)(1, "contains", "x", []) };
    });
}

// One page of the list under each way a source pages, and its count.
function paging() {
    const ctx = includesOf(path.join(site, page));
    const state = { search: "", field: -1, sort: 1, desc: true, page: 3, size: 20, advanced: [] };
    const out = [];
    for (const style of ["limit", "rownumber", "top", "cursor"]) {
        vm.runInContext("OW_PAGING = " + JSON.stringify({ style }), ctx);
        const q = vm.runInContext("ow_pageQuery", ctx)(vm.runInContext("ow_listQuery", ctx)(state), 3, 20);
        out.push({ style, sql: q.sql, skip: q.skip });
    }
    // No order at all: the numbering follows the key.
    vm.runInContext("OW_INITIAL_ORDER = []; OW_PAGING = { style: \"rownumber\" }", ctx);
    const unordered = Object.assign({}, state, { sort: -1, search: "a" });
    const q = vm.runInContext("ow_listQuery", ctx)(unordered);
    out.push({ style: "rownumber, unordered", sql: vm.runInContext("ow_pageQuery", ctx)(q, 1, 10).sql });
    out.push({ style: "count", sql: vm.runInContext("ow_countQuery", ctx)(q).sql });
    // The last of 50 rows' pages, read from the end.
    for (const style of ["limit", "rownumber", "top"]) {
        vm.runInContext("OW_PAGING = " + JSON.stringify({ style }), ctx);
        const tail = vm.runInContext("ow_pageQuery", ctx)(vm.runInContext("ow_listQuery", ctx)(state), 3, 20, 0, 50);
        out.push({ style, sql: tail.sql, skip: tail.skip });
    }
    return out;
}

const modes = { check, queries, behave, search, typed, like, paging, run: runPage };
process.stdout.write(JSON.stringify(modes[mode]()));
)HARNESS";

struct Report {
    QString module;
    QString description;
    int number = 0;
};

ColumnSettings col(const QString& name, int dataType, int position, int editType = 1,
                   int validation = 0, const QString& details = {}, bool required = false) {
    ColumnSettings c;
    c.ColumnName = name;
    c.DataType = dataType;
    c.Position = position;
    c.ListCaption = name;
    c.EditCaption = name;
    c.MaxLength = 60;
    c.FieldWidth = 30;
    c.EditType = editType;
    c.ValidationType = validation;
    c.Details = details;
    c.Required = required;
    return c;
}

QString sample() {
    return QStringLiteral(ORDWICK_SAMPLE_DATABASE);
}

Project sqliteProject(const QString& table) {
    Project p;
    p.DatasourceStatus = DatasourceFile;
    p.DatasourceType = 7;
    p.DatabaseName = sample();
    p.ConnectionString = QStringLiteral("Driver={SQLite3}; Database=") + sample();
    p.TableName = table;
    return p;
}

// Customers: every feature, the Harbour template, a fixed login, renamed pages.
Project customersProject() {
    Project p = sqliteProject(QStringLiteral("Customers"));
    p.EnableAppend = p.EditAs = p.EnableDelete = true;
    p.SimpleSearch = p.AdvancedSearch = p.InitialSort = p.PageSupport = true;
    p.LoginPage = true;
    p.CodeLoginName = QStringLiteral("admin");
    p.CodeLoginPassword = QStringLiteral("se\"cret<%");
    p.PrinterFriendlyVersion = p.ExportOption = p.RecordsPerPage = true;
    p.RecordsPerPageID = 5;
    p.SortColumnBy = true;
    p.SortColumnID = QStringLiteral("CountryCode|0;CompanyName|1;");
    p.ShowMoreLink = true;
    p.ShowMoreLinkID = 12;
    p.SelectedTemplate = QStringLiteral("Harbour");
    p.UniqueKey = {QStringLiteral("CustomerID")};
    ColumnSettings id = col(QStringLiteral("CustomerID"), 1, 1, 9);
    ColumnSettings company = col(QStringLiteral("CompanyName"), 4, 2, 1, 0, {}, true);
    company.ListBold = true;
    company.ListCaption = QStringLiteral("Company & Caf\u00e9 <name>");
    ColumnSettings contact = col(QStringLiteral("ContactName"), 4, 3, 0, 7);
    ColumnSettings email = col(QStringLiteral("Email"), 4, 4, 1, 4);
    email.ListItalic = email.ListUnderline = true;
    ColumnSettings website = col(QStringLiteral("Website"), 4, 5, 3, 6);
    ColumnSettings country = col(QStringLiteral("CountryCode"), 4, 6, 5, 0,
                                 QStringLiteral("NO, GB, FR, DE, JP, US, ES, FI, NL, AU"), true);
    country.ListAlignment = 1;
    ColumnSettings credit = col(QStringLiteral("CreditLimit"), 7, 7, 1, 2);
    credit.ListAlignment = 2;
    credit.EditAlignment = 2;
    credit.EditBold = true;
    ColumnSettings notes = col(QStringLiteral("Notes"), 5, 8, 2);
    notes.MaxLength = 500;
    notes.InSimpleSearch = false;
    ColumnSettings created =
        col(QStringLiteral("CreatedAt"), 8, 9, 7, 3, QStringLiteral("2"), true);
    created.DefaultValue = QStringLiteral("01/01/2024");
    p.Columns = {id, company, contact, email, website, country, credit, notes, created};
    p.Rename = {QStringLiteral("customers_index.asp;clients.asp"),
                QStringLiteral("customers_edit.asp;clients_form.asp"),
                QStringLiteral("customers_variables.asp;settings.asp"),
                QStringLiteral("customers_search.asp;customers_search.asp")};
    return p;
}

// Orders: lookups from queries, the three date types, a login table, no
// template, a typed connection string.
Project ordersProject() {
    Project p = sqliteProject(QStringLiteral("Orders"));
    p.DatasourceStatus = DatasourceConnection;
    p.EnableAppend = p.EditAs = true;
    p.AdvancedSearch = true;
    p.SimpleSearch = true;
    p.PageSupport = false;
    p.LoginPage = true;
    p.DynamicStaticLogin = true;
    p.DynamicTable = QStringLiteral("Users");
    p.DynamicLoginName = QStringLiteral("LoginName");
    p.DynamicLoginPassword = QStringLiteral("Password");
    p.SelectedTemplate = QStringLiteral("no template");
    p.UniqueKey = {QStringLiteral("OrderID")};
    ColumnSettings order = col(QStringLiteral("OrderID"), 1, 1, 1, 0, {}, true);
    ColumnSettings customer = col(QStringLiteral("CustomerID"), 1, 2, 8, 0,
                                  QStringLiteral("SELECT CustomerID, CompanyName FROM Customers "
                                                 "ORDER BY CompanyName ASC"),
                                  true);
    ColumnSettings date = col(QStringLiteral("OrderDate"), 8, 3, 7, 0, QStringLiteral("1"), true);
    ColumnSettings delivery = col(QStringLiteral("DeliveryTime"), 8, 4, 7, 0, QStringLiteral("0"));
    ColumnSettings shipped = col(QStringLiteral("ShippedAt"), 8, 5, 9);
    ColumnSettings freight = col(QStringLiteral("Freight"), 7, 6, 1, 5);
    ColumnSettings city = col(QStringLiteral("ShipCity"), 4, 7, 5, 0,
                              QStringLiteral("SELECT ShipCity FROM Orders ORDER BY ShipCity"));
    ColumnSettings reference = col(QStringLiteral("Reference"), 4, 8, 4, 1);
    reference.DefaultValue = QStringLiteral("4111 1111 1111 1111");
    p.Columns = {order, customer, date, delivery, shipped, freight, city, reference};
    p.SQLString = QStringLiteral("SELECT [OrderID], [CustomerID], [OrderDate], [DeliveryTime], "
                                 "[ShippedAt], [Freight], [ShipCity], [Reference] FROM  [Orders]");
    p.SQLWhereString = QStringLiteral("WHERE Freight > 0");
    return p;
}

// Products: the database left where it is, defaults elsewhere, a checkbox,
// a static lookup and the default controls.
Project productsProject() {
    Project p = sqliteProject(QStringLiteral("Products"));
    p.CopyDatabase = false;
    p.EditAs = true;
    p.EnableDelete = true;
    p.InitialSort = true;
    p.UniqueKey = {QStringLiteral("ProductID")};
    ColumnSettings barcode = col(QStringLiteral("Barcode"), 1, 3, 1, 8);
    p.Columns = {col(QStringLiteral("ProductID"), 1, 1, 1, 0, {}, true),
                 col(QStringLiteral("ProductName"), 4, 2, 1, 0, {}, true),
                 barcode,
                 col(QStringLiteral("UnitsInStock"), 1, 4, 8, 0, QStringLiteral("0, 10, 20")),
                 col(QStringLiteral("Rating"), 1, 5, 5, 0, QStringLiteral("1, 2, 3, 4, 5")),
                 col(QStringLiteral("UnitPrice"), 7, 6, 1, 2, {}, true),
                 col(QStringLiteral("WeightKg"), 2, 7, 0),
                 col(QStringLiteral("VolumeLitres"), 3, 8, 0),
                 col(QStringLiteral("Discontinued"), 6, 9, 6),
                 col(QStringLiteral("Description"), 5, 10, 0)};
    return p;
}

// "Order Details": a key of two columns and names with blanks, through a DSN.
Project orderDetailsProject() {
    Project p = sqliteProject(QStringLiteral("Order Details"));
    p.DatasourceStatus = DatasourceDsn;
    p.DatabaseName = QStringLiteral("ShopNowhere");
    p.ConnectionString = QStringLiteral("DSN=ShopNowhere; UID=; PWD=");
    p.EnableAppend = p.EditAs = p.EnableDelete = true;
    p.ExportOption = true;
    p.UniqueKey = {QStringLiteral("OrderID"), QStringLiteral("ProductID")};
    p.Columns = {col(QStringLiteral("OrderID"), 1, 1, 1, 0, {}, true),
                 col(QStringLiteral("ProductID"), 1, 2, 1, 0, {}, true),
                 col(QStringLiteral("Unit Price"), 7, 3, 1, 2, {}, true),
                 col(QStringLiteral("Quantity"), 1, 4), col(QStringLiteral("Discount"), 2, 5)};
    return p;
}

QString readText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Copies the sample database and runs the statements on the copy.
QString sampleCopy(const QString& path, const QStringList& statements) {
    QFile::remove(path);
    if (!QFile::copy(sample(), path))
        return {};
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    for (const QString& statement : statements) {
        if (sqlite3_exec(db, statement.toUtf8().constData(), nullptr, nullptr, nullptr) !=
            SQLITE_OK) {
            qWarning("%s: %s", qPrintable(statement), sqlite3_errmsg(db));
            sqlite3_close(db);
            return {};
        }
    }
    sqlite3_close(db);
    return path;
}

// The first column of the rows a list query finds on a SQLite database, its
// parameters bound as the SQLite ODBC driver binds them (a date as
// "yyyy-mm-dd hh:mm:ss.000" text), in ascending order.
QList<qint64> sqliteRows(const QString& path, const QJsonObject& query) {
    QList<qint64> ids;
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    const QByteArray sql = query.value(QStringLiteral("sql")).toString().toUtf8();
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &statement, nullptr) != SQLITE_OK) {
        qWarning("%s: %s", sql.constData(), sqlite3_errmsg(db));
        sqlite3_close(db);
        return {-1};
    }
    const QJsonArray params = query.value(QStringLiteral("params")).toArray();
    for (int i = 0; i < params.size(); ++i) {
        const int type = params[i][QStringLiteral("type")].toInt();
        const QJsonValue value = params[i][QStringLiteral("value")];
        if (value.isNull())
            sqlite3_bind_null(statement, i + 1);
        else if (value.isObject())
            sqlite3_bind_text(statement, i + 1,
                              (value[QStringLiteral("date")].toString() + QStringLiteral(".000"))
                                  .toUtf8()
                                  .constData(),
                              -1, SQLITE_TRANSIENT);
        else if (type == 202 || type == 203)
            sqlite3_bind_text(statement, i + 1, value.toString().toUtf8().constData(), -1,
                              SQLITE_TRANSIENT);
        else if (type == 3 || type == 11)
            sqlite3_bind_int64(statement, i + 1, static_cast<qint64>(value.toDouble()));
        else
            sqlite3_bind_double(statement, i + 1, value.toDouble());
    }
    while (sqlite3_step(statement) == SQLITE_ROW)
        ids.append(sqlite3_column_int64(statement, 0));
    sqlite3_finalize(statement);
    sqlite3_close(db);
    std::sort(ids.begin(), ids.end());
    return ids;
}

// One ODBC connection through the driver manager, as the site's server has one.
class OdbcLink {
public:
    explicit OdbcLink(const QString& connection) {
        SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &m_environment);
        SQLSetEnvAttr(m_environment, SQL_ATTR_ODBC_VERSION,
                      reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(SQL_OV_ODBC3)), 0);
        SQLAllocHandle(SQL_HANDLE_DBC, m_environment, &m_connection);
        QByteArray text = connection.toUtf8();
        m_open = SQL_SUCCEEDED(SQLDriverConnect(m_connection, nullptr,
                                                reinterpret_cast<SQLCHAR*>(text.data()), SQL_NTS,
                                                nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT));
    }
    ~OdbcLink() {
        if (m_open)
            SQLDisconnect(m_connection);
        SQLFreeHandle(SQL_HANDLE_DBC, m_connection);
        SQLFreeHandle(SQL_HANDLE_ENV, m_environment);
    }
    OdbcLink(const OdbcLink&) = delete;
    OdbcLink& operator=(const OdbcLink&) = delete;

    bool isOpen() const { return m_open; }

    bool run(const QString& sql) {
        SQLHSTMT statement = SQL_NULL_HSTMT;
        SQLAllocHandle(SQL_HANDLE_STMT, m_connection, &statement);
        QByteArray text = sql.toUtf8();
        const bool ok = SQL_SUCCEEDED(
            SQLExecDirect(statement, reinterpret_cast<SQLCHAR*>(text.data()), SQL_NTS));
        SQLFreeHandle(SQL_HANDLE_STMT, statement);
        return ok;
    }

    // The first column of the rows a list query finds, its parameters bound
    // with the SQL types ADO gives them; in ascending order.
    QList<qint64> rows(const QJsonObject& query) {
        SQLHSTMT statement = SQL_NULL_HSTMT;
        SQLAllocHandle(SQL_HANDLE_STMT, m_connection, &statement);
        QByteArray sql = query.value(QStringLiteral("sql")).toString().toUtf8();
        QList<qint64> ids;
        if (!SQL_SUCCEEDED(
                SQLPrepare(statement, reinterpret_cast<SQLCHAR*>(sql.data()), SQL_NTS))) {
            SQLFreeHandle(SQL_HANDLE_STMT, statement);
            return {-1};
        }
        const QJsonArray params = query.value(QStringLiteral("params")).toArray();
        std::vector<QByteArray> texts(static_cast<size_t>(params.size()));
        std::vector<double> numbers(static_cast<size_t>(params.size()));
        std::vector<SQLLEN> lengths(static_cast<size_t>(params.size()));
        for (int i = 0; i < params.size(); ++i) {
            const auto at = static_cast<size_t>(i);
            const auto number = static_cast<SQLUSMALLINT>(i + 1);
            const QJsonValue value = params[i][QStringLiteral("value")];
            if (value.isObject() || value.isString()) {
                texts[at] = value.isObject() ? value[QStringLiteral("date")].toString().toUtf8()
                                             : value.toString().toUtf8();
                lengths[at] = texts[at].size();
                SQLBindParameter(statement, number, SQL_PARAM_INPUT, SQL_C_CHAR,
                                 value.isObject() ? SQL_TYPE_TIMESTAMP : SQL_VARCHAR,
                                 static_cast<SQLULEN>(std::max<qsizetype>(1, texts[at].size())), 0,
                                 texts[at].data(), lengths[at], &lengths[at]);
            } else {
                numbers[at] = value.toDouble();
                lengths[at] = sizeof(double);
                SQLBindParameter(statement, number, SQL_PARAM_INPUT, SQL_C_DOUBLE, SQL_DOUBLE, 15,
                                 0, &numbers[at], 0, &lengths[at]);
            }
        }
        if (SQL_SUCCEEDED(SQLExecute(statement))) {
            while (SQL_SUCCEEDED(SQLFetch(statement))) {
                SQLBIGINT id = 0;
                SQLLEN indicator = 0;
                SQLGetData(statement, 1, SQL_C_SBIGINT, &id, sizeof(id), &indicator);
                ids.append(static_cast<qint64>(id));
            }
        } else {
            ids.append(-1);
        }
        SQLFreeHandle(SQL_HANDLE_STMT, statement);
        std::sort(ids.begin(), ids.end());
        return ids;
    }

private:
    SQLHENV m_environment = SQL_NULL_HENV;
    SQLHDBC m_connection = SQL_NULL_HDBC;
    bool m_open = false;
};

struct Site {
    QString folder;
    Project project;
    QList<Report> reports;  // failures
    QList<Report> warnings; // the pages were written anyway
    QString index;          // the list page's file name
};

} // namespace

class EngineSiteTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_root;
    QString m_node;
    QString m_harness;
    QMap<QString, Site> m_sites;

    Site generate(const QString& name, Project project) {
        Site site;
        site.folder = m_root.filePath(name);
        project.DestinationPath = site.folder;
        site.project = project;
        const QString file = m_root.filePath(name + QStringLiteral(".pjx"));
        saveProjectFile(file, project, 10);
        GenerationEngine engine(QStringLiteral(ORDWICK_ENGINE_LIBRARY));
        QObject::connect(&engine, &GenerationEngine::failureReported,
                         [&](const QString& m, const QString& d, int n) {
                             site.reports.append({m, d, n});
                         });
        QObject::connect(&engine, &GenerationEngine::warningReported,
                         [&](const QString& m, const QString& d, int n) {
                             site.warnings.append({m, d, n});
                         });
        engine.setProjectFilePath(file);
        engine.setApplicationPath(m_root.filePath(QStringLiteral("app")));
        engine.generate();
        site.index =
            renamedPageFile(project, project.TableName.toLower() + QStringLiteral("_index.asp"));
        return site;
    }

    QJsonValue node(const QStringList& arguments) {
        QProcess process;
        process.start(m_node, QStringList{m_harness} + arguments);
        if (!process.waitForFinished(120000))
            return {};
        const QByteArray err = process.readAllStandardError();
        if (process.exitCode() != 0)
            qWarning("node: %s", err.constData());
        const QJsonDocument doc = QJsonDocument::fromJson(process.readAllStandardOutput());
        return doc.isArray() ? QJsonValue(doc.array()) : QJsonValue(doc.object());
    }

    QString page(const QString& site, const QString& file) {
        return readText(m_sites[site].folder + QLatin1Char('/') + file);
    }

    static QString describe(const QList<Report>& reports) {
        QStringList lines;
        for (const Report& r : reports)
            lines.append(r.module + QStringLiteral(": ") + r.description);
        return lines.join(QLatin1Char('\n'));
    }

    QJsonObject search(const QString& folder, const QString& file, const QString& state) {
        return node({QStringLiteral("search"), folder, file, state}).toObject();
    }

    // A page run as the server runs it; the body decoded from its bytes.
    struct Answer {
        QString status;
        QString error;
        QByteArray body;
        QJsonObject headers;
    };
    Answer run(const QString& folder, const QString& file, const QString& query,
               const QString& options) {
        const QJsonObject r =
            node({QStringLiteral("run"), folder, file, query, options}).toObject();
        return {r.value(QStringLiteral("status")).toString(),
                r.value(QStringLiteral("error")).toString(),
                QByteArray::fromBase64(r.value(QStringLiteral("body")).toString().toLatin1()),
                r.value(QStringLiteral("headers")).toObject()};
    }

    static QString states(const char* json) { return QString::fromUtf8(json); }

    static QStringList aspPages(const QString& folder) {
        QStringList pages;
        for (const QString& name : QDir(folder).entryList({QStringLiteral("*.asp")}, QDir::Files))
            pages.append(name);
        return pages;
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_root.isValid());
        m_node = QStandardPaths::findExecutable(QStringLiteral("node"));
        if (m_node.isEmpty())
            m_node = QStandardPaths::findExecutable(QStringLiteral("nodejs"));
        if (m_node.isEmpty()) {
            if (qEnvironmentVariableIsSet("CI"))
                QFAIL("Node is needed to parse the generated scripts (scripts/install-deps.sh "
                      "installs nodejs).");
            QSKIP("Node is not installed; the generated scripts cannot be parsed here.");
        }
        m_harness = m_root.filePath(QStringLiteral("harness.js"));
        QFile harness(m_harness);
        QVERIFY(harness.open(QIODevice::WriteOnly));
        harness.write(kHarness);
        harness.close();

        const QString store = m_root.filePath(QStringLiteral("app/template/Harbour/harbour"));
        QVERIFY(QDir().mkpath(store));
        QVERIFY(QFile::copy(QStringLiteral(ORDWICK_TEMPLATE_DIR "/Harbour/index.html"),
                            m_root.filePath(QStringLiteral("app/template/Harbour/index.html"))));
        QVERIFY(QFile::copy(QStringLiteral(ORDWICK_TEMPLATE_DIR "/Harbour/harbour/harbour.css"),
                            store + QStringLiteral("/harbour.css")));

        m_sites.insert(QStringLiteral("customers"),
                       generate(QStringLiteral("customers"), customersProject()));
        m_sites.insert(QStringLiteral("orders"),
                       generate(QStringLiteral("orders"), ordersProject()));
        m_sites.insert(QStringLiteral("products"),
                       generate(QStringLiteral("products"), productsProject()));
        m_sites.insert(QStringLiteral("details"),
                       generate(QStringLiteral("details"), orderDetailsProject()));
        // The customers' site once more, its copied database given hostile cells.
        m_sites.insert(QStringLiteral("exported"),
                       generate(QStringLiteral("exported"), customersProject()));
        QVERIFY(!sampleCopy(
                     m_sites[QStringLiteral("exported")].folder + QStringLiteral("/db/shop.db"),
                     {QStringLiteral("INSERT INTO Customers (CustomerID, CompanyName, ContactName, "
                                     "Email, Website, CountryCode, CreditLimit, Notes, CreatedAt) "
                                     "VALUES (201, '=HYPERLINK(\"http://evil.example\",\"x\")', "
                                     "'+1 555', '@SUM(1)', '-2+3', 'NO', -12.5, char(9) || 'Tab', "
                                     "'2024-05-05')")})
                     .isEmpty());
        for (const QString& name :
             {QStringLiteral("customers"), QStringLiteral("orders"), QStringLiteral("products")})
            QVERIFY2(m_sites[name].reports.isEmpty(), qPrintable(describe(m_sites[name].reports)));
    }

    void everyScriptParsesWithNode() {
        for (auto it = m_sites.cbegin(); it != m_sites.cend(); ++it) {
            const QJsonObject result = node({QStringLiteral("check"), it->folder}).toObject();
            QVERIFY2(!result.isEmpty(), qPrintable(it.key()));
            QVERIFY2(result.value(QStringLiteral("errors")).toArray().isEmpty(),
                     QJsonDocument(result.value(QStringLiteral("errors")).toArray())
                         .toJson()
                         .constData());
            QStringList server;
            for (const QJsonValue& v : result.value(QStringLiteral("server")).toArray())
                server.append(v.toString());
            QStringList expected = aspPages(it->folder);
            for (const QString& name :
                 QDir(it->folder + QStringLiteral("/include")).entryList({QStringLiteral("*.asp")}))
                expected.append(QStringLiteral("include/") + name);
            expected.sort();
            QCOMPARE(server, expected);
            // Nothing is written before a page's first byte: no text outside the
            // included pages' scripts, none before an export, no blank lines
            // before an HTML page.
            const QJsonObject leads = result.value(QStringLiteral("leads")).toObject();
            QCOMPARE(leads.size(), expected.size());
            for (auto lead = leads.begin(); lead != leads.end(); ++lead) {
                const QString text = lead.value().toString();
                if (lead.key().startsWith(QLatin1String("include/")) ||
                    lead.key().endsWith(QLatin1String("_export.asp")))
                    QVERIFY2(text.isEmpty(), qPrintable(lead.key() + QStringLiteral(": ") + text));
                else
                    QVERIFY2(text.startsWith(QLatin1String("<!DOCTYPE html>")),
                             qPrintable(lead.key() + QStringLiteral(": ") + text));
            }
            QStringList client;
            for (const QJsonValue& v : result.value(QStringLiteral("client")).toArray())
                client.append(v.toString());
            QVERIFY(client.contains(QStringLiteral("include/site.js")));
            const bool editing = it->project.EnableAppend || it->project.EditAs;
            QCOMPARE(client.size(), editing ? 2 : 1);
        }
    }

    void generatedSqlPreparesOnTheSampleDatabase() {
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open_v2(QFile::encodeName(sample()).constData(), &db, SQLITE_OPEN_READONLY,
                                 nullptr),
                 SQLITE_OK);
        int prepared = 0;
        for (auto it = m_sites.cbegin(); it != m_sites.cend(); ++it) {
            const QJsonArray queries =
                node({QStringLiteral("queries"), it->folder, it->index}).toArray();
            QVERIFY2(queries.size() > 20, qPrintable(it.key()));
            QSet<QString> kinds;
            for (const QJsonValue& value : queries) {
                const QJsonObject q = value.toObject();
                const QByteArray sql = q.value(QStringLiteral("sql")).toString().toUtf8();
                const QString what =
                    it.key() + QStringLiteral(" ") + q.value(QStringLiteral("what")).toString();
                kinds.insert(
                    q.value(QStringLiteral("what")).toString().section(QLatin1Char(' '), 0, 0));
                sqlite3_stmt* statement = nullptr;
                const int rc = sqlite3_prepare_v2(db, sql.constData(), -1, &statement, nullptr);
                QVERIFY2(rc == SQLITE_OK,
                         qPrintable(what + QStringLiteral(": ") + QString::fromUtf8(sql) +
                                    QStringLiteral(": ") + QString::fromUtf8(sqlite3_errmsg(db))));
                QCOMPARE(sqlite3_bind_parameter_count(statement),
                         q.value(QStringLiteral("params")).toArray().size());
                sqlite3_finalize(statement);
                ++prepared;
            }
            if (!it->project.UniqueKey.isEmpty())
                for (const QString& kind : {QStringLiteral("record"), QStringLiteral("delete"),
                                            QStringLiteral("insert"), QStringLiteral("update")})
                    QVERIFY2(kinds.contains(kind), qPrintable(it.key() + QLatin1Char(' ') + kind));
        }
        sqlite3_close(db);
        QVERIFY(prepared > 500);
    }

    void helpersKeepRequestsOutOfSqlAndCheckValues() {
        const QJsonObject r =
            node({QStringLiteral("behave"), m_sites[QStringLiteral("customers")].folder,
                  QStringLiteral("clients.asp")})
                .toObject();
        QCOMPARE(r.value(QStringLiteral("html")).toString(),
                 QStringLiteral("&lt;b&gt;&quot;Tom&quot; &amp; &#39;Jerry&#39;&lt;/b&gt;"));
        const QJsonObject hostile = r.value(QStringLiteral("hostile")).toObject();
        const QString sql = hostile.value(QStringLiteral("sql")).toString();
        QVERIFY2(!sql.contains(QLatin1String("OR 1=1")), qPrintable(sql));
        QVERIFY(!sql.contains(QLatin1String("DROP")));
        QVERIFY(!sql.contains(QLatin1String("constructor")));
        QVERIFY(!sql.contains(QLatin1String("999")));
        // The initial order applies when the asked sort column is not one of ours.
        QVERIFY(sql.endsWith(QLatin1String("ORDER BY [CountryCode] ASC, [CompanyName] DESC")));
        QVERIFY(hostile.value(QStringLiteral("values"))
                    .toArray()
                    .contains(QStringLiteral("%x' OR 1=1 --%")));
        QVERIFY(!r.value(QStringLiteral("sortBadDirection"))
                     .toString()
                     .contains(QLatin1String("sideways")));

        const QJsonObject v = r.value(QStringLiteral("validators")).toObject();
        const auto flags = [&](const char* name) {
            QList<bool> list;
            for (const QJsonValue& b : v.value(QLatin1String(name)).toArray())
                list.append(b.toBool());
            return list;
        };
        QCOMPARE(flags("creditCard"), (QList<bool>{true, false, false}));
        QCOMPARE(flags("currency"), (QList<bool>{true, true, false, false}));
        QCOMPARE(flags("email"), (QList<bool>{true, false, false}));
        QCOMPARE(flags("number"), (QList<bool>{true, false}));
        QCOMPARE(flags("password"), (QList<bool>{true, false, false}));
        QCOMPARE(flags("phone"), (QList<bool>{true, false}));
        QCOMPARE(flags("zip"), (QList<bool>{true, true, false, false}));
        // Each date type reads its own form only, and no 30 February.
        const QJsonArray dates = v.value(QStringLiteral("dates")).toArray();
        for (int type = 0; type < 3; ++type) {
            const QJsonArray row = dates[type].toArray();
            for (int form = 0; form < 3; ++form)
                QCOMPARE(row[form].toBool(), form == type);
            QCOMPARE(row[3].toBool(), false);
        }

        QMap<QString, QPair<QString, QString>> checks;
        for (const QJsonValue& c : r.value(QStringLiteral("checks")).toArray())
            checks.insert(
                c[QStringLiteral("name")].toString(),
                {c[QStringLiteral("empty")].toString(), c[QStringLiteral("junk")].toString()});
        QCOMPARE(checks[QStringLiteral("CompanyName")].first,
                 QStringLiteral("CompanyName is required."));
        QCOMPARE(checks[QStringLiteral("ContactName")].first, QString());
        QCOMPARE(checks[QStringLiteral("ContactName")].second,
                 QStringLiteral("ContactName must be a telephone number."));
        QCOMPARE(checks[QStringLiteral("Email")].second,
                 QStringLiteral("Email must be an e-mail address."));
        QVERIFY(checks[QStringLiteral("Website")].second.contains(
            QLatin1String("at least 8 characters")));
        QCOMPARE(checks[QStringLiteral("CreditLimit")].second,
                 QStringLiteral("CreditLimit must be an amount of money."));
        QCOMPARE(checks[QStringLiteral("CreatedAt")].second,
                 QStringLiteral("CreatedAt must be a date written dd/mm/yyyy."));
        // A read-only column is not sent, so nothing is checked.
        QCOMPARE(checks[QStringLiteral("CustomerID")].first, QString());

        const QJsonArray csv = r.value(QStringLiteral("csv")).toArray();
        QCOMPARE(csv[0].toString(), QStringLiteral("\"'=SUM(A1)\""));
        QCOMPARE(csv[1].toString(), QStringLiteral("\"a,\"\"b\"\"\""));
    }

    void everyEditTypeHasItsControl() {
        const QString customers =
            page(QStringLiteral("customers"), QStringLiteral("clients_form.asp"));
        const QString orders = page(QStringLiteral("orders"), QStringLiteral("orders_edit.asp"));
        const QString products =
            page(QStringLiteral("products"), QStringLiteral("products_edit.asp"));
        // 0, the column's own default: a text area for long text, a text field otherwise.
        QVERIFY(customers.contains(QLatin1String(
            "<input type=\"text\" id=\"f2\" name=\"f2\" size=\"30\" maxlength=\"60\"")));
        QVERIFY(products.contains(QLatin1String("<textarea id=\"f9\" name=\"f9\"")));
        // 1 text field with its width and length.
        QVERIFY(customers.contains(
            QLatin1String("<input type=\"text\" id=\"f1\" name=\"f1\" size=\"30\" maxlength=\"60\" "
                          "value=\"<%= ow_html(ow_values[1]) %>\" required>")));
        // 2 text area.
        QVERIFY(customers.contains(QLatin1String(
            "<textarea id=\"f7\" name=\"f7\" cols=\"30\" rows=\"5\" maxlength=\"500\">")));
        // 3 password, never filled in.
        QVERIFY(customers.contains(
            QLatin1String("<input type=\"password\" id=\"f4\" name=\"f4\" size=\"30\" "
                          "maxlength=\"60\" autocomplete=\"new-password\" value=\"\">")));
        // 4 hidden field.
        QVERIFY(orders.contains(QLatin1String("<input type=\"hidden\" id=\"f7\" name=\"f7\" "
                                              "value=\"<%= ow_html(ow_values[7]) %>\">")));
        // 5 radio buttons: static and from a query.
        QVERIFY(customers.contains(QLatin1String("ow_radioButtons(5, ow_values[5], ow_db)")));
        QVERIFY(orders.contains(QLatin1String("ow_radioButtons(6, ow_values[6], ow_db)")));
        // 6 check box.
        QVERIFY(products.contains(
            QLatin1String("<input type=\"checkbox\" id=\"f8\" name=\"f8\" value=\"1\"")));
        // 7 date field in each date type.
        QVERIFY(customers.contains(QLatin1String("placeholder=\"dd/mm/yyyy\"")));
        QVERIFY(orders.contains(QLatin1String("placeholder=\"mm/dd/yyyy\"")));
        QVERIFY(orders.contains(QLatin1String("placeholder=\"yyyy-mm-dd\"")));
        // 8 lookup list: from a query and static.
        QVERIFY(orders.contains(
            QLatin1String("<select id=\"f1\" name=\"f1\" required><%= ow_selectOptions(1, "
                          "ow_values[1], ow_db, false) %></select>")));
        QVERIFY(products.contains(QLatin1String("ow_selectOptions(3, ow_values[3], ow_db, true)")));
        // 9 read-only: shown, never read from the form.
        QVERIFY(customers.contains(QLatin1String("<span id=\"f0\" class=\"ow-readonly\">")));
        QVERIFY(!customers.contains(QLatin1String("ow_f(\"f0\")")));
        QVERIFY(!orders.contains(QLatin1String("ow_f(\"f4\")")));
        // Required values are checked again on the server, lookups against their choices.
        QVERIFY(
            customers.contains(QLatin1String("ow_errors[1] = OW_CHECK[1](ow_values[1], false);")));
        QVERIFY(orders.contains(QLatin1String("!ow_isOption(1, ow_values[1], ow_db)")));
        QVERIFY(customers.contains(
            QLatin1String("ow_errors[4] = OW_CHECK[4](ow_values[4], ow_mode == \"edit\");")));
        // Default values fill a new record's form.
        QVERIFY(customers.contains(QLatin1String("ow_values[8] = \"01/01/2024\";")));
        // Formats and alignment of the add/edit captions.
        QVERIFY(customers.contains(
            QLatin1String("<th class=\"ow-right ow-b\"><label for=\"f6\">CreditLimit</label>")));

        const QString statics = page(QStringLiteral("customers"),
                                     QStringLiteral("include/customers_dynamicfunctions.asp"));
        QVERIFY(statics.contains(QLatin1String(
            "[\"NO\", \"GB\", \"FR\", \"DE\", \"JP\", \"US\", \"ES\", \"FI\", \"NL\", \"AU\"]")));
        const QString variables =
            page(QStringLiteral("orders"), QStringLiteral("include/orders_variables.asp"));
        QVERIFY(variables.contains(
            QLatin1String("lookupSql: \"SELECT CustomerID, CompanyName FROM Customers ORDER BY "
                          "CompanyName ASC\", linked: true")));
        QVERIFY(variables.contains(QLatin1String(
            "lookupSql: \"SELECT ShipCity FROM Orders ORDER BY ShipCity\", linked: false")));
    }

    void everyValidationTypeIsCheckedInBrowserAndServer() {
        struct Expect {
            QString site;
            QString file;
            QString call;
        };
        const QList<Expect> expected = {
            {QStringLiteral("orders"), QStringLiteral("orders"),
             QStringLiteral("ow_isCreditCard(s)")},
            {QStringLiteral("customers"), QStringLiteral("customers"),
             QStringLiteral("ow_isCurrency(s)")},
            {QStringLiteral("customers"), QStringLiteral("customers"),
             QStringLiteral("ow_parseDate(s, 2) === null")},
            {QStringLiteral("customers"), QStringLiteral("customers"),
             QStringLiteral("ow_isEmail(s)")},
            {QStringLiteral("orders"), QStringLiteral("orders"), QStringLiteral("ow_isNumber(s)")},
            {QStringLiteral("customers"), QStringLiteral("customers"),
             QStringLiteral("ow_isPassword(String(text))")},
            {QStringLiteral("customers"), QStringLiteral("customers"),
             QStringLiteral("ow_isPhone(s)")},
            {QStringLiteral("products"), QStringLiteral("products"), QStringLiteral("ow_isZip(s)")},
        };
        for (const Expect& e : expected) {
            const QString server =
                page(e.site, QStringLiteral("include/%1_dynamicfunctions.asp").arg(e.file));
            QVERIFY2(server.contains(e.call), qPrintable(e.site + QLatin1Char(' ') + e.call));
            const QString client =
                page(e.site, QStringLiteral("include/%1_validation.js").arg(e.file));
            // A hidden field is checked on the server only.
            if (e.call != QLatin1String("ow_isCreditCard(s)"))
                QVERIFY2(client.contains(e.call), qPrintable(e.site + QLatin1Char(' ') + e.call));
        }
        // The edit form brings its checks along.
        QVERIFY(
            page(QStringLiteral("orders"), QStringLiteral("orders_edit.asp"))
                .contains(QLatin1String("<script src=\"include/orders_validation.js\"></script>")));
        // No edit page, no validation page.
        QVERIFY(!QFile::exists(m_sites[QStringLiteral("details")].folder) ||
                QFile::exists(m_sites[QStringLiteral("details")].folder +
                              QStringLiteral("/include/order details_validation.js")));
    }

    void renameEntriesNameTheFiles() {
        const Site& s = m_sites[QStringLiteral("customers")];
        for (const QString& f :
             {QStringLiteral("clients.asp"), QStringLiteral("clients_form.asp"),
              QStringLiteral("include/settings.asp"), QStringLiteral("customers_search.asp"),
              QStringLiteral("customers_export.asp")})
            QVERIFY2(QFile::exists(s.folder + QLatin1Char('/') + f), qPrintable(f));
        for (const QString& f :
             {QStringLiteral("customers_index.asp"), QStringLiteral("customers_edit.asp"),
              QStringLiteral("include/customers_variables.asp")})
            QVERIFY2(!QFile::exists(s.folder + QLatin1Char('/') + f), qPrintable(f));
        const QString index = page(QStringLiteral("customers"), QStringLiteral("clients.asp"));
        QVERIFY(index.contains(QLatin1String("<!-- #include file=\"include/settings.asp\" -->")));
        QVERIFY(index.contains(QLatin1String("<a href=\"clients_form.asp\">")));
        const QString variables =
            page(QStringLiteral("customers"), QStringLiteral("include/settings.asp"));
        QVERIFY(variables.contains(
            QLatin1String("index: \"clients.asp\", edit: \"clients_form.asp\"")));
        // A table name with a blank: files keep it, links encode it.
        const QString details =
            page(QStringLiteral("details"), QStringLiteral("order details_index.asp"));
        QVERIFY(details.contains(QLatin1String("action=\"order%20details_index.asp\"")) ||
                details.contains(QLatin1String("href=\"order%20details_edit.asp\"")));
    }

    void templateFramesThePagesAndBuiltInFrameOtherwise() {
        const QString framed = page(QStringLiteral("customers"), QStringLiteral("clients.asp"));
        QVERIFY(framed.contains(QLatin1String("<header class=\"harbour-top\">")));
        QVERIFY(!framed.contains(QLatin1String("<|body|>")));
        QVERIFY(framed.indexOf(QLatin1String("<div class=\"ow-page\">")) >
                framed.indexOf(QLatin1String("<main class=\"harbour-main\">")));
        QVERIFY(
            framed.indexOf(QLatin1String("<link rel=\"stylesheet\" href=\"include/style.css\">")) <
            framed.indexOf(QLatin1String("</head>")));
        QVERIFY(framed.indexOf(QLatin1String("<script src=\"include/site.js\"></script>")) <
                framed.indexOf(QLatin1String("</body>")));
        QCOMPARE(readBytes(m_sites[QStringLiteral("customers")].folder +
                           QStringLiteral("/harbour/harbour.css")),
                 readBytes(QStringLiteral(ORDWICK_TEMPLATE_DIR "/Harbour/harbour/harbour.css")));
        QVERIFY(!QFile::exists(m_sites[QStringLiteral("customers")].folder +
                               QStringLiteral("/index.html")));
        for (const QString& name : aspPages(m_sites[QStringLiteral("customers")].folder)) {
            if (name != QLatin1String("customers_export.asp"))
                QVERIFY2(
                    page(QStringLiteral("customers"), name).contains(QLatin1String("harbour-top")),
                    qPrintable(name));
        }
        const QString plain = page(QStringLiteral("orders"), QStringLiteral("orders_index.asp"));
        QVERIFY(plain.contains(QLatin1String("<body class=\"ow-plain\">")));
        QVERIFY(plain.contains(QLatin1String("<title>Orders</title>")));
        QVERIFY(!plain.contains(QLatin1String("harbour")));
    }

    void loginGuardsEveryPageButItsOwn() {
        for (const QString& name : {QStringLiteral("customers"), QStringLiteral("orders")}) {
            const Site& s = m_sites[name];
            const QString login = s.project.TableName.toLower() + QStringLiteral("_login.asp");
            QVERIFY(QFile::exists(s.folder + QLatin1Char('/') + login));
            for (const QString& file : aspPages(s.folder)) {
                const QString text = page(name, file);
                if (file == login) {
                    QVERIFY(!text.contains(QLatin1String("ow_requireLogin(")));
                    QVERIFY(
                        text.contains(QLatin1String("ow_tryLogin(ow_name, ow_f(\"password\"))")));
                } else {
                    const qsizetype guard = text.indexOf(QLatin1String("ow_requireLogin(\""));
                    QVERIFY2(guard > 0, qPrintable(file));
                    // Before anything is read or written.
                    QVERIFY2(text.indexOf(QLatin1String("ow_open()")) < 0 ||
                                 guard < text.indexOf(QLatin1String("ow_open()")),
                             qPrintable(file));
                }
            }
        }
        const QString fixed =
            page(QStringLiteral("customers"), QStringLiteral("include/settings.asp"));
        QVERIFY(fixed.contains(QLatin1String("kind: \"fixed\"")));
        QVERIFY(fixed.contains(QLatin1String("password: \"se\\\"cret\\x3c%\"")));
        const QString table =
            page(QStringLiteral("orders"), QStringLiteral("include/orders_variables.asp"));
        QVERIFY(table.contains(
            QLatin1String("sql: \"SELECT [Password] FROM [Users] WHERE [LoginName] = ?\"")));
        const QString none =
            page(QStringLiteral("products"), QStringLiteral("include/products_variables.asp"));
        QVERIFY(none.contains(QLatin1String("kind: \"none\"")));
        QVERIFY(!QFile::exists(m_sites[QStringLiteral("products")].folder +
                               QStringLiteral("/products_login.asp")));
    }

    void changesOnlyByPostWithTheSessionToken() {
        const QString index = page(QStringLiteral("customers"), QStringLiteral("clients.asp"));
        const qsizetype post = index.indexOf(QLatin1String("if (ow_isPost()) {"));
        const qsizetype checked = index.indexOf(QLatin1String("!ow_checkedPost()"));
        const qsizetype removal = index.indexOf(QLatin1String("ow_deleteQuery(ow_keys)"));
        QVERIFY(post > 0 && checked > post && removal > checked);
        QCOMPARE(index.count(QLatin1String("ow_deleteQuery")), 1);
        QVERIFY(index.contains(QLatin1String("<form class=\"ow-delete\" method=\"post\"")));
        QVERIFY(index.contains(QLatin1String("<%= ow_tokenField() %>")));
        // A product list without delete has no delete handler at all.
        QVERIFY(!page(QStringLiteral("orders"), QStringLiteral("orders_index.asp"))
                     .contains(QLatin1String("ow_deleteQuery")));

        const QString edit = page(QStringLiteral("customers"), QStringLiteral("clients_form.asp"));
        QCOMPARE(edit.count(QLatin1String("ow_save();")), 1);
        QVERIFY(edit.indexOf(QLatin1String("} else if (ow_isPost()) {")) <
                edit.indexOf(QLatin1String("ow_save();")));
        QVERIFY(edit.indexOf(QLatin1String("if (!ow_checkedPost()) {")) <
                edit.indexOf(QLatin1String("ow_save();")));
        QVERIFY(edit.contains(QLatin1String("<form id=\"ow-edit-form\" method=\"post\"")));
        QCOMPARE(edit.count(QLatin1String("ow_insertQuery(")), 1);
        QCOMPARE(edit.count(QLatin1String("ow_updateQuery(")), 1);
        // The record is named by its key, read back typed.
        QVERIFY(edit.contains(
            QLatin1String("var ow_keys = ow_requestKeys(ow_isPost() ? ow_f : ow_q);")));
        QVERIFY(
            page(QStringLiteral("details"), QStringLiteral("include/order details_variables.asp"))
                .contains(QLatin1String("var OW_KEYS = [0, 1];")));
        const QString functions =
            page(QStringLiteral("customers"), QStringLiteral("include/functions.asp"));
        QVERIFY(functions.contains(QLatin1String("return sent != \"\" && sent === ow_token();")));
    }

    void everyValueWrittenIntoHtmlIsEncoded() {
        // Every expression a page writes is either encoded by a helper or a
        // value the page made itself.
        static const QRegularExpression written(QStringLiteral("<%=(.*?)%>"),
                                                QRegularExpression::DotMatchesEverythingOption);
        static const QRegularExpression safe(QStringLiteral(
            R"(^\s*(ow_html\(|ow_link\(|ow_cellText\(|ow_tokenField\(\)|ow_keyFields\(|ow_sortHeader\(|ow_pager\(|ow_logoutForm\(\)|ow_radioButtons\(|ow_selectOptions\(|ow_stateFields\(|ow_total\b|ow_state\.page\s*$|ow_list\.pageCount\s*$|ow_k\s*$|OW_PAGE_SIZES\[ow_i\]|ow_state\.field == \d+ \? " selected" : ""\s*$|ow_mode == "add" \? "Add a record" : "Edit a record"\s*$|ow_isTrue\(ow_values\[\d+\]\) \? " checked" : ""\s*$))"));
        int expressions = 0;
        for (auto it = m_sites.cbegin(); it != m_sites.cend(); ++it) {
            for (const QString& file : aspPages(it->folder)) {
                const QByteArray bytes = readBytes(it->folder + QLatin1Char('/') + file);
                // Pure ASCII: the pages read the same whatever code page the server assumes.
                for (const char c : bytes)
                    QVERIFY2(static_cast<unsigned char>(c) < 0x80, qPrintable(file));
                QVERIFY2(bytes.startsWith("<%@ Language=\"JScript\" %><!-- #include file=\""),
                         qPrintable(file));
                auto matches = written.globalMatch(QString::fromLatin1(bytes));
                while (matches.hasNext()) {
                    const QString expression = matches.next().captured(1);
                    ++expressions;
                    QVERIFY2(safe.match(expression).hasMatch(),
                             qPrintable(file + QStringLiteral(": ") + expression));
                }
            }
        }
        QVERIFY(expressions > 50);
        // Captions from the project are encoded where the engine writes them.
        const QString index = page(QStringLiteral("customers"), QStringLiteral("clients.asp"));
        QVERIFY(index.contains(QLatin1String("\"Company \\x26 Caf\\u00e9 \\x3cname\\x3e\"")) ||
                index.contains(QLatin1String("\"Company & Caf\\u00e9 \\x3cname\\x3e\"")));
        QVERIFY(page(QStringLiteral("customers"), QStringLiteral("customers_print.asp"))
                    .contains(QLatin1String("Company &amp; Caf&#233; &lt;name&gt;")));
    }

    void listPageFeatures() {
        const QString index = page(QStringLiteral("customers"), QStringLiteral("clients.asp"));
        QVERIFY(index.contains(QLatin1String("<form class=\"ow-search\" method=\"get\"")));
        QVERIFY(!index.contains(QLatin1String("<option value=\"7\""))); // Notes is not searched
        QVERIFY(index.contains(QLatin1String("ow_sortHeader(1, ")));
        QVERIFY(
            index.contains(QLatin1String("ow_pager(ow_state, ow_list.pageCount, OW_PAGES.index)")));
        QVERIFY(index.contains(QLatin1String("<select name=\"n\" class=\"ow-autosubmit\">")));
        QVERIFY(index.contains(QLatin1String("<a href=\"customers_search.asp\">")));
        QVERIFY(index.contains(QLatin1String("OW_PAGES.print")));
        QVERIFY(index.contains(QLatin1String("\"f=csv\"")) &&
                index.contains(QLatin1String("\"f=xls\"")));
        QVERIFY(index.contains(QLatin1String("<td class=\"ow-left ow-b\"><%= ow_cellText(1, ")));
        QVERIFY(
            index.contains(QLatin1String("<td class=\"ow-left ow-i ow-u\"><%= ow_cellText(3, ")));
        QVERIFY(index.contains(QLatin1String("<td class=\"ow-center\"><%= ow_cellText(5, ")));
        QVERIFY(index.contains(QLatin1String("<td class=\"ow-right\"><%= ow_cellText(6, ")));
        const QString variables =
            page(QStringLiteral("customers"), QStringLiteral("include/settings.asp"));
        QVERIFY(variables.contains(QLatin1String("var OW_PAGE_SIZE = 50;")));
        QVERIFY(variables.contains(QLatin1String("var OW_MORE_LENGTH = 12;")));
        QVERIFY(variables.contains(QLatin1String(
            "var OW_INITIAL_ORDER = [{ column: 5, desc: false }, { column: 1, desc: true }];")));
        QVERIFY(variables.contains(
            QLatin1String("paging: true, pageChoice: true, print: true, exp: true, more: true")));

        // Without the features: no search form, no sorting links, no paging.
        const QString products =
            page(QStringLiteral("products"), QStringLiteral("products_index.asp"));
        QVERIFY(products.contains(QLatin1String("class=\"ow-search\"")));
        QVERIFY(!products.contains(QLatin1String("Advanced search")));
        QVERIFY(!products.contains(QLatin1String("Export to CSV")));
        QVERIFY(!products.contains(QLatin1String("ow-autosubmit")));
        const QString orders = page(QStringLiteral("orders"), QStringLiteral("orders_index.asp"));
        QVERIFY(!orders.contains(QLatin1String("ow_sortHeader(")));
        QVERIFY(!orders.contains(QLatin1String("ow_pager(")));
        QVERIFY(page(QStringLiteral("orders"), QStringLiteral("include/orders_variables.asp"))
                    .contains(QLatin1String(
                        "var OW_BASE_SQL = \"SELECT [OrderID], [CustomerID], [OrderDate], "
                        "[DeliveryTime], [ShippedAt], [Freight], [ShipCity], [Reference] FROM  "
                        "[Orders] WHERE Freight \\x3e 0\";")));

        const QString exporter =
            page(QStringLiteral("customers"), QStringLiteral("customers_export.asp"));
        QVERIFY(exporter.contains(QLatin1String("Response.ContentType = \"text/csv\";")));
        QVERIFY(exporter.contains(QLatin1String("urn:schemas-microsoft-com:office:spreadsheet")));
        QVERIFY(exporter.contains(QLatin1String("ow_requireLogin(\"exp\")")));
        const QString search =
            page(QStringLiteral("customers"), QStringLiteral("customers_search.asp"));
        QVERIFY(search.contains(QLatin1String("name=\"a6o\"")));
        QVERIFY(search.contains(QLatin1String("<option value=\"starts\">starts with</option>")));
    }

    void eachKindOfDataSource() {
        // A file, copied into "db" and found through Server.MapPath.
        const Site& customers = m_sites[QStringLiteral("customers")];
        QCOMPARE(readBytes(customers.folder + QStringLiteral("/db/shop.db")), readBytes(sample()));
        QVERIFY(readText(customers.folder + QStringLiteral("/db/web.config"))
                    .contains(QLatin1String("allowUnlisted=\"false\"")));
        QVERIFY(page(QStringLiteral("customers"), QStringLiteral("include/settings.asp"))
                    .contains(QLatin1String("return \"Driver={SQLite3 ODBC Driver}; Database=\" + "
                                            "Server.MapPath(\"db/shop.db\");")));
        // A file left where it is.
        QVERIFY(!QFile::exists(m_sites[QStringLiteral("products")].folder + QStringLiteral("/db")));
        QVERIFY(
            page(QStringLiteral("products"), QStringLiteral("include/products_variables.asp"))
                .contains(QStringLiteral("return \"Driver={SQLite3 ODBC Driver}; Database=%1\";")
                              .arg(sample())));
        // A connection string: no database task, the string as typed.
        QVERIFY(!QFile::exists(m_sites[QStringLiteral("orders")].folder + QStringLiteral("/db")));
        QVERIFY(
            page(QStringLiteral("orders"), QStringLiteral("include/orders_variables.asp"))
                .contains(QStringLiteral("return \"Driver={SQLite3 ODBC Driver}; Database=%1\";")
                              .arg(sample())));
        // A data source name that this machine lacks (it may exist on the web
        // server): the site is written, with one warning that its queries could
        // not be checked, and no failure.
        const Site& details = m_sites[QStringLiteral("details")];
        QVERIFY(
            page(QStringLiteral("details"), QStringLiteral("include/order details_variables.asp"))
                .contains(QLatin1String("return \"DSN=ShopNowhere; UID=; PWD=\";")));
        QVERIFY(!QFile::exists(details.folder + QStringLiteral("/db")));
        QCOMPARE(details.reports.size(), 0);
        QCOMPARE(details.warnings.size(), 1);
        QCOMPARE(details.warnings[0].module, QStringLiteral("clsASPScript.GenerateIndexPage"));
        QVERIFY(details.warnings[0].description.contains(QLatin1String("could not be opened")));

        // A folder of text tables travels whole.
        const QString data = m_root.filePath(QStringLiteral("textdata"));
        QVERIFY(QDir().mkpath(data));
        QFile csv(data + QStringLiteral("/items.csv"));
        QVERIFY(csv.open(QIODevice::WriteOnly));
        csv.write("Name,Qty\r\nTea,4\r\nMug,2\r\n");
        csv.close();
        QFile other(data + QStringLiteral("/notes.txt"));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.write("Line\r\nhello\r\n");
        other.close();
        Project text;
        text.DatasourceType = 3;
        text.DatabaseName = data + QStringLiteral("/items.csv");
        text.TableName = QStringLiteral("items#csv");
        text.Columns = {col(QStringLiteral("Name"), 4, 1), col(QStringLiteral("Qty"), 1, 2)};
        const Site folder = generate(QStringLiteral("text"), text);
        QCOMPARE(readBytes(folder.folder + QStringLiteral("/db/items.csv")),
                 readBytes(csv.fileName()));
        QCOMPARE(readBytes(folder.folder + QStringLiteral("/db/notes.txt")),
                 readBytes(other.fileName()));
        QVERIFY(readText(folder.folder + QStringLiteral("/include/items#csv_variables.asp"))
                    .contains(QLatin1String("DBQ=\" + Server.MapPath(\"db\") + \";")));
        QVERIFY2(folder.reports.isEmpty(), qPrintable(describe(folder.reports)));
    }

    void searchesTakeWildcardsLiterallyOnSqlite() {
        const QString db = sampleCopy(
            m_root.filePath(QStringLiteral("search.db")),
            {QStringLiteral(
                "INSERT INTO Customers (CustomerID, CompanyName, CountryCode, CreatedAt) VALUES "
                "(101, '100% Juice', 'NO', '2024-01-01'), (102, 'Under_score Ltd', 'GB', "
                "'2024-01-01'), (103, 'Bang! [Brackets]', 'FR', '2024-01-01'), (104, "
                "'Back\\slash', 'DE', '2024-01-01')")});
        QVERIFY(!db.isEmpty());
        const QString folder = m_sites[QStringLiteral("customers")].folder;
        const QList<QPair<const char*, QList<qint64>>> cases = {
            {"{\"search\": \"%\"}", {101}},
            {"{\"search\": \"_\"}", {102}},
            {"{\"search\": \"!\"}", {103}},
            {"{\"search\": \"[B\"}", {103}},
            {"{\"search\": \"\\\\\"}", {104}},
            {"{\"search\": \"100%\"}", {101}},
            {"{\"search\": \"Lights\"}", {1}},
            {"{\"advanced\": [{\"column\": 1, \"op\": \"starts\", \"value\": \"Under_\"}]}", {102}},
            {"{\"advanced\": [{\"column\": 1, \"op\": \"starts\", \"value\": \"_\"}]}", {}},
            {"{\"advanced\": [{\"column\": 1, \"op\": \"contains\", \"value\": \"r_s\"}]}", {102}},
            {"{\"advanced\": [{\"column\": 1, \"op\": \"contains\", \"value\": \"%%\"}]}", {}},
        };
        for (const auto& c : cases) {
            const QJsonObject query =
                search(folder, QStringLiteral("clients.asp"), states(c.first));
            QCOMPARE(sqliteRows(db, query), c.second);
        }
        QVERIFY(search(folder, QStringLiteral("clients.asp"), states("{\"search\": \"%\"}"))
                    .value(QStringLiteral("sql"))
                    .toString()
                    .contains(QLatin1String("[CompanyName] LIKE ? ESCAPE '!'")));
    }

    void columnNamesTheFileMustEscapeReachThePages() {
        const QString db = sampleCopy(
            m_root.filePath(QStringLiteral("odd.db")),
            {QStringLiteral(
                 "CREATE TABLE Odd (ID INTEGER PRIMARY KEY, \"#tag\" TEXT, \"a=b\" TEXT, "
                 "\" lead\" TEXT, \"[x]\" TEXT)"),
             QStringLiteral("INSERT INTO Odd VALUES (1, 'hash value', 'equals value', "
                            "'blank value', 'bracket value')")});
        QVERIFY(!db.isEmpty());
        Project p = sqliteProject(QStringLiteral("Odd"));
        p.DatabaseName = db;
        p.ConnectionString = QStringLiteral("Driver={SQLite3}; Database=") + db;
        p.SelectedTemplate = QStringLiteral("no template");
        p.UniqueKey = {QStringLiteral("ID"), QStringLiteral("#tag")};
        p.Columns = {col(QStringLiteral("ID"), 1, 1), col(QStringLiteral("#tag"), 4, 2),
                     col(QStringLiteral("a=b"), 4, 3), col(QStringLiteral(" lead"), 4, 4),
                     col(QStringLiteral("[x]"), 4, 5)};
        p.SQLString = QStringLiteral("SELECT ID, \"#tag\", \"a=b\", \" lead\", \"[x]\" FROM Odd");
        const Site site = generate(QStringLiteral("odd"), p);
        QVERIFY2(site.reports.isEmpty(), qPrintable(describe(site.reports)));

        const Answer list = run(site.folder, site.index, {}, {});
        QCOMPARE(list.status, QStringLiteral("200 OK"));
        QVERIFY2(list.error.isEmpty(), qPrintable(list.error));
        for (const char* value : {"hash value", "equals value", "blank value", "bracket value"})
            QVERIFY2(list.body.contains(value), value);
        for (const char* caption : {">#tag<", ">a=b<", "> lead<", ">[x]<"})
            QVERIFY2(list.body.contains(caption), caption);
    }

    void eachFamilyEscapesLikeItsOwnWay() {
        const QJsonArray styles =
            node({QStringLiteral("like"), m_sites[QStringLiteral("customers")].folder,
                  QStringLiteral("clients.asp")})
                .toArray();
        QCOMPARE(styles.size(), 3);
        QCOMPARE(styles[0][QStringLiteral("text")].toString(),
                 QStringLiteral("a[%]b[_]c[[]d]!e[*]f[?]g[#]h"));
        QCOMPARE(styles[0][QStringLiteral("sql")].toString(),
                 QStringLiteral("[CompanyName] LIKE ?"));
        QCOMPARE(styles[1][QStringLiteral("text")].toString(),
                 QStringLiteral("a!%b!_c![d]!!e*f?g#h"));
        QCOMPARE(styles[1][QStringLiteral("sql")].toString(),
                 QStringLiteral("[CompanyName] LIKE ? ESCAPE '!'"));
        QCOMPARE(styles[2][QStringLiteral("text")].toString(),
                 QStringLiteral("a!%b!_c[d]!!e*f?g#h"));
        QCOMPARE(styles[2][QStringLiteral("sql")].toString(),
                 QStringLiteral("[CompanyName] LIKE ? ESCAPE '!'"));
    }

    void eachFamilyPagesInItsOwnSql() {
        const QJsonArray pages =
            node({QStringLiteral("paging"), m_sites[QStringLiteral("customers")].folder,
                  QStringLiteral("clients.asp")})
                .toArray();
        QCOMPARE(pages.size(), 9);
        const QString from = QStringLiteral("SELECT * FROM (SELECT [CustomerID], [CompanyName], "
                                            "[ContactName], [Email], [Website], [CountryCode], "
                                            "[CreditLimit], [Notes], [CreatedAt] FROM [Customers]) "
                                            "AS ow_rows");
        // The key ends the order, so rows that sort alike keep to one page.
        const QString ordered =
            from + QStringLiteral(" ORDER BY [CompanyName] DESC, [CustomerID] ASC");
        QCOMPARE(pages[0][QStringLiteral("sql")].toString(),
                 ordered + QStringLiteral(" LIMIT 20 OFFSET 40"));
        QCOMPARE(pages[0][QStringLiteral("skip")].toInt(), 0);
        // Numbered rows, which SQL Server reads from 2005 and Oracle before 12c.
        const QString base = QStringLiteral("(SELECT [CustomerID], [CompanyName], [ContactName], "
                                            "[Email], [Website], [CountryCode], [CreditLimit], "
                                            "[Notes], [CreatedAt] FROM [Customers]) AS ow_rows");
        QCOMPARE(pages[1][QStringLiteral("sql")].toString(),
                 QStringLiteral("SELECT * FROM (SELECT ow_rows.*, ROW_NUMBER() OVER (ORDER BY "
                                "[CompanyName] DESC, [CustomerID] ASC) AS ow_row FROM ") +
                     base +
                     QStringLiteral(") AS ow_page WHERE ow_row > 40 AND ow_row <= 60 ORDER BY "
                                    "ow_row"));
        QCOMPARE(pages[1][QStringLiteral("skip")].toInt(), 0);
        QCOMPARE(pages[2][QStringLiteral("sql")].toString(),
                 QString(ordered).replace(QStringLiteral("SELECT *"),
                                          QStringLiteral("SELECT TOP 60 *")));
        QCOMPARE(pages[2][QStringLiteral("skip")].toInt(), 40);
        QCOMPARE(pages[3][QStringLiteral("sql")].toString(),
                 from + QStringLiteral(" ORDER BY [CompanyName] DESC"));
        QCOMPARE(pages[3][QStringLiteral("skip")].toInt(), 40);
        // No order chosen: the rows are numbered by the key.
        const QString unordered = pages[4][QStringLiteral("sql")].toString();
        QVERIFY2(
            unordered.startsWith(QLatin1String("SELECT * FROM (SELECT ow_rows.*, ROW_NUMBER() "
                                               "OVER (ORDER BY [CustomerID] ASC) AS ow_row")) &&
                unordered.endsWith(QLatin1String(
                    ") AS ow_page WHERE ow_row > 0 AND ow_row <= 10 ORDER BY ow_row")),
            qPrintable(unordered));
        const QString count = pages[5][QStringLiteral("sql")].toString();
        QVERIFY2(count.startsWith(QLatin1String("SELECT COUNT(*) FROM (SELECT [CustomerID], ")),
                 qPrintable(count));
        QVERIFY2(count.contains(QLatin1String(") AS ow_rows WHERE (")), qPrintable(count));
        QVERIFY(!count.contains(QLatin1String("ORDER BY")));
        // A page nearer the end is read in the reversed order, skipping the
        // rows after it, and turned back.
        const QString reversed = QStringLiteral(" ORDER BY [CompanyName] ASC, [CustomerID] DESC");
        const QString turned =
            QStringLiteral(") AS ow_page ORDER BY [CompanyName] DESC, [CustomerID] ASC");
        QCOMPARE(pages[6][QStringLiteral("sql")].toString(),
                 QStringLiteral("SELECT * FROM (") + from + reversed +
                     QStringLiteral(" LIMIT 10 OFFSET 0") + turned);
        QCOMPARE(pages[7][QStringLiteral("sql")].toString(),
                 QStringLiteral("SELECT * FROM (SELECT ow_rows.*, ROW_NUMBER() OVER (ORDER BY "
                                "[CompanyName] ASC, [CustomerID] DESC) AS ow_row FROM ") +
                     base +
                     QStringLiteral(") AS ow_page WHERE ow_row > 0 AND ow_row <= 10 ORDER BY "
                                    "ow_row DESC"));
        QCOMPARE(pages[8][QStringLiteral("sql")].toString(),
                 QStringLiteral("SELECT TOP 10 * FROM (") +
                     QString(from).replace(QStringLiteral("SELECT *"),
                                           QStringLiteral("SELECT TOP 10 *")) +
                     reversed + turned);
        QCOMPARE(pages[8][QStringLiteral("skip")].toInt(), 0);
    }

    void dateSearchesFindTheDayWhateverFormItIsStoredIn() {
        // Orders as the sample has them ("yyyy-mm-dd"), as the site inserts them
        // (with a time), and as a day number.
        const QString db = sampleCopy(
            m_root.filePath(QStringLiteral("dates.db")),
            {QStringLiteral("INSERT INTO Orders (OrderID, CustomerID, OrderDate, Freight) VALUES "
                            "(2001, 1, '2024-03-03 00:00:00.000', 5), (2002, 1, '2024-03-03 "
                            "15:30:00.000', 5), (2003, 1, julianday('2024-03-03 08:00:00'), 5)")});
        QVERIFY(!db.isEmpty());
        const QString folder = m_sites[QStringLiteral("orders")].folder;
        const QList<qint64> later = {1004, 1005, 1006, 1007, 1008, 1009,
                                     1010, 1011, 1012, 1013, 1014};
        const QList<qint64> day = {1002, 1003, 2001, 2002, 2003};
        const QList<QPair<QString, QList<qint64>>> cases = {
            {QStringLiteral("eq"), day},
            {QStringLiteral("ne"), QList<qint64>{1001} + later},
            {QStringLiteral("lt"), {1001}},
            {QStringLiteral("le"), {1001, 1002, 1003, 2001, 2002, 2003}},
            {QStringLiteral("gt"), later},
            {QStringLiteral("ge"), day + later},
        };
        for (const auto& c : cases) {
            const QJsonObject query = search(
                folder, QStringLiteral("orders_index.asp"),
                QStringLiteral(
                    "{\"advanced\": [{\"column\": 2, \"op\": \"%1\", \"value\": \"03/03/2024\"}]}")
                    .arg(c.first));
            QList<qint64> expected = c.second;
            std::sort(expected.begin(), expected.end());
            QCOMPARE(sqliteRows(db, query), expected);
        }
        // With a time, the instant itself.
        QCOMPARE(sqliteRows(db, search(folder, QStringLiteral("orders_index.asp"),
                                       states("{\"advanced\": [{\"column\": 2, \"op\": \"eq\", "
                                              "\"value\": \"03/03/2024 15:30\"}]}"))),
                 (QList<qint64>{2002}));
        QCOMPARE(sqliteRows(db, search(folder, QStringLiteral("orders_index.asp"),
                                       states("{\"advanced\": [{\"column\": 2, \"op\": \"lt\", "
                                              "\"value\": \"03/03/2024 15:30\"}]}"))),
                 (QList<qint64>{1001, 1002, 1003, 2001, 2003}));
        // The basic search over a date column means the same day.
        QCOMPARE(sqliteRows(db, search(folder, QStringLiteral("orders_index.asp"),
                                       states("{\"search\": \"03/03/2024\", \"field\": 2}"))),
                 day);
    }

    // A driver named by its library says nothing of the database: the run
    // asks the server, which says it is MariaDB, and writes its SQL.
    void aRunAsksAnUnknownSourceWhatItIs() {
        if (!qEnvironmentVariableIsSet("TESSALINE_TEST_SERVICES"))
            QSKIP("No test database servers: run scripts/test.sh, or eval the output of "
                  "`scripts/test-services.sh start` before ctest.");
        const QSettings drivers(qEnvironmentVariable("ODBCSYSINI") +
                                    QStringLiteral("/odbcinst.ini"),
                                QSettings::IniFormat);
        QString connection = qEnvironmentVariable("TESSALINE_TEST_MARIA_DRIVER") +
                             QStringLiteral(";UID=%1;PWD=%2")
                                 .arg(qEnvironmentVariable("TESSALINE_TEST_USER"),
                                      qEnvironmentVariable("TESSALINE_TEST_PASSWORD"));
        connection.replace(QStringLiteral("DRIVER={MariaDB}"),
                           QStringLiteral("DRIVER=") +
                               drivers.value(QStringLiteral("MariaDB/Driver")).toString());
        OdbcLink link(connection);
        QVERIFY2(link.isOpen(), qPrintable(connection));
        QVERIFY(link.run(QStringLiteral("DROP TABLE IF EXISTS ow_family_items")));
        QVERIFY(link.run(QStringLiteral("CREATE TABLE ow_family_items (id INTEGER PRIMARY KEY, "
                                        "name VARCHAR(60))")));
        Project p;
        p.DatasourceStatus = DatasourceConnection;
        p.DatasourceType = 10;
        p.ConnectionString = connection;
        p.TableName = QStringLiteral("ow_family_items");
        p.UniqueKey = {QStringLiteral("id")};
        p.Columns = {col(QStringLiteral("id"), 1, 1), col(QStringLiteral("name"), 4, 2)};
        const Site site = generate(QStringLiteral("unknown-driver"), p);
        QVERIFY2(site.reports.isEmpty(), qPrintable(describe(site.reports)));
        const QString variables =
            readText(site.folder + QStringLiteral("/include/ow_family_items_variables.asp"));
        QVERIFY2(
            variables.contains(QLatin1String("var OW_PAGING = { style: \"limit\" };")) &&
                variables.contains(QLatin1String("SELECT `id`, `name` FROM `ow_family_items`")),
            qPrintable(variables));
    }

    void searchesOnPostgresqlTakeWildcardsLiterallyAndFindTheDay() {
        if (!qEnvironmentVariableIsSet("TESSALINE_TEST_SERVICES"))
            QSKIP("No test database servers: run scripts/test.sh, or eval the output of "
                  "`scripts/test-services.sh start` before ctest.");
        const QString connection = qEnvironmentVariable("TESSALINE_TEST_PG_DRIVER") +
                                   QStringLiteral(";UID=%1;PWD=%2")
                                       .arg(qEnvironmentVariable("TESSALINE_TEST_USER"),
                                            qEnvironmentVariable("TESSALINE_TEST_PASSWORD"));
        OdbcLink link(connection);
        QVERIFY2(link.isOpen(), qPrintable(connection));
        QVERIFY(link.run(QStringLiteral("DROP TABLE IF EXISTS ow_search_items")));
        QVERIFY(link.run(QStringLiteral("CREATE TABLE ow_search_items (id INTEGER PRIMARY KEY, "
                                        "name VARCHAR(60), made DATE, stamp TIMESTAMP)")));
        QVERIFY(link.run(QStringLiteral(
            "INSERT INTO ow_search_items VALUES (1, '100% Juice', '2024-03-03', '2024-03-03 "
            "00:00:00'), (2, 'Under_score', '2024-03-03', '2024-03-03 15:30:00'), (3, "
            "'Back\\slash', '2024-03-04', '2024-03-04 00:00:00'), (4, 'Bang! [x]', "
            "'2024-03-02', '2024-03-02 23:59:59')")));

        Project p;
        p.DatasourceStatus = DatasourceConnection;
        p.DatasourceType = 1;
        p.ConnectionString = connection;
        p.TableName = QStringLiteral("ow_search_items");
        p.SimpleSearch = p.AdvancedSearch = true;
        p.UniqueKey = {QStringLiteral("id")};
        p.Columns = {col(QStringLiteral("id"), 1, 1), col(QStringLiteral("name"), 4, 2),
                     col(QStringLiteral("made"), 8, 3, 7, 0, QStringLiteral("0")),
                     col(QStringLiteral("stamp"), 8, 4, 7, 0, QStringLiteral("0"))};
        const Site site = generate(QStringLiteral("postgresql"), p);
        QVERIFY2(site.reports.isEmpty(), qPrintable(describe(site.reports)));
        QVERIFY(readText(site.folder + QStringLiteral("/include/ow_search_items_variables.asp"))
                    .contains(
                        QLatin1String("var OW_DIALECT = { like: \"escape\", dates: \"typed\" };")));
        const QList<QPair<const char*, QList<qint64>>> cases = {
            {"{\"search\": \"%\", \"field\": 1}", {1}},
            {"{\"search\": \"_\", \"field\": 1}", {2}},
            {"{\"search\": \"\\\\\", \"field\": 1}", {3}},
            {"{\"search\": \"!\", \"field\": 1}", {4}},
            {"{\"search\": \"[x\", \"field\": 1}", {4}},
            {"{\"advanced\": [{\"column\": 2, \"op\": \"eq\", \"value\": \"2024-03-03\"}]}",
             {1, 2}},
            {"{\"advanced\": [{\"column\": 2, \"op\": \"ne\", \"value\": \"2024-03-03\"}]}",
             {3, 4}},
            {"{\"advanced\": [{\"column\": 3, \"op\": \"eq\", \"value\": \"2024-03-03\"}]}",
             {1, 2}},
            {"{\"advanced\": [{\"column\": 3, \"op\": \"lt\", \"value\": \"2024-03-03\"}]}", {4}},
            {"{\"advanced\": [{\"column\": 3, \"op\": \"le\", \"value\": \"2024-03-03\"}]}",
             {1, 2, 4}},
            {"{\"advanced\": [{\"column\": 3, \"op\": \"gt\", \"value\": \"2024-03-03\"}]}", {3}},
            {"{\"advanced\": [{\"column\": 3, \"op\": \"eq\", \"value\": \"2024-03-03 15:30\"}]}",
             {2}},
        };
        for (const auto& c : cases)
            QCOMPARE(link.rows(search(site.folder, site.index, states(c.first))), c.second);
        QVERIFY(link.run(QStringLiteral("DROP TABLE ow_search_items")));
    }

    void valuesOutsideTheirParameterTypeAreRefused() {
        const QString folder = m_sites[QStringLiteral("customers")].folder;
        const auto typedAs = [&](int column, const QStringList& texts) {
            QStringList values;
            for (const QJsonValue& v :
                 node(QStringList{QStringLiteral("typed"), folder, QStringLiteral("clients.asp"),
                                  QString::number(column)} +
                      texts)
                     .toArray())
                values.append(v.isString() ? v.toString() : QString::number(v.toDouble(), 'g', 17));
            return values;
        };
        // Currency: ADO's currency range; integer: what a double holds exactly.
        QCOMPARE(typedAs(6, {QStringLiteral("1e300"), QStringLiteral("-1e16"),
                             QStringLiteral("922337203685477"), QStringLiteral("12.50")}),
                 (QStringList{QStringLiteral("undefined"), QStringLiteral("undefined"),
                              QStringLiteral("922337203685477"), QStringLiteral("12.5")}));
        QCOMPARE(
            typedAs(0, {QStringLiteral("9007199254740992"), QStringLiteral("99999999999999999999"),
                        QStringLiteral("9007199254740991"), QStringLiteral("-7")}),
            (QStringList{QStringLiteral("undefined"), QStringLiteral("undefined"),
                         QStringLiteral("9007199254740991"), QStringLiteral("-7")}));
        const QJsonObject refused =
            search(folder, QStringLiteral("clients.asp"),
                   states("{\"advanced\": [{\"column\": 6, \"op\": \"eq\", \"value\": \"1e300\"}, "
                          "{\"column\": 1, \"op\": \"lt\", \"value\": \"x\"}]}"));
        QVERIFY(refused.value(QStringLiteral("params")).toArray().isEmpty());
        QVERIFY(refused.value(QStringLiteral("sql"))
                    .toString()
                    .contains(QLatin1String("WHERE 1 = 0 AND 1 = 0 ORDER BY")));
        QCOMPARE(refused.value(QStringLiteral("problems")).toArray().toVariantList(),
                 (QVariantList{QStringLiteral("The search was refused: CreditLimit takes an amount "
                                              "of money it can hold, not \"1e300\"."),
                               QStringLiteral("The search was refused: Company & Caf\u00e9 <name> "
                                              "cannot be compared that way.")}));

        // The list page answers with its message, not with an error.
        const Site& site = m_sites[QStringLiteral("exported")];
        const QString session = QStringLiteral("{\"session\": {\"ow_user_customers\": \"admin\", "
                                               "\"ow_user_customers_key\": \"K1\"}, "
                                               "\"cookies\": {\"ow_user_customers\": \"K1\"}}");
        const Answer all = run(site.folder, QStringLiteral("clients.asp"), {}, session);
        QCOMPARE(all.status, QStringLiteral("200 OK"));
        QVERIFY2(all.error.isEmpty(), qPrintable(all.error));
        QVERIFY(all.body.contains("Harbour Lights Trading"));
        const Answer huge = run(site.folder, QStringLiteral("clients.asp"),
                                QStringLiteral("a6o=eq&a6v=1e300"), session);
        QCOMPARE(huge.status, QStringLiteral("200 OK"));
        QVERIFY2(huge.error.isEmpty(), qPrintable(huge.error));
        QVERIFY(huge.body.contains("<div class=\"ow-problem\">The search was refused: CreditLimit "
                                   "takes an amount of money it can hold, not &quot;1e300&quot;."
                                   "</div>"));
        QVERIFY(huge.body.contains("No records found."));
    }

    void exportsAreTheFileFromTheFirstByteWithFormulasNeutralised() {
        const Site& site = m_sites[QStringLiteral("exported")];
        const QString session = QStringLiteral("{\"session\": {\"ow_user_customers\": \"admin\", "
                                               "\"ow_user_customers_key\": \"K1\"}, "
                                               "\"cookies\": {\"ow_user_customers\": \"K1\"}}");
        const Answer csv = run(site.folder, QStringLiteral("customers_export.asp"),
                               QStringLiteral("f=csv"), session);
        QCOMPARE(csv.status, QStringLiteral("200 OK"));
        QVERIFY2(csv.error.isEmpty(), qPrintable(csv.error));
        QVERIFY2(
            csv.body.startsWith("\xEF\xBB\xBF\"CustomerID\",\"Company & Caf\xC3\xA9 <name>\","),
            csv.body.left(60).toHex().constData());
        QVERIFY(csv.body.endsWith("\r\n"));
        QVERIFY(!csv.body.endsWith("\r\n\r\n"));
        const QByteArray row = "\"201\",\"'=HYPERLINK(\"\"http://evil.example\"\",\"\"x\"\")\","
                               "\"'+1 555\",\"'@SUM(1)\",\"'-2+3\",\"NO\",\"-12.50\","
                               "\"'\tTab\",\"05/05/2024\"\r\n";
        QVERIFY2(csv.body.contains(row), csv.body.constData());
        QVERIFY(csv.body.contains("\"1\",\"Harbour Lights Trading\","));

        const Answer xls = run(site.folder, QStringLiteral("customers_export.asp"),
                               QStringLiteral("f=xls"), session);
        QCOMPARE(xls.status, QStringLiteral("200 OK"));
        QVERIFY2(xls.error.isEmpty(), qPrintable(xls.error));
        QVERIFY2(xls.body.startsWith("<?xml version=\"1.0\" encoding=\"utf-8\"?>"),
                 xls.body.left(40).toHex().constData());
        QXmlStreamReader reader(xls.body);
        QStringList strings;
        int numbers = 0;
        while (!reader.atEnd()) {
            if (reader.readNext() == QXmlStreamReader::StartElement &&
                reader.name() == QLatin1String("Data")) {
                const bool number =
                    reader.attributes().value(QStringLiteral("ss:Type")) == QLatin1String("Number");
                const QString text = reader.readElementText();
                if (number)
                    ++numbers;
                else
                    strings.append(text);
            }
        }
        QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
        QVERIFY(strings.contains(QStringLiteral("'=HYPERLINK(\"http://evil.example\",\"x\")")));
        QVERIFY(strings.contains(QStringLiteral("'+1 555")));
        QVERIFY(strings.contains(QStringLiteral("'@SUM(1)")));
        QVERIFY(strings.contains(QStringLiteral("'-2+3")));
        QVERIFY(strings.contains(QStringLiteral("'\tTab")));
        QVERIFY(strings.contains(QStringLiteral("Harbour Lights Trading")));
        for (const QString& text : strings)
            QVERIFY2(!QRegularExpression(QStringLiteral("^[=+\\-@\t\r]")).match(text).hasMatch(),
                     qPrintable(text));
        QCOMPARE(numbers, 22); // CustomerID and CreditLimit of 11 customers
    }

    void formTokenFailsClosedWithoutTheGuidComponent() {
        const Site& site = m_sites[QStringLiteral("exported")];
        const Answer refused =
            run(site.folder, QStringLiteral("clients_form.asp"), {},
                QStringLiteral("{\"session\": {\"ow_user_customers\": \"admin\", "
                               "\"ow_user_customers_key\": \"K1\"}, \"cookies\": "
                               "{\"ow_user_customers\": \"K1\"}, \"refuse\": "
                               "[\"Scriptlet.TypeLib\"]}"));
        QCOMPARE(refused.status, QStringLiteral("500 Internal Server Error"));
        QVERIFY2(refused.error.isEmpty(), qPrintable(refused.error));
        QVERIFY(refused.body.startsWith("<!DOCTYPE html>"));
        QVERIFY(refused.body.contains("does not let this site create the component "
                                      "&quot;Scriptlet.TypeLib&quot; (scrobj.dll)"));
        QVERIFY(!refused.body.contains("ow_token"));
        QVERIFY(!refused.body.contains("ow-edit-form"));

        const Answer allowed =
            run(site.folder, QStringLiteral("clients_form.asp"), {},
                QStringLiteral("{\"session\": {\"ow_user_customers\": \"admin\", "
                               "\"ow_user_customers_key\": \"K1\"}, \"cookies\": "
                               "{\"ow_user_customers\": \"K1\"}}"));
        QCOMPARE(allowed.status, QStringLiteral("200 OK"));
        QVERIFY2(allowed.error.isEmpty(), qPrintable(allowed.error));
        QVERIFY(
            QRegularExpression(
                QStringLiteral("<input type=\"hidden\" name=\"ow_token\" value=\"[0-9A-F]{32}\">"))
                .match(QString::fromUtf8(allowed.body))
                .hasMatch());
        QVERIFY(!page(QStringLiteral("customers"), QStringLiteral("include/functions.asp"))
                     .contains(QLatin1String("Math.random")));
    }

    void sessionCookieIsGivenAgainSecureOverHttps() {
        const Site& site = m_sites[QStringLiteral("exported")];
        const Answer answer =
            run(site.folder, QStringLiteral("clients_form.asp"), {},
                QStringLiteral("{\"https\": true, \"session\": {\"ow_user_customers\": "
                               "\"admin\", \"ow_user_customers_key\": \"K1\"}, \"cookies\": "
                               "{\"ow_user_customers\": \"K1\", \"ASPSESSIONIDQWERTYUI\": "
                               "\"ABCDEFGHIJKLMNOPQRSTUVWX\"}}"));
        QCOMPARE(answer.status, QStringLiteral("200 OK"));
        QCOMPARE(answer.headers.value(QStringLiteral("Set-Cookie")).toString(),
                 QStringLiteral("ASPSESSIONIDQWERTYUI=ABCDEFGHIJKLMNOPQRSTUVWX; path=/; HttpOnly; "
                                "SameSite=Lax; Secure"));
        QVERIFY(answer.headers.value(QStringLiteral("Content-Security-Policy"))
                    .toString()
                    .startsWith(QLatin1String("default-src 'self'; script-src 'self'; style-src "
                                              "'self'; img-src 'self' data:;")));
    }

    void connectionStringAndDialectOfEachFamily() {
        struct Family {
            const char* name;
            int status;
            int type;
            QString database;
            QString connection;
            QString written; // the return statement of ow_connectionString
            QString dialect;
        };
        const QString data = m_root.filePath(QStringLiteral("families"));
        QVERIFY(QDir().mkpath(data));
        const QList<Family> families = {
            {"access",
             DatasourceFile,
             1,
             data + QStringLiteral("/shop.mdb"),
             {},
             QStringLiteral("return \"Driver={Microsoft Access Driver (*.mdb)}; DBQ=\" + "
                            "Server.MapPath(\"db/shop.mdb\") + \"; DriverId=25; FIL=MS Access; "
                            "MaxBufferSize=2048; PageTimeout=5; UID=; PWD=\";"),
             QStringLiteral("{ like: \"brackets\", dates: \"typed\" }")},
            {"excel",
             DatasourceFile,
             2,
             data + QStringLiteral("/shop.xls"),
             {},
             QStringLiteral("return \"Driver={Microsoft Excel Driver (*.xls)}; DriverId=790; "
                            "MaxBufferSize=2048; PageTimeout=5; DBQ=\" + "
                            "Server.MapPath(\"db/shop.xls\") + \"; DefaultDir=\" + "
                            "Server.MapPath(\"db\");"),
             QStringLiteral("{ like: \"brackets\", dates: \"typed\" }")},
            {"sqlite",
             DatasourceConnection,
             1,
             {},
             QStringLiteral("Driver={SQLite3 ODBC Driver}; Database=") + sample(),
             QStringLiteral("return \"Driver={SQLite3 ODBC Driver}; Database=%1\";").arg(sample()),
             QStringLiteral("{ like: \"escape\", dates: \"julianday\" }")},
            {"sqlserver",
             DatasourceConnection,
             1,
             {},
             QStringLiteral("Driver={SQL Server}; Server=db.example; Database=shop; UID=web; "
                            "PWD=x"),
             QStringLiteral("return \"Driver={SQL Server}; Server=db.example; Database=shop; "
                            "UID=web; PWD=x\";"),
             QStringLiteral("{ like: \"escape-classes\", dates: \"typed\" }")},
            {"mysql",
             DatasourceConnection,
             6,
             {},
             QStringLiteral("Driver={MySQL ODBC 8.0 Unicode Driver}; Server=db.example; "
                            "Database=shop"),
             QStringLiteral("return \"Driver={MySQL ODBC 8.0 Unicode Driver}; Server=db.example; "
                            "Database=shop\";"),
             QStringLiteral("{ like: \"escape\", dates: \"typed\" }")},
            {"oracle",
             DatasourceConnection,
             1,
             {},
             QStringLiteral("Driver={Oracle in OraClient11g_home1}; DBQ=shop; UID=web; PWD=x"),
             QStringLiteral("return \"Driver={Oracle in OraClient11g_home1}; DBQ=shop; UID=web; "
                            "PWD=x\";"),
             QStringLiteral("{ like: \"escape\", dates: \"typed\" }")},
            {"dsn",
             DatasourceDsn,
             5,
             QStringLiteral("ShopServer"),
             {},
             QStringLiteral("return \"DSN=ShopServer; UID=; PWD=\";"),
             QStringLiteral("{ like: \"escape-classes\", dates: \"typed\" }")},
        };
        const QHash<QString, QString> paging = {
            {QStringLiteral("access"), QStringLiteral("{ style: \"top\" }")},
            {QStringLiteral("excel"), QStringLiteral("{ style: \"top\" }")},
            {QStringLiteral("sqlite"), QStringLiteral("{ style: \"limit\" }")},
            {QStringLiteral("sqlserver"), QStringLiteral("{ style: \"rownumber\" }")},
            {QStringLiteral("mysql"), QStringLiteral("{ style: \"limit\" }")},
            {QStringLiteral("oracle"), QStringLiteral("{ style: \"rownumber\" }")},
            {QStringLiteral("dsn"), QStringLiteral("{ style: \"rownumber\" }")}};
        for (const Family& f : families) {
            Project p;
            p.DatasourceStatus = f.status;
            p.DatasourceType = f.type;
            p.DatabaseName = f.database;
            p.ConnectionString = f.connection;
            p.TableName = QStringLiteral("Items");
            p.Columns = {col(QStringLiteral("Name"), 4, 1)};
            const Site site = generate(QString::fromLatin1(f.name), p);
            const QString variables =
                readText(site.folder + QStringLiteral("/include/items_variables.asp"));
            QVERIFY2(variables.contains(f.written), qPrintable(QLatin1String(f.name) + variables));
            QVERIFY2(variables.contains(QStringLiteral("var OW_DIALECT = ") + f.dialect), f.name);
            QVERIFY2(variables.contains(QStringLiteral("var OW_PAGING = ") +
                                        paging.value(QString::fromLatin1(f.name))),
                     qPrintable(QLatin1String(f.name) + variables));
        }
        // PostgreSQL takes LIMIT/OFFSET; a driver nothing is known of keeps the cursor.
        for (const auto& [driver, expected] :
             {std::pair{QStringLiteral("Driver={PostgreSQL Unicode}; Server=db.example; "
                                       "Database=shop"),
                        QStringLiteral("{ style: \"limit\" }")},
              std::pair{QStringLiteral("Driver={Acme Warehouse}; Server=db.example"),
                        QStringLiteral("{ style: \"cursor\" }")}}) {
            Project p;
            p.DatasourceStatus = DatasourceConnection;
            p.ConnectionString = driver;
            p.TableName = QStringLiteral("Items");
            p.Columns = {col(QStringLiteral("Name"), 4, 1)};
            const Site site = generate(expected.contains(QLatin1String("limit"))
                                           ? QStringLiteral("paging-postgresql")
                                           : QStringLiteral("paging-other"),
                                       p);
            QVERIFY2(readText(site.folder + QStringLiteral("/include/items_variables.asp"))
                         .contains(QStringLiteral("var OW_PAGING = ") + expected),
                     qPrintable(driver));
        }
        // A data source name names no driver: the family the wizard read from
        // its driver decides (PostgreSQL, SQLite, a SQL database of no known family).
        for (const auto& [family, expected] :
             {std::pair{8, QStringLiteral("{ style: \"limit\" }")},
              std::pair{7, QStringLiteral("{ style: \"limit\" }")},
              std::pair{10, QStringLiteral("{ style: \"cursor\" }")}}) {
            Project p;
            p.DatasourceStatus = DatasourceDsn;
            p.DatasourceType = family;
            p.DatabaseName = QStringLiteral("ShopServer");
            p.TableName = QStringLiteral("Items");
            p.Columns = {col(QStringLiteral("Name"), 4, 1)};
            const Site site = generate(QStringLiteral("paging-dsn-%1").arg(family), p);
            QVERIFY2(readText(site.folder + QStringLiteral("/include/items_variables.asp"))
                         .contains(QStringLiteral("var OW_PAGING = ") + expected),
                     qPrintable(QString::number(family)));
        }
        // The string written for the server still opens the source here.
        QVERIFY2(generate(QStringLiteral("sqlite-again"),
                          [] {
                              Project p = sqliteProject(QStringLiteral("Customers"));
                              p.DatasourceStatus = DatasourceConnection;
                              p.ConnectionString =
                                  QStringLiteral("Driver={SQLite3 ODBC Driver}; Database=") +
                                  sample();
                              p.Columns = {col(QStringLiteral("CompanyName"), 4, 1)};
                              return p;
                          }())
                     .reports.isEmpty(),
                 "reports");
    }

    void imagesAreTheSitesOwnPngs() {
        const QString folder = m_sites[QStringLiteral("orders")].folder + QStringLiteral("/images");
        const QStringList images =
            QDir(folder).entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name);
        QCOMPARE(images.size(), 13);
        for (const QString& name : images) {
            const QByteArray bytes = readBytes(folder + QLatin1Char('/') + name);
            QImage image;
            QVERIFY2(image.loadFromData(bytes, "PNG"), qPrintable(name));
            QCOMPARE(image.size(), QSize(16, 16));
            int painted = 0;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x)
                    painted += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
            QVERIFY2(painted > 10 && painted < 256, qPrintable(name));
        }
        // The index page names only images that exist.
        static const QRegularExpression used(QStringLiteral("images/([a-z_]+\\.png)"));
        for (const QString& page : {QStringLiteral("include/functions.asp")}) {
            auto m = used.globalMatch(
                readText(m_sites[QStringLiteral("orders")].folder + QLatin1Char('/') + page));
            while (m.hasNext()) {
                const QString name = m.next().captured(1);
                QVERIFY2(images.contains(name), qPrintable(name));
            }
        }
    }
};

QTEST_MAIN(EngineSiteTest)
#include "tst_engine_site.moc"
