// Writes screenshots of the chart page for a person to look at:
//   node tools/page/screenshots.js OUTDIR
'use strict';

const fs = require('node:fs');
const path = require('node:path');
const f = require('../../tests/page/fixtures.js');
const chromium = require('./chromium.js');

const out = path.resolve(process.argv[2] || 'screenshots');
fs.mkdirSync(out, {recursive: true});

const charts = {
    'sample1': f.SAMPLE1_DATA,
    'sample2': f.SAMPLE2_DATA,
    'chart93': f.dataFor(f.generatedRows(93, 7, 'bushy')),
    'chart93-deep': f.dataFor(f.generatedRows(93, 7, 'deep')),
    'empty': ''
};
for (const [name, data] of Object.entries(charts)) {
    const url = chromium.pageUrl(f.PAGE, f.query(data));
    const svg = chromium.dumpDom(url).match(/<svg class="orgchart"[^>]*width="([\d.]+)" height="([\d.]+)"/);
    const size = svg ? `${Math.ceil(+svg[1])},${Math.ceil(+svg[2])}` : '800,600';
    chromium.screenshot(url, path.join(out, name + '.png'), size);
    console.log(`${name}.png ${size}`);
}
