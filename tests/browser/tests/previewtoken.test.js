// The preview as the wizard and ordwick-preview open it: the address carries
// a token that only the browser opening it gets, as a cookie; any other
// client on the machine is turned away.
import assert from "node:assert/strict";
import { after, before, describe, test } from "node:test";
import { launch, watchedPage } from "../lib/browser.js";
import { scratch } from "../lib/env.js";
import { customers } from "../lib/shop.js";
import { copySample, generate, serve } from "../lib/site.js";

describe("preview opened with its token", () => {
    let host, browser;

    before(async () => {
        const dir = scratch("token");
        host = await serve(generate(dir, "customers", customers(copySample(dir))), { token: true });
        browser = await launch();
    });

    after(async () => {
        await browser?.close();
        await host?.stop();
    });

    test("the opening browser reads the site, the address bar loses the token", async () => {
        assert.match(host.start, /\?preview_token=[0-9a-f]{32}$/);
        const page = await watchedPage(await browser.newContext());
        const answer = await page.goto(host.start);
        assert.equal(answer.status(), 200);
        assert.equal(page.url(), host.start.replace(/\?.*$/, ""));
        assert.equal(await page.textContent("h1"), "Customers");
        assert.equal((await page.goto(`${host.base}/include/style.css`)).status(), 200);
    });

    test("another browser on the machine is refused", async () => {
        const stranger = await (await browser.newContext()).newPage();
        const answer = await stranger.goto(host.start.replace(/\?.*$/, ""));
        assert.equal(answer.status(), 403);
        assert.match(await stranger.textContent("body"), /carries the preview's token/);
        const guessed = await stranger.goto(`${host.start.replace(/=.*$/, "=")}${"0".repeat(32)}`);
        assert.equal(guessed.status(), 403);
    });
});
