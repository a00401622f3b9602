// Debian's Chromium, headless, driven through playwright-core: no browser of
// its own is downloaded and nothing reaches the network.
import { chromium } from "playwright-core";
import { chromiumPath } from "./env.js";

const ARGS = [
    "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
];

export async function launch() {
    // launch() gives the browser a fresh profile folder of its own and removes
    // it on close; each newContext() is a visitor with his own cookies.
    const browser = await chromium.launch({ executablePath: chromiumPath, headless: true, args: ARGS });
    return browser;
}

// A page that records every sign of script the site did not write itself:
// any dialog (alert, confirm, prompt) and the global flag the attack payloads
// set; and anything the site's content policy refused. Tests assert all stay
// empty.
export async function watchedPage(context) {
    const page = await context.newPage();
    // A page that does not come in a minute has failed, however busy the
    // machine: no waiting out the whole run.
    page.setDefaultTimeout(60000);
    const alarms = [];
    let expected = null;
    page.on("dialog", async (dialog) => {
        // The site's own question before a delete is answered as the test says.
        if (expected !== null && dialog.type() == "confirm" && dialog.message() == "Delete this record?") {
            const yes = expected;
            expected = null;
            return yes ? dialog.accept() : dialog.dismiss();
        }
        alarms.push(`${dialog.type()}: ${dialog.message()}`);
        await dialog.dismiss();
    });
    // Whatever the site's own policy kept from loading or running.
    page.on("console", (message) => {
        if (message.type() == "error" && /Content Security Policy/.test(message.text())) alarms.push(`policy: ${message.text()}`);
    });
    page.answerDelete = (yes) => (expected = yes);
    page.alarms = async () => {
        const flag = await page.evaluate(() => window.__owned ?? null).catch(() => null);
        return flag === null ? alarms : [...alarms, `flag: ${flag}`];
    };
    return page;
}

// Does what starts a navigation (a click on a link or a submit button, a
// choice that sends its form) and resolves with the answer once the page it
// led to has loaded. Nothing is read from the page being left, or from one
// still being parsed, however slow the machine. The wait is set up before the
// action, so a navigation that ends quickly is not missed.
export async function navigating(page, action) {
    const [response] = await Promise.all([page.waitForNavigation({ waitUntil: "load" }), action()]);
    return response;
}

// A click on a link or a button that leads to another page.
export const follow = (page, selector) => navigating(page, () => page.click(selector));
