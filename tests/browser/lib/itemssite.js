// What the items sites over the database servers share: 25 items, 10 a page.
import assert from "node:assert/strict";
import { test } from "node:test";
import { follow } from "./browser.js";

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
