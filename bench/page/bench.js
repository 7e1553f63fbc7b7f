// Times the chart page's own work for the 93 rows of the grid, and for 1,000
// and 10,000 rows, for several chart shapes: the whole of it (query, data
// string, tree, box sizes, layout) and the layout alone. The drawing in a
// real engine is timed by draw.js.
'use strict';

const data = require('../../resources/orgchart/chart-data.js');
const layout = require('../../resources/orgchart/chart-layout.js');
const draw = require('../../resources/orgchart/chart-draw.js');
const f = require('../../tests/page/fixtures.js');

const FONT = 14;
const SPACING = layout.defaultSpacing(FONT);
const measure = text => text.length * FONT * 0.6;

function prepare(query)
{
    const settings = data.readSettings(data.parseQuery(query));
    const forest = data.buildForest(data.parseData(settings.data), {maxRow: Infinity});
    draw.sizeNodes(forest.nodes, settings, measure);
    return forest;
}

// Processor time rather than wall time: the machines that run this are
// shared, and a busy neighbour would otherwise show up as a slow layout.
function cpuMs()
{
    const u = process.cpuUsage();
    return (u.user + u.system) / 1000;
}

// Each size handles about the same number of nodes in total, so that the
// small chart is not timed cold against a warmed-up large one.
function time(work, nodes)
{
    const runs = Math.max(10, Math.ceil(100000 / nodes));
    for (let i = 0; i < runs / 4; i++) {
        work();
    }
    const t0 = cpuMs();
    for (let i = 0; i < runs; i++) {
        work();
    }
    return (cpuMs() - t0) / runs;
}

const cell = (ms, n) => `${ms.toFixed(3).padStart(10)} ${(ms * 1000 / n).toFixed(2).padStart(8)}`;
// Near linear means the time per node stays about the same from 1,000 to
// 50,000; "compact" is the staff list's layout, which tries both arrangements.
console.log('shape      nodes  page ms  us/node  layout ms  us/node  compact ms  us/node');
for (const shape of ['bushy', 'deep', 'chain', 'flat']) {
    for (const n of [93, 1000, 10000, 50000]) {
        const query = f.query(f.dataFor(f.generatedRows(n, 11, shape)));
        const page = time(() => layout.layoutForest(prepare(query).roots, SPACING), n);
        const forest = prepare(query);
        const alone = time(() => layout.layoutForest(forest.roots, SPACING), n);
        const compact = time(() => layout.compactLayout(forest.roots, SPACING), n);
        console.log(`${shape.padEnd(6)} ${String(n).padStart(9)}${cell(page, n)} ${cell(alone, n)}` +
                    ` ${cell(compact, n)}`);
    }
}
