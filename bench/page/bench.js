// Times the chart page's own work (query, data string, tree, box sizes and
// layout) for the 93 rows of the grid and for 10,000 rows, for several chart
// shapes. The drawing in a real engine is timed by draw.js.
'use strict';

const data = require('../../resources/orgchart/chart-data.js');
const layout = require('../../resources/orgchart/chart-layout.js');
const draw = require('../../resources/orgchart/chart-draw.js');
const f = require('../../tests/page/fixtures.js');

const FONT = 14;
const measure = text => text.length * FONT * 0.6;

function once(query)
{
    const settings = data.readSettings(data.parseQuery(query));
    const forest = data.buildForest(data.parseData(settings.data), {maxRow: Infinity});
    draw.sizeNodes(forest.nodes, settings, measure);
    layout.layoutForest(forest.roots, layout.defaultSpacing(settings.fontSize));
    return forest.nodes.length;
}

function median(list)
{
    const s = list.slice().sort((a, b) => a - b);
    return s[s.length >> 1];
}

function time(query, runs)
{
    once(query); // warm up the JIT
    const samples = [];
    let nodes = 0;
    for (let i = 0; i < runs; i++) {
        const t0 = process.hrtime.bigint();
        nodes = once(query);
        samples.push(Number(process.hrtime.bigint() - t0) / 1e6);
    }
    return {nodes, ms: median(samples)};
}

console.log('shape      nodes      ms   us/node');
for (const shape of ['bushy', 'deep', 'chain', 'flat']) {
    for (const n of [93, 10000]) {
        const query = f.query(f.dataFor(f.generatedRows(n, 11, shape)));
        const r = time(query, n > 1000 ? 7 : 101);
        console.log(`${shape.padEnd(6)} ${String(r.nodes).padStart(9)} ${r.ms.toFixed(3).padStart(7)} ` +
                    `${(r.ms * 1000 / r.nodes).toFixed(2).padStart(9)}`);
    }
}
