'use strict';

const test = require('node:test');
const assert = require('node:assert/strict');
const {parseQuery, parseData, buildForest} = require('../../resources/orgchart/chart-data.js');
const f = require('./fixtures.js');

function forestOf(data)
{
    return buildForest(parseData(parseQuery(f.query(data)).data));
}

function rows(list)
{
    return list.map((r, i) => ({row: i + 1, title: r[0], parent: r[1], position: r[2] || 'u',
                                colour: 'ffffff'}));
}

const childRows = n => n.children.map(c => c.row);

test('Sample 1 is one tree under row 1 with its assistants and bottom children', () => {
    const forest = forestOf(f.SAMPLE1_DATA);
    assert.deepEqual(forest.roots.map(r => r.row), [1]);
    assert.equal(forest.nodes.length, 11);
    const by = forest.byRow;
    assert.deepEqual(childRows(by.get(1)), [2, 3, 4, 5, 10, 11]);
    assert.deepEqual(childRows(by.get(3)), [6, 7]);
    assert.deepEqual(childRows(by.get(5)), [8, 9]);
    assert.deepEqual([3, 5, 7, 9, 2].map(r => by.get(r).side), ['right', 'left', 'left', 'right', 'bottom']);
    assert.equal(by.get(1).colour, '#ffffff');
    assert.equal(by.get(2).colour, '#cd6a80');
});

test('Sample 2 has two roots, rows 1 and 3', () => {
    const forest = forestOf(f.SAMPLE2_DATA);
    assert.deepEqual(forest.roots.map(r => r.row), [1, 3]);
    assert.deepEqual(childRows(forest.byRow.get(3)), [6, 7, 9]);
    assert.deepEqual(childRows(forest.byRow.get(1)), [2, 4, 5, 10, 11]);
});

test('a row is a root when its parent is empty, 0, no number, out of range, itself or untitled', () => {
    const forest = buildForest(rows([
        ['Root', ''], ['Zero', '0'], ['Word', 'abc'], ['Far', '94'], ['Self', '5'], ['Ghost', '7'],
        ['', '1'], ['Kid', ' 1 '], ['Neg', '-1']
    ]));
    assert.deepEqual(forest.roots.map(r => r.row), [1, 2, 3, 4, 5, 6, 9]);
    assert.deepEqual(childRows(forest.byRow.get(1)), [8]);
    assert.equal(forest.byRow.has(7), false, 'a row without a title is no node');
});

test('rows above 93 are nodes but cannot be parents unless the limit is raised', () => {
    const list = rows([['A', '']]);
    list.push({row: 120, title: 'B', parent: '1', position: 'u', colour: ''},
              {row: 121, title: 'C', parent: '120', position: 'u', colour: ''});
    assert.deepEqual(buildForest(list).roots.map(r => r.row), [1, 121]);
    assert.deepEqual(buildForest(list, {maxRow: 10000}).roots.map(r => r.row), [1]);
});

test('every loop of parents is cut once, at its lowest row, and all its rows are drawn', () => {
    // 2 <-> 3, and 4 -> 6 -> 5 -> 4 with 7 hanging off the loop.
    const forest = buildForest(rows([
        ['Top', ''], ['A', '3'], ['B', '2'], ['C', '6'], ['D', '4'], ['E', '5'], ['F', '5']
    ]));
    assert.deepEqual(forest.roots.map(r => r.row), [1, 2, 4]);
    assert.equal(forest.byRow.get(2).loopParent, 3);
    assert.equal(forest.byRow.get(4).loopParent, 6);
    assert.deepEqual(childRows(forest.byRow.get(2)), [3]);
    assert.deepEqual(childRows(forest.byRow.get(4)), [5]);
    assert.deepEqual(childRows(forest.byRow.get(5)), [6, 7]);
    const seen = new Set();
    const walk = n => { seen.add(n.row); n.children.forEach(walk); };
    forest.roots.forEach(walk);
    assert.equal(seen.size, 7);
});

test('a loop through every row of a full grid is cut without endless walking', () => {
    const list = [];
    for (let r = 1; r <= 93; r++) {
        list.push({row: r, title: 'N' + r, parent: String(r === 93 ? 1 : r + 1), position: 'u', colour: ''});
    }
    const forest = buildForest(list);
    assert.deepEqual(forest.roots.map(r => r.row), [1]);
    assert.equal(forest.byRow.get(1).loopParent, 2);
    assert.deepEqual(childRows(forest.byRow.get(93)), [92]);
});

test('markers are compared exactly: anything but "NOT NULL" and "NULL" is bottom', () => {
    const forest = buildForest(rows([
        ['Top', ''], ['a', '1', 'NOT NULL'], ['b', '1', 'NULL'], ['c', '1', 'null'], ['d', '1', 'NOTNULL'],
        ['e', '1', ''], ['f', '1', 'NOT NULL ']
    ]));
    assert.deepEqual(forest.nodes.slice(1).map(n => n.side), ['left', 'right', 'bottom', 'bottom', 'bottom', 'bottom']);
});

test('the first of two rows with the same number wins', () => {
    const list = rows([['Top', ''], ['One', '1']]);
    list.push({row: 2, title: 'Other', parent: '', position: 'u', colour: ''});
    const forest = buildForest(list);
    assert.equal(forest.byRow.get(2).title, 'One');
    assert.equal(forest.nodes.length, 2);
});
