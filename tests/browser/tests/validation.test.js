// Each validation type judged alike by the browser's check and the server's:
// a value the form's script lets through is stored, one it stops is refused by
// the server too when sent without the script.
import assert from "node:assert/strict";
import { after, before, describe, test } from "node:test";
import { launch } from "../lib/browser.js";
import { scratch } from "../lib/env.js";
import { site } from "../lib/site.js";
import * as sqlite from "../lib/sqlite.js";
import path from "node:path";

// Validation type, and values with the verdict written out: true to store.
const CASES = {
    1: [["4111 1111 1111 1111", true], ["4111 1111 1111 1112", false], ["abcd", false]],
    2: [["12.50", true], ["1,250.00", true], ["12.5.0", false], ["ten", false]],
    3: [["2024-02-29", true], ["2023-02-29", false], ["someday", false]],
    4: [["ines@quayside.example", true], ["ines@", false], ["not an address", false]],
    5: [["-12.5", true], ["1e3", true], ["12a", false]],
    6: [["Lighthouse7", true], ["abc", false]],
    7: [["+44 20 7946 0958", true], ["12", false], ["call me", false]],
    8: [["SW1A 1AA", true], ["12345", true], ["!!", false]],
};

describe("validation types, browser and server", () => {
    let host, browser, scripted, plain;

    before(async () => {
        const dir = scratch("validation");
        const database = path.join(dir, "checks.db");
        sqlite.exec(database, "CREATE TABLE Checks (id INTEGER PRIMARY KEY, v1 TEXT, v2 TEXT, v3 TEXT, v4 TEXT, " +
            "v5 TEXT, v6 TEXT, v7 TEXT, v8 TEXT)");
        host = await site(dir, "checks", {
            table: "Checks", database, keys: ["id"],
            columns: [{ name: "id", type: 1, editType: 9 }, ...Object.keys(CASES).map((t) => ({ name: `v${t}`, type: 4, validation: Number(t) }))],
        });
        browser = await launch();
        scripted = await browser.newContext();
        plain = await browser.newContext({ javaScriptEnabled: false });
    });
    after(async () => {
        await browser?.close();
        await host?.stop();
    });

    // Sends the form with one field filled: whether the record was stored, and
    // the message shown beside the field when it was not.
    async function send(context, type, value) {
        const page = context.pages()[0] ?? (await context.newPage());
        page.setDefaultTimeout(60000);
        await page.goto(`${host.base}/checks_edit.asp`);
        await page.fill(`#f${type}`, value);
        await page.click("button:has-text('Save')");
        // Either the list with its notice or the form with the field's message.
        await page.locator(`.ow-message, #e-f${type}:not(:empty)`).first().waitFor();
        if (/m=added/.test(page.url())) return { stored: true, message: "" };
        return { stored: false, message: (await page.textContent(`#e-f${type}`)).trim() };
    }

    for (const [type, values] of Object.entries(CASES)) {
        test(`validation type ${type}`, async () => {
            for (const [value, expected] of values) {
                const count = () => sqlite.value(host.database, `SELECT COUNT(*) FROM Checks WHERE v${type} = '${value.replace(/'/g, "''")}'`);
                const inBrowser = await send(scripted, type, value);
                assert.equal(inBrowser.stored, expected, `browser, "${value}"`);
                assert.equal(count(), expected ? 1 : 0);
                const onServer = await send(plain, type, value);
                assert.equal(onServer.stored, expected, `server, "${value}"`);
                assert.equal(count(), expected ? 2 : 0);
                // Both say the same thing about a refused value.
                assert.equal(onServer.message, inBrowser.message, `"${value}"`);
                if (!expected) assert.notEqual(onServer.message, "");
            }
        });
    }
});
