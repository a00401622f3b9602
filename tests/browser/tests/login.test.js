// Logging in and out, with one fixed login and with the logins of a table.
import assert from "node:assert/strict";
import { after, before, describe, test } from "node:test";
import { follow, launch, watchedPage } from "../lib/browser.js";
import { scratch } from "../lib/env.js";
import { customers } from "../lib/shop.js";
import { readFileSync, writeFileSync } from "node:fs";
import path from "node:path";
import { copySample, generate, serve } from "../lib/site.js";

// The login form's answer, less the token that differs on every page.
const answerOf = async (page) =>
    (await page.content()).replace(/name="ow_token" value="[0-9A-F]+"/, "").replace(/autocomplete="username" value="[^"]*"/, "");

for (const kind of ["fixed", "table"]) {
    describe(`${kind} login`, () => {
        let host, browser;
        const good = kind == "fixed" ? { name: "keeper", password: "Lighthouse 7" } : { name: "mholt", password: "harbour24" };
        const config = kind == "fixed"
            ? { LoginPage: true, CodeLoginName: good.name, CodeLoginPassword: good.password }
            : { LoginPage: true, DynamicStaticLogin: true, DynamicTable: "Users", DynamicLoginName: "LoginName",
                DynamicLoginPassword: "Password" };

        before(async () => {
            const dir = scratch(`login-${kind}`);
            const folder = generate(dir, "customers", customers(copySample(dir), config));
            // Guessing a name is slowed after three failures, at first for six
            // seconds: a wait a test can pass.
            const variables = path.join(folder, "include", "customers_variables.asp");
            writeFileSync(variables, readFileSync(variables, "utf8").replace(/\btries: 5,/, "tries: 3,")
                .replace("firstWait: 30,", "firstWait: 6,"));
            host = await serve(folder);
            browser = await launch();
        });
        after(async () => {
            await browser?.close();
            await host?.stop();
        });

        const logIn = async (page, name, password) => {
            await page.fill("#ow-name", name);
            await page.fill("#ow-password", password);
            await follow(page, "button:has-text('Log in')");
        };

        test("every page sends a visitor who has not logged in to the login page", async () => {
            const context = await browser.newContext();
            const page = await watchedPage(context);
            for (const name of ["index", "edit", "search", "print", "export"]) {
                await page.goto(`${host.base}/customers_${name}.asp`).catch(() => null);
                assert.match(page.url(), new RegExp(`/customers_login\\.asp\\?r=${name == "export" ? "exp" : name}$`));
                assert.equal(await page.textContent("h1"), "Log in - Customers");
            }
            await context.close();
        });

        test("a wrong password is answered the same whatever the name", async () => {
            const context = await browser.newContext();
            const page = await watchedPage(context);
            const answers = [];
            for (const [name, password] of [[good.name, "wrong"], ["nobody", "wrong"], ["nobody", good.password],
                [`${good.name}' --`, "x"], ["' OR '1'='1", "' OR '1'='1"]]) {
                await page.goto(`${host.base}/customers_login.asp`);
                await logIn(page, name, password);
                assert.equal(await page.textContent(".ow-problem"), "The login name or password is not correct.");
                answers.push(await answerOf(page));
            }
            assert.equal(new Set(answers).size, 1);
            await context.close();
        });

        test("logging in renews the login secret, and logging out ends the login", async () => {
            const context = await browser.newContext();
            const page = await watchedPage(context);
            await page.goto(`${host.base}/customers_index.asp`);
            const oldToken = await page.inputValue("input[name=ow_token]");
            await logIn(page, good.name, good.password);
            assert.match(page.url(), /\/customers_index\.asp$/);
            assert.equal(await page.textContent(".ow-logout span"), good.name);
            const secret = (await context.cookies()).find((c) => c.name == "ow_user_customers");
            assert.equal(secret?.httpOnly, true);
            assert.match(secret.value, /^[0-9A-F]{32}$/);
            // The token of the page before the login is no good after it.
            const refused = await page.request.post(`${host.base}/customers_index.asp`,
                { form: { ow_token: oldToken, ow_action: "delete", k0: "1" }, maxRedirects: 0 });
            assert.equal(refused.status(), 403);

            await follow(page, ".ow-logout button");
            assert.equal(await page.textContent(".ow-message"), "You have logged out.");
            await page.goto(`${host.base}/customers_index.asp`);
            assert.match(page.url(), /customers_login\.asp/);
            assert.deepEqual(await page.alarms(), []);
            await context.close();
        });

        test("the session and login cookies are HttpOnly and SameSite=Lax, not Secure over plain HTTP", async () => {
            const context = await browser.newContext();
            const page = await watchedPage(context);
            await page.goto(`${host.base}/customers_login.asp`);
            // The host's own session cookie comes with the first page; the
            // site gives it again with its attributes on the next.
            const again = await page.goto(`${host.base}/customers_login.asp`);
            const login = await page.request.post(`${host.base}/customers_login.asp`, { maxRedirects: 0,
                form: { ow_token: await page.inputValue("input[name=ow_token]"), r: "", name: good.name, password: good.password } });
            assert.equal(login.status(), 302);
            const cookies = [...(await again.headersArray()), ...login.headersArray()]
                .filter((h) => h.name.toLowerCase() == "set-cookie")
                .map((h) => h.value.replace(/^ASPSESSIONID[A-Z]+=[A-Z]+/, "ASPSESSIONID=S").replace(/=[0-9A-F]{32};/, "=K;"));
            assert.deepEqual(cookies, ["ASPSESSIONID=S; path=/; HttpOnly; SameSite=Lax",
                "ow_user_customers=K; path=/; HttpOnly; SameSite=Lax"]);
            await context.close();
        });

        test("guessing is refused past the limit, the right password too, until the wait has passed", async () => {
            const context = await browser.newContext();
            const page = await watchedPage(context);
            await page.goto(`${host.base}/customers_login.asp`);
            const tokens = [await page.inputValue("input[name=ow_token]")];
            for (const password of ["guess 1", "guess 2", "guess 3", good.password]) {
                await logIn(page, good.name, password);
                assert.equal(await page.textContent(".ow-problem"), "The login name or password is not correct.");
                tokens.push(await page.inputValue("input[name=ow_token]"));
            }
            // A new token after every attempt: one form is good for one guess.
            assert.equal(new Set(tokens).size, 5);
            // Attempts while the name waits are refused unchecked and do not
            // lengthen the wait: the right password works once it has passed.
            const deadline = Date.now() + 60000;
            do {
                await logIn(page, good.name, good.password);
            } while (/customers_login\.asp/.test(page.url()) && Date.now() < deadline);
            assert.match(page.url(), /\/customers_index\.asp$/);
            await context.close();
        });

        test("a session id planted before the login does not carry the login to the planter", async () => {
            const attacker = await browser.newContext();
            const a = await attacker.newPage();
            await a.goto(`${host.base}/customers_login.asp`);
            const planted = (await attacker.cookies()).filter((c) => c.name.startsWith("ASPSESSIONID"));
            assert.equal(planted.length, 1);
            // The victim's browser is given the attacker's session id, then logs in.
            const victim = await browser.newContext();
            await victim.addCookies(planted);
            const v = await victim.newPage();
            await v.goto(`${host.base}/customers_login.asp`);
            await logIn(v, good.name, good.password);
            assert.equal(await v.textContent(".ow-logout span"), good.name);
            // The attacker, holding the same session id, is still not logged in.
            await a.goto(`${host.base}/customers_index.asp`);
            assert.match(a.url(), /customers_login\.asp/);
            await attacker.close();
            await victim.close();
        });

        test("after logging in the visitor returns to the page he asked for", async () => {
            const context = await browser.newContext();
            const page = await watchedPage(context);
            await page.goto(`${host.base}/customers_search.asp`);
            await logIn(page, good.name, good.password);
            assert.match(page.url(), /\/customers_search\.asp$/);
            // A return address from the request is never followed off the site.
            await page.goto(`${host.base}/customers_login.asp?r=${encodeURIComponent("http://evil.example/")}`);
            assert.equal(await page.inputValue("input[name=r]"), "http://evil.example/");
            await context.close();
        });
    });
}
