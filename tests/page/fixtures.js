// Chart page queries as the program sends them: the two sample charts, the
// worked example and generated charts of any shape.
'use strict';

const PALETTE_PAGE = [
    'FFFFFF', 'CD6A80', '504DCD', 'FF8C00', '8E388E', '00ae00', 'ff6e01', '935c24', '388E8E',
    '5483a2', 'B0171F', '912CEE', '00ae00', '00868B', '698B22', 'FFA500', '7171C6', '418cf0',
    '00BFFF', '4682B4', 'FF8C00', '0000EE', '6E7B8B', 'FF6103', 'FFE4E1', '808000', '9BCD9B',
    '87CEFA', 'D02090', '308014', '9ACD32'
];

/// The default colour of row r (1..93): one 31-entry cycle per page, whose
/// first entry is white on page one only.
function defaultColour(r)
{
    const i = (r - 1) % 31;
    return i === 0 && r > 1 ? '418cf0' : PALETTE_PAGE[i];
}

// Empty rows 14..93 as the render writes them (no title, parent or position).
function emptyRows(from)
{
    const blocks = [];
    for (let r = from; r <= 93; r++) {
        blocks.push(`___${defaultColour(r)}_${r}`);
    }
    return blocks.join('*');
}

// Sample 1, as the render writes it: spaces are "+", "&" is "~amp~".
const SAMPLE1_DATA = [
    'Niall+Brent(CEO)__NOT+NULL_FFFFFF__1',
    'Tobin+Marsh(Public+Relations)_1_u_CD6A80_2',
    'Ilse+Varga(Business+Development)_1_NULL_504DCD_3',
    'Cyrus+Pell(Global+Research)_1_u_FF8C00_4',
    'Ansel+Drury(Human+Resources)_1_NOT+NULL_8E388E_5',
    'Mara+Quill(Mergers+~amp~+acquisitions)_3_u_00ae00_6',
    'Odell+Fenn(Marketing)_3_NOT+NULL_ff6e01_7',
    'Rufus+Lorne(Talent+Development)_5_u_935c24_8',
    'Petra+Hale(Recruiting)_5_NULL_388E8E_9',
    'Emrys+Tove(International+Business)_1_u_5483a2_10',
    'Jory+Kemble(Social+Media+Stategist)_1_u_B0171F_11',
    '__u_912CEE_12',
    '__NOT+NULL_00ae00_13',
    emptyRows(14)
].join('*');

// Sample 2: row 3 has no parent, row 5 stands right, row 9 hangs under row 3.
const SAMPLE2_DATA = SAMPLE1_DATA.replace('Development)_1_NULL', 'Development)__NULL')
                         .replace('Resources)_1_NOT+NULL', 'Resources)_1_NULL')
                         .replace('Hale(Recruiting)_5_', 'Hale(Recruiting)_3_');

// The worked example: rows 1 and 2 set, rows 3..93 empty with colour 418cf0.
const workedExampleData = () => [
    'Niall+Brent(CEO)__NOT+NULL_FFFFFF__1', 'Tobin+Marsh(Public+Relations)_1_u_CD6A80_2',
    ...Array.from({length: 91}, (_, i) => `___418cf0_${i + 3}`)
].join('*');

const SETTINGS_TAIL = '&ctype=3dcol&xaxis=&yaxis=&ctitle=Sample+Org+Chart&labelcolor=104E8B' +
                      '&backcolor=ffffff&itemcolor=FFFFFF&linecolor=3388DD';
const APPEARANCE_TAIL = '&font=Optima&fsize=14&nsize=0&rsize=3&mcstate=1';

/// The query of the viewer request, or of the export and full-screen
/// requests when `screen` is given ({width, height, margin}).
function query(data, screen)
{
    let q = '?data=' + data + SETTINGS_TAIL;
    if (screen) {
        q += `&screenWidth=${screen.width.toFixed(6)}&screenHeight=${screen.height.toFixed(6)}`;
    }
    return q + APPEARANCE_TAIL + `&margin=${screen && screen.margin ? screen.margin : 5}`;
}

/// A title as the render escapes it, then as the URL carries it.
function encodeTitle(title)
{
    const escaped = title.replace(/#/g, '').replace(/ /g, '+').replace(/&/g, '~amp~')
                        .replace(/=/g, '~eq~').replace(/\[/g, '~lbra~').replace(/\]/g, '~rbra~')
                        .replace(/\|/g, '~pipe~').replace(/%/g, '~pct~');
    return encodeURI(escaped);
}

/// A data string for rows given as {title, parent, position, colour}, rows
/// numbered from 1; rows after the last given are empty up to 93.
function dataFor(rows)
{
    const blocks = rows.map((r, i) => {
        const row = i + 1;
        const fields = [encodeTitle(r.title || ''), r.parent === undefined ? '' : String(r.parent),
                        (r.position || '').replace(/ /g, '+'), r.colour || defaultColour(row)];
        const plain = fields.join('_') + '_' + row;
        return row === 1 && !fields.some(f => f.includes('_')) ? fields.join('_') + '__1' : plain;
    });
    if (rows.length < 93) {
        blocks.push(emptyRows(rows.length + 1));
    }
    return blocks.join('*');
}

/// A deterministic pseudo-random generator (mulberry32).
function random(seed)
{
    let a = seed >>> 0;
    return function () {
        a = (a + 0x6d2b79f5) >>> 0;
        let t = a;
        t = Math.imul(t ^ (t >>> 15), t | 1);
        t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
        return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
    };
}

const FIRST = ['Ada', 'Bram', 'Cleo', 'Dario', 'Edda', 'Fenna', 'Gus', 'Hale', 'Iris', 'Joss',
               'Kai', 'Lena', 'Milo', 'Nora', 'Otto', 'Pia', 'Quin', 'Rosa', 'Sven', 'Tess'];
const LAST = ['Abbot', 'Brook', 'Crane', 'Dale', 'Ellery', 'Frost', 'Grey', 'Holt', 'Ives',
              'Kerr', 'Lowe', 'Marsh', 'Noble', 'Oakes', 'Pryce', 'Reid', 'Stone', 'Tate'];
const ROLES = ['Engineering', 'Finance', 'Sales', 'Design', 'Support', 'Legal', 'Research',
               'Operations', 'Quality Assurance', 'People', 'Data Platform', 'Security'];

/// n rows (1..n) of a chart whose shape depends on the seed: each row after
/// the first hangs under an earlier row, mostly a recent one ("deep"), or
/// mostly an early one ("bushy"); `sideShare` of them (default one in six)
/// stand beside their parent. "chain" gives one long line, "flat" one row.
function generatedRows(n, seed, shape, sideShare)
{
    const side = sideShare === undefined ? 0.16 : sideShare;
    const rnd = random(seed);
    const rows = [];
    for (let i = 1; i <= n; i++) {
        const name = FIRST[Math.floor(rnd() * FIRST.length)] + ' ' + LAST[Math.floor(rnd() * LAST.length)];
        const role = ROLES[Math.floor(rnd() * ROLES.length)];
        let parent = '';
        if (i > 1) {
            parent = shape === 'chain' ? i - 1
                   : shape === 'flat' ? 1
                   : shape === 'bushy' ? 1 + Math.floor(rnd() * rnd() * (i - 1))
                   : Math.max(1, i - 1 - Math.floor(rnd() * Math.min(i - 1, 12)));
        }
        const p = rnd();
        const position = i === 1 ? '' : p < side / 2 ? 'NOT NULL' : p < side ? 'NULL' : 'u';
        rows.push({title: `${name}(${role})`, parent, position, colour: defaultColour(((i - 1) % 93) + 1)});
    }
    return rows;
}

module.exports = {SAMPLE1_DATA, SAMPLE2_DATA, workedExampleData, query, dataFor, generatedRows};
