// Frame times of the chart viewer in headless Chromium while a chart of
// 1,000 boxes is zoomed with Ctrl+wheel and panned by dragging, the input
// sent as real mouse events. Each phase records requestAnimationFrame times;
// a frame counts as late when it comes more than half a frame after 60 Hz
// would have it.
'use strict';

const path = require('node:path');
const f = require('../../tests/page/fixtures.js');
const {pageUrl} = require('../../tools/page/chromium.js');
const {launch} = require('./devtools.js');

const VIEW = {width: 1280, height: 800};
const STEPS = 120;
const pause = ms => new Promise(resolve => setTimeout(resolve, ms));

// `zooms` holds the zoom shown at each frame, so that a late frame can be
// placed in the gesture.
function summary(times, zooms)
{
    const gaps = [];
    const lateAt = [];
    for (let i = 1; i < times.length; i++) {
        gaps.push(times[i] - times[i - 1]);
        if (gaps[i - 1] > 25) {
            lateAt.push({ms: gaps[i - 1], from: zooms[i - 1], to: zooms[i]});
        }
    }
    gaps.sort((a, b) => a - b);
    const at = q => gaps[Math.min(gaps.length - 1, Math.floor(q * gaps.length))];
    const span = times[times.length - 1] - times[0];
    return {
        fps: (gaps.length * 1000) / span,
        median: at(0.5),
        p95: at(0.95),
        worst: gaps[gaps.length - 1],
        late: lateAt.length,
        lateAt,
        frames: gaps.length
    };
}

// The renderer's main-thread seconds by kind, to tell a slow frame's cause: script, style,
// layout, or the rest of the task (mostly paint recording and waiting on raster to commit).
async function mainThread(tab)
{
    const {metrics} = await tab.send('Performance.getMetrics');
    const m = Object.fromEntries(metrics.map(x => [x.name, x.value]));
    return {task: m.TaskDuration, script: m.ScriptDuration, style: m.RecalcStyleDuration,
            layout: m.LayoutDuration};
}

// With --trace, the engine's own trace of each phase: how often and how long the chart was
// painted (recorded) and rastered. Tracing costs frames itself, so it is off by default.
const TRACED = ['Paint', 'PrePaint', 'Layerize', 'RasterTask'];

async function traced(browser, act)
{
    const events = [];
    const listener = m => {
        if (m.method === 'Tracing.dataCollected') {
            events.push(...m.params.value);
        }
    };
    browser.listeners.push(listener);
    await browser.send('Tracing.start', {
        traceConfig: {includedCategories: ['devtools.timeline', 'disabled-by-default-devtools.timeline', 'cc']},
        transferMode: 'ReportEvents'
    });
    await act();
    const complete = browser.waitFor('Tracing.tracingComplete');
    await browser.send('Tracing.end');
    await complete;
    browser.listeners.splice(browser.listeners.indexOf(listener), 1);
    const out = {};
    for (const name of TRACED) {
        const mine = events.filter(e => e.name === name && e.ph === 'X');
        out[name] = {count: mine.length, ms: mine.reduce((t, e) => t + (e.dur || 0), 0) / 1000};
    }
    return out;
}

async function phase(tab, act, browser)
{
    await tab.eval('new Promise(r => requestAnimationFrame(() => requestAnimationFrame(r)))');
    const before = await mainThread(tab);
    await tab.eval('framesStart()');
    let trace = null;
    if (browser) {
        trace = await traced(browser, act);
    } else {
        await act();
    }
    await pause(300);
    const s = summary(await tab.eval('framesStop()'), await tab.eval('framesZooms()'));
    const after = await mainThread(tab);
    s.main = Object.fromEntries(Object.keys(after).map(k => [k, (after[k] - before[k]) * 1000]));
    s.trace = trace;
    return s;
}

async function main()
{
    const rows = f.generatedRows(1000, 7, 'bushy');
    const url = pageUrl(path.join(__dirname, 'frames.html'), f.query(f.dataFor(rows)));
    const browser = launch(process.argv.includes('--gpu') ? [] : ['--disable-gpu']);
    const tracer = process.argv.includes('--trace') ? browser : null;
    try {
        const tab = await browser.open(url, VIEW.width, VIEW.height);
        await tab.send('Performance.enable');
        const boxes = await tab.eval("document.querySelectorAll('g.node').length");
        if (tab.errors.length || boxes !== 1000) {
            throw new Error(`the page drew ${boxes} boxes: ${tab.errors.join('; ')}`);
        }
        const cx = VIEW.width / 2, cy = VIEW.height / 2;
        const fitted = await tab.eval('plotwellView.zoom()');
        // Wheel steps that take the fitted chart to its own size (100%) and back.
        const delta = Math.log(1 / fitted) / STEPS / 0.0015;
        const results = [];
        // The same seconds with nothing to do: what this machine gives at best.
        results.push(['idle (reference)', await phase(tab, () => pause(2000), tracer)]);
        results.push(['zoom in (Ctrl+wheel)', await phase(tab, async () => {
            for (let i = 0; i < STEPS; i++) {
                await tab.wheelZoom(cx + i, cy, -delta);
                await pause(16);
            }
        }, tracer)]);
        const zoom = await tab.eval('plotwellView.zoom()');
        results.push(['pan (drag)', await phase(tab, async () => {
            await tab.mouse('mousePressed', cx, cy, {button: 'left', clickCount: 1, buttons: 1});
            for (let i = 1; i <= STEPS; i++) {
                const a = (i / STEPS) * 2 * Math.PI;
                await tab.mouse('mouseMoved', cx + 300 * Math.sin(a), cy + 200 * Math.sin(2 * a),
                                {button: 'left', buttons: 1});
                await pause(16);
            }
            await tab.mouse('mouseReleased', cx, cy, {button: 'left', clickCount: 1});
        }, tracer)]);
        results.push(['zoom out (Ctrl+wheel)', await phase(tab, async () => {
            for (let i = 0; i < STEPS; i++) {
                await tab.wheelZoom(cx - i, cy, delta);
                await pause(16);
            }
        }, tracer)]);
        if (tab.errors.length) {
            throw new Error(tab.errors.join('; '));
        }
        console.log(`chart viewer, 1,000 boxes, ${VIEW.width}x${VIEW.height}, zoom ${fitted.toFixed(3)} (fitted) to ${zoom.toFixed(2)}`);
        console.log('phase                  frames    fps  median ms  p95 ms  worst ms  late (>25 ms)' +
                    '   main thread ms: task script style layout');
        for (const [name, s] of results.filter(r => r[1].trace)) {
            console.log(`${name.padEnd(22)} ` +
                        TRACED.map(t => `${t} ${s.trace[t].count}x ${s.trace[t].ms.toFixed(0)} ms`).join(', '));
        }
        for (const [name, s] of results) {
            console.log(`${name.padEnd(22)} ${String(s.frames).padStart(6)} ${s.fps.toFixed(1).padStart(6)}` +
                        ` ${s.median.toFixed(1).padStart(10)} ${s.p95.toFixed(1).padStart(7)}` +
                        ` ${s.worst.toFixed(1).padStart(9)} ${String(s.late).padStart(14)}` +
                        `   ${['task', 'script', 'style', 'layout'].map(k => s.main[k].toFixed(0).padStart(6)).join(' ')}`);
        }
        for (const [name, s] of results.filter(r => r[1].late)) {
            console.log(`late frames in ${name}: ` +
                        s.lateAt.map(l => `${l.ms.toFixed(0)} ms at zoom ${l.from.toFixed(3)}->${l.to.toFixed(3)}`)
                            .join(', '));
        }
    } finally {
        await browser.close();
    }
}

main().catch(e => {
    console.error(e.message);
    process.exit(1);
});
