'use strict';

const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const {parseQuery, parseData, buildForest} = require('../../resources/orgchart/chart-data.js');
const {shortenTitle, wrapTitle} = require('../../resources/orgchart/chart-layout.js');
const {sizeNodes, boxMetrics} = require('../../resources/orgchart/chart-draw.js');
const f = require('./fixtures.js');

// A proportional font, roughly semi-bold sans: narrow and wide letters differ
// as in a real face, so that wrapping meets the same near-misses.
function measureFor(fontSize)
{
    const width = c => ' '.includes(c) ? 0.28 : 'iljtf.,:;()\'!|'.includes(c) ? 0.3
                     : 'mwMW@'.includes(c) ? 0.88 : /[A-Z&%]/.test(c) ? 0.68 : 0.56;
    return text => {
        let sum = 0;
        for (const c of text) {
            sum += width(c);
        }
        return sum * fontSize;
    };
}

const words = text => text.split(/(?=\()/).flatMap(s => s.trim().split(/\s+/)).filter(Boolean);

function sampleTitles()
{
    const fromCharts = [f.SAMPLE1_DATA, f.SAMPLE2_DATA].flatMap(
        data => buildForest(parseData(parseQuery(f.query(data)).data)).nodes.map(n => n.title));
    const csv = fs.readFileSync(path.join(__dirname, '../../resources/SAMPLE_DATA.csv'), 'utf8');
    const fromCsv = csv.split('\n')[0].split(',').map(t => t.trim()).filter(Boolean);
    return [...new Set([...fromCharts, ...fromCsv])];
}

test('sample titles break only between words at every node width and font size', () => {
    const titles = sampleTitles();
    assert.ok(titles.length >= 20, 'both samples and the sample file');
    for (let fontSize = 10; fontSize <= 24; fontSize++) {
        const measure = measureFor(fontSize);
        for (let nodeWidth = 80; nodeWidth <= 200; nodeWidth += 5) {
            const settings = {fontSize, nodeWidth};
            const m = boxMetrics(settings);
            const nodes = titles.map(title => ({title}));
            sizeNodes(nodes, settings, measure);
            for (const n of nodes) {
                const label = `"${n.title}" at width ${nodeWidth}, font ${fontSize}`;
                assert.deepEqual(n.lines.flatMap(words), words(n.title), `${label}: whole words in order`);
                for (const line of n.lines) {
                    const drawn = (measure(line) + 2 * m.padX) * n.textScale;
                    assert.ok(drawn <= n.w + 0.5, `${label}: "${line}" fits its box`);
                }
                assert.ok(fontSize * n.textScale >= 7 - 1e-9, `${label}: text stays readable`);
                if (n.w > nodeWidth) {
                    assert.equal(n.textScale, m.minScale, `${label}: widened only once the text is smallest`);
                }
            }
        }
    }
});

test('a word wider than the box widens a fitted box and shrinks the text of a sized one', () => {
    const measure = measureFor(14);
    const word = 'Internationalisation';
    const narrow = {title: `Ada Lee(${word} ${word})`};
    sizeNodes([narrow], {fontSize: 14, nodeWidth: 0}, measure);
    assert.deepEqual(narrow.lines, ['Ada Lee', `(${word}`, `${word})`]);
    assert.equal(narrow.textScale, 1);
    const long = `${'Internationalisation'.repeat(2)}`;
    const wide = {title: `Ada ${long}`};
    sizeNodes([wide], {fontSize: 14, nodeWidth: 0}, measure);
    assert.deepEqual(wide.lines, ['Ada', long]);
    assert.ok(wide.w >= measure(long) + 2 * boxMetrics({fontSize: 14, nodeWidth: 0}).padX - 0.01, 'the box grows to the word');
    const b = {title: `Ada ${word}`};
    sizeNodes([b], {fontSize: 14, nodeWidth: 120}, measure);
    assert.equal(b.w, 120);
    assert.ok(b.textScale < 1);
    assert.deepEqual(b.lines, ['Ada', word]);
});

test('very long titles end with an ellipsis at a word, over-long words are cut', () => {
    const prose = 'lorem ipsum dolor '.repeat(600);
    const shortProse = shortenTitle(prose);
    assert.ok(shortProse.length <= 241 && shortProse.endsWith('\u2026'));
    assert.ok(prose.startsWith(shortProse.slice(0, -1)) && /\S\u2026$/.test(shortProse));
    assert.ok(/^(ipsum|dolor|lorem)$/.test(words(shortProse.slice(0, -1)).pop()), 'ends on a whole word');

    const word = shortenTitle('x'.repeat(10000));
    assert.equal(word, 'x'.repeat(47) + '\u2026');
    assert.equal(shortenTitle('\ud83d\ude00'.repeat(30)).slice(-2, -1).charCodeAt(0) >= 0xdc00, true,
                 'a surrogate pair is never halved');
    assert.equal(shortenTitle('Niall Brent(CEO)'), 'Niall Brent(CEO)');

    const measure = measureFor(14);
    const n = {title: 'x'.repeat(10000)};
    sizeNodes([n], {fontSize: 14, nodeWidth: 0}, measure);
    assert.ok(n.w < 14 * 40, 'a box never grows to the width of ten thousand letters');
});

test('"(" starts a line of its own, and wrapping never leaves an empty line', () => {
    const measure = measureFor(14);
    const cases = [
        ['(Vacant)', 100, ['(Vacant)']],
        ['Internationalisation(R)', 50, ['Internationalisation', '(R)']],
        ['A(b)(c d)', 1000, ['A', '(b)', '(c d)']],
        ['  Ada   Lee  ( Head  of  Sales )', 1000, ['Ada Lee', '( Head of Sales )']]
    ];
    for (const [title, width, lines] of cases) {
        assert.deepEqual(wrapTitle(title, width, measure), lines, title);
    }
});
