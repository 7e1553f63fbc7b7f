'use strict';

const test = require('node:test');
const assert = require('node:assert/strict');
const {contrast, readableText, softPath} = require('../../resources/orgchart/chart-draw.js');

test('the label colour is kept where it reads well and replaced where it does not', () => {
    assert.ok(Math.abs(contrast('#000000', '#ffffff') - 21) < 1e-9);
    assert.equal(contrast('#3388dd', '#3388dd'), 1);
    assert.equal(readableText('#104e8b', '#ffffff'), '#104e8b');
    assert.equal(readableText('#104e8b', '#0000ee'), '#ffffff', 'dark blue on royal blue');
    assert.equal(readableText('#104e8b', '#b0171f'), '#ffffff', 'dark blue on dark red');
    assert.equal(readableText('#ffffff', '#ffe4e1'), '#1b1f24', 'white on misty rose');
    assert.equal(readableText('#ffffff', '#ff8c00'), '#1b1f24', 'white on dark orange');
    for (const fill of ['#cd6a80', '#00ae00', '#9acd32', '#6e7b8b', '#418cf0', '#808000']) {
        assert.ok(contrast(readableText('#104e8b', fill), fill) >= 4.5 ||
                  contrast(readableText('#104e8b', fill), fill) >=
                      Math.max(contrast('#1b1f24', fill), contrast('#ffffff', fill)) - 1e-9, fill);
    }
});

test('connector corners are rounded but never longer than half a leg', () => {
    assert.equal(softPath([[0, 0], [0, 50], [40, 50], [40, 60]], 8),
                 'M0 0L0 42Q0 50 8 50L35 50Q40 50 40 55L40 60');
    assert.equal(softPath([[10, 0], [10, 30], [10, 30], [10, 40]], 8), 'M10 0L10 30L10 30L10 40');
});
