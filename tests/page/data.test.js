'use strict';

const test = require('node:test');
const assert = require('node:assert/strict');
const {parseQuery, readSettings, parseData} = require('../../resources/orgchart/chart-data.js');
const f = require('./fixtures.js');

const settingsOf = s => [s.labelColour, s.backColour, s.itemColour, s.lineColour, s.font, s.fontSize,
                         s.nodeWidth, s.radius, s.multicolour, s.margin, s.screen];
const START = ['#104e8b', '#ffffff', '#ffffff', '#3388dd', 'Optima', 14, 0, 3, true, 5, null];

test('the viewer query yields every key, "+" as space and the "~" tokens decoded', () => {
    const q = parseQuery(f.query('R~amp~D~eq~Core+~lbra~x~rbra~~pipe~50~pct~_1_u_FF8C00_4'));
    assert.equal(q.data, 'R&D=Core [x]|50%_1_u_FF8C00_4');
    assert.equal(q.ctitle, 'Sample Org Chart');
    assert.equal(q.ctype, '3dcol');
    assert.equal(q.xaxis, '');
    assert.deepEqual(settingsOf(readSettings(q)), START);
});

test('the export and full-screen queries carry the box to fit and their margin', () => {
    const s = readSettings(parseQuery(f.query('', {width: 1024, height: 700, margin: 50})));
    assert.deepEqual(settingsOf(s), [...START.slice(0, 9), 50, {width: 1024, height: 700}]);
});

test('query values decode: escapes, "+", a raw "&" or "=" in the title and the "~" tokens in one pass', () => {
    const cases = [
        ['?ctitle=%C3%89quipe+%3Cb%3E%2B1', 'ctitle', 'Équipe <b>+1'],
        ['?ctitle=100%+sure', 'ctitle', '100% sure'],
        ['?data=&ctitle=R&D+Team=Core&labelcolor=000000&fsize=12', 'ctitle', 'R&D Team=Core'],
        ['?data=&ctitle=R&D+Team=Core&labelcolor=000000&fsize=12', 'fsize', '12'],
        ['?ctitle=~tilde~amp~tilde~+1~plus~1+Jos~uE9~+O~u27~Brien~u2C~+~u1F600~', 'ctitle',
         '~amp~ 1+1 José O\'Brien, 😀'],
        ['?xaxis=~u110000~+~uZZ~', 'xaxis', '~u110000~ ~uZZ~']
    ];
    for (const [query, key, value] of cases) {
        assert.equal(parseQuery(query)[key], value, query);
    }
});

test('unreadable settings fall back to the start values; mcstate 0 alone is single colour', () => {
    const s = readSettings(parseQuery(
        '?labelcolor=zzz&backcolor=12345&itemcolor=ffffff&linecolor=3388dd&font=Optima&fsize=huge' +
        '&nsize=-4&rsize=&mcstate=0&margin=x&screenWidth=1024.000000'));
    // A width without a height is no box.
    assert.deepEqual(settingsOf(s), [...START.slice(0, 8), false, 5, null]);
    assert.equal(readSettings(parseQuery('?mcstate=2')).multicolour, true);
    assert.equal(readSettings(parseQuery('?font=Gill"};x')).font, 'Gillx');
});

test('the worked example reads back as 93 rows, row 1 with its empty fifth field', () => {
    const rows = parseData(parseQuery(f.query(f.workedExampleData())).data);
    assert.equal(rows.length, 93);
    assert.deepEqual(rows[0], {row: 1, title: 'Niall Brent(CEO)', parent: '', position: 'NOT NULL',
                               colour: 'FFFFFF'});
    assert.deepEqual(rows[1], {row: 2, title: 'Tobin Marsh(Public Relations)', parent: '1',
                               position: 'u', colour: 'CD6A80'});
    assert.deepEqual(rows[92], {row: 93, title: '', parent: '', position: '', colour: '418cf0'});
});

test('a "_" in a title stays in the title, in row 1 and in later rows', () => {
    const rows = parseData('R_and_D_(Lab)_4_u_FF8C00_1*a_b_c_1_NULL_00ae00_2*x_y__NOT NULL__3');
    assert.deepEqual(rows.map(r => [r.row, r.title, r.parent, r.position, r.colour]), [
        [1, 'R_and_D_(Lab)', '4', 'u', 'FF8C00'],
        [2, 'a_b_c', '1', 'NULL', '00ae00'],
        [3, 'x_y', '', 'NOT NULL', '']
    ]);
});

test('a "*" inside a title joins the pieces back into one row', () => {
    const rows = parseData('Boss__u_FFFFFF__1*Star*Team*Lead_1_u_CD6A80_2*A**B_2_NULL_504DCD_3*___418cf0_4');
    assert.deepEqual(rows.map(r => [r.row, r.title, r.parent]),
                     [[1, 'Boss', ''], [2, 'Star*Team*Lead', '1'], [3, 'A**B', '2'], [4, '', '']]);
});

test('an empty data string has no rows and a truncated tail is dropped', () => {
    assert.deepEqual(parseData(''), []);
    assert.deepEqual(parseData('Boss__u_FFFFFF__1*half a ro').map(r => r.row), [1]);
});
