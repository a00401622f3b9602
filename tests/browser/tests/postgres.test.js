// The same visitor on a site over PostgreSQL, through the ODBC driver.
import assert from "node:assert/strict";
import { after, before, describe, test } from "node:test";
import { follow, launch, watchedPage } from "../lib/browser.js";
import { scratch } from "../lib/env.js";
import * as pg from "../lib/postgres.js";
import { itemsSiteThroughDataSourceName, pagesAndSortsInTheDatabase } from "../lib/itemssite.js";
import { site } from "../lib/site.js";

// 25 items, as the list and paging cases expect them.
function createItems() {
    pg.psql("DROP TABLE IF EXISTS ow_browser_items; CREATE TABLE ow_browser_items (id SERIAL PRIMARY KEY, " +
        "name VARCHAR(60) NOT NULL, price NUMERIC(10,2), made DATE); INSERT INTO ow_browser_items " +
        "(name, price, made) SELECT 'Item ' || lpad(n::text, 2, '0'), n * 1.5, DATE '2024-01-01' + n " +
        "FROM generate_series(1, 25) AS n");
}

const itemsRecipe = (connection, source) => ({
    table: "ow_browser_items", database: "", connection, copyDatabase: false,
    keys: ["id"],
    columns: [
        { name: "id", type: 1, editType: 9 },
        { name: "name", type: 4, required: true },
        { name: "price", type: 7, validation: 2 },
        { name: "made", type: 8, editType: 7, details: "0" },
    ],
    config: { ...source, RecordsPerPageID: 1 },
});

describe("items site, PostgreSQL", { skip: pg.available() ? false : "the test database servers are not running (scripts/test-services.sh)" }, () => {
    let host, browser, page;

    before(async () => {
        createItems();
        host = await site(scratch("postgres"), "items", itemsRecipe(pg.connection(),
            { DatasourceStatus: 3, DatasourceType: 0 }));
        browser = await launch();
        page = await watchedPage(await browser.newContext());
    });
    after(async () => {
        await browser?.close();
        await host?.stop();
    });

    pagesAndSortsInTheDatabase(() => ({ host, page }));

    test("searches, and SQL in the search is only searched for", async () => {
        await page.goto(`${host.base}/ow_browser_items_index.asp?q=${encodeURIComponent("Item 1")}`);
        assert.equal(await page.textContent(".ow-count"), "10 records");
        await page.goto(`${host.base}/ow_browser_items_index.asp?q=${encodeURIComponent("x' OR 1=1; DROP TABLE ow_browser_items; --")}`);
        assert.equal((await page.textContent("table.ow-list tbody")).trim(), "No records found.");
        assert.equal(pg.psql("SELECT COUNT(*) FROM ow_browser_items"), "25");
    });

    test("export writes every row of a search as it reads them, in order", async () => {
        pg.psql("INSERT INTO ow_browser_items (name, price, made) SELECT 'Bulk ' || lpad(n::text, 4, '0'), n, " +
            "DATE '2024-06-01' FROM generate_series(1, 1234) AS n");
        try {
            const response = await page.request.get(`${host.base}/ow_browser_items_export.asp?f=csv&q=Bulk&s=1`);
            const lines = (await response.text()).split("\r\n");
            // The header, 1,234 rows, and the end of the last line.
            assert.equal(lines.length, 1236);
            assert.match(lines[1], /^"\d+","Bulk 0001","1\.00","2024-06-01"$/);
            assert.match(lines[617], /^"\d+","Bulk 0617","617\.00","2024-06-01"$/);
            assert.match(lines[1234], /^"\d+","Bulk 1234","1234\.00","2024-06-01"$/);
        } finally {
            pg.psql("DELETE FROM ow_browser_items WHERE name LIKE 'Bulk %'");
        }
    });

    test("adds, edits and deletes", async () => {
        await page.goto(`${host.base}/ow_browser_items_edit.asp`);
        await page.fill("#f1", "Brass bell");
        await page.fill("#f2", "40.10");
        await page.fill("#f3", "2024-03-04");
        await follow(page, "button:has-text('Save')");
        assert.equal(await page.textContent(".ow-message"), "The record was added.");
        assert.equal(pg.psql("SELECT price || '|' || made FROM ow_browser_items WHERE name = 'Brass bell'"), "40.10|2024-03-04");
        await page.goto(`${host.base}/ow_browser_items_index.asp?q=Brass`);
        await follow(page, "a[title=Edit]");
        await page.fill("#f2", "41");
        await follow(page, "button:has-text('Save')");
        assert.equal(pg.psql("SELECT price FROM ow_browser_items WHERE name = 'Brass bell'"), "41.00");
        await page.goto(`${host.base}/ow_browser_items_index.asp?q=Brass`);
        page.answerDelete(true);
        await follow(page, "form.ow-delete button");
        assert.equal(await page.textContent(".ow-message"), "The record was deleted.");
        assert.equal(pg.psql("SELECT COUNT(*) FROM ow_browser_items WHERE name = 'Brass bell'"), "0");
        assert.deepEqual(await page.alarms(), []);
    });
});

itemsSiteThroughDataSourceName({
    name: "PostgreSQL", family: 8, available: pg.available, createItems, recipe: itemsRecipe,
    dataSourceName: pg.dataSourceName, dsnConnection: pg.dsnConnection,
});
