// The quality of every page type, in each shipped template and without one:
// valid HTML (html-validate, its recommended rules), no serious or critical
// accessibility fault (axe-core), a screenshot kept for people to look at, and
// every server script written in the ECMAScript 3 that JScript understands.
import assert from "node:assert/strict";
import { readdirSync, readFileSync, statSync } from "node:fs";
import { createRequire } from "node:module";
import path from "node:path";
import { after, before, describe, test } from "node:test";
import * as acorn from "acorn";
import { HtmlValidate } from "html-validate";
import { follow, launch, watchedPage } from "../lib/browser.js";
import { artifacts, scratch } from "../lib/env.js";
import { customers } from "../lib/shop.js";
import { copySample, site } from "../lib/site.js";

const axeSource = readFileSync(createRequire(import.meta.url).resolve("axe-core/axe.min.js"), "utf8");
const validator = new HtmlValidate({ extends: ["html-validate:recommended"] });

// Each page type: its address, and for pages behind the login none is set.
const PAGES = {
    list: "customers_index.asp",
    "list-search": "customers_index.asp?q=a&s=1&d=desc",
    add: "customers_edit.asp",
    edit: "customers_edit.asp?k0=3",
    search: "customers_search.asp",
    print: "customers_print.asp",
    login: "customers_login.asp",
};

// The server script of an .asp file as one program: text between the
// blocks is dropped, <%= x %> becomes a write, the directive is skipped.
export function serverScript(asp) {
    const parts = [];
    const block = /<%(@|=)?([\s\S]*?)%>/g;
    let m;
    while ((m = block.exec(asp))) {
        if (m[1] == "@") continue;
        parts.push(m[1] == "=" ? `Response.Write(${m[2]});` : m[2]);
    }
    // JScript assigns through a COM object's default property, Session("k") = v;
    // ECMAScript has no such target, so for parsing it becomes Session["k"] = v.
    return parts.join("\n;\n").replace(/\b(Session|Application)\(([^()]*)\)(\s*=[^=])/g, "$1[$2]$3");
}

function aspFiles(dir) {
    const found = [];
    for (const name of readdirSync(dir)) {
        const file = path.join(dir, name);
        if (statSync(file).isDirectory()) found.push(...aspFiles(file));
        else if (name.endsWith(".asp")) found.push(file);
    }
    return found;
}

for (const template of ["no template", "Harbour", "Meadow", "Paper"]) {
    describe(`page quality, ${template}`, () => {
        let host, browser, context;
        const shots = artifacts(path.join("screenshots", template.replace(/ /g, "-")));

        before(async () => {
            const dir = scratch("quality");
            // The login page is one of the page types; the rest are shown to a
            // visitor who has logged in.
            host = await site(dir, "customers", customers(copySample(dir), {
                SelectedTemplate: template, LoginPage: true, CodeLoginName: "keeper", CodeLoginPassword: "pass",
            }));
            browser = await launch();
            context = await browser.newContext({ viewport: { width: 1100, height: 800 } });
        });
        after(async () => {
            await browser?.close();
            await host?.stop();
        });

        test("every server script parses as ECMAScript 3", () => {
            const files = aspFiles(host.dir);
            assert.ok(files.length >= 9, `only ${files.length} pages`);
            for (const file of files) {
                const code = serverScript(readFileSync(file, "utf8"));
                assert.doesNotThrow(() => acorn.parse(code, { ecmaVersion: 3, allowReserved: "never" }),
                    path.relative(host.dir, file));
            }
        });

        for (const [type, address] of Object.entries(PAGES)) {
            test(`${type}: valid, accessible, screenshot`, async () => {
                const page = await watchedPage(context);
                if (type != "login" && !(await context.cookies()).length) {
                    await page.goto(`${host.base}/customers_login.asp`);
                    await page.fill("#ow-name", "keeper");
                    await page.fill("#ow-password", "pass");
                    await follow(page, "button:has-text('Log in')");
                }
                const response = await page.goto(`${host.base}/${address}`);
                assert.equal(response.status(), 200);
                const html = await response.text();
                const report = await validator.validateString(html, `${type}.html`);
                const messages = report.results.flatMap((r) =>
                    r.messages.map((msg) => `${msg.ruleId} ${msg.line}:${msg.column} ${msg.message}`));
                assert.deepEqual(messages, [], `html-validate on ${type}`);

                // Run by the browser's own tools: the site's content policy
                // rightly refuses a script written into the page.
                await page.evaluate(axeSource);
                const faults = await page.evaluate(async () => {
                    const result = await window.axe.run(document, { resultTypes: ["violations"] });
                    return result.violations.filter((v) => v.impact == "serious" || v.impact == "critical")
                        .map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(" ")).join(", ")}`);
                });
                assert.deepEqual(faults, [], `axe on ${type}`);
                await page.screenshot({ path: path.join(shots, `${type}.png`), fullPage: true });
                assert.deepEqual(await page.alarms(), []);
                await page.close();
            });
        }

        test("keyboard alone reaches every action of the list", async () => {
            const page = await watchedPage(context);
            await page.goto(`${host.base}/customers_index.asp`);
            const actions = await page.$$eval("a[href], button:not([hidden]), select, input:not([type=hidden])",
                (all) => all.filter((e) => e.offsetParent !== null).length);
            const reached = new Set();
            for (let i = 0; i < actions + 5; i++) {
                await page.keyboard.press("Tab");
                reached.add(await page.evaluate(() => {
                    const e = document.activeElement;
                    return e ? e.outerHTML.slice(0, 120) + [...document.querySelectorAll("*")].indexOf(e) : "";
                }));
            }
            assert.ok(reached.size >= actions, `${reached.size} of ${actions} reached`);
            await page.close();
        });
    });
}
