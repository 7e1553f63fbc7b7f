'use strict';

const test = require('node:test');
const assert = require('node:assert/strict');
const {paperSheets, sheetTiles, printScale, PAPER} = require('../../resources/orgchart/chart-export.js');

test('a chart is cut into the fewest sheets, portrait or landscape, and the tiles cover it', () => {
    const cases = [
        // chart size, paper, expected orientation, columns x rows
        [{width: 500, height: 300}, 'a4', true, 1, 1],
        [{width: 5000, height: 600}, 'a3', true, 4, 1],
        [{width: 600, height: 3000}, 'a4', false, 1, 3],
        [{width: 2400, height: 2400}, 'letter', true, 3, 4], // a tie: landscape
    ];
    for (const [size, paper, landscape, cols, rows] of cases) {
        const plan = paperSheets(size, paper);
        assert.equal(plan.landscape, landscape, JSON.stringify(size));
        assert.deepEqual([plan.cols, plan.rows, plan.sheets], [cols, rows, cols * rows], JSON.stringify(size));
        const long = Math.max(PAPER[paper].width, PAPER[paper].height);
        assert.equal(landscape ? plan.pageWidth : plan.pageHeight, long);
        const tiles = sheetTiles(plan);
        const last = tiles[tiles.length - 1];
        assert.ok(last.x < size.width && last.x + last.width >= size.width);
        assert.ok(last.y < size.height && last.y + last.height >= size.height);
        assert.ok(plan.tileWidth + 2 * plan.margin <= plan.pageWidth);
        // Printed smaller, a tile shows more of the chart and still fits its page.
        const small = paperSheets(size, paper, null, {scale: printScale(14), landscape});
        assert.ok(small.tileWidth * small.scale + 2 * small.margin <= small.pageWidth);
        assert.ok(small.tileWidth > plan.tileWidth && small.sheets <= plan.sheets, JSON.stringify(size));
    }
    assert.ok(printScale(14) < 1 && printScale(14) * 14 * 0.75 >= 6.4, 'text stays readable');
    assert.equal(printScale(8), 1, 'small text is never printed smaller');
    assert.equal(paperSheets({width: 10, height: 10}, 'a5'), null);

    // With an overlap as wide as the largest box, every box is whole on some sheet.
    const size = {width: 9000, height: 2500}, box = {w: 180, h: 60};
    const plan = paperSheets(size, 'a4', {x: box.w + 8, y: box.h + 8});
    const tiles = sheetTiles(plan);
    for (let x = 0; x + box.w <= size.width; x += 37) {
        for (let y = 0; y + box.h <= size.height; y += 41) {
            assert.ok(tiles.some(t => t.x <= x && x + box.w <= t.x + t.width &&
                                      t.y <= y && y + box.h <= t.y + t.height), `box at ${x},${y}`);
        }
    }
});
