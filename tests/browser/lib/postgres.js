// The PostgreSQL test server of scripts/test-services.sh, reached with psql
// for setting up and checking, and through ODBC by the site under test.
import { execFileSync } from "node:child_process";

export const available = () => Boolean(process.env.TESSALINE_TEST_SERVICES);

const driver = () => process.env.TESSALINE_TEST_PG_DRIVER ?? "";
const part = (name) => new RegExp(`${name}=([^;]*)`, "i").exec(driver())?.[1] ?? "";

// The connection string a generated site is given.
export const connection = () =>
    `${driver()};UID=${process.env.TESSALINE_TEST_USER};PWD=${process.env.TESSALINE_TEST_PASSWORD}`;

// The same server through the data source name of the test services' odbc.ini.
export const dataSourceName = () => process.env.TESSALINE_TEST_PG_DSN ?? "";
export const dsnConnection = () =>
    `DSN=${dataSourceName()};UID=${process.env.TESSALINE_TEST_USER};PWD=${process.env.TESSALINE_TEST_PASSWORD}`;

export function psql(sql) {
    return execFileSync("psql", ["-X", "-q", "-A", "-t", "-v", "ON_ERROR_STOP=1", "-c", sql], {
        encoding: "utf8",
        env: {
            ...process.env, PGOPTIONS: "-c client_min_messages=warning", PGHOST: part("SERVER"), PGPORT: part("PORT"), PGDATABASE: part("DATABASE"),
            PGUSER: process.env.TESSALINE_TEST_USER, PGPASSWORD: process.env.TESSALINE_TEST_PASSWORD,
        },
    }).trim();
}
