// Where the programs under test are: CTest passes their paths in the
// environment; run by hand, the default build folder is used.
import { mkdirSync, mkdtempSync } from "node:fs";
import { tmpdir } from "node:os";
import path from "node:path";
import { fileURLToPath } from "node:url";

const here = path.dirname(fileURLToPath(import.meta.url));
export const sourceDir = path.resolve(here, "../../..");
const build = process.env.ORDWICK_BUILD_DIR ?? path.join(sourceDir, "build");

export const generator = process.env.ORDWICK_GENERATE ?? path.join(build, "bin/ordwick-generate");
export const previewer = process.env.ORDWICK_PREVIEW ?? path.join(build, "bin/ordwick-preview");
export const sampleDatabase = process.env.ORDWICK_SAMPLE_DATABASE ?? path.join(build, "share/tessaline/samples/shop.db");
export const templateDir = process.env.ORDWICK_TEMPLATE_DIR ?? path.join(sourceDir, "share/tessaline/template");
export const chromiumPath = process.env.ORDWICK_CHROMIUM ?? "/usr/bin/chromium";
export const artifactDir = process.env.ORDWICK_BROWSER_ARTIFACTS ?? path.join(build, "browser-artifacts");

// A fresh folder per test file; kept after the run only when asked, to look into.
export function scratch(name) {
    return mkdtempSync(path.join(tmpdir(), `ordwick-browser-${name}-`));
}

export function artifacts(sub) {
    const dir = path.join(artifactDir, sub);
    mkdirSync(dir, { recursive: true });
    return dir;
}
