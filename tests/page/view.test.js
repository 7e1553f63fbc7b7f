'use strict';

const test = require('node:test');
const assert = require('node:assert/strict');
const v = require('../../resources/orgchart/chart-view.js');
const {parseQuery, parseData, buildForest} = require('../../resources/orgchart/chart-data.js');
const {layoutForest, defaultSpacing} = require('../../resources/orgchart/chart-layout.js');
const f = require('./fixtures.js');

const near = (a, b, label) => assert.ok(Math.abs(a - b) < 1e-6, `${label}: ${a} vs ${b}`);

test('fitting shows the whole chart centred, and never enlarges a small one', () => {
    const P = v.FIT_PADDING;
    const cases = [
        // chart, view, zoom
        [{width: 2000, height: 500}, {width: 1000, height: 800}, (1000 - 2 * P) / 2000],
        [{width: 600, height: 3000}, {width: 1000, height: 800}, (800 - 2 * P) / 3000],
        [{width: 300, height: 200}, {width: 1000, height: 800}, 1],
        [{width: 1e6, height: 10}, {width: 1000, height: 800}, v.ZOOM_LIMITS.min]
    ];
    for (const [chart, view, zoom] of cases) {
        const label = `${chart.width}x${chart.height} in ${view.width}x${view.height}`;
        const z = v.fitZoom(chart, view);
        near(z, zoom, label);
        const g = v.stageGeometry(chart, view, z);
        const w = chart.width * z, h = chart.height * z;
        if (w <= view.width) {
            near(g.left, view.width - w - g.left, `${label}: even left and right`);
            near(g.width, view.width, `${label}: no horizontal scrolling`);
        } else {
            assert.equal(g.left, 0);
            near(g.width, w, `${label}: scrolls over the whole chart`);
        }
        if (h <= view.height) {
            near(g.top, view.height - h - g.top, `${label}: even top and bottom`);
        }
    }
});

test('zooming keeps the point under the pointer in place while the range allows', () => {
    const chart = {width: 3000, height: 2000}, view = {width: 800, height: 600};
    const cases = [
        [{left: 400, top: 300}, {x: 100, y: 500}, 0.5, 0.8],
        [{left: 0, top: 0}, {x: 400, y: 300}, 0.25, 1],
        [{left: 1000, top: 500}, {x: 700, y: 50}, 1, 2.5],
        [{left: 1000, top: 500}, {x: 700, y: 50}, 1, 0.6]
    ];
    for (const [scroll, point, from, to] of cases) {
        const before = v.stageGeometry(chart, view, from), after = v.stageGeometry(chart, view, to);
        const s = v.zoomAbout(chart, view, scroll, point, from, to);
        const chartX = z => g => sc => (sc.left + point.x - g.left) / z;
        const label = `${from} to ${to}`;
        near(chartX(to)(after)(s), chartX(from)(before)(scroll), `${label}: x stays`);
        near((s.top + point.y - after.top) / to, (scroll.top + point.y - before.top) / from, `${label}: y stays`);
    }
    // Zoomed out until the chart is smaller than the view: no scrolling is left.
    assert.deepEqual(v.zoomAbout(chart, view, {left: 900, top: 900}, {x: 10, y: 10}, 1, 0.1), {left: 0, top: 0});
});

test('a point is kept where it showed, the stage making room where the usual one has none', () => {
    const view = {width: 800, height: 600};
    // drawing, zoom, the point in it (zoomed pixels), where it showed, whether the usual stage
    // can keep it there
    const cases = [
        [{width: 3000, height: 2000}, 1, {x: 1500, y: 900}, {x: 400, y: 300}, true],
        [{width: 3000, height: 2000}, 0.5, {x: 20, y: 10}, {x: 300, y: 200}, false], // before the start
        [{width: 3000, height: 2000}, 1, {x: 2990, y: 1990}, {x: 100, y: 50}, false], // past the end
        [{width: 200, height: 100}, 1, {x: 100, y: 0}, {x: 400, y: 250}, true], // centred already
        [{width: 200, height: 100}, 1, {x: 100, y: 0}, {x: 650, y: -40}, false], // smaller, off centre
        [{width: 200, height: 100}, 2, {x: 200, y: 150}, {x: 30, y: 580}, false]
    ];
    for (const [chart, zoom, at, screen, usual] of cases) {
        const label = `${JSON.stringify(at)} at ${JSON.stringify(screen)}, zoom ${zoom}`;
        const g = v.keepInPlace(chart, view, zoom, at, screen);
        near(g.left + at.x - g.scroll.left, screen.x, `${label}: x`);
        near(g.top + at.y - g.scroll.top, screen.y, `${label}: y`);
        // A stage the engine can show as asked: the drawing and the view inside it, no scroll
        // position below zero.
        assert.ok(g.scroll.left >= 0 && g.scroll.top >= 0, label);
        assert.ok(g.left >= 0 && g.left + chart.width * zoom <= g.width + 1e-9, `${label}: drawing in`);
        assert.ok(g.top >= 0 && g.top + chart.height * zoom <= g.height + 1e-9, `${label}: drawing in`);
        assert.ok(g.scroll.left + view.width <= g.width + 1e-9, `${label}: view in`);
        assert.ok(g.scroll.top + view.height <= g.height + 1e-9, `${label}: view in`);
        const plain = v.stageGeometry(chart, view, zoom);
        const same = ['width', 'height', 'left', 'top'].every(k => Math.abs(g[k] - plain[k]) < 1e-9);
        assert.equal(same, usual, `${label}: the usual stage`);
    }
    // Zooming from such a stage starts from where the drawing stands in it: here the point under
    // the pointer, 40 px into the drawing, would need the view scrolled before its start, so the
    // view goes as near as it can.
    const chart = {width: 3000, height: 2000};
    const held = v.keepInPlace(chart, view, 0.5, {x: 20, y: 10}, {x: 300, y: 200});
    assert.deepEqual(v.zoomAbout(chart, view, held.scroll, {x: 300, y: 200}, 0.5, 0.75, held), {left: 0, top: 0});
});

test('a box is scrolled to the middle of the view, or as near as the edges allow', () => {
    const chart = {width: 3000, height: 2000}, view = {width: 800, height: 600};
    assert.deepEqual(v.scrollToCentre(chart, view, 1, {x: 1400, y: 900, w: 200, h: 200}), {left: 1100, top: 700});
    assert.deepEqual(v.scrollToCentre(chart, view, 2, {x: 1400, y: 900, w: 200, h: 200}), {left: 2600, top: 1700});
    assert.deepEqual(v.scrollToCentre(chart, view, 1, {x: 10, y: 1950, w: 20, h: 20}), {left: 0, top: 1400});
});

test('search finds titles by every word given, ignoring case, accents and spacing', () => {
    const nodes = [
        {row: 3, title: 'Ilse Varga(Business Development)'},
        {row: 1, title: 'Niall Brent(CEO)'},
        {row: 7, title: 'Zoë  Müller(Design)'},
        {row: 9, title: 'Odell Fenn(Marketing)'}
    ];
    const rows = text => v.searchNodes(nodes, text).map(n => n.row);
    const cases = [
        ['brent', [1]], ['BRENT ceo', [1]], ['ceo brent', [1]], ['zoe muller', [7]], ['Zoë', [7]],
        ['e', [1, 3, 7, 9]], ['  ', []], ['', []], ['brent design', []], ['(c', [1]], ['x', []]
    ];
    for (const [text, expected] of cases) {
        assert.deepEqual(rows(text), expected, `"${text}"`);
    }
});

function sampleForest()
{
    return buildForest(parseData(parseQuery(f.query(f.SAMPLE1_DATA)).data));
}

test('folding a branch hides every row below it and counts them', () => {
    const forest = sampleForest();
    const allRows = forest.nodes.map(n => n.row);
    const cases = [
        [[], allRows, {}],
        [[5], allRows.filter(r => r !== 8 && r !== 9), {5: 2}],
        [[3, 5], [1, 2, 3, 4, 5, 10, 11], {3: 2, 5: 2}],
        [[1], [1], {1: 10}],
        [[1, 5], [1], {1: 10}],
        [[2], allRows, {}] // a row without children has nothing to fold
    ];
    for (const [folded, shownRows, hidden] of cases) {
        const shown = v.visibleForest(forest.roots, new Set(folded));
        assert.deepEqual(shown.nodes.map(n => n.row), shownRows, `fold ${folded}`);
        const counts = {};
        shown.nodes.filter(n => n.folded).forEach(n => { counts[n.row] = n.hiddenCount; });
        assert.deepEqual(counts, hidden, `fold ${folded}: hidden counts`);
        const layout = layoutForest(shown.roots, defaultSpacing(14));
        assert.equal(layout.connectors.length, shown.nodes.length - shown.roots.length);
    }
    // The views carry their own positions: laying out a folded view leaves
    // the whole chart's boxes where they were.
    forest.nodes.forEach(n => { n.w = 100; n.h = 40; });
    layoutForest(forest.roots, defaultSpacing(14));
    const before = forest.nodes.map(n => [n.x, n.y]);
    layoutForest(v.visibleForest(forest.roots, new Set([3])).roots, defaultSpacing(14));
    assert.deepEqual(forest.nodes.map(n => [n.x, n.y]), before);
});

test('a match inside folded branches names every folded row above it', () => {
    const forest = sampleForest();
    const petra = forest.byRow.get(9);
    assert.deepEqual(v.foldedAbove(petra, new Set([5, 1, 3])).sort(), [1, 5]);
    assert.deepEqual(v.foldedAbove(petra, new Set([3])), []);
});
