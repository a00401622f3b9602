// The MariaDB test server of scripts/test-services.sh, reached with the
// mariadb client for setting up and checking, and through ODBC by the site
// under test.
import { execFileSync } from "node:child_process";

export const available = () => Boolean(process.env.TESSALINE_TEST_SERVICES);

const driver = () => process.env.TESSALINE_TEST_MARIA_DRIVER ?? "";
const part = (name) => new RegExp(`${name}=([^;]*)`, "i").exec(driver())?.[1] ?? "";

// The connection string a generated site is given.
export const connection = () =>
    `${driver()};UID=${process.env.TESSALINE_TEST_USER};PWD=${process.env.TESSALINE_TEST_PASSWORD}`;

// The same server through the data source name of the test services' odbc.ini.
export const dataSourceName = () => process.env.TESSALINE_TEST_MARIA_DSN ?? "";
export const dsnConnection = () =>
    `DSN=${dataSourceName()};UID=${process.env.TESSALINE_TEST_USER};PWD=${process.env.TESSALINE_TEST_PASSWORD}`;

// Runs statements; the rows of the last one come back tab-separated, one a line.
export function sql(statements) {
    return execFileSync("mariadb", ["--no-defaults", "--batch", "--skip-column-names", "--protocol=TCP",
        "-h", part("SERVER"), "-P", part("PORT"), "-u", process.env.TESSALINE_TEST_USER, part("DATABASE"),
        "-e", statements], {
        encoding: "utf8",
        env: { ...process.env, MYSQL_PWD: process.env.TESSALINE_TEST_PASSWORD },
    }).trim();
}
