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

function summary(times)
{
    const gaps = [];
    for (let i = 1; i < times.length; i++) {
        gaps.push(times[i] - times[i - 1]);
    }
    gaps.sort((a, b) => a - b);
    const at = q => gaps[Math.min(gaps.length - 1, Math.floor(q * gaps.length))];
    const span = times[times.length - 1] - times[0];
    return {
        fps: (gaps.length * 1000) / span,
        median: at(0.5),
        p95: at(0.95),
        worst: gaps[gaps.length - 1],
        late: gaps.filter(g => g > 25).length,
        frames: gaps.length
    };
}

async function phase(tab, act)
{
    await tab.eval('new Promise(r => requestAnimationFrame(() => requestAnimationFrame(r)))');
    await tab.eval('framesStart()');
    await act();
    await pause(300);
    return summary(await tab.eval('framesStop()'));
}

async function main()
{
    const rows = f.generatedRows(1000, 7, 'bushy');
    const url = pageUrl(path.join(__dirname, 'frames.html'), f.query(f.dataFor(rows)));
    const browser = launch(process.argv.includes('--gpu') ? [] : ['--disable-gpu']);
    try {
        const tab = await browser.open(url, VIEW.width, VIEW.height);
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
        results.push(['idle (reference)', await phase(tab, () => pause(2000))]);
        results.push(['zoom in (Ctrl+wheel)', await phase(tab, async () => {
            for (let i = 0; i < STEPS; i++) {
                await tab.wheelZoom(cx + i, cy, -delta);
                await pause(16);
            }
        })]);
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
        })]);
        results.push(['zoom out (Ctrl+wheel)', await phase(tab, async () => {
            for (let i = 0; i < STEPS; i++) {
                await tab.wheelZoom(cx - i, cy, delta);
                await pause(16);
            }
        })]);
        if (tab.errors.length) {
            throw new Error(tab.errors.join('; '));
        }
        console.log(`chart viewer, 1,000 boxes, ${VIEW.width}x${VIEW.height}, zoom ${fitted.toFixed(3)} (fitted) to ${zoom.toFixed(2)}`);
        console.log('phase                  frames    fps  median ms  p95 ms  worst ms  late (>25 ms)');
        for (const [name, s] of results) {
            console.log(`${name.padEnd(22)} ${String(s.frames).padStart(6)} ${s.fps.toFixed(1).padStart(6)}` +
                        ` ${s.median.toFixed(1).padStart(10)} ${s.p95.toFixed(1).padStart(7)}` +
                        ` ${s.worst.toFixed(1).padStart(9)} ${String(s.late).padStart(14)}`);
        }
    } finally {
        await browser.close();
    }
}

main().catch(e => {
    console.error(e.message);
    process.exit(1);
});
