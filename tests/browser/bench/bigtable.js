// Benchmark (not a test): list pages of a generated site over a table of
// 1,000,000 rows and of 1,000 rows, served by the preview host. Prints the
// median time of page 1, a middle page, the last page and a search, the
// host's memory while paging through, and for the big tables the export of
// every row: time to the first byte and to the last, and the host's largest
// memory meanwhile.
//
//   node tests/browser/bench/bigtable.js [ROUNDS]
//
// With the test database servers running (scripts/test-services.sh, its
// exports in the environment) PostgreSQL is measured too; its table has the
// trigram index a table searched by any part of a name has there. The host
// keeps closed connections for the next page, as IIS does. "cursor" rows read
// the same SQLite table the way the pages did before they paged in the
// database: every row through a client cursor.
import { readFileSync, writeFileSync } from "node:fs";
import path from "node:path";
import { scratch } from "../lib/env.js";
import * as pg from "../lib/postgres.js";
import { generate, serve } from "../lib/site.js";
import * as sqlite from "../lib/sqlite.js";

const rounds = Number(process.argv[2] ?? 15);
const dir = scratch("bench");

const columns = [
    { name: "id", type: 1, editType: 9 },
    { name: "name", type: 4 },
    { name: "price", type: 7 },
    { name: "made", type: 8, editType: 7, details: "0" },
];

function sqliteTable(rows) {
    const file = path.join(dir, `items${rows}.db`);
    sqlite.exec(file, "CREATE TABLE items (id INTEGER PRIMARY KEY, name VARCHAR(60) NOT NULL, price NUMERIC(10,2), " +
        "made DATE); WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " + rows + ") " +
        "INSERT INTO items SELECT i, printf('Item %07d', i), i % 1000 + 0.5, date('2020-01-01', '+' || (i % 2000) || ' days') FROM n;");
    return file;
}

function pgTable(rows) {
    const table = `ow_bench_items${rows}`;
    pg.psql(`DROP TABLE IF EXISTS ${table}; CREATE TABLE ${table} (id SERIAL PRIMARY KEY, name VARCHAR(60) NOT NULL, ` +
        `price NUMERIC(10,2), made DATE); INSERT INTO ${table} (name, price, made) SELECT 'Item ' || lpad(i::text, 7, '0'), ` +
        `i % 1000 + 0.5, DATE '2020-01-01' + i % 2000 FROM generate_series(1, ${rows}) AS i`);
    // The index a table searched for any part of a name has in PostgreSQL:
    // trigrams, which "contains" (LIKE '%...%') uses as it is written.
    pg.psql(`CREATE EXTENSION IF NOT EXISTS pg_trgm; CREATE INDEX ${table}_name_trgm ON ${table} USING gin (name gin_trgm_ops)`);
    pg.psql(`VACUUM ANALYZE ${table}`);
    return table;
}

const rssKb = (pid) => Number(/VmRSS:\s+(\d+)/.exec(readFileSync(`/proc/${pid}/status`, "utf8"))[1]);

async function time(url) {
    const start = process.hrtime.bigint();
    const response = await fetch(url);
    const body = await response.text();
    const ms = Number(process.hrtime.bigint() - start) / 1e6;
    if (response.status != 200 || !body.includes("ow-count")) throw new Error(`${url}: ${response.status}\n${body.slice(0, 500)}`);
    return ms;
}

async function median(url, n, warm = 16) {
    // Each of the host's worker threads compiles a page on its first request.
    for (let i = 0; i < warm; i++) await time(url);
    const all = [];
    for (let i = 0; i < n; i++) all.push(await time(url));
    all.sort((a, b) => a - b);
    return all[Math.floor(all.length / 2)];
}

// Every row as CSV, read as it arrives.
async function exportAll(url, pid, rows) {
    let peak = rssKb(pid);
    const sampler = setInterval(() => { peak = Math.max(peak, rssKb(pid)); }, 50);
    const start = process.hrtime.bigint();
    const response = await fetch(url);
    const reader = response.body.getReader();
    let first = 0, bytes = 0, lines = 0;
    for (;;) {
        const { done, value } = await reader.read();
        if (done) break;
        if (!first) first = Number(process.hrtime.bigint() - start) / 1e6;
        bytes += value.length;
        for (const b of value) if (b == 10) lines++;
    }
    const total = Number(process.hrtime.bigint() - start) / 1e6;
    clearInterval(sampler);
    if (response.status != 200 || lines != rows + 1) throw new Error(`${url}: ${response.status}, ${lines} lines`);
    return `export of ${rows} rows: first byte ${first.toFixed(0)} ms, all ${(total / 1000).toFixed(1)} s, ` +
        `${(bytes / 1048576).toFixed(0)} MB, host at most ${(peak / 1024).toFixed(0)} MB`;
}

const exports = [];

async function measure(label, recipe, rows, n = rounds, { cursor = false } = {}) {
    const name = `${label.replace(/\W+/g, "-")}-${rows}`;
    const folder = generate(dir, name, { keys: ["id"], columns, ...recipe, config: { RecordsPerPageID: 2, ...recipe.config } });
    const stem = recipe.table.toLowerCase();
    if (cursor) {
        const vars = path.join(folder, "include", `${stem}_variables.asp`);
        writeFileSync(vars, readFileSync(vars, "utf8").replace(/style: "\w+"/, 'style: "cursor"'));
    }
    const host = await serve(folder);
    const page = `${host.base}/${stem}_index.asp`;
    const last = Math.ceil(rows / 20);
    // The cursor reads the whole table for every page: one warm-up is enough
    // to show what it costs, where sixteen would take many minutes.
    const warm = cursor ? 1 : 16;
    const result = {
        "page 1": await median(page, n, warm),
        middle: await median(`${page}?p=${Math.ceil(last / 2)}`, n, warm),
        last: await median(`${page}?p=${last}`, n, warm),
        search: await median(`${page}?q=${encodeURIComponent("Item " + String(Math.floor(rows / 2)).padStart(7, "0"))}`, n, warm),
    };
    // Memory while paging through: before, and after 200 pages spread over the
    // table (10 for the cursor, whose every page reads the whole table).
    const before = rssKb(host.pid);
    const walk = cursor ? 10 : 200;
    for (let i = 0; i < walk; i++) await time(`${page}?p=${1 + Math.floor((i * last) / walk)}`);
    result["rss MB before/after paging"] = `${(before / 1024).toFixed(0)}/${(rssKb(host.pid) / 1024).toFixed(0)}`;
    // An export cut short (by the page's time limit on a busy machine) is
    // reported with the rest, not in place of the pages' figures.
    if (rows >= 1000000 && !cursor) exports.push(`${label.padEnd(22)} ${await exportAll(`${host.base}/${stem}_export.asp`,
        host.pid, rows).catch((e) => `export failed: ${e.message}`)}`);
    await host.stop();
    console.log([label.padEnd(22), String(rows).padStart(8), ...Object.values(result).map((v) =>
        (typeof v == "number" ? v.toFixed(1) : v).padStart(10))].join(" "));
}

console.log(["source".padEnd(22), "rows".padStart(8), ..."page 1|middle|last|search|rss MB".split("|").map((h) => h.padStart(10))].join(" "));
for (const rows of [1000, 1000000]) {
    const file = sqliteTable(rows);
    await measure("SQLite", { table: "items", database: file }, rows);
}
await measure("SQLite, client cursor", { table: "items", database: path.join(dir, "items1000000.db") }, 1000000, 1, { cursor: true });
if (pg.available()) {
    for (const rows of [1000, 1000000]) {
        const table = pgTable(rows);
        const recipe = { table, database: "", connection: pg.connection(), copyDatabase: false,
            config: { DatasourceStatus: 3, DatasourceType: 0 } };
        await measure("PostgreSQL", recipe, rows);
    }
}
for (const line of exports) console.log(line);
