// Times a full draw of the chart page in headless Chromium, in the viewer as
// on screen: Sample 1, a chart of 93 rows and a staff list of 1,000 people.
'use strict';

const path = require('node:path');
const f = require('../../tests/page/fixtures.js');
const chromium = require('../../tools/page/chromium.js');

const page = path.join(__dirname, 'draw.html');
for (const [name, rows] of [['sample 1', null], ['93 rows', f.generatedRows(93, 7, 'bushy')],
                            ['1000 rows', f.generatedRows(1000, 7, 'bushy')]]) {
    const data = rows ? f.dataFor(rows) : f.SAMPLE1_DATA;
    const dom = chromium.dumpDom(chromium.pageUrl(page, f.query(data)));
    const ms = dom.match(/<pre id="result">([\d.]+) ([\d.]+)<\/pre>/);
    console.log(`chromium draw ${name.padEnd(9)} ` +
                (ms ? `fastest ${ms[1]} ms, median ${ms[2]} ms` : 'no result'));
}
