// What the items sites over the database servers share: 25 items, 10 a page.
import assert from "node:assert/strict";
import { after, before, describe, test } from "node:test";
import { follow, launch, watchedPage } from "./browser.js";
import { scratch } from "./env.js";
import { site } from "./site.js";

// The texts of one column of the list, top to bottom.
export const cells = (page, column) =>
    page.$$eval(`table.ow-list tbody tr td:nth-child(${column})`, (tds) => tds.map((td) => td.textContent.trim()));

// current() gives the site's host and the browser page once they are set up.
export function pagesAndSortsInTheDatabase(current) {
    test("pages and sorts in the database", async () => {
        const { host, page } = current();
        await page.goto(host.start);
        assert.equal((await cells(page, 2)).length, 10);
        assert.equal(await page.textContent(".ow-pager > span:not(.ow-off)"), "Page 1 of 3");
        await follow(page, ".ow-pager a[title=Last]");
        assert.deepEqual(await cells(page, 2), ["Item 21", "Item 22", "Item 23", "Item 24", "Item 25"]);
        await page.goto(host.start);
        await follow(page, "table.ow-list th a:has-text('name')");
        await follow(page, "table.ow-list th a:has-text('name')");
        assert.deepEqual((await cells(page, 2)).slice(0, 2), ["Item 25", "Item 24"]);
    });
}

// The items site of a server reached through its data source name, as the
// wizard writes the project for one: the family read from the driver of the
// source, since the name says nothing. server: { name, family, available,
// createItems, recipe(connection, source), dataSourceName, dsnConnection }.
export function itemsSiteThroughDataSourceName(server) {
    const skip = server.available() ? false : "the test database servers are not running (scripts/test-services.sh)";
    describe(`items site, ${server.name} through a data source name`, { skip }, () => {
        let host, browser, page;

        before(async () => {
            server.createItems();
            host = await site(scratch(`${server.name.toLowerCase()}-dsn`), "items", server.recipe(server.dsnConnection(), {
                DatasourceStatus: 2, DatasourceType: server.family, DatabaseName: server.dataSourceName(),
                DBLogin: process.env.TESSALINE_TEST_USER, DBPassword: process.env.TESSALINE_TEST_PASSWORD,
            }));
            browser = await launch();
            page = await watchedPage(await browser.newContext());
        });
        after(async () => {
            await browser?.close();
            await host?.stop();
        });

        pagesAndSortsInTheDatabase(() => ({ host, page }));

        test("searches", async () => {
            await page.goto(`${host.base}/ow_browser_items_index.asp?q=${encodeURIComponent("Item 1")}`);
            assert.equal(await page.textContent(".ow-count"), "10 records");
            assert.deepEqual(await page.alarms(), []);
        });
    });
}
