'use strict';

const test = require('node:test');
const assert = require('node:assert/strict');
const {parseQuery, parseData, buildForest} = require('../../resources/orgchart/chart-data.js');
const {layoutForest, defaultSpacing} = require('../../resources/orgchart/chart-layout.js');
const {sizeNodes} = require('../../resources/orgchart/chart-draw.js');
const f = require('./fixtures.js');

const FONT = 14;
const SPACING = defaultSpacing(FONT);
const measure = text => text.length * FONT * 0.6;

function laidOut(data, nodeWidth)
{
    const forest = buildForest(parseData(parseQuery(f.query(data)).data));
    sizeNodes(forest.nodes, {fontSize: FONT, nodeWidth: nodeWidth || 0}, measure);
    const layout = layoutForest(forest.roots, SPACING);
    return {forest, layout};
}

const overlaps = (a, b) => a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;

function subtree(n, out = [])
{
    out.push(n);
    n.children.forEach(c => subtree(c, out));
    return out;
}

// The rules every chart must keep, whatever its shape.
function checkInvariants(forest, layout, label)
{
    const nodes = forest.nodes;
    const eps = 1e-6;
    for (const n of nodes) {
        assert.ok(Number.isFinite(n.x) && Number.isFinite(n.y), `${label}: row ${n.row} placed`);
    }
    assert.ok(Math.abs(Math.min(...nodes.map(n => n.x))) < eps, `${label}: chart starts at x 0`);
    assert.ok(Math.abs(Math.max(...nodes.map(n => n.x + n.w)) - layout.width) < eps, `${label}: width`);
    assert.ok(Math.abs(Math.max(...nodes.map(n => n.y + n.h)) - layout.height) < eps, `${label}: height`);

    for (let i = 0; i < nodes.length; i++) {
        for (let j = i + 1; j < nodes.length; j++) {
            assert.ok(!overlaps(nodes[i], nodes[j]),
                      `${label}: rows ${nodes[i].row} and ${nodes[j].row} overlap`);
        }
    }

    for (const p of nodes) {
        const bottom = p.children.filter(c => c.side === 'bottom');
        const beside = p.children.filter(c => c.side !== 'bottom');
        const laneFloor = bottom.length ? bottom[0].y : Infinity;
        for (const a of beside) {
            if (a.side === 'left') {
                assert.ok(a.x + a.w <= p.cx - SPACING.laneGap + eps, `${label}: row ${a.row} left of ${p.row}`);
            } else {
                assert.ok(a.x >= p.cx + SPACING.laneGap - eps, `${label}: row ${a.row} right of ${p.row}`);
            }
            assert.ok(a.y >= p.y + p.h + SPACING.vGap - eps, `${label}: row ${a.row} below ${p.row}`);
            for (const d of subtree(a)) {
                assert.ok(d.y + d.h <= laneFloor - SPACING.vGap + eps,
                          `${label}: lane of row ${a.row} ends above the bottom children of ${p.row}`);
            }
        }
        bottom.forEach((c, k) => {
            assert.equal(c.y, bottom[0].y, `${label}: bottom children of ${p.row} share a row`);
            assert.ok(c.y >= p.y + p.h + SPACING.vGap - eps, `${label}: row ${c.row} below ${p.row}`);
            if (k > 0) {
                assert.ok(c.x >= bottom[k - 1].x + bottom[k - 1].w + SPACING.hGap - eps,
                          `${label}: row ${c.row} right of row ${bottom[k - 1].row}`);
            }
        });
        if (bottom.length) {
            const mid = (bottom[0].cx + bottom[bottom.length - 1].cx) / 2;
            assert.ok(Math.abs(p.cx - mid) < 1e-6, `${label}: row ${p.row} centred over its children`);
        }
    }

    // A connector may touch only its own two boxes.
    const byRow = forest.byRow;
    for (const c of layout.connectors) {
        for (let k = 1; k < c.points.length; k++) {
            const [x0, y0] = c.points[k - 1], [x1, y1] = c.points[k];
            assert.ok(x0 === x1 || y0 === y1, `${label}: connector ${c.from}-${c.to} is orthogonal`);
            const seg = {x: Math.min(x0, x1) - 0.01, y: Math.min(y0, y1) - 0.01,
                         w: Math.abs(x1 - x0) + 0.02, h: Math.abs(y1 - y0) + 0.02};
            for (const n of nodes) {
                if (n.row === c.from || n.row === c.to) {
                    continue;
                }
                const inner = {x: n.x + 0.5, y: n.y + 0.5, w: n.w - 1, h: n.h - 1};
                assert.ok(!overlaps(seg, inner), `${label}: connector ${c.from}-${c.to} crosses row ${n.row}`);
            }
        }
        const child = byRow.get(c.to);
        const end = c.points[c.points.length - 1];
        const onEdge = child.side === 'left' ? end[0] === child.x + child.w
                     : child.side === 'right' ? end[0] === child.x : end[1] === child.y;
        assert.ok(onEdge, `${label}: connector ends on the near side of row ${c.to}`);
    }
    assert.equal(layout.connectors.length, nodes.length - forest.roots.length, `${label}: one line per child`);
}

test('Sample 1: assistants stand beside the CEO, bottom children below in row order', () => {
    const {forest, layout} = laidOut(f.SAMPLE1_DATA);
    checkInvariants(forest, layout, 'sample 1');
    const by = forest.byRow;
    const ceo = by.get(1);
    assert.ok(by.get(5).x + by.get(5).w < ceo.cx && by.get(3).x > ceo.cx);
    assert.equal(by.get(5).y + by.get(5).h / 2, by.get(3).y + by.get(3).h / 2, 'one lane, one middle line');
    assert.deepEqual([2, 4, 10, 11].map(r => by.get(r).y), Array(4).fill(by.get(2).y));
    assert.ok(by.get(2).y > by.get(8).y + by.get(8).h, 'bottom row below the assistants\' own children');
});

test('Sample 2: the two trees stand side by side, both at the top', () => {
    const {forest, layout} = laidOut(f.SAMPLE2_DATA);
    checkInvariants(forest, layout, 'sample 2');
    const [a, b] = forest.roots;
    assert.equal(a.y, 0);
    assert.equal(b.y, 0);
    const right = Math.max(...subtree(a).map(n => n.x + n.w));
    assert.ok(Math.min(...subtree(b).map(n => n.x)) >= right + SPACING.rootGap - 1e-6);
});

test('93-node charts of many shapes keep every rule', () => {
    const shapes = [];
    for (let seed = 1; seed <= 12; seed++) {
        shapes.push(['deep', seed, 0.16], ['bushy', seed, 0.3], ['bushy', seed, 0.9]);
    }
    shapes.push(['chain', 1, 0], ['chain', 2, 0.5], ['chain', 3, 1], ['flat', 1, 0], ['flat', 2, 0.7]);
    for (const [shape, seed, side] of shapes) {
        const data = f.dataFor(f.generatedRows(93, seed, shape, side));
        const {forest, layout} = laidOut(data, seed % 3 === 0 ? 150 : 0);
        assert.equal(forest.nodes.length, 93);
        checkInvariants(forest, layout, `${shape} ${seed} ${side}`);
    }
});

test('a chain of ten thousand rows lays out without running out of stack', () => {
    const nodes = [];
    for (let i = 0; i < 10000; i++) {
        const n = {row: i + 1, w: 100, h: 40, side: i % 3 === 1 ? 'left' : 'bottom', children: [],
                   parent: nodes[i - 1] || null};
        if (n.parent) {
            n.parent.children.push(n);
        }
        nodes.push(n);
    }
    const layout = layoutForest([nodes[0]], SPACING);
    assert.ok(Number.isFinite(layout.width) && layout.height > 10000 * 40);
    assert.equal(layout.connectors.length, 9999);
});

test('a wide organisation hangs its small teams in columns: fewer sheets, nothing crossed', () => {
    const {compactLayout} = require('../../resources/orgchart/chart-layout.js');
    // Wide near the top and thin below, as organisations are; a few long chains.
    let seed = 19;
    const random = () => (seed = (seed * 16807) % 2147483647) / 2147483647;
    const nodes = [];
    for (let i = 0; i < 700; i++) {
        const u = random();
        const parent = i ? nodes[i % 97 === 0 ? i - 1 : Math.floor(u * u * i)] : null;
        const n = {row: i + 1, w: 100 + (i % 5) * 10, h: 40 + (i % 7 === 0 ? 16 : 0), side: 'bottom', children: [],
                   parent};
        if (parent) {
            parent.children.push(n);
        }
        nodes.push(n);
    }
    const plain = layoutForest([nodes[0]], SPACING);
    const sheet = {width: 2000, height: 1400};
    const layout = compactLayout([nodes[0]], SPACING, [sheet]);
    assert.ok(layout.compact && layout.width < plain.width / 3, `${layout.width} vs ${plain.width}`);
    assert.ok(layout.height <= Math.max(plain.height, sheet.height), `${layout.height}`);

    const byRow = new Map(nodes.map(n => [n.row, n]));
    for (let i = 0; i < nodes.length; i++) {
        for (let j = i + 1; j < nodes.length; j++) {
            assert.ok(!overlaps(nodes[i], nodes[j]), `rows ${nodes[i].row} and ${nodes[j].row} overlap`);
        }
    }
    // Every line runs from its manager to its person and through nobody's box.
    for (const c of layout.connectors) {
        const from = byRow.get(c.from), to = byRow.get(c.to);
        const [x0, y0] = c.points[0], [x1, y1] = c.points[c.points.length - 1];
        assert.ok(x0 === from.cx && y0 === from.y + from.h, `line to row ${c.to} leaves its manager`);
        assert.ok(x1 === to.x || y1 === to.y, `line to row ${c.to} ends on it`);
        for (let k = 1; k < c.points.length; k++) {
            const [ax, ay] = c.points[k - 1], [bx, by] = c.points[k];
            const seg = {x: Math.min(ax, bx), y: Math.min(ay, by), w: Math.abs(bx - ax) || 0.01,
                         h: Math.abs(by - ay) || 0.01};
            for (const n of nodes) {
                if (n !== from && n !== to) {
                    assert.ok(!overlaps(seg, n), `line to row ${c.to} crosses row ${n.row}`);
                }
            }
        }
    }

    // A chart with no team to stack keeps the plain layout.
    const pair = {row: 1, w: 120, h: 40, side: 'bottom', children: []};
    pair.children = [1, 2].map(k => ({row: k + 1, w: 120, h: 40, side: 'bottom', children: [], parent: pair}));
    assert.ok(!compactLayout([pair], SPACING).compact);
});
