// Drives Debian's headless Chromium over the DevTools protocol on a pipe (no
// network port): open a page, run script in it, send real mouse and keyboard
// input, take screenshots. Used by the frame-rate bench and for pictures of
// the viewer's states.
'use strict';

const {spawn} = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const {findChromium} = require('../../tools/page/chromium.js');

class Browser
{
    constructor(child, profile)
    {
        this.child = child;
        this.profile = profile;
        this.nextId = 1;
        this.waiting = new Map();
        this.listeners = [];
        this.buffer = '';
        child.stdio[4].on('data', chunk => this.receive(chunk));
        this.writer = child.stdio[3];
    }

    receive(chunk)
    {
        this.buffer += chunk.toString('utf8');
        let end;
        while ((end = this.buffer.indexOf('\0')) >= 0) {
            const message = JSON.parse(this.buffer.slice(0, end));
            this.buffer = this.buffer.slice(end + 1);
            if (message.id && this.waiting.has(message.id)) {
                const {resolve, reject} = this.waiting.get(message.id);
                this.waiting.delete(message.id);
                if (message.error) {
                    reject(new Error(message.error.message));
                } else {
                    resolve(message.result);
                }
            } else if (message.method) {
                this.listeners.forEach(l => l(message));
            }
        }
    }

    send(method, params, sessionId)
    {
        const id = this.nextId++;
        const message = {id, method, params: params || {}};
        if (sessionId) {
            message.sessionId = sessionId;
        }
        this.writer.write(JSON.stringify(message) + '\0');
        return new Promise((resolve, reject) => this.waiting.set(id, {resolve, reject}));
    }

    waitFor(method, sessionId)
    {
        return new Promise(resolve => {
            const listener = message => {
                if (message.method === method && (!sessionId || message.sessionId === sessionId)) {
                    this.listeners.splice(this.listeners.indexOf(listener), 1);
                    resolve(message.params);
                }
            };
            this.listeners.push(listener);
        });
    }

    /// A new tab of the given size showing `url`, once it has loaded.
    async open(url, width, height)
    {
        const {targetId} = await this.send('Target.createTarget', {url: 'about:blank'});
        const {sessionId} = await this.send('Target.attachToTarget', {targetId, flatten: true});
        const tab = new Tab(this, sessionId);
        await tab.send('Page.enable');
        await tab.send('Runtime.enable');
        await tab.send('Emulation.setDeviceMetricsOverride',
                       {width, height, deviceScaleFactor: 1, mobile: false});
        this.listeners.push(message => {
            if (message.sessionId !== sessionId) {
                return;
            }
            if (message.method === 'Runtime.exceptionThrown') {
                tab.errors.push(message.params.exceptionDetails.exception
                                    ? message.params.exceptionDetails.exception.description
                                    : message.params.exceptionDetails.text);
            } else if (message.method === 'Runtime.consoleAPICalled' && message.params.type === 'error') {
                tab.errors.push(message.params.args.map(a => a.value || a.description).join(' '));
            }
        });
        const loaded = this.waitFor('Page.loadEventFired', sessionId);
        await tab.send('Page.navigate', {url});
        await loaded;
        return tab;
    }

    async close()
    {
        const exited = new Promise(resolve => {
            if (this.child.exitCode !== null) {
                resolve();
            } else {
                this.child.once('exit', resolve);
            }
        });
        this.send('Browser.close').catch(() => {});
        const late = setTimeout(() => this.child.kill(), 5000);
        await exited;
        clearTimeout(late);
        fs.rmSync(this.profile, {recursive: true, force: true, maxRetries: 5});
    }
}

class Tab
{
    constructor(browser, sessionId)
    {
        this.browser = browser;
        this.sessionId = sessionId;
        this.errors = [];
    }

    send(method, params)
    {
        return this.browser.send(method, params, this.sessionId);
    }

    /// The value of an expression (awaited when it is a promise).
    async eval(expression)
    {
        const r = await this.send('Runtime.evaluate', {expression, awaitPromise: true, returnByValue: true});
        if (r.exceptionDetails) {
            throw new Error(r.exceptionDetails.exception ? r.exceptionDetails.exception.description
                                                         : r.exceptionDetails.text);
        }
        return r.result.value;
    }

    mouse(type, x, y, extra)
    {
        return this.send('Input.dispatchMouseEvent', Object.assign({type, x, y}, extra || {}));
    }

    /// Ctrl+wheel at (x, y), as a mouse wheel or a touchpad pinch sends it.
    wheelZoom(x, y, deltaY)
    {
        return this.mouse('mouseWheel', x, y, {deltaX: 0, deltaY, modifiers: 2});
    }

    async key(key, code, modifiers, keyCode)
    {
        const base = {key, code, modifiers: modifiers || 0, windowsVirtualKeyCode: keyCode || 0};
        await this.send('Input.dispatchKeyEvent', Object.assign({type: 'rawKeyDown'}, base));
        await this.send('Input.dispatchKeyEvent', Object.assign({type: 'keyUp'}, base));
    }

    async screenshot(file)
    {
        const {data} = await this.send('Page.captureScreenshot', {format: 'png'});
        fs.writeFileSync(file, Buffer.from(data, 'base64'));
    }
}

/// Starts headless Chromium; `flags` are added to its command line.
function launch(flags)
{
    const binary = findChromium();
    if (!binary) {
        throw new Error('chromium is not installed (scripts/install-deps.sh installs it)');
    }
    const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'plotwell-devtools-'));
    const child = spawn(binary, [
        '--headless', '--no-sandbox', '--disable-background-networking', '--disable-component-update',
        '--no-first-run', '--remote-debugging-pipe', `--user-data-dir=${profile}`, ...(flags || []),
        'about:blank'
    ], {stdio: ['ignore', 'ignore', 'ignore', 'pipe', 'pipe']});
    return new Browser(child, profile);
}

module.exports = {launch};
