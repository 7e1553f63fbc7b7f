// The chart page in a real engine: Debian's headless Chromium loads it from a
// file URL with the program's queries, and the drawn DOM is read back. How
// it prints is checked in Qt WebEngine (webengine_page_test.cpp).
'use strict';

const test = require('node:test');
const assert = require('node:assert/strict');
const f = require('./fixtures.js');
const chromium = require('./chromium.js');

const skip = chromium.findChromium() ? false : 'chromium is not installed';

function entities(text)
{
    return text.replace(/&lt;/g, '<').replace(/&gt;/g, '>').replace(/&quot;/g, '"').replace(/&amp;/g, '&');
}

// The boxes of a dumped page: row, position, size and the lines of text.
function readChart(dom)
{
    const svg = dom.match(/<svg class="orgchart"[^>]*>/);
    assert.ok(svg, 'the page drew an svg');
    const attr = (tag, name) => {
        const m = tag.match(new RegExp(` ${name}="([^"]*)"`));
        return m ? m[1] : null;
    };
    const chart = dom.match(/<g class="chart" transform="translate\(([-\d.]+),([-\d.]+)\)"/);
    const boxes = dom.split('<g class="node" ').slice(1).map(piece => {
        const head = piece.match(/data-row="(\d+)" transform="translate\(([-\d.]+),([-\d.]+)\)"/);
        const rect = piece.match(/<rect class="node-box"[^>]*>/)[0];
        return {
            row: +head[1],
            x: +head[2] + +chart[1],
            y: +head[3] + +chart[2],
            w: +attr(rect, 'width'),
            h: +attr(rect, 'height'),
            lines: [...piece.split('</text>')[0].matchAll(/<tspan[^>]*>([^<]*)<\/tspan>/g)].map(m => entities(m[1]))
        };
    });
    return {
        width: +attr(svg[0], 'width'),
        height: +attr(svg[0], 'height'),
        viewBox: attr(svg[0], 'viewBox').split(' ').map(Number),
        scroll: attr(svg[0], 'data-scroll-size'),
        boxes,
        row: r => boxes.find(b => b.row === r)
    };
}

function load(data, screen, windowSize)
{
    return chromium.dumpDom(chromium.pageUrl(f.PAGE, f.query(data, screen)), windowSize || '400,300');
}

function assertNoOverlap(chart)
{
    for (const a of chart.boxes) {
        for (const b of chart.boxes) {
            if (a !== b) {
                assert.ok(a.x + a.w <= b.x || b.x + b.w <= a.x || a.y + a.h <= b.y || b.y + b.h <= a.y,
                          `rows ${a.row} and ${b.row} overlap`);
            }
        }
    }
}

test('Sample 1 draws eleven boxes, its assistants beside the CEO', {skip}, () => {
    const chart = readChart(load(f.SAMPLE1_DATA));
    assert.deepEqual(chart.boxes.map(b => b.row), [1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11]);
    assert.deepEqual(chart.row(1).lines, ['Niall Brent', '(CEO)']);
    assert.deepEqual(chart.row(6).lines.join(' '), 'Mara Quill (Mergers & acquisitions)');
    assertNoOverlap(chart);
    const ceo = chart.row(1);
    const centre = ceo.x + ceo.w / 2;
    assert.ok(chart.row(5).x + chart.row(5).w < centre, 'NOT NULL stands left');
    assert.ok(chart.row(3).x > centre, 'NULL stands right');
    const bottom = [2, 4, 10, 11].map(r => chart.row(r));
    assert.ok(bottom.every(b => b.y === bottom[0].y && b.y > chart.row(8).y));
    assert.deepEqual(bottom.map(b => b.x).slice().sort((a, b) => a - b), bottom.map(b => b.x));
    // The document is the chart plus its margin of 5, nothing more.
    assert.equal(chart.scroll, `${chart.width}x${chart.height}`);
    assert.equal(Math.min(...chart.boxes.map(b => b.x)), 5);
    assert.equal(Math.max(...chart.boxes.map(b => b.x + b.w)) + 5, chart.width);
    assert.equal(Math.max(...chart.boxes.map(b => b.y + b.h)) + 5, chart.height);
});

test('Sample 2 draws two trees side by side, both roots on top', {skip}, () => {
    const chart = readChart(load(f.SAMPLE2_DATA));
    assert.equal(chart.boxes.length, 11);
    assertNoOverlap(chart);
    assert.equal(chart.row(1).y, chart.row(3).y);
    assert.ok(chart.boxes.every(b => b.y >= chart.row(1).y));
    assert.ok(chart.row(3).x > chart.row(11).x + chart.row(11).w, 'row 3\'s tree right of row 1\'s');
});

test('the export request fits the chart into the box it names', {skip}, () => {
    const big = f.dataFor(f.generatedRows(93, 7, 'bushy'));
    const chart = readChart(load(big, {width: 1024, height: 700, margin: 50}));
    assert.equal(chart.scroll, '1024x700');
    assert.equal(chart.width, 1024);
    const [vx, vy, vw, vh] = chart.viewBox;
    assert.ok(vx <= 0 && vy <= 0, 'nothing cut at the top or left');
    const natural = readChart(load(big));
    assert.ok(vw >= natural.width - 0.01 && vh >= natural.height - 0.01, 'nothing cut at the right or bottom');
    assert.ok(Math.abs(vw / vh - 1024 / 700) < 0.01, 'scaled evenly');
});

test('a title made of markup is shown as text and runs nothing', {skip}, () => {
    const dom = load(f.dataFor([{title: '<img src=x onerror=alert(1)>(Boss)'},
                                {title: '</text><script>alert(2)</script>', parent: 1, position: 'u'}]));
    assert.ok(!/<img/i.test(dom), 'no image element');
    assert.equal((dom.match(/<script/g) || []).length, 4, 'only the page\'s own four scripts');
    const chart = readChart(dom);
    assert.deepEqual(chart.row(1).lines, ['<img src=x onerror=alert', '(1)>', '(Boss)']);
    assert.equal(chart.row(2).lines.join(''), '</text><script>alert(2)</script>');
});

test('an empty data string shows the calm empty state', {skip}, () => {
    const dom = load('');
    assert.match(dom, /Nothing to draw yet/);
    assert.ok(!dom.includes('class="node"'));
});
