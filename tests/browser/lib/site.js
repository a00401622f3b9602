// A generated site served by the preview host: the project is written, the
// real generator runs on it and the real host serves the result.
import { execFileSync, spawn } from "node:child_process";
import { copyFileSync } from "node:fs";
import path from "node:path";
import { generator, previewer, sampleDatabase, templateDir } from "./env.js";
import { writeProject } from "./project.js";

// Copies the sample database into dir, so each site changes only its own.
export function copySample(dir, name = "shop.db") {
    const file = path.join(dir, name);
    copyFileSync(sampleDatabase, file);
    return file;
}

// Writes the project and generates its site; throws with the generator's
// own words when it fails.
export function generate(dir, name, recipe) {
    const project = path.join(dir, `${name}.pjx`);
    const destination = path.join(dir, name);
    writeProject(project, { destination, ...recipe });
    try {
        // --app-dir names the folder that holds "template".
        execFileSync(generator, [project, "--app-dir", path.dirname(templateDir)], { encoding: "utf8", stdio: "pipe" });
    } catch (e) {
        throw new Error(`ordwick-generate failed: ${e.stdout}${e.stderr}`);
    }
    return destination;
}

// Starts the host on a free port and resolves with its base address once it
// has printed it ("Open http://127.0.0.1:N/page.asp — ..."). The suite's pages
// open any address of the site in fresh browsers, so the host answers without
// its token unless { token: true }: then start carries it.
export function serve(siteDir, { token = false } = {}) {
    return new Promise((resolve, reject) => {
        const args = [siteDir, "--no-browser", ...(token ? [] : ["--no-token"])];
        const child = spawn(previewer, args, { stdio: ["ignore", "pipe", "pipe"] });
        let out = "";
        let err = "";
        const fail = (why) => reject(new Error(`ordwick-preview: ${why}\n${out}${err}`));
        child.stderr.on("data", (d) => (err += d));
        const early = (code) => fail(`exited with ${code}`);
        child.on("exit", early);
        child.stdout.on("data", (d) => {
            out += d;
            const m = /Open (http:\/\/127\.0\.0\.1:\d+)(\/\S*)/.exec(out);
            if (m) {
                child.off("exit", early);
                resolve({
                    base: m[1],
                    start: m[1] + m[2],
                    pid: child.pid,
                    // Ctrl+C, as a person stops it.
                    stop: () =>
                        new Promise((done) => {
                            if (child.exitCode !== null || child.signalCode !== null) return done();
                            child.once("exit", () => done());
                            child.kill("SIGINT");
                        }),
                });
            }
        });
    });
}

// Both steps at once: { dir, base, start, stop, database }.
export async function site(dir, name, recipe) {
    const folder = generate(dir, name, recipe);
    const host = await serve(folder);
    return { dir: folder, database: path.join(folder, "db", path.basename(recipe.database)), ...host };
}
