// Shared helpers of the generated pages. This page only declares: the table's
// own values come from its variable page, its per-column rules from its
// dynamic function page, and each page calls what it needs.
//
// Safety rules every page keeps by using these helpers: a value from the
// request reaches SQL only as a command parameter; sort columns, directions,
// operators and page sizes are looked up in the project's own lists; every
// value written into HTML goes through ow_html; changes are made only by POST
// requests that carry the session's token.

var OW_OPERATORS = {
    eq: " = ?", ne: " <> ?", lt: " < ?", le: " <= ?", gt: " > ?", ge: " >= ?"
};
var OW_COMPARISONS = { eq: "=", ne: "<>", lt: "<", le: "<=", gt: ">", ge: ">=" };
var OW_TEXT_OPERATORS = { contains: 1, starts: 1, eq: 1, ne: 1 };

// ---------------------------------------------------------------- text

function ow_str(v) {
    if (ow_isNothing(v)) return "";
    if (typeof v == "date") return ow_formatDateTime(new Date(v), 0);
    if (v instanceof Date) return ow_formatDateTime(v, 0);
    return String(v);
}

function ow_html(v) {
    return ow_str(v).replace(/&/g, "&amp;").replace(/</g, "&lt;").replace(/>/g, "&gt;")
        .replace(/"/g, "&quot;").replace(/'/g, "&#39;");
}

function ow_url(v) {
    return encodeURIComponent(ow_str(v));
}

function ow_int(text, fallback) {
    var s = ow_trimmed(text);
    if (!/^-?\d{1,9}$/.test(s)) return fallback;
    return parseInt(s, 10);
}

function ow_has(object, name) {
    return Object.prototype.hasOwnProperty.call(object, name);
}

function ow_indexOf(list, value) {
    for (var i = 0; i < list.length; i++)
        if (list[i] === value) return i;
    return -1;
}

// ---------------------------------------------------------------- values

// A database value as a JavaScript value: dates as Date, nothing as null.
function ow_dbValue(v) {
    if (ow_isNothing(v)) return null;
    if (typeof v == "date") return new Date(v);
    return v;
}

function ow_isTrue(v) {
    if (ow_isNothing(v)) return false;
    if (v === true || v === false) return v;
    return /^(true|yes|on|-1|1)$/i.test(ow_trimmed(v));
}

function ow_formatValue(v, column) {
    v = ow_dbValue(v);
    if (v === null) return "";
    var c = OW_COLUMNS[column];
    if (c.kind == "date") {
        if (!(v instanceof Date)) {
            var parsed = ow_parseDate(String(v), 0);
            if (parsed === null) return String(v);
            v = parsed;
        }
        return ow_formatDateTime(v, c.dateType);
    }
    if (c.kind == "boolean") return ow_isTrue(v) ? "Yes" : "No";
    if (c.kind == "currency") {
        var n = Number(v);
        return isNaN(n) ? String(v) : n.toFixed(2);
    }
    return ow_str(v);
}

// The largest values the command parameters hold: whole numbers exactly (a
// double's 53 bits), and ADO's currency type.
var OW_LARGEST_INTEGER = 9007199254740991;
var OW_LARGEST_CURRENCY = 922337203685477.5807;

// The typed value of a typed text for a column: null for an empty text,
// undefined for a text that is not a value of the column's kind or that its
// parameter type cannot hold.
function ow_typedValue(column, text) {
    var c = OW_COLUMNS[column], s = ow_trimmed(text), n;
    if (s == "") return null;
    if (c.kind == "integer") {
        if (!ow_isInteger(s)) return undefined;
        n = parseInt(s, 10);
        return Math.abs(n) <= OW_LARGEST_INTEGER ? n : undefined;
    }
    if (c.kind == "number") {
        if (!ow_isNumber(s)) return undefined;
        n = parseFloat(s);
        return isFinite(n) ? n : undefined;
    }
    if (c.kind == "currency") {
        var t = ow_currencyNumber(s);
        if (!ow_isNumber(t)) return undefined;
        n = parseFloat(t);
        return isFinite(n) && Math.abs(n) <= OW_LARGEST_CURRENCY ? n : undefined;
    }
    if (c.kind == "boolean") {
        if (/^(true|yes|on|-1|1)$/i.test(s)) return true;
        if (/^(false|no|off|0)$/i.test(s)) return false;
        return undefined;
    }
    if (c.kind == "date") {
        var d = ow_parseDate(s, c.dateType);
        return d === null ? undefined : d;
    }
    return String(text);
}

// A command parameter of the column's kind.
function ow_param(kind, value) {
    if (kind == "text" || kind == "memo") {
        var t = ow_isNothing(value) ? null : String(value);
        return { type: kind == "memo" ? 203 : 202, size: t === null ? 1 : Math.max(1, t.length), value: t };
    }
    if (kind == "integer")
        return { type: value !== null && Math.abs(value) > 2147483647 ? 5 : 3, size: 0, value: value };
    if (kind == "currency") return { type: 6, size: 0, value: value };
    if (kind == "boolean") return { type: 11, size: 0, value: value };
    if (kind == "date") return { type: 7, size: 0, value: value };
    return { type: 5, size: 0, value: value };
}

// ---------------------------------------------------------------- queries

// A visitor's text inside a LIKE pattern, matching only itself: the
// source's wildcards and the escape character are escaped. Jet has no ESCAPE
// clause and takes a character in brackets literally; SQL Server's LIKE also
// reads "[" as the start of a class.
function ow_likeText(text) {
    var s = ow_str(text);
    if (OW_DIALECT.like == "brackets") return s.replace(/[\[%_*?#]/g, "[$&]");
    if (OW_DIALECT.like == "escape-classes") return s.replace(/[!%_\[]/g, "!$&");
    return s.replace(/[!%_]/g, "!$&");
}

function ow_likeCondition(column, pattern, params) {
    params.push(ow_param("text", pattern));
    return OW_COLUMNS[column].sql + " LIKE ?" + (OW_DIALECT.like == "brackets" ? "" : " ESCAPE '!'");
}

// A date parameter and the expression it is compared with. SQLite keeps
// dates as text (with or without a time, with or without fractions) or as
// day numbers, so both sides go through julianday() and compare as instants.
function ow_dateOperand(column, d, params) {
    if (OW_DIALECT.dates == "julianday") {
        params.push(ow_param("text", ow_formatDate(d, 0) + " " + ow_pad(d.getHours(), 2) + ":" +
            ow_pad(d.getMinutes(), 2) + ":" + ow_pad(d.getSeconds(), 2)));
        return "julianday(?)";
    }
    params.push(ow_param("date", d));
    return "?";
}

function ow_dateColumn(column) {
    var sql = OW_COLUMNS[column].sql;
    return OW_DIALECT.dates == "julianday" ? "julianday(" + sql + ")" : sql;
}

// A date compared as the visitor means it: a day without a time is the whole
// day, so "=" finds every time of it, "<" none of it and "<=" all of it.
function ow_dateCondition(column, op, v, text, params) {
    var col = ow_dateColumn(column);
    if (/\d[ T]\d{1,2}:\d{2}/.test(ow_trimmed(text)))
        return col + " " + OW_COMPARISONS[op] + " " + ow_dateOperand(column, v, params);
    var start = new Date(v.getFullYear(), v.getMonth(), v.getDate());
    var next = new Date(v.getFullYear(), v.getMonth(), v.getDate() + 1);
    if (op == "eq") {
        var from = ow_dateOperand(column, start, params);
        return "(" + col + " >= " + from + " AND " + col + " < " + ow_dateOperand(column, next, params) + ")";
    }
    if (op == "ne") {
        var before = ow_dateOperand(column, start, params);
        return "(" + col + " < " + before + " OR " + col + " >= " + ow_dateOperand(column, next, params) + ")";
    }
    if (op == "lt") return col + " < " + ow_dateOperand(column, start, params);
    if (op == "le") return col + " < " + ow_dateOperand(column, next, params);
    if (op == "gt") return col + " >= " + ow_dateOperand(column, next, params);
    return col + " >= " + ow_dateOperand(column, start, params);
}

// Why a search condition was refused, in the visitor's words.
function ow_searchProblem(column, op, text) {
    var c = OW_COLUMNS[column], kinds = {
        integer: "a whole number", number: "a number", currency: "an amount of money",
        "boolean": "yes or no", date: "a date written " + (c.dateType == 1 ? "mm/dd/yyyy" : c.dateType == 2 ? "dd/mm/yyyy" : "yyyy-mm-dd")
    };
    var operators = c.kind == "text" || c.kind == "memo" ? OW_TEXT_OPERATORS
        : c.kind == "boolean" ? { eq: 1, ne: 1 } : OW_OPERATORS;
    if (!ow_has(operators, op)) return "The search was refused: " + c.caption + " cannot be compared that way.";
    return "The search was refused: " + c.caption + " takes " + (ow_has(kinds, c.kind) ? kinds[c.kind] : "a text") +
        " it can hold, not \"" + ow_trimmed(text) + "\".";
}

// One condition on a column, its values appended to params; "" when the
// operator does not apply to the column or the text is no value its
// parameter can hold.
function ow_condition(column, op, text, params) {
    var c = OW_COLUMNS[column];
    if (c.kind == "text" || c.kind == "memo") {
        if (!ow_has(OW_TEXT_OPERATORS, op)) return "";
        if (op == "contains") return ow_likeCondition(column, "%" + ow_likeText(text) + "%", params);
        if (op == "starts") return ow_likeCondition(column, ow_likeText(text) + "%", params);
        params.push(ow_param("text", ow_str(text)));
        return c.sql + OW_OPERATORS[op];
    }
    if (!ow_has(OW_OPERATORS, op)) return "";
    if (c.kind == "boolean" && op != "eq" && op != "ne") return "";
    var v = ow_typedValue(column, text);
    if (v === null || typeof v == "undefined") return "";
    if (c.kind == "date") return ow_dateCondition(column, op, v, text, params);
    params.push(ow_param(c.kind, v));
    return c.sql + OW_OPERATORS[op];
}

function ow_sortable(column) {
    return OW_FEATURES.sorting && column >= 0 && column < OW_COLUMNS.length && OW_COLUMNS[column].list;
}

// The list's query for a state: the project's query, narrowed by the basic
// and the advanced search and put in order.
// A condition that cannot be met stands for a refused one, so a refused
// search never widens to more rows; problems says why, for the page.
function ow_listQuery(state) {
    var where = [], params = [], order = [], problems = [], i;
    if (OW_FEATURES.simpleSearch && state.search != "") {
        var any = [];
        for (i = 0; i < OW_COLUMNS.length; i++) {
            if (!OW_COLUMNS[i].simple || (state.field >= 0 && state.field != i)) continue;
            var kind = OW_COLUMNS[i].kind;
            var op = kind == "text" || kind == "memo" ? "contains" : "eq";
            var cond = ow_condition(i, op, state.search, params);
            if (cond != "") any.push(cond);
            else if (state.field == i) problems.push(ow_searchProblem(i, op, state.search));
        }
        where.push(any.length ? "(" + any.join(" OR ") + ")" : "1 = 0");
    }
    if (OW_FEATURES.advancedSearch) {
        for (i = 0; i < state.advanced.length; i++) {
            var a = state.advanced[i];
            if (a.column < 0 || a.column >= OW_COLUMNS.length || !OW_COLUMNS[a.column].advanced) continue;
            var c2 = ow_condition(a.column, a.op, a.value, params);
            if (c2 == "") {
                c2 = "1 = 0";
                problems.push(ow_searchProblem(a.column, a.op, a.value));
            }
            where.push(c2);
        }
    }
    if (ow_sortable(state.sort)) {
        order.push({ sql: OW_COLUMNS[state.sort].sql, desc: state.desc });
    } else {
        for (i = 0; i < OW_INITIAL_ORDER.length; i++)
            order.push({ sql: OW_COLUMNS[OW_INITIAL_ORDER[i].column].sql, desc: OW_INITIAL_ORDER[i].desc });
    }
    var query = { sql: OW_BASE_SQL, params: params, problems: problems, where: where, order: order };
    if (where.length == 0 && order.length == 0) return query;
    query.sql = "SELECT * FROM (" + OW_BASE_SQL + ")" + OW_SUBQUERY_ALIAS;
    if (where.length) query.sql += " WHERE " + where.join(" AND ");
    if (order.length) query.sql += " ORDER BY " + ow_orderText(order, false);
    return query;
}

// An order as SQL: [{ sql, desc }], or the other way round when reversed.
// Every database sorts NULL at the same end for both directions, so the
// reversed order reads exactly the same rows backwards.
function ow_orderText(order, reversed) {
    var parts = [];
    for (var i = 0; i < order.length; i++)
        parts.push(order[i].sql + (order[i].desc != reversed ? " DESC" : " ASC"));
    return parts.join(", ");
}

// How many rows a list query finds, counted by the database.
function ow_countQuery(query) {
    var sql = "SELECT COUNT(*) FROM (" + OW_BASE_SQL + ")" + OW_SUBQUERY_ALIAS;
    if (query.where.length) sql += " WHERE " + query.where.join(" AND ");
    return { sql: sql, params: query.params };
}

// The count of a list query: a recent count of a big list where one is
// kept, unless fresh is asked for.
function ow_count(conn, query, fresh) {
    var counted = ow_countQuery(query), key = ow_countKey(counted);
    var generation = ow_countGeneration(), started = new Date().getTime();
    if (!fresh) {
        var kept = ow_keptCounts(generation, started);
        if (ow_has(kept, key)) return kept[key].count;
    }
    var rs = ow_rows(conn, counted);
    var n = rs.EOF ? 0 : Number(ow_dbValue(rs.Fields.Item(0).Value));
    rs.Close();
    n = isNaN(n) ? 0 : n;
    if (n >= OW_COUNTS.fromRows) ow_keepCount(key, n, generation, started);
    return n;
}

// Kept counts live in the Application state as one text, a line per query,
// with the generation of the data they counted: every change the site makes
// starts a new generation, and a count of an older one is never used, even
// one that was still being counted when the change was made.
function ow_countKey(counted) {
    var key = counted.sql;
    for (var i = 0; i < counted.params.length; i++) key += "\u0001" + String(counted.params[i].value);
    return encodeURIComponent(key);
}

function ow_countGeneration() {
    var g = Number(Application(OW_COUNTS.name + "_generation"));
    return isNaN(g) ? 0 : g;
}

function ow_keptCounts(generation, now) {
    var text = Application(OW_COUNTS.name), kept = {};
    var lines = ow_isNothing(text) ? [] : String(text).split("\n");
    for (var i = 0; i < lines.length; i++) {
        var f = lines[i].split("\t");
        if (f.length == 4 && Number(f[2]) == generation && now - Number(f[3]) < OW_COUNTS.keep * 1000)
            kept[f[0]] = { count: Number(f[1]), at: Number(f[3]) };
    }
    return kept;
}

function ow_keepCount(key, count, generation, at) {
    Application.Lock();
    try {
        if (ow_countGeneration() != generation) return;
        var kept = ow_keptCounts(generation, new Date().getTime()), keys = [], lines = [], k;
        kept[key] = { count: count, at: at };
        for (k in kept)
            if (ow_has(kept, k)) keys.push(k);
        keys.sort(function (a, b) { return kept[b].at - kept[a].at; });
        for (var i = 0; i < keys.length && i < OW_COUNTS.entries; i++)
            lines.push(keys[i] + "\t" + kept[keys[i]].count + "\t" + generation + "\t" + kept[keys[i]].at);
        Application(OW_COUNTS.name) = lines.join("\n");
    } finally {
        Application.Unlock();
    }
}

function ow_forgetCounts() {
    Application.Lock();
    try {
        Application(OW_COUNTS.name + "_generation") = ow_countGeneration() + 1;
        Application(OW_COUNTS.name) = "";
    } finally {
        Application.Unlock();
    }
}

// The order pages are read in: the list's, ended with the key, so rows that
// sort alike cannot fall on two pages or on none; the key alone when the list
// has no order. Empty when there is no key to make the order whole.
function ow_pageOrder(query) {
    var order = query.order.slice(0), i;
    for (i = 0; i < OW_KEYS.length; i++) order.push({ sql: OW_COLUMNS[OW_KEYS[i]].sql, desc: false });
    return OW_KEYS.length ? order : query.order.slice(0);
}

// True when a page can be read from the end of the list: the source pages in
// its own SQL and the order is whole, so reversed it reads the same rows.
function ow_readsFromEnd() {
    return OW_PAGING.style != "cursor" && OW_KEYS.length > 0;
}

// One page of a list query, read by the database itself where the source
// can: skip says how many of the rows read come before the page (TOP and the
// cursor read from the first row). page and size are whole numbers the list
// state has already checked, so they are written into the SQL as they are;
// extra rows after the page are read too when asked for. Given the total, a
// page nearer the end than the start is read from the end: the database
// skips the rows after it instead of the rows before it.
function ow_pageQuery(query, page, size, extra, total) {
    var first = (page - 1) * size;
    var rows = size + (extra ? extra : 0);
    if (OW_PAGING.style == "cursor") return { sql: query.sql, params: query.params, skip: first };
    var order = ow_pageOrder(query);
    var rest = OW_SUBQUERY_ALIAS;
    if (query.where.length) rest += " WHERE " + query.where.join(" AND ");
    if (typeof total == "number" && ow_readsFromEnd()) {
        var after = Math.max(0, total - first - size);
        if (after < first) return ow_tailPage(query, rest, order, after, Math.min(size, total - first));
    }
    if (OW_PAGING.style == "rownumber") return ow_numberedPage(query, rest, order, first, rows, false);
    if (order.length) rest += " ORDER BY " + ow_orderText(order, false);
    if (OW_PAGING.style == "top")
        return { sql: "SELECT TOP " + (first + rows) + " * FROM (" + OW_BASE_SQL + ")" + rest, params: query.params, skip: first };
    return { sql: "SELECT * FROM (" + OW_BASE_SQL + ")" + rest + " LIMIT " + rows + " OFFSET " + first,
        params: query.params, skip: 0 };
}

// A page read from the end: the rows in reversed order, after of them
// skipped, then turned back into the list's order by the database.
function ow_tailPage(query, filtered, order, after, rows) {
    if (OW_PAGING.style == "rownumber") return ow_numberedPage(query, filtered, order, after, rows, true);
    var page = OW_SUBQUERY_ALIAS.replace("ow_rows", "ow_page") + " ORDER BY " + ow_orderText(order, false);
    var reversed = filtered + " ORDER BY " + ow_orderText(order, true);
    if (OW_PAGING.style == "top")
        return { sql: "SELECT TOP " + rows + " * FROM (SELECT TOP " + (after + rows) + " * FROM (" + OW_BASE_SQL + ")" +
            reversed + ")" + page, params: query.params, skip: 0 };
    return { sql: "SELECT * FROM (SELECT * FROM (" + OW_BASE_SQL + ")" + reversed + " LIMIT " + rows + " OFFSET " +
        after + ")" + page, params: query.params, skip: 0 };
}

// A page by ROW_NUMBER(), which SQL Server reads from 2005 and Oracle long
// before 12c, where OFFSET ... FETCH needs SQL Server 2012 or Oracle 12c. The
// numbering needs an order: the key, or the first column, where the list has
// none. Numbered from the end, the page is turned back by its numbers.
function ow_numberedPage(query, filtered, order, first, rows, reversed) {
    if (!order.length) order.push({ sql: OW_COLUMNS[0].sql, desc: false });
    var numbered = "SELECT ow_rows.*, ROW_NUMBER() OVER (ORDER BY " + ow_orderText(order, reversed) +
        ") AS ow_row FROM (" + OW_BASE_SQL + ")" + filtered;
    return { sql: "SELECT * FROM (" + numbered + ")" + OW_SUBQUERY_ALIAS.replace("ow_rows", "ow_page") +
        " WHERE ow_row > " + first + " AND ow_row <= " + (first + rows) + " ORDER BY ow_row" + (reversed ? " DESC" : ""),
        params: query.params, skip: 0 };
}

// The rows a list shows for a state: { rs, total, pageCount }, the recordset
// standing on the first row of the page. A page past the end becomes the
// last page (state.page is changed to it).
// The first page is read with one row more than it shows. When that row does
// not come, the page is the whole list, and its rows are the count: the
// database is not asked to count, so a search that reads the whole table
// reads it once. Any other page needs the count first, to know which end of
// the list it is nearer to.
function ow_listRows(conn, query, state) {
    if (!OW_FEATURES.paging) {
        var all = ow_rows(conn, query);
        return { rs: all, total: all.RecordCount, pageCount: 1 };
    }
    if (state.page > 1 && ow_readsFromEnd()) return ow_countedPage(conn, query, state, ow_count(conn, query));
    var paged = ow_pageQuery(query, state.page, state.size, 1);
    var rs = ow_rows(conn, paged);
    var first = (state.page - 1) * state.size, read = rs.RecordCount - paged.skip, total;
    if (OW_PAGING.style == "cursor") {
        total = rs.RecordCount;
    } else if (read <= state.size && (read > 0 || first == 0)) {
        total = first + read;
    } else {
        total = ow_count(conn, query);
        // A kept count that the rows just read outnumber is out of date.
        if (total < first + read) total = ow_count(conn, query, true);
    }
    if (state.page > Math.max(1, Math.ceil(total / state.size))) {
        rs.Close();
        return ow_countedPage(conn, query, state, total);
    }
    return ow_positioned(rs, paged, state, total);
}

// The page of a list whose total is known; a page past the end becomes the last.
function ow_countedPage(conn, query, state, total) {
    state.page = Math.min(state.page, Math.max(1, Math.ceil(total / state.size)));
    var paged = ow_pageQuery(query, state.page, state.size, 0, total);
    return ow_positioned(ow_rows(conn, paged), paged, state, total);
}

function ow_positioned(rs, paged, state, total) {
    if (paged.skip > 0 && paged.skip < rs.RecordCount) {
        rs.PageSize = state.size;
        rs.AbsolutePage = state.page;
    }
    return { rs: rs, total: total, pageCount: Math.max(1, Math.ceil(total / state.size)) };
}

// Every row of a list query, read forward once and never held together: for
// a file of all the rows, which the page writes as it reads them.
function ow_forwardRows(conn, query) {
    var rs = Server.CreateObject("ADODB.Recordset");
    rs.CursorLocation = 2;
    rs.CursorType = 0;
    rs.LockType = 1;
    rs.Open(ow_command(conn, query));
    return rs;
}

// The key values of a record as typed values, or null when one does not convert.
function ow_typedKeys(texts) {
    var values = [];
    for (var i = 0; i < OW_KEYS.length; i++) {
        var v = ow_typedValue(OW_KEYS[i], texts[i]);
        if (v === null || typeof v == "undefined") return null;
        values.push(v);
    }
    return values;
}

function ow_keyQuery(statement, keys, params) {
    var conds = [];
    for (var i = 0; i < OW_KEYS.length; i++) {
        var c = OW_COLUMNS[OW_KEYS[i]];
        conds.push(c.sql + " = ?");
        params.push(ow_param(c.kind, keys[i]));
    }
    return { sql: statement + " WHERE " + conds.join(" AND "), params: params };
}

function ow_recordQuery(keys) {
    return ow_keyQuery(OW_RECORD_SQL, keys, []);
}

function ow_deleteQuery(keys) {
    return ow_keyQuery("DELETE FROM " + OW_TABLE_SQL, keys, []);
}

// pairs: [{ column: index, value: typed value }]
function ow_insertQuery(pairs) {
    var names = [], marks = [], params = [];
    for (var i = 0; i < pairs.length; i++) {
        var c = OW_COLUMNS[pairs[i].column];
        names.push(c.sql);
        marks.push("?");
        params.push(ow_param(c.kind, pairs[i].value));
    }
    return {
        sql: "INSERT INTO " + OW_TABLE_SQL + " (" + names.join(", ") + ") VALUES (" + marks.join(", ") + ")",
        params: params
    };
}

function ow_updateQuery(pairs, keys) {
    var sets = [], params = [];
    for (var i = 0; i < pairs.length; i++) {
        var c = OW_COLUMNS[pairs[i].column];
        sets.push(c.sql + " = ?");
        params.push(ow_param(c.kind, pairs[i].value));
    }
    return ow_keyQuery("UPDATE " + OW_TABLE_SQL + " SET " + sets.join(", "), keys, params);
}

// ---------------------------------------------------------------- ADO

function ow_open() {
    var conn = Server.CreateObject("ADODB.Connection");
    conn.Open(ow_connectionString());
    return conn;
}

function ow_command(conn, query) {
    var cmd = Server.CreateObject("ADODB.Command");
    cmd.ActiveConnection = conn;
    cmd.CommandText = query.sql;
    cmd.CommandType = 1;
    for (var i = 0; i < query.params.length; i++) {
        var p = query.params[i], v = p.value;
        if (v instanceof Date) v = v.getVarDate();
        cmd.Parameters.Append(cmd.CreateParameter("p" + (i + 1), p.type, 1, p.size, v));
    }
    return cmd;
}

// A read-only recordset that knows its size, for paging.
function ow_rows(conn, query) {
    var rs = Server.CreateObject("ADODB.Recordset");
    rs.CursorLocation = 3;
    rs.CursorType = 3;
    rs.LockType = 1;
    rs.Open(ow_command(conn, query));
    return rs;
}

function ow_run(conn, query) {
    try {
        ow_command(conn, query).Execute();
    } finally {
        ow_forgetCounts();
    }
}

function ow_field(rs, column) {
    return ow_dbValue(rs.Fields.Item(OW_COLUMNS[column].name).Value);
}

// ---------------------------------------------------------------- lookups

var ow_optionCache = {};

// The choices of a radio button or lookup column: [{ value, text }].
function ow_options(column, conn) {
    var key = "c" + column;
    if (ow_has(ow_optionCache, key)) return ow_optionCache[key];
    var c = OW_COLUMNS[column], list = [], i;
    if (c.lookup == "static") {
        var values = OW_STATIC_OPTIONS[column];
        for (i = 0; i < values.length; i++) list.push({ value: values[i], text: values[i] });
    } else if (c.lookup == "query") {
        var rs = ow_rows(conn, { sql: c.lookupSql, params: [] });
        while (!rs.EOF) {
            var value = ow_str(ow_dbValue(rs.Fields.Item(0).Value));
            var text = c.linked && rs.Fields.Count > 1 ? ow_str(ow_dbValue(rs.Fields.Item(1).Value)) : value;
            list.push({ value: value, text: text });
            rs.MoveNext();
        }
        rs.Close();
    }
    ow_optionCache[key] = list;
    return list;
}

function ow_optionText(column, value, conn) {
    var s = ow_str(value), list = ow_options(column, conn);
    for (var i = 0; i < list.length; i++)
        if (list[i].value == s) return list[i].text;
    return s;
}

function ow_isOption(column, text, conn) {
    var list = ow_options(column, conn);
    for (var i = 0; i < list.length; i++)
        if (list[i].value == text) return true;
    return false;
}

// ---------------------------------------------------------------- request

function ow_begin() {
    Response.Buffer = true;
    Response.CodePage = 65001;
    Response.CharSet = "utf-8";
    Response.CacheControl = "no-cache";
    Response.AddHeader("Pragma", "no-cache");
    Response.AddHeader("X-Content-Type-Options", "nosniff");
    Response.AddHeader("X-Frame-Options", "SAMEORIGIN");
    Response.AddHeader("Content-Security-Policy", OW_CONTENT_POLICY);
    ow_guardSessionCookie();
}

function ow_isHttps() {
    return String(Request.ServerVariables("HTTPS")).toLowerCase() == "on";
}

// What every cookie of the site carries: never read by scripts, not sent with
// a form posted to the site from another one, and over HTTPS only when the
// visitor came over HTTPS.
function ow_cookieAttributes() {
    return "; path=/; HttpOnly; SameSite=Lax" + (ow_isHttps() ? "; Secure" : "");
}

// The server gives its session cookie, which the form token and the login
// stand on, none of these attributes: the site sends it again with them,
// once per session and scheme.
function ow_guardSessionCookie() {
    var scheme = ow_isHttps() ? "https" : "http", sent = false;
    if (String(Session("ow_cookie")) == scheme) return;
    for (var e = new Enumerator(Request.Cookies); !e.atEnd(); e.moveNext()) {
        var name = String(e.item()), value = String(Request.Cookies(name));
        if (!/^ASPSESSIONID[A-Z]+$/.test(name) || !/^[A-Z]+$/.test(value)) continue;
        Response.AddHeader("Set-Cookie", name + "=" + value + ow_cookieAttributes());
        sent = true;
    }
    if (sent) Session("ow_cookie") = scheme;
}

function ow_first(collection) {
    return collection.Count > 0 ? String(collection.Item(1)) : "";
}

function ow_q(name) {
    return ow_first(Request.QueryString(name));
}

function ow_f(name) {
    return ow_first(Request.Form(name));
}

function ow_isPost() {
    return String(Request.ServerVariables("REQUEST_METHOD")) == "POST";
}

// The list's state from the query string; every part checked against the
// project's own columns and choices.
function ow_readListState() {
    var state = {
        search: ow_trimmed(ow_q("q")),
        field: ow_int(ow_q("qf"), -1),
        sort: ow_int(ow_q("s"), -1),
        desc: ow_q("d") == "desc",
        page: Math.max(1, ow_int(ow_q("p"), 1)),
        size: OW_PAGE_SIZE,
        advanced: []
    };
    if (state.field < -1 || state.field >= OW_COLUMNS.length || (state.field >= 0 && !OW_COLUMNS[state.field].simple))
        state.field = -1;
    if (!ow_sortable(state.sort)) {
        state.sort = -1;
        state.desc = false;
    }
    if (OW_FEATURES.pageChoice) {
        var size = ow_int(ow_q("n"), OW_PAGE_SIZE);
        if (ow_indexOf(OW_PAGE_SIZES, size) >= 0) state.size = size;
    }
    if (OW_FEATURES.advancedSearch) {
        for (var i = 0; i < OW_COLUMNS.length; i++) {
            if (!OW_COLUMNS[i].advanced) continue;
            var value = ow_q("a" + i + "v");
            if (ow_trimmed(value) != "") state.advanced.push({ column: i, op: ow_q("a" + i + "o"), value: value });
        }
    }
    return state;
}

// The query string of a state, with some parts replaced: { p: 2 }.
function ow_stateQuery(state, changes) {
    var parts = [], values = {
        q: state.search, qf: state.field >= 0 ? state.field : "",
        s: state.sort >= 0 ? state.sort : "", d: state.sort >= 0 && state.desc ? "desc" : "",
        n: state.size != OW_PAGE_SIZE ? state.size : "", p: state.page > 1 ? state.page : ""
    };
    for (var name in changes)
        if (ow_has(changes, name)) values[name] = changes[name];
    var order = ["q", "qf", "s", "d", "n", "p"];
    for (var i = 0; i < order.length; i++)
        if (ow_str(values[order[i]]) != "") parts.push(order[i] + "=" + ow_url(values[order[i]]));
    for (var j = 0; j < state.advanced.length; j++) {
        var a = state.advanced[j];
        parts.push("a" + a.column + "o=" + ow_url(a.op));
        parts.push("a" + a.column + "v=" + ow_url(a.value));
    }
    return parts.join("&");
}

function ow_link(page, query) {
    return ow_html(query == "" ? page : page + "?" + query);
}

// ---------------------------------------------------------------- session

// Ends the request with an error page of its own: the page cannot go on safely.
function ow_fail(message) {
    Response.Clear();
    Response.Status = "500 Internal Server Error";
    Response.ContentType = "text/html";
    Response.Write("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n" +
        "<title>This page cannot be shown</title>\n</head>\n<body>\n<h1>This page cannot be shown</h1>\n<p>" +
        ow_html(message) + "</p>\n</body>\n</html>\n");
    Response.End();
}

// A token no visitor can guess: the random part of a new GUID, which Windows
// draws from its cryptographic generator. A server that does not allow the
// GUID component gets no token at all, never a guessable one.
function ow_newToken() {
    var hex = "";
    try {
        hex = String(Server.CreateObject("Scriptlet.TypeLib").Guid).replace(/[^0-9A-Fa-f]/g, "");
    } catch (e) {
        hex = "";
    }
    if (hex.length < 32)
        ow_fail("The web server does not let this site create the component \"Scriptlet.TypeLib\" " +
            "(scrobj.dll), its only source of unpredictable numbers, so it cannot protect its forms " +
            "against forged requests. The server's administrator needs to allow that component " +
            "for this site.");
    return hex.substr(0, 32);
}

// The session's token against cross-site requests.
function ow_token() {
    var t = Session("ow_token");
    if (ow_isNothing(t) || String(t) == "") {
        t = ow_newToken();
        Session("ow_token") = t;
    }
    return String(t);
}

function ow_tokenField() {
    return "<input type=\"hidden\" name=\"ow_token\" value=\"" + ow_html(ow_token()) + "\">";
}

// True for a POST request that carries the session's token.
function ow_checkedPost() {
    if (!ow_isPost()) return false;
    var sent = ow_f("ow_token");
    return sent != "" && sent === ow_token();
}

// The name of the visitor who logged in. The login holds only together with
// the cookie the login page gave his browser, so a session id that someone
// else planted in the browser before the login (or learnt before it) does
// not carry the login to him.
function ow_user() {
    var u = Session(OW_LOGIN.sessionKey), key = Session(OW_LOGIN.sessionKey + "_key");
    if (ow_isNothing(u) || ow_isNothing(key) || String(key) == "") return "";
    if (String(Request.Cookies(ow_loginCookie())) !== String(key)) return "";
    return String(u);
}

// Logs the visitor in under a new secret of this browser's own.
function ow_startLogin(name) {
    var key = ow_newToken();
    Session(OW_LOGIN.sessionKey) = name;
    Session(OW_LOGIN.sessionKey + "_key") = key;
    Response.AddHeader("Set-Cookie", ow_loginCookie() + "=" + key + ow_cookieAttributes());
}

// The cookie's name: the session key with only the characters a cookie name may hold.
function ow_loginCookie() {
    return OW_LOGIN.sessionKey.replace(/[^A-Za-z0-9_]/g, "_");
}

function ow_endLogin() {
    Session.Contents.Remove(OW_LOGIN.sessionKey);
    Session.Contents.Remove(OW_LOGIN.sessionKey + "_key");
}

// Sends a visitor who has not logged in to the login page, which brings him
// back to this page (named by its role, never by a path from the request).
function ow_requireLogin(role) {
    if (OW_LOGIN.kind == "none" || ow_user() != "") return;
    Response.Redirect(OW_PAGES.login + "?r=" + ow_url(role));
}

// ---------------------------------------------------------------- list parts

function ow_cellText(column, v, conn, cut) {
    var text = OW_FORMAT[column](v, conn);
    var html = ow_html(text);
    var c = OW_COLUMNS[column];
    if (cut && OW_FEATURES.more && (c.kind == "text" || c.kind == "memo") && text.length > OW_MORE_LENGTH) {
        html = "<span class=\"ow-short\">" + ow_html(text.substr(0, OW_MORE_LENGTH)) + "&hellip;</span>" +
            "<span class=\"ow-full\" hidden>" + html + "</span> <a href=\"#\" class=\"ow-more\">more...</a>";
    }
    return html;
}

function ow_sortHeader(column, caption, state, page) {
    if (!ow_sortable(column)) return ow_html(caption);
    var desc = state.sort == column && !state.desc;
    var image = state.sort == column ? (state.desc ? "sort_desc.png" : "sort_asc.png") : "sort_none.png";
    return "<a href=\"" + ow_link(page, ow_stateQuery(state, { s: column, d: desc ? "desc" : "", p: "" })) + "\">" +
        ow_html(caption) + " <img src=\"images/" + image + "\" alt=\"\" width=\"16\" height=\"16\"></a>";
}

function ow_pager(state, pageCount, page) {
    if (pageCount <= 1) return "";
    var html = "<div class=\"ow-pager\">";
    function step(target, image, label) {
        if (target < 1 || target > pageCount || target == state.page)
            return "<span class=\"ow-off\"><img src=\"images/" + image + "\" alt=\"" + label + "\" width=\"16\" height=\"16\"></span> ";
        return "<a href=\"" + ow_link(page, ow_stateQuery(state, { p: target > 1 ? target : "" })) + "\" title=\"" + label + "\">" +
            "<img src=\"images/" + image + "\" alt=\"" + label + "\" width=\"16\" height=\"16\"></a> ";
    }
    html += step(1, "first.png", "First") + step(state.page - 1, "prev.png", "Previous");
    html += "<span>Page " + state.page + " of " + pageCount + "</span> ";
    html += step(state.page + 1, "next.png", "Next") + step(pageCount, "last.png", "Last");
    return html + "</div>";
}

// Hidden fields that carry a state through a form, less the named parts.
function ow_stateFields(state, skip) {
    var query = ow_stateQuery(state, skip), html = "";
    if (query == "") return html;
    var pairs = query.split("&");
    for (var i = 0; i < pairs.length; i++) {
        var at = pairs[i].indexOf("=");
        html += "<input type=\"hidden\" name=\"" + ow_html(decodeURIComponent(pairs[i].substr(0, at))) +
            "\" value=\"" + ow_html(decodeURIComponent(pairs[i].substr(at + 1))) + "\">";
    }
    return html;
}

function ow_keyQueryString(rs) {
    var parts = [];
    for (var i = 0; i < OW_KEYS.length; i++)
        parts.push("k" + i + "=" + ow_url(ow_keyText(ow_field(rs, OW_KEYS[i]), OW_KEYS[i])));
    return parts.join("&");
}

function ow_keyFields(rs) {
    var html = "";
    for (var i = 0; i < OW_KEYS.length; i++)
        html += "<input type=\"hidden\" name=\"k" + i + "\" value=\"" + ow_html(ow_keyText(ow_field(rs, OW_KEYS[i]), OW_KEYS[i])) + "\">";
    return html;
}

// A key value as text that ow_typedValue reads back to the same value.
function ow_keyText(v, column) {
    if (v instanceof Date) return ow_formatDateTime(v, OW_COLUMNS[column].dateType);
    if (OW_COLUMNS[column].kind == "boolean") return ow_isTrue(v) ? "true" : "false";
    return ow_str(v);
}

// The key values a request names, typed; null when they are missing or wrong.
// True when the request names a record at all, whether or not its key converts.
function ow_namesRecord(read) {
    for (var i = 0; i < OW_KEYS.length; i++)
        if (ow_trimmed(read("k" + i)) != "") return true;
    return false;
}

function ow_exists(conn, keys) {
    var rs = ow_rows(conn, ow_recordQuery(keys)), found = !rs.EOF;
    rs.Close();
    return found;
}

function ow_requestKeys(read) {
    var texts = [];
    for (var i = 0; i < OW_KEYS.length; i++) texts.push(read("k" + i));
    return OW_KEYS.length ? ow_typedKeys(texts) : null;
}

// ---------------------------------------------------------------- export

// A cell's text that a spreadsheet cannot take for a formula: one that starts
// with = + - @, a tab or a carriage return gets a leading apostrophe, unless
// it is a plain number such as -12.50.
function ow_safeCell(text) {
    var s = ow_str(text);
    if (/^[=+\-@\t\r]/.test(s) && !/^-\d+(\.\d+)?$/.test(s)) s = "'" + s;
    return s;
}

// Every field in double quotes, so neither a comma nor the semicolon some
// spreadsheets split at can start a new cell.
function ow_csvField(text) {
    return "\"" + ow_safeCell(text).replace(/"/g, "\"\"") + "\"";
}

function ow_xml(text) {
    return ow_str(text).replace(/&/g, "&amp;").replace(/</g, "&lt;").replace(/>/g, "&gt;")
        .replace(/"/g, "&quot;").replace(/[\x00-\x08\x0b\x0c\x0e-\x1f]/g, "");
}

// ---------------------------------------------------------------- forms

// A stored value as the text a form field shows and sends back.
function ow_editText(column, v) {
    v = ow_dbValue(v);
    if (v === null) return "";
    var c = OW_COLUMNS[column];
    if (v instanceof Date) return ow_formatDateTime(v, c.dateType);
    if (c.kind == "boolean") return ow_isTrue(v) ? "1" : "0";
    return String(v);
}

function ow_radioButtons(column, current, conn) {
    var list = ow_options(column, conn), html = "";
    for (var i = 0; i < list.length; i++) {
        html += "<label><input type=\"radio\" name=\"f" + column + "\" value=\"" + ow_html(list[i].value) + "\"" +
            (list[i].value == current ? " checked" : "") + "> " + ow_html(list[i].text) + "</label> ";
    }
    return html;
}

// A list with nothing chosen yet starts empty, required or not, so that a
// record is never stored with a value the visitor did not pick.
function ow_selectOptions(column, current, conn, blank) {
    var list = ow_options(column, conn);
    var html = blank || ow_str(current) == "" ? "<option value=\"\"></option>" : "";
    for (var i = 0; i < list.length; i++) {
        html += "<option value=\"" + ow_html(list[i].value) + "\"" + (list[i].value == current ? " selected" : "") + ">" +
            ow_html(list[i].text) + "</option>";
    }
    return html;
}

// ---------------------------------------------------------------- login

// Failed logins, counted per login name and, apart from that, per client
// address, in the Application state that every visitor shares. After
// OW_LOGIN.throttle.tries failures for a name (addressTries for an
// address) each further attempt is refused unchecked until a wait has
// passed, which doubles with every failure after the limit up to longestWait
// seconds. A count is forgotten forgetAfter seconds after its last failure,
// and at most OW_LOGIN.throttle.entries counts are kept: the oldest go first.
// The counts are kept as one text, which the Application state holds safely
// whatever the server's threading.
function ow_failureKeys(name) {
    return ["n" + encodeURIComponent(name.toLowerCase()),
        "a" + encodeURIComponent(String(Request.ServerVariables("REMOTE_ADDR")))];
}

function ow_readFailures() {
    var text = Application(OW_LOGIN.sessionKey + "_failures"), list = {}, now = new Date().getTime();
    var lines = ow_isNothing(text) ? [] : String(text).split("\n");
    for (var i = 0; i < lines.length; i++) {
        var f = lines[i].split("\t");
        if (f.length != 4) continue;
        var entry = { count: Number(f[1]), last: Number(f[2]), until: Number(f[3]) };
        if (now - Math.max(entry.last, entry.until) < OW_LOGIN.throttle.forgetAfter * 1000) list[f[0]] = entry;
    }
    return list;
}

function ow_writeFailures(list) {
    var keys = [], lines = [], key;
    for (key in list)
        if (ow_has(list, key)) keys.push(key);
    keys.sort(function (a, b) { return list[b].last - list[a].last; });
    for (var i = 0; i < keys.length && i < OW_LOGIN.throttle.entries; i++) {
        var e = list[keys[i]];
        lines.push(keys[i] + "\t" + e.count + "\t" + e.last + "\t" + e.until);
    }
    Application(OW_LOGIN.sessionKey + "_failures") = lines.join("\n");
}

// True while the name or the address must wait before its next attempt.
function ow_loginRefused(name) {
    var list = ow_readFailures(), keys = ow_failureKeys(name), now = new Date().getTime();
    for (var i = 0; i < keys.length; i++)
        if (ow_has(list, keys[i]) && list[keys[i]].until > now) return true;
    return false;
}

// Counts a failure against the name and the address; a success clears the
// name's count only, so logging in to one's own account does not buy an
// address more guesses at others.
function ow_countLogin(name, succeeded) {
    var t = OW_LOGIN.throttle, keys = ow_failureKeys(name), now = new Date().getTime();
    Application.Lock();
    try {
        var list = ow_readFailures();
        if (succeeded) {
            delete list[keys[0]];
        } else {
            for (var i = 0; i < keys.length; i++) {
                var e = ow_has(list, keys[i]) ? list[keys[i]] : { count: 0, last: now, until: 0 };
                var limit = i == 0 ? t.tries : t.addressTries;
                e.count++;
                e.last = now;
                if (e.count >= limit)
                    e.until = now + Math.min(t.longestWait, t.firstWait * Math.pow(2, Math.min(30, e.count - limit))) * 1000;
                list[keys[i]] = e;
            }
        }
        ow_writeFailures(list);
    } finally {
        Application.Unlock();
    }
}

// Whether name and password log in; refused unchecked while the name or the
// address must wait, which the visitor is told in the words of any failure.
function ow_tryLogin(name, password) {
    if (ow_loginRefused(name)) return false;
    var ok = ow_checkLogin(name, password);
    ow_countLogin(name, ok);
    return ok;
}

function ow_checkLogin(name, password) {
    if (name == "" || password == "") return false;
    if (OW_LOGIN.kind == "fixed") return name === OW_LOGIN.name && password === OW_LOGIN.password;
    if (OW_LOGIN.kind != "table") return false;
    var conn = ow_open(), ok = false;
    var rs = ow_rows(conn, { sql: OW_LOGIN.sql, params: [ow_param("text", name)] });
    while (!rs.EOF) {
        if (ow_str(ow_dbValue(rs.Fields.Item(0).Value)) === password) ok = true;
        rs.MoveNext();
    }
    rs.Close();
    conn.Close();
    return ok;
}

function ow_logoutForm() {
    if (OW_LOGIN.kind == "none") return "";
    return "<form class=\"ow-logout\" method=\"post\" action=\"" + ow_html(OW_PAGES.login) + "\">" + ow_tokenField() +
        "<input type=\"hidden\" name=\"ow_action\" value=\"logout\">" +
        "<span>" + ow_html(ow_user()) + "</span> <button type=\"submit\">Log out</button></form>";
}
