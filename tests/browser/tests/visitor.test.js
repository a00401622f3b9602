// A visitor's use of a generated site in Chromium: the list, its pages, sort
// and searches, adding, editing and deleting through the forms, print and
// export; each change checked in the database afterwards.
import assert from "node:assert/strict";
import { readFileSync, writeFileSync } from "node:fs";
import path from "node:path";
import { after, before, describe, test } from "node:test";
import { follow, launch, navigating, watchedPage } from "../lib/browser.js";
import { scratch } from "../lib/env.js";
import { addCustomers, customers } from "../lib/shop.js";
import { copySample, generate, serve, site } from "../lib/site.js";
import * as sqlite from "../lib/sqlite.js";

const cells = (page, column) =>
    page.$$eval(`table.ow-list tbody tr td:nth-child(${column})`, (tds) => tds.map((td) => td.textContent.trim()));

const pagerText = (page) => page.textContent(".ow-pager > span:not(.ow-off)");
const listText = async (page) => (await page.textContent("table.ow-list tbody")).trim();

describe("customers site, SQLite", () => {
    let host, browser, context, page;

    before(async () => {
        const dir = scratch("visitor");
        const database = copySample(dir);
        addCustomers(database);
        host = await site(dir, "customers", customers(database, { RecordsPerPageID: 1 }));
        browser = await launch();
        context = await browser.newContext();
        page = await watchedPage(context);
    });

    after(async () => {
        await browser?.close();
        await host?.stop();
    });

    test("the list shows the first page of ten and the count", async () => {
        await page.goto(host.start);
        assert.equal(await page.title(), "Customers");
        const names = await cells(page, 2);
        assert.equal(names.length, 10);
        assert.equal(names[0], "Harbour Lights Trading");
        assert.equal(await pagerText(page), "Page 1 of 3");
        assert.equal(await page.textContent(".ow-count"), "25 records");
        // The memo column is kept off the list.
        assert.equal(await page.locator("table.ow-list th", { hasText: "Notes" }).count(), 0);
    });

    test("next and last page", async () => {
        await page.goto(host.start);
        await follow(page, ".ow-pager a[title=Next]");
        assert.equal(await pagerText(page), "Page 2 of 3");
        assert.deepEqual((await cells(page, 2)).slice(0, 2), ["Extra Customer 01", "Extra Customer 02"]);
        await follow(page, ".ow-pager a[title=Last]");
        assert.equal(await pagerText(page), "Page 3 of 3");
        assert.deepEqual(await cells(page, 2), ["Extra Customer 11", "Extra Customer 12", "Extra Customer 13",
            "Extra Customer 14", "Extra Customer 15"]);
        // A page past the end shows the last one.
        await page.goto(host.base + "/customers_index.asp?p=99");
        assert.equal(await pagerText(page), "Page 3 of 3");
    });

    test("records per page", async () => {
        await page.goto(host.start);
        await navigating(page, () => page.selectOption("select[name=n]", "20"));
        assert.match(page.url(), /n=20/);
        assert.equal((await cells(page, 2)).length, 20);
        assert.equal(await pagerText(page), "Page 1 of 2");
    });

    test("sorting by a header, both ways, keeps to whole pages", async () => {
        await page.goto(host.start);
        await follow(page, "table.ow-list th a:has-text('Company')");
        assert.deepEqual((await cells(page, 2)).slice(0, 3), ["Bluebell Tea Rooms", "Café Lumière", "Casa Verde"]);
        await follow(page, "table.ow-list th a:has-text('Company')");
        assert.deepEqual((await cells(page, 2)).slice(0, 2), ["Tulip & Co", "Sunrise Bakery"]);
        // Sorting by a column of equal values, or of empty ones, still shows
        // every row once and in order, on the pages read from the end too.
        for (const [sort, order] of [["s=4", "CountryCode, CustomerID"], ["s=2&d=desc", "ContactName DESC, CustomerID"]]) {
            const seen = [];
            for (let p = 1; p <= 3; p++) {
                await page.goto(`${host.base}/customers_index.asp?${sort}&p=${p}`);
                seen.push(...(await cells(page, 1)));
            }
            assert.deepEqual(seen, sqlite.rows(host.database, `SELECT CustomerID FROM Customers ORDER BY ${order}`)
                .map((r) => String(r.CustomerID)));
        }
    });

    test("basic search, in all fields and in one", async () => {
        await page.goto(host.start);
        await page.fill("#ow-q", "tea");
        await follow(page, "form.ow-search button[type=submit]");
        assert.deepEqual(await cells(page, 2), ["Bluebell Tea Rooms"]);
        assert.equal(await page.textContent(".ow-count"), "1 record");
        await page.fill("#ow-q", "Holt");
        await page.selectOption("select[name=qf]", { label: "Company" });
        await follow(page, "form.ow-search button[type=submit]");
        assert.equal(await listText(page), "No records found.");
    });

    test("advanced search by country and credit limit", async () => {
        await page.goto(host.start);
        await follow(page, "text=Advanced search");
        await page.selectOption("select[name=a4o]", "eq");
        await page.fill("#a4v", "SE");
        await page.selectOption("select[name=a5o]", "ge");
        await page.fill("#a5v", "1200");
        await follow(page, "form button[type=submit]:has-text('Search')");
        assert.deepEqual(await cells(page, 2), ["Extra Customer 12", "Extra Customer 13", "Extra Customer 14",
            "Extra Customer 15"]);
    });

    test("adding a record through the form", async () => {
        await page.goto(host.start);
        await follow(page, "text=Add a record");
        await page.fill("#f1", "Quayside Fish Market");
        await page.fill("#f2", "Ines Alves");
        await page.fill("#f3", "ines@quayside.example");
        await page.check("input[name=f4][value=NO]");
        await page.fill("#f5", "750.25");
        await page.fill("#f6", "Collects on Fridays.");
        await page.fill("#f7", "2024-06-01");
        await follow(page, "button:has-text('Save')");
        assert.equal(await page.textContent(".ow-message"), "The record was added.");
        assert.deepEqual(sqlite.rows(host.database,
            "SELECT ContactName, Email, CountryCode, CreditLimit, Notes, date(CreatedAt) AS d FROM Customers " +
            "WHERE CompanyName = 'Quayside Fish Market'"),
        [{ ContactName: "Ines Alves", Email: "ines@quayside.example", CountryCode: "NO", CreditLimit: 750.25,
            Notes: "Collects on Fridays.", d: "2024-06-01" }]);
    });

    test("a wrong e-mail is refused in the browser and by the server", async () => {
        const before = sqlite.value(host.database, "SELECT COUNT(*) FROM Customers");
        await page.goto(host.base + "/customers_edit.asp");
        await page.fill("#f1", "Refused Ltd");
        await page.fill("#f3", "not an address");
        await page.check("input[name=f4][value=GB]");
        await page.fill("#f7", "2024-06-01");
        await page.click("button:has-text('Save')");
        // The form's own check answers in place; no page is sent.
        assert.match(await page.textContent("#e-f3:not(:empty)"), /e-mail/i);
        assert.match(page.url(), /customers_edit\.asp$/);
        // The same form sent without its script: the server says no too.
        const plain = await browser.newContext({ javaScriptEnabled: false });
        const p2 = await plain.newPage();
        await p2.goto(host.base + "/customers_edit.asp");
        await p2.fill("#f1", "Refused Ltd");
        await p2.fill("#f3", "not an address");
        await p2.check("input[name=f4][value=GB]");
        await p2.fill("#f7", "2024-06-01");
        await follow(p2, "button:has-text('Save')");
        assert.match(await p2.textContent("body"), /e-mail/i);
        await plain.close();
        assert.equal(sqlite.value(host.database, "SELECT COUNT(*) FROM Customers"), before);
    });

    test("editing a record", async () => {
        await page.goto(host.base + "/customers_index.asp?q=Bluebell");
        await follow(page, "a[title=Edit]");
        assert.equal(await page.inputValue("#f1"), "Bluebell Tea Rooms");
        await page.fill("#f2", "Olivia Grange");
        await page.fill("#f5", "2750");
        await follow(page, "button:has-text('Save')");
        assert.equal(await page.textContent(".ow-message"), "The record was saved.");
        assert.deepEqual(sqlite.rows(host.database, "SELECT ContactName, CreditLimit FROM Customers WHERE CustomerID = 2"),
            [{ ContactName: "Olivia Grange", CreditLimit: 2750 }]);
    });

    test("deleting a record, after saying no once", async () => {
        await page.goto(host.base + "/customers_index.asp?q=Extra Customer 07");
        page.answerDelete(false);
        await page.click("form.ow-delete button");
        assert.equal(sqlite.value(host.database, "SELECT COUNT(*) FROM Customers WHERE CompanyName = 'Extra Customer 07'"), 1);
        page.answerDelete(true);
        await follow(page, "form.ow-delete button");
        assert.equal(await page.textContent(".ow-message"), "The record was deleted.");
        assert.equal(sqlite.value(host.database, "SELECT COUNT(*) FROM Customers WHERE CompanyName = 'Extra Customer 07'"), 0);
    });

    test("the printer-friendly version shows the page the visitor is on", async () => {
        await page.goto(host.base + "/customers_index.asp?q=Extra&s=1&d=desc");
        await follow(page, ".ow-pager a[title=Next]");
        await follow(page, "text=Printer-friendly version");
        assert.deepEqual(await cells(page, 2), ["Extra Customer 04", "Extra Customer 03", "Extra Customer 02",
            "Extra Customer 01"]);
        assert.equal(await page.textContent(".ow-printpage"), "Page 2 of 2");
        assert.equal(await page.textContent(".ow-count"), "14 records");
        await page.goto(host.base + "/customers_index.asp?q=Extra&n=20");
        await follow(page, "text=Printer-friendly version");
        assert.equal((await cells(page, 2)).length, 14);
        assert.equal(await page.locator(".ow-printpage").count(), 0);
        await follow(page, "text=Back to the list");
        assert.match(page.url(), /q=Extra&n=20/);
    });

    test("export holds every row of the search, not only the page", async () => {
        await page.goto(host.base + "/customers_index.asp?q=Extra&p=2");
        const [csv] = await Promise.all([page.waitForEvent("download"), page.click("text=Export to CSV")]);
        const text = await (await import("node:fs/promises")).readFile(await csv.path(), "utf8");
        const lines = text.split("\r\n");
        // The header, fourteen rows and the end of the last line.
        assert.equal(lines.length, 16);
        assert.equal(lines[15], "");
        assert.match(lines[1], /^"11","Extra Customer 01",/);
        assert.match(lines[14], /^"25","Extra Customer 15",/);
    });

    test("export to CSV and to a spreadsheet", async () => {
        await page.goto(host.base + "/customers_index.asp?q=Harbour");
        const [csv] = await Promise.all([page.waitForEvent("download"), page.click("text=Export to CSV")]);
        assert.equal(csv.suggestedFilename(), "customers.csv");
        const text = await (await import("node:fs/promises")).readFile(await csv.path(), "utf8");
        assert.equal(text, "\ufeff\"Number\",\"Company\",\"Contact\",\"Email\",\"Country\",\"Credit limit\",\"Created\"\r\n" +
            "\"1\",\"Harbour Lights Trading\",\"Maren Holt\",\"maren@harbourlights.example\",\"NO\",\"15000.00\",\"2023-01-09 10:12:00\"\r\n");
        const [xls] = await Promise.all([page.waitForEvent("download"), page.click("text=Export to a spreadsheet")]);
        assert.equal(xls.suggestedFilename(), "customers.xml");
        const xml = await (await import("node:fs/promises")).readFile(await xls.path(), "utf8");
        assert.match(xml, /<Cell><Data ss:Type="String">Harbour Lights Trading<\/Data><\/Cell>/);
    });

    test("every page allows only the site's own scripts, styles and pictures", async () => {
        for (const name of ["index", "edit", "search", "print"]) {
            const response = await page.goto(`${host.base}/customers_${name}.asp`);
            assert.equal(response.headers()["content-security-policy"], "default-src 'self'; script-src 'self'; " +
                "style-src 'self'; img-src 'self' data:; font-src 'self'; object-src 'none'; base-uri 'self'; " +
                "form-action 'self'; frame-ancestors 'self'");
        }
    });

    test("no page ran script it did not write", async () => {
        assert.deepEqual(await page.alarms(), []);
    });
});

describe("customers site, a count kept between pages", () => {
    let host, browser, page;

    before(async () => {
        const dir = scratch("counts");
        const database = copySample(dir);
        addCustomers(database);
        const folder = generate(dir, "customers", customers(database, { RecordsPerPageID: 1 }));
        // Every count is kept, for longer than the test runs.
        const variables = path.join(folder, "include", "customers_variables.asp");
        writeFileSync(variables, readFileSync(variables, "utf8").replace(/fromRows: \d+, keep: \d+,/, "fromRows: 1, keep: 3600,"));
        host = { ...(await serve(folder)), database: path.join(folder, "db", "shop.db") };
        browser = await launch();
        page = await watchedPage(await browser.newContext());
    });

    after(async () => {
        await browser?.close();
        await host?.stop();
    });

    test("serves until the site changes the table", async () => {
        await page.goto(host.start);
        assert.equal(await page.textContent(".ow-count"), "25 records");
        // Rows another program adds show only once the kept count is gone.
        sqlite.exec(host.database, "INSERT INTO Customers (CompanyName, CountryCode, CreatedAt) VALUES ('Outside 1', 'SE', '2024-06-01 12:00:00'), ('Outside 2', 'SE', '2024-06-02 12:00:00')");
        await page.goto(host.start);
        assert.equal(await page.textContent(".ow-count"), "25 records");
        await page.goto(host.base + "/customers_index.asp?q=Extra Customer 07");
        page.answerDelete(true);
        await follow(page, "form.ow-delete button");
        await page.goto(host.start);
        assert.equal(await page.textContent(".ow-count"), "26 records");
    });
});
