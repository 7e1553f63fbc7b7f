// Runs Debian's headless Chromium on the chart page: the DOM after the page
// has drawn, or a screenshot.
'use strict';

const {execFileSync} = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const {pathToFileURL} = require('node:url');

function findChromium()
{
    for (const name of ['chromium', 'chromium-browser']) {
        for (const dir of (process.env.PATH || '').split(path.delimiter)) {
            const candidate = path.join(dir, name);
            if (dir && fs.existsSync(candidate)) {
                return candidate;
            }
        }
    }
    return null;
}

/// The file URL of the page with the query appended as the program does it.
function pageUrl(page, query)
{
    return pathToFileURL(page).href + query;
}

function run(args, size)
{
    const binary = findChromium();
    if (!binary) {
        throw new Error('chromium is not installed (scripts/install-deps.sh installs it)');
    }
    const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'plotwell-chromium-'));
    try {
        return execFileSync(binary, [
            '--headless', '--no-sandbox', '--disable-gpu', '--disable-background-networking',
            '--disable-component-update', '--no-first-run', '--hide-scrollbars',
            `--user-data-dir=${profile}`, `--window-size=${size || '1200,900'}`, ...args
        ], {encoding: 'utf8', stdio: ['ignore', 'pipe', 'pipe'], timeout: 120000,
            maxBuffer: 64 * 1024 * 1024});
    } finally {
        fs.rmSync(profile, {recursive: true, force: true});
    }
}

function dumpDom(url, size)
{
    return run(['--dump-dom', url], size);
}

function screenshot(url, file, size)
{
    run([`--screenshot=${file}`, url], size);
}

module.exports = {findChromium, pageUrl, dumpDom, screenshot};
