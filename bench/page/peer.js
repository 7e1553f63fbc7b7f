// The same 10,000-person organisation drawn in the same headless Chromium by
// our chart page and by d3-org-chart (from npm, installed in bench/page/peer
// for this comparison only), each from its data to a painted frame with
// every box in the document. Prints both times and their ratio.
//
//   (cd bench/page/peer && npm install) && node bench/page/peer.js [people]
'use strict';

const fs = require('node:fs');
const path = require('node:path');
const f = require('../../tests/page/fixtures.js');
const {pageUrl} = require('../../tools/page/chromium.js');
const {launch} = require('./devtools.js');

const PEOPLE = Number(process.argv[2]) || 10000;
const RUNS = 3;
const VIEW = {width: 1280, height: 800};
// Two frames: once the second begins, the first, with the chart, has been painted.
const PAINTED = 'new Promise(r => requestAnimationFrame(() => requestAnimationFrame(r)))';

function organisation()
{
    // No assistants: the peer has none, and both must draw the same tree.
    const rows = f.generatedRows(PEOPLE, 19, 'bushy', 0);
    const people = rows.map((r, i) => ({id: String(i + 1), parentId: r.parent === '' ? '' : String(r.parent),
                                        name: r.title}));
    return {data: f.dataFor(rows), people};
}

async function fastest(browser, url, script)
{
    let best = Infinity, boxes = 0;
    for (let i = 0; i < RUNS; i++) {
        const tab = await browser.open(url, VIEW.width, VIEW.height);
        const result = await tab.eval(script);
        if (tab.errors.length) {
            throw new Error(tab.errors.join('; '));
        }
        best = Math.min(best, result.ms);
        boxes = result.boxes;
    }
    return {ms: best, boxes};
}

async function main()
{
    const peerDir = path.join(__dirname, 'peer', 'node_modules', 'd3-org-chart');
    if (!fs.existsSync(peerDir)) {
        console.log('d3-org-chart is not installed: (cd bench/page/peer && npm install)');
        return;
    }
    const {data, people} = organisation();
    const browser = launch(['--disable-gpu']);
    try {
        // Our page as the window loads a staff list: the address without the data, the data by
        // script, drawn in the interactive viewer.
        const ours = await fastest(browser, pageUrl(f.PAGE, f.query('') + '&pending=1'), `
            (async () => {
                const data = ${JSON.stringify(data)};
                const t0 = performance.now();
                Orgchart.renderPage(location.search, document, {data});
                await ${PAINTED};
                return {ms: performance.now() - t0, boxes: document.querySelectorAll('g.node').length};
            })()`);
        const peer = await fastest(browser, pageUrl(path.join(__dirname, 'peer.html'), ''), `
            (async () => {
                const people = ${JSON.stringify(people)};
                const t0 = performance.now();
                new d3.OrgChart().container('#chart').data(people)
                    .nodeId(d => d.id).parentNodeId(d => d.parentId)
                    .nodeWidth(() => 180).nodeHeight(() => 56).duration(0)
                    .nodeContent(d => '<div style="font: 12px sans-serif; padding: 6px">' + d.data.name + '</div>')
                    .render().expandAll();
                await ${PAINTED};
                return {ms: performance.now() - t0, boxes: document.querySelectorAll('g.node').length};
            })()`);
        console.log(`${PEOPLE} people, fastest of ${RUNS}, data to painted frame:`);
        console.log(`  our page      ${ours.ms.toFixed(0).padStart(7)} ms  (${ours.boxes} boxes)`);
        console.log(`  d3-org-chart  ${peer.ms.toFixed(0).padStart(7)} ms  (${peer.boxes} boxes)`);
        console.log(`  ratio (d3-org-chart / ours)  ${(peer.ms / ours.ms).toFixed(2)}`);
    } finally {
        await browser.close();
    }
}

main().catch(e => {
    console.error(e);
    process.exit(1);
});
