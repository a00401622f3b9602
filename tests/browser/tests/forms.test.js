// The edit types the customers site does not use, in the add and edit forms
// of two more sample tables: a password never sent back, a hidden field that
// keeps its value, a check box, lookups of fixed values and of another
// table's rows, radio buttons filled from another table; and the list's
// initial order and "more..." link. Each form
// is checked against what the database then holds.
import assert from "node:assert/strict";
import { after, before, describe, test } from "node:test";
import { follow, launch, watchedPage } from "../lib/browser.js";
import { scratch } from "../lib/env.js";
import { copySample, site } from "../lib/site.js";
import * as sqlite from "../lib/sqlite.js";

const cells = (page, column) =>
    page.$$eval(`table.ow-list tbody tr td:nth-child(${column})`, (tds) => tds.map((td) => td.textContent.trim()));
const optionTexts = (page, selector) =>
    page.$$eval(`${selector} option`, (options) => options.map((o) => `${o.value}=${o.textContent.trim()}`));

describe("users site: password, hidden field and check box", () => {
    let host, browser, page;

    before(async () => {
        const dir = scratch("forms-users");
        const database = copySample(dir);
        host = await site(dir, "users", {
            table: "Users", database, keys: ["UserID"],
            columns: [
                { name: "UserID", type: 1, editType: 9, caption: "Number" },
                { name: "LoginName", type: 4, required: true, caption: "Login" },
                { name: "Password", type: 4, editType: 3, required: true, list: false, simple: false, advanced: false },
                { name: "FullName", type: 4, caption: "Name" },
                { name: "IsAdmin", type: 6, editType: 6, caption: "Administrator", simple: false },
                { name: "LastLogin", type: 8, editType: 4, caption: "Last login", simple: false,
                  defaultValue: "2024-01-01 08:00:00" },
            ],
        });
        browser = await launch();
        page = await watchedPage(await browser.newContext());
    });
    after(async () => {
        await browser?.close();
        await host?.stop();
    });

    test("the add form offers a password box, a check box and no visible hidden field", async () => {
        await page.goto(`${host.base}/users_edit.asp`);
        assert.equal(await page.getAttribute("#f2", "type"), "password");
        assert.equal(await page.getAttribute("#f4", "type"), "checkbox");
        assert.equal(await page.getAttribute("#f5", "type"), "hidden");
        assert.equal(await page.locator("label", { hasText: "Last login" }).count(), 0);
        await page.fill("#f1", "nclark");
        await page.fill("#f2", "s3cret word");
        await page.fill("#f3", "Nora Clark");
        await page.check("#f4");
        await follow(page, "button:has-text('Save')");
        assert.equal(await page.textContent(".ow-message"), "The record was added.");
        assert.deepEqual(sqlite.rows(host.database, "SELECT Password, FullName, IsAdmin, LastLogin FROM Users WHERE LoginName = 'nclark'"),
            [{ Password: "s3cret word", FullName: "Nora Clark", IsAdmin: 1, LastLogin: "2024-01-01 08:00:00" }]);
    });

    test("a password is required when a record is added", async () => {
        const plain = await browser.newContext({ javaScriptEnabled: false });
        const p2 = await plain.newPage();
        await p2.goto(`${host.base}/users_edit.asp`);
        await p2.fill("#f1", "nopass");
        await follow(p2, "button:has-text('Save')");
        assert.match(await p2.textContent("#e-f2"), /Password is required/);
        await plain.close();
        assert.equal(sqlite.value(host.database, "SELECT COUNT(*) FROM Users WHERE LoginName = 'nopass'"), 0);
    });

    test("editing never shows the stored password, and an empty one keeps it", async () => {
        await page.goto(`${host.base}/users_edit.asp?k0=3`);
        assert.equal(await page.inputValue("#f2"), "");
        assert.equal((await page.content()).includes("harbour24"), false);
        assert.equal(await page.isChecked("#f4"), false);
        assert.equal(await page.inputValue("#f5"), "2024-03-18 09:31:40");
        await page.fill("#f3", "Maren Holt-Berg");
        await page.check("#f4");
        await follow(page, "button:has-text('Save')");
        assert.equal(await page.textContent(".ow-message"), "The record was saved.");
        assert.deepEqual(sqlite.rows(host.database, "SELECT Password, FullName, IsAdmin, LastLogin FROM Users WHERE UserID = 3"),
            [{ Password: "harbour24", FullName: "Maren Holt-Berg", IsAdmin: 1, LastLogin: "2024-03-18 09:31:40" }]);
    });

    test("a new password and a cleared check box are stored", async () => {
        await page.goto(`${host.base}/users_edit.asp?k0=3`);
        assert.equal(await page.isChecked("#f4"), true);
        await page.fill("#f2", "tide-2025");
        await page.uncheck("#f4");
        await follow(page, "button:has-text('Save')");
        assert.deepEqual(sqlite.rows(host.database, "SELECT Password, IsAdmin, LastLogin FROM Users WHERE UserID = 3"),
            [{ Password: "tide-2025", IsAdmin: 0, LastLogin: "2024-03-18 09:31:40" }]);
    });

    test("the list shows the check box's value and the hidden field's, never the password", async () => {
        await page.goto(`${host.base}/users_index.asp?q=mholt`);
        assert.deepEqual(await page.$$eval("table.ow-list thead th", (ths) => ths.map((th) => th.textContent.trim())),
            ["Number", "Login", "Name", "Administrator", "Last login", ""]);
        assert.deepEqual([await cells(page, 4), await cells(page, 5)], [["No"], ["2024-03-18 09:31:40"]]);
        assert.equal((await page.content()).includes("tide-2025"), false);
        assert.deepEqual(await page.alarms(), []);
    });

    test("a hidden field changed in the browser stores the default on add and keeps the stored value on edit", async () => {
        const forge = () => page.$eval("#f5", (input) => (input.value = "2031-12-31 23:59:00"));
        await page.goto(`${host.base}/users_edit.asp`);
        await page.fill("#f1", "forger");
        await page.fill("#f2", "pass word 1");
        await forge();
        await follow(page, "button:has-text('Save')");
        await page.goto(`${host.base}/users_edit.asp?k0=3`);
        await forge();
        await follow(page, "button:has-text('Save')");
        assert.deepEqual(sqlite.rows(host.database, "SELECT LoginName, LastLogin FROM Users WHERE LoginName = 'forger' OR UserID = 3 ORDER BY UserID"),
            [{ LoginName: "mholt", LastLogin: "2024-03-18 09:31:40" }, { LoginName: "forger", LastLogin: "2024-01-01 08:00:00" }]);
    });
});

describe("orders site: lookups, initial order and the more link", () => {
    let host, browser, page;

    before(async () => {
        const dir = scratch("forms-orders");
        const database = copySample(dir);
        host = await site(dir, "orders", {
            table: "Orders", database, keys: ["OrderID"],
            columns: [
                { name: "OrderID", type: 1, editType: 9, caption: "Order" },
                { name: "CustomerID", type: 1, editType: 8, required: true, caption: "Customer",
                  details: "SELECT CustomerID, CompanyName FROM Customers ORDER BY CompanyName ASC" },
                { name: "OrderDate", type: 8, editType: 7, required: true, details: "0", caption: "Date" },
                { name: "ShipCity", type: 4, editType: 8, caption: "City",
                  details: "Bergen, Brisbane, Hamburg, Lyon, Osaka, Oulu, Portland, Utrecht, Valencia, York" },
                { name: "Reference", type: 4 },
                { name: "DeliveryTime", type: 8, editType: 7, details: "0", caption: "Delivery", simple: false },
            ],
            config: { RecordsPerPageID: 1, SortColumnBy: true, SortColumnID: "OrderDate|1;OrderID|0;",
                ShowMoreLink: true, ShowMoreLinkID: 5 },
        });
        browser = await launch();
        page = await watchedPage(await browser.newContext());
    });
    after(async () => {
        await browser?.close();
        await host?.stop();
    });

    test("the list opens in its initial order, ties broken by the second column", async () => {
        await page.goto(host.start);
        assert.deepEqual(await cells(page, 1), ["1014", "1013", "1012", "1011", "1010", "1009", "1008", "1007", "1006", "1005"]);
        await follow(page, ".ow-pager a[title=Next]");
        assert.deepEqual(await cells(page, 1), ["1004", "1002", "1003", "1001"]);
    });

    test("a lookup column shows the looked-up text, not the stored number", async () => {
        await page.goto(host.start);
        assert.deepEqual((await cells(page, 2)).slice(0, 3), ["Riverside Books", "Bluebell Tea Rooms", "Southern Cross Imports"]);
    });

    test("long texts are cut with a more link that shows the whole text", async () => {
        await page.goto(host.start);
        const row = page.locator("table.ow-list tbody tr", { hasText: "1011" });
        const cell = row.locator("td:nth-child(5)");
        assert.equal((await cell.innerText()).trim(), "NW-20… more...");
        await cell.locator("a.ow-more").click();
        assert.equal((await cell.innerText()).trim(), "NW-2024-131");
        // A text as long as the limit is not cut.
        const short = page.locator("table.ow-list tbody tr", { hasText: "1014" }).locator("td:nth-child(5)");
        assert.equal((await short.innerText()).trim(), "RB/91");
        assert.equal(await page.locator("table.ow-list tbody td:nth-child(5) a.ow-more").count(), 2);
        // Every text column is cut alike, a looked-up one too.
        const city = page.locator("table.ow-list tbody tr", { hasText: "1014" }).locator("td:nth-child(4)");
        assert.equal((await city.innerText()).trim(), "Portl… more...");
    });

    test("the add form offers the other table's rows and the fixed values, and stores the choice", async () => {
        await page.goto(`${host.base}/orders_edit.asp`);
        const customers = await optionTexts(page, "#f1");
        // Nothing is chosen for the visitor, a required lookup included.
        assert.deepEqual(customers.slice(0, 4), ["=", "2=Bluebell Tea Rooms", "3=Café Lumière", "7=Casa Verde"]);
        assert.equal(customers.length, 11);
        assert.equal(await page.inputValue("#f1"), "");
        assert.deepEqual(await optionTexts(page, "#f3"), ["=", "Bergen=Bergen", "Brisbane=Brisbane", "Hamburg=Hamburg",
            "Lyon=Lyon", "Osaka=Osaka", "Oulu=Oulu", "Portland=Portland", "Utrecht=Utrecht", "Valencia=Valencia", "York=York"]);
        await page.selectOption("#f1", { label: "Riverside Books" });
        await page.fill("#f2", "2024-05-02");
        await page.selectOption("#f3", "Lyon");
        await page.fill("#f4", "RB/120");
        await follow(page, "button:has-text('Save')");
        assert.equal(await page.textContent(".ow-message"), "The record was added.");
        assert.deepEqual(sqlite.rows(host.database, "SELECT CustomerID, OrderDate, ShipCity FROM Orders WHERE Reference = 'RB/120'"),
            [{ CustomerID: 6, OrderDate: "2024-05-02", ShipCity: "Lyon" }]);
    });

    test("a required lookup left unchosen is refused by the server", async () => {
        const plain = await browser.newContext({ javaScriptEnabled: false });
        try {
            const form = await plain.newPage();
            await form.goto(`${host.base}/orders_edit.asp`);
            await form.$eval("#f1", (select) => select.removeAttribute("required"));
            await form.fill("#f2", "2024-05-03");
            await form.fill("#f4", "UNCHOSEN");
            await follow(form, "button:has-text('Save')");
            assert.equal(await form.textContent("#e-f1"), "Customer is required.");
        } finally {
            await plain.close();
        }
        assert.deepEqual(sqlite.rows(host.database, "SELECT COUNT(*) AS n FROM Orders WHERE Reference = 'UNCHOSEN'"),
            [{ n: 0 }]);
    });

    test("the edit form shows the current choices and stores new ones", async () => {
        await page.goto(`${host.base}/orders_edit.asp?k0=1003`);
        assert.equal(await page.inputValue("#f1"), "4");
        // A required lookup with its value stored offers no empty choice.
        assert.equal((await optionTexts(page, "#f1"))[0], "2=Bluebell Tea Rooms");
        assert.equal(await page.inputValue("#f3"), "Hamburg");
        await page.selectOption("#f1", { label: "Tulip & Co" });
        await page.selectOption("#f3", "Utrecht");
        await follow(page, "button:has-text('Save')");
        assert.equal(await page.textContent(".ow-message"), "The record was saved.");
        assert.deepEqual(sqlite.rows(host.database, "SELECT CustomerID, ShipCity, Reference FROM Orders WHERE OrderID = 1003"),
            [{ CustomerID: 9, ShipCity: "Utrecht", Reference: "NW-2024-118" }]);
    });

    test("a value that is not among the offered ones is refused by the server", async () => {
        await page.goto(`${host.base}/orders_edit.asp?k0=1001`);
        await page.$eval("#f1", (select) => select.add(new Option("Nobody", "99"), null));
        await page.$eval("#f3", (select) => select.add(new Option("Atlantis", "Atlantis"), null));
        await page.selectOption("#f1", "99");
        await page.selectOption("#f3", "Atlantis");
        await follow(page, "button:has-text('Save')");
        assert.match(await page.textContent("#e-f1"), /Customer: choose one of the offered values/);
        assert.match(await page.textContent("#e-f3"), /City: choose one of the offered values/);
        assert.deepEqual(sqlite.rows(host.database, "SELECT CustomerID, ShipCity FROM Orders WHERE OrderID = 1001"),
            [{ CustomerID: 1, ShipCity: "Bergen" }]);
        assert.deepEqual(await page.alarms(), []);
    });

    test("a time column shows a time in the list and the form, and takes one back", async () => {
        await page.goto(host.start);
        const delivery = (order) => page.locator("table.ow-list tbody tr", { hasText: order }).locator("td:nth-child(6)").innerText();
        assert.deepEqual([await delivery("1014"), await delivery("1013")], ["10:00:00", "08:00:00"]);
        await page.goto(`${host.base}/orders_edit.asp?k0=1014`);
        assert.equal(await page.inputValue("#f5"), "10:00:00");
        await page.fill("#f5", "14:45");
        await follow(page, "button:has-text('Save')");
        assert.equal(await page.textContent(".ow-message"), "The record was saved.");
        assert.deepEqual(sqlite.rows(host.database, "SELECT OrderDate, DeliveryTime FROM Orders WHERE OrderID = 1014"),
            [{ OrderDate: "2024-04-16", DeliveryTime: "14:45:00" }]);
    });
});

describe("order details site: radio buttons filled from another table", () => {
    let host, browser, page;

    before(async () => {
        const dir = scratch("forms-details");
        const database = copySample(dir);
        host = await site(dir, "details", {
            table: "Order Details", database, keys: ["OrderID", "ProductID"],
            columns: [
                { name: "OrderID", type: 1, editType: 5, required: true, caption: "Order",
                  details: "SELECT OrderID FROM Orders ORDER BY OrderID" },
                { name: "ProductID", type: 1, editType: 8, required: true, caption: "Product",
                  details: "SELECT ProductID, ProductName FROM Products ORDER BY ProductName" },
                { name: "Unit Price", type: 7, validation: 2, caption: "Price" },
                { name: "Quantity", type: 1 },
                { name: "Discount", type: 7 },
            ],
        });
        browser = await launch();
        page = await watchedPage(await browser.newContext());
    });
    after(async () => {
        await browser?.close();
        await host?.stop();
    });

    const radios = () =>
        page.$$eval("input[type=radio][name=f0]", (inputs) => inputs.map((i) => `${i.value}${i.checked ? "*" : ""}`));

    test("the add form offers one radio button per row of the other table, none chosen, and stores the choice", async () => {
        await page.goto(`${host.base}/order%20details_edit.asp`);
        assert.deepEqual(await radios(), ["1001", "1002", "1003", "1004", "1005", "1006", "1007", "1008", "1009",
            "1010", "1011", "1012", "1013", "1014"]);
        await page.check("input[name=f0][value='1005']");
        await page.selectOption("#f1", { label: "Matcha Whisk" });
        await page.fill("#f2", "12.50");
        await page.fill("#f3", "3");
        await page.fill("#f4", "0");
        await follow(page, "button:has-text('Save')");
        assert.equal(await page.textContent(".ow-message"), "The record was added.");
        assert.deepEqual(sqlite.rows(host.database,
            "SELECT \"Unit Price\" AS price, Quantity FROM \"Order Details\" WHERE OrderID = 1005 AND ProductID = 11"),
        [{ price: 12.5, Quantity: 3 }]);
    });

    test("the edit form has the stored value chosen", async () => {
        await page.goto(`${host.base}/order%20details_edit.asp?k0=1001&k1=1`);
        const chosen = (await radios()).filter((r) => r.endsWith("*"));
        assert.deepEqual(chosen, ["1001*"]);
    });

    test("no choice and a forged choice are both refused by the server", async () => {
        const mugs = () => sqlite.rows(host.database, "SELECT COUNT(*) AS n FROM \"Order Details\" WHERE ProductID = 3");
        const before = mugs();
        const plain = await browser.newContext({ javaScriptEnabled: false });
        try {
            const form = await plain.newPage();
            await form.goto(`${host.base}/order%20details_edit.asp`);
            await form.selectOption("#f1", { label: "Stoneware Mug" });
            await form.fill("#f3", "1");
            await follow(form, "button:has-text('Save')");
            assert.equal(await form.textContent("#e-f0"), "Order is required.");
            await form.$eval("#f0", (span) => {
                const forged = document.createElement("input");
                forged.type = "radio";
                forged.name = "f0";
                forged.value = "9999";
                forged.checked = true;
                span.appendChild(forged);
            });
            await follow(form, "button:has-text('Save')");
            assert.match(await form.textContent("#e-f0"), /Order: choose one of the offered values/);
        } finally {
            await plain.close();
        }
        assert.deepEqual(mugs(), before);
        assert.deepEqual(await page.alarms(), []);
    });
});
