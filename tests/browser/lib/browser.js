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
// set. Tests assert both stay empty.
export async function watchedPage(context) {
    const page = await context.newPage();
    // A page that does not come in ten seconds has failed; no waiting out the run.
    page.setDefaultTimeout(10000);
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
    page.answerDelete = (yes) => (expected = yes);
    page.alarms = async () => {
        const flag = await page.evaluate(() => window.__owned ?? null).catch(() => null);
        return flag === null ? alarms : [...alarms, `flag: ${flag}`];
    };
    return page;
}
