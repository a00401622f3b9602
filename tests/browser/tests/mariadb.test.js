// The same visitor on a site over MariaDB, through its ODBC driver.
import assert from "node:assert/strict";
import { after, before, describe, test } from "node:test";
import { follow, launch, watchedPage } from "../lib/browser.js";
import { scratch } from "../lib/env.js";
import * as maria from "../lib/mariadb.js";
import { itemsSiteThroughDataSourceName, pagesAndSortsInTheDatabase } from "../lib/itemssite.js";
import { site } from "../lib/site.js";

// 25 items, as the list and paging cases expect them.
function createItems() {
    maria.sql("DROP TABLE IF EXISTS ow_browser_items; CREATE TABLE ow_browser_items (id INT AUTO_INCREMENT PRIMARY KEY, " +
        "name VARCHAR(60) NOT NULL, price DECIMAL(10,2), made DATE, boxed TINYINT(1) NOT NULL DEFAULT 0); " +
        "INSERT INTO ow_browser_items (name, price, made) SELECT CONCAT('Item ', LPAD(seq, 2, '0')), seq * 1.5, " +
        "DATE '2024-01-01' + INTERVAL seq DAY FROM seq_1_to_25");
}

const itemsRecipe = (connection, source) => ({
    table: "ow_browser_items", database: "", connection, copyDatabase: false,
    keys: ["id"],
    columns: [
        { name: "id", type: 1, editType: 9 },
        { name: "name", type: 4, required: true },
        { name: "price", type: 7, validation: 2 },
        { name: "made", type: 8, editType: 7, details: "0" },
        { name: "boxed", type: 6, editType: 6, simple: false },
    ],
    config: { ...source, RecordsPerPageID: 1 },
});

describe("items site, MariaDB", { skip: maria.available() ? false : "the test database servers are not running (scripts/test-services.sh)" }, () => {
    let host, browser, page;

    before(async () => {
        createItems();
        host = await site(scratch("mariadb"), "items", itemsRecipe(maria.connection(),
            { DatasourceStatus: 3, DatasourceType: 0 }));
        browser = await launch();
        page = await watchedPage(await browser.newContext());
    });
    after(async () => {
        await browser?.close();
        await host?.stop();
    });

    pagesAndSortsInTheDatabase(() => ({ host, page }));

    test("searches, and SQL or wildcards in the search are only searched for", async () => {
        await page.goto(`${host.base}/ow_browser_items_index.asp?q=${encodeURIComponent("Item 1")}`);
        assert.equal(await page.textContent(".ow-count"), "10 records");
        await page.goto(`${host.base}/ow_browser_items_index.asp?q=${encodeURIComponent("Item _5")}`);
        assert.equal((await page.textContent("table.ow-list tbody")).trim(), "No records found.");
        await page.goto(`${host.base}/ow_browser_items_index.asp?q=${encodeURIComponent("x' OR 1=1; DROP TABLE ow_browser_items; -- ")}`);
        assert.equal((await page.textContent("table.ow-list tbody")).trim(), "No records found.");
        await page.goto(`${host.base}/ow_browser_items_index.asp?q=${encodeURIComponent("x\\' OR 1=1 #")}`);
        assert.equal((await page.textContent("table.ow-list tbody")).trim(), "No records found.");
        assert.equal(maria.sql("SELECT COUNT(*) FROM ow_browser_items"), "25");
    });

    test("adds, edits and deletes, a check box included", async () => {
        await page.goto(`${host.base}/ow_browser_items_edit.asp`);
        await page.fill("#f1", "Brass bell");
        await page.fill("#f2", "40.10");
        await page.fill("#f3", "2024-03-04");
        await page.check("#f4");
        await follow(page, "button:has-text('Save')");
        assert.equal(await page.textContent(".ow-message"), "The record was added.");
        assert.equal(maria.sql("SELECT CONCAT(price, '|', made, '|', boxed) FROM ow_browser_items WHERE name = 'Brass bell'"),
            "40.10|2024-03-04|1");
        await page.goto(`${host.base}/ow_browser_items_index.asp?q=Brass`);
        await follow(page, "a[title=Edit]");
        assert.equal(await page.isChecked("#f4"), true);
        await page.fill("#f2", "41");
        await page.uncheck("#f4");
        await follow(page, "button:has-text('Save')");
        assert.equal(maria.sql("SELECT CONCAT(price, '|', boxed) FROM ow_browser_items WHERE name = 'Brass bell'"), "41.00|0");
        await page.goto(`${host.base}/ow_browser_items_index.asp?q=Brass`);
        page.answerDelete(true);
        await follow(page, "form.ow-delete button");
        assert.equal(await page.textContent(".ow-message"), "The record was deleted.");
        assert.equal(maria.sql("SELECT COUNT(*) FROM ow_browser_items WHERE name = 'Brass bell'"), "0");
        assert.deepEqual(await page.alarms(), []);
    });
});

itemsSiteThroughDataSourceName({
    name: "MariaDB", family: 6, available: maria.available, createItems, recipe: itemsRecipe,
    dataSourceName: maria.dataSourceName, dsnConnection: maria.dsnConnection,
});
