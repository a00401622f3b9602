// Attacks on a generated site, each as a visitor (or a forger) would send it.
// After each: the database holds what it held, and no script of the
// attacker's ran (no dialog, no window.__owned).
import assert from "node:assert/strict";
import { after, before, beforeEach, describe, test } from "node:test";
import { follow, launch, watchedPage } from "../lib/browser.js";
import { scratch } from "../lib/env.js";
import { customers } from "../lib/shop.js";
import { copySample, site } from "../lib/site.js";
import * as sqlite from "../lib/sqlite.js";

// Script that, should it ever run, leaves a trace the test sees.
const SCRIPT = [
    "<script>window.__owned='script'</script>",
    "\"><img src=x onerror=\"window.__owned='attr'\">",
    "'><svg onload=alert(1)>",
    "javascript:alert(1)//",
];

const snapshot = (db) => sqlite.rows(db, "SELECT * FROM Customers ORDER BY CustomerID");

describe("attacks on the customers site", () => {
    let host, browser, context, page, original;

    before(async () => {
        const dir = scratch("attacks");
        const database = copySample(dir);
        host = await site(dir, "customers", customers(database));
        original = snapshot(host.database);
        browser = await launch();
        context = await browser.newContext();
    });

    beforeEach(async () => {
        page = await watchedPage(context);
    });

    after(async () => {
        await browser?.close();
        await host?.stop();
    });

    const unchanged = () => assert.deepEqual(snapshot(host.database), original);
    const noScript = async () => assert.deepEqual(await page.alarms(), []);
    const token = async () => {
        await page.goto(host.base + "/customers_edit.asp");
        return page.inputValue("input[name=ow_token]");
    };

    test("SQL in the basic search is searched for, not run", async () => {
        for (const q of ["x' OR 1=1 --", "x' OR '1'='1", "'; DROP TABLE Customers; --", "x') UNION SELECT " +
            "LoginName, Password, 1, 1, 1, 1, 1, 1, 1 FROM Users --", "%", "_", "[a-z]%", "\\' OR 1=1 /*"]) {
            const response = await page.goto(`${host.base}/customers_index.asp?q=${encodeURIComponent(q)}`);
            assert.equal(response.status(), 200, q);
            assert.equal((await page.textContent("table.ow-list tbody")).trim(), "No records found.", q);
            assert.equal(await page.inputValue("#ow-q"), q);
        }
        // A wildcard is a literal character: "_" finds only a name that holds one.
        unchanged();
    });

    test("sort, direction, paging and search-field parameters take only their own values", async () => {
        const hostile = ["1 OR 1=1", "1; DROP TABLE Customers", "CompanyName", "-1", "999",
            "1 UNION SELECT 1", "desc; DELETE FROM Customers", "2e3", "0x10"];
        for (const name of ["s", "d", "p", "n", "qf"]) {
            for (const v of hostile) {
                const response = await page.goto(`${host.base}/customers_index.asp?q=a&${name}=${encodeURIComponent(v)}`);
                assert.equal(response.status(), 200, `${name}=${v}`);
                assert.equal(await page.locator("table.ow-list tbody tr").count() > 0, true);
            }
        }
        unchanged();
    });

    test("advanced search: text in a number field and SQL in a text field", async () => {
        await page.goto(`${host.base}/customers_index.asp?a5o=eq&a5v=${encodeURIComponent("1 OR 1=1")}`);
        assert.equal((await page.textContent("table.ow-list tbody")).trim(), "No records found.");
        assert.notEqual(await page.locator(".ow-problem").count(), 0);
        await page.goto(`${host.base}/customers_index.asp?a1o=contains&a1v=${encodeURIComponent("' OR ''='")}`);
        assert.equal((await page.textContent("table.ow-list tbody")).trim(), "No records found.");
        await page.goto(`${host.base}/customers_index.asp?a1o=${encodeURIComponent("eq OR 1=1 --")}&a1v=x`);
        assert.equal((await page.textContent("table.ow-list tbody")).trim(), "No records found.");
        unchanged();
    });

    test("forged and malformed keys reach no record", async () => {
        for (const k of ["1 OR 1=1", "1'", "0", "-1", "99999", "1;DELETE FROM Customers", "abc"]) {
            await page.goto(`${host.base}/customers_edit.asp?k0=${encodeURIComponent(k)}`);
            assert.equal(await page.locator("#f1").count() == 0 || (await page.inputValue("#f1")) == "", true, k);
        }
        const t = await token();
        for (const k of ["1 OR 1=1", "99999", "1'--"]) {
            const r = await page.request.post(host.base + "/customers_index.asp",
                { form: { ow_token: t, ow_action: "delete", k0: k } });
            assert.notEqual(r.status(), 302, k);
            const e = await page.request.post(host.base + "/customers_edit.asp",
                { form: { ow_token: t, ow_mode: "edit", k0: k, f1: "Taken over", f4: "GB", f7: "2024-01-01" } });
            assert.equal(e.status(), 404, k);
            assert.match(await e.text(), /The record no longer exists\./);
        }
        unchanged();
    });

    test("reflected script in every parameter of every page stays text", async () => {
        const pages = ["customers_index.asp", "customers_edit.asp", "customers_search.asp", "customers_print.asp"];
        const params = ["q", "qf", "s", "d", "p", "n", "k0", "a1v", "a1o", "a5v", "m", "r", "ow_mode"];
        for (const name of pages) {
            for (const payload of SCRIPT) {
                const query = params.map((p) => `${p}=${encodeURIComponent(payload)}`).join("&");
                await page.goto(`${host.base}/${name}?${query}`);
                assert.equal(await page.locator("script:not([src])").evaluateAll((s) =>
                    s.filter((x) => x.textContent.includes("__owned")).length), 0, name);
            }
        }
        await noScript();
        unchanged();
    });

    test("stored script in every field is shown as text on list, edit, search, print and export", async () => {
        const db = host.database;
        // Written straight into the table, as another program might have.
        sqlite.exec(db, "INSERT INTO Customers (CustomerID, CompanyName, ContactName, Email, Website, " +
            "CountryCode, CreditLimit, Notes, CreatedAt) VALUES (900, " +
            SCRIPT.slice(0, 3).map((s) => `'${s.replace(/'/g, "''")}'`).join(", ") +
            ", 'x', 'GB', 1, '<b onmouseover=alert(1)>n</b>', '2024-01-01')");
        // And through the site's own form.
        await page.goto(host.base + "/customers_edit.asp");
        await page.fill("#f1", SCRIPT[1]);
        await page.fill("#f2", SCRIPT[0]);
        await page.fill("#f6", SCRIPT[2]);
        await page.check("input[name=f4][value=GB]");
        await page.fill("#f7", "2024-01-02");
        await follow(page, "button:has-text('Save')");
        assert.equal(await page.textContent(".ow-message"), "The record was added.");
        assert.equal(sqlite.value(db, "SELECT ContactName FROM Customers WHERE CompanyName = " +
            `'${SCRIPT[1].replace(/'/g, "''")}'`), SCRIPT[0]);

        // The newest records first: the form's, then the one written straight in.
        await page.goto(host.base + "/customers_index.asp?s=0&d=desc");
        assert.deepEqual((await page.$$eval("table.ow-list tbody td:nth-child(2)", (tds) =>
            tds.map((td) => td.textContent.trim()))).slice(0, 2), [SCRIPT[1], SCRIPT[0]]);
        await page.goto(`${host.base}/customers_index.asp?q=${encodeURIComponent("script")}`);
        assert.ok((await page.textContent("table.ow-list")).includes(SCRIPT[0]));
        await page.goto(host.base + "/customers_edit.asp?k0=900");
        assert.equal(await page.inputValue("#f1"), SCRIPT[0]);
        assert.equal(await page.inputValue("#f2"), SCRIPT[1]);
        // The newest records first, so both are on the printed page.
        await page.goto(host.base + "/customers_print.asp?s=0&d=desc");
        assert.ok((await page.textContent("table.ow-list")).includes(SCRIPT[2]));
        await page.goto(host.base + "/customers_search.asp");
        await noScript();
        // The spreadsheet file keeps the markup as text in its cells.
        const xml = await (await page.request.get(host.base + "/customers_export.asp?f=xls")).text();
        assert.ok(xml.includes("&lt;script&gt;window.__owned='script'&lt;/script&gt;"));
        assert.ok(!xml.includes("<script>"));
        sqlite.exec(db, "DELETE FROM Customers WHERE CustomerID >= 900 OR CreatedAt LIKE '2024-01-02%'");
        unchanged();
    });

    test("export cells that start like a formula stay text", async () => {
        const db = host.database;
        sqlite.exec(db, "INSERT INTO Customers (CustomerID, CompanyName, ContactName, Email, CountryCode, CreatedAt) " +
            "VALUES (901, '=HYPERLINK(\"http://x.example\")', '+1+2', '-2+3', 'GB', '2024-01-01'), " +
            "(902, '@SUM(A1)', '\tTab', '-12.50', 'GB', '2024-01-01')");
        const csv = await (await page.request.get(host.base + "/customers_export.asp?f=csv&q=" +
            encodeURIComponent("@SUM"))).text();
        assert.equal(csv.split("\r\n")[1], "\"902\",\"'@SUM(A1)\",\"'\tTab\",\"-12.50\",\"GB\",\"\",\"2024-01-01\"");
        const all = await (await page.request.get(host.base + "/customers_export.asp?f=csv")).text();
        const row = all.split("\r\n").find((l) => l.startsWith("\"901\""));
        assert.equal(row, "\"901\",\"'=HYPERLINK(\"\"http://x.example\"\")\",\"'+1+2\",\"'-2+3\",\"GB\",\"\",\"2024-01-01\"");
        const xml = await (await page.request.get(host.base + "/customers_export.asp?f=xls")).text();
        assert.ok(xml.includes("<Data ss:Type=\"String\">'=HYPERLINK(&quot;http://x.example&quot;)</Data>"));
        assert.ok(!xml.includes(">=HYPERLINK"));
        sqlite.exec(db, "DELETE FROM Customers WHERE CustomerID >= 900");
        unchanged();
    });

    test("changes without the session's token, or with another session's, are refused", async () => {
        const other = await browser.newContext();
        const otherPage = await other.newPage();
        await otherPage.goto(host.base + "/customers_edit.asp");
        const otherToken = await otherPage.inputValue("input[name=ow_token]");
        await token();
        for (const t of [undefined, "", otherToken, "0".repeat(32)]) {
            const form = { ow_action: "delete", k0: "1", ...(t === undefined ? {} : { ow_token: t }) };
            const del = await page.request.post(host.base + "/customers_index.asp", { form, maxRedirects: 0 });
            assert.equal(del.status(), 403);
            const add = await page.request.post(host.base + "/customers_edit.asp", { maxRedirects: 0,
                form: { ow_mode: "add", f1: "Forged", f4: "GB", f7: "2024-01-01", ...(t === undefined ? {} : { ow_token: t }) } });
            assert.notEqual(add.status(), 302);
        }
        await other.close();
        unchanged();
    });

    test("a GET never changes data", async () => {
        const t = await token();
        await page.goto(`${host.base}/customers_index.asp?ow_action=delete&k0=1&ow_token=${t}`);
        await page.goto(`${host.base}/customers_edit.asp?ow_mode=add&f1=ByGet&f4=GB&f7=2024-01-01&ow_token=${t}`);
        await page.goto(`${host.base}/customers_edit.asp?ow_mode=edit&k0=1&f1=ByGet&f4=GB&f7=2024-01-01&ow_token=${t}`);
        unchanged();
    });

    test("SQL in form fields is stored as it was typed", async () => {
        const text = "Robert'); DROP TABLE Customers; --";
        await page.goto(host.base + "/customers_edit.asp");
        await page.fill("#f1", text);
        await page.fill("#f5", "12");
        await page.check("input[name=f4][value=GB]");
        await page.fill("#f7", "2024-01-03");
        await follow(page, "button:has-text('Save')");
        assert.equal(await page.textContent(".ow-message"), "The record was added.");
        assert.equal(sqlite.value(host.database, "SELECT COUNT(*) FROM Customers WHERE CompanyName = " +
            `'${text.replace(/'/g, "''")}'`), 1);
        // A number field with text is refused by the server, not passed on.
        const t = await page.request.post(host.base + "/customers_edit.asp", {
            form: { ow_token: await token(), ow_mode: "add", f1: "Numbers", f4: "GB", f5: "1; DROP TABLE Customers", f7: "2024-01-01" },
        });
        assert.doesNotMatch(await t.text(), /The record was added/);
        sqlite.exec(host.database, "DELETE FROM Customers WHERE CreatedAt LIKE '2024-01-03%'");
        unchanged();
        await noScript();
    });
});
