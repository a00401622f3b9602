// A site whose project reaches SQLite through a data source name, as the
// wizard writes it for such a source: the family (7) comes from the driver
// the data source names, so the pages page and quote the way SQLite reads.
import assert from "node:assert/strict";
import { copyFileSync, mkdirSync, writeFileSync } from "node:fs";
import path from "node:path";
import { after, before, describe, test } from "node:test";
import { follow, launch, watchedPage } from "../lib/browser.js";
import { scratch } from "../lib/env.js";
import { cells } from "../lib/itemssite.js";
import { addCustomers, customers } from "../lib/shop.js";
import { copySample, site } from "../lib/site.js";

describe("customers site, SQLite through a data source name", () => {
    let host, browser, page;

    before(async () => {
        const dir = scratch("dsn");
        const database = copySample(dir);
        addCustomers(database);
        // A private odbc.ini with one data source, beside the drivers this
        // machine (or the test services) registered.
        const odbc = path.join(dir, "odbc");
        mkdirSync(odbc);
        copyFileSync(path.join(process.env.ODBCSYSINI ?? "/etc", "odbcinst.ini"), path.join(odbc, "odbcinst.ini"));
        writeFileSync(path.join(odbc, "odbc.ini"), `[TessalineBrowserShop]\nDriver=SQLite3\nDatabase=${database}\n`);
        process.env.ODBCSYSINI = odbc;
        host = await site(dir, "customers", customers(database, {
            DatasourceStatus: 2, DatasourceType: 7, DatabaseName: "TessalineBrowserShop",
            ConnectionString: "DSN=TessalineBrowserShop;", RecordsPerPageID: 1,
        }));
        browser = await launch();
        page = await watchedPage(await browser.newContext());
    });

    after(async () => {
        await browser?.close();
        await host?.stop();
    });

    test("lists, pages, sorts and searches", async () => {
        await page.goto(host.start);
        assert.equal((await cells(page, 2)).length, 10);
        assert.equal(await page.textContent(".ow-count"), "25 records");
        await follow(page, ".ow-pager a[title=Last]");
        assert.deepEqual((await cells(page, 2)).slice(0, 2), ["Extra Customer 11", "Extra Customer 12"]);
        await page.goto(host.start);
        await follow(page, "table.ow-list th a:has-text('Company')");
        await follow(page, "table.ow-list th a:has-text('Company')");
        assert.deepEqual((await cells(page, 2)).slice(0, 2), ["Tulip & Co", "Sunrise Bakery"]);
        await page.goto(`${host.base}/customers_index.asp?q=tea`);
        assert.deepEqual(await cells(page, 2), ["Bluebell Tea Rooms"]);
        assert.deepEqual(await page.alarms(), []);
    });
});
