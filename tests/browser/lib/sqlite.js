// What the SQLite database holds, read with the sqlite3 shell, never through
// the site under test.
import { execFileSync } from "node:child_process";

export function rows(database, sql) {
    const out = execFileSync("sqlite3", ["-json", "-readonly", database, sql], { encoding: "utf8" });
    return out.trim() == "" ? [] : JSON.parse(out);
}

export function value(database, sql) {
    const all = rows(database, sql);
    return all.length ? Object.values(all[0])[0] : undefined;
}

export function exec(database, sql) {
    execFileSync("sqlite3", [database], { input: sql });
}
