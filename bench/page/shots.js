// Pictures of the chart viewer's states for a person to look at, taken in
// headless Chromium with real input: a 93-row chart fitted, zoomed in with
// Ctrl+wheel, a search with matches, a folded branch, the export page as the
// program loads it, and a print of the viewer after all that.
//   node bench/page/shots.js OUTDIR
'use strict';

const fs = require('node:fs');
const path = require('node:path');
const {execFileSync} = require('node:child_process');
const f = require('../../tests/page/fixtures.js');
const {pageUrl} = require('../../tools/page/chromium.js');
const {launch} = require('./devtools.js');

const out = path.resolve(process.argv[2] || 'screenshots');
fs.mkdirSync(out, {recursive: true});
const VIEW = {width: 1280, height: 800};
const settle = tab => tab.eval('new Promise(r => setTimeout(() => requestAnimationFrame(() => requestAnimationFrame(r)), 250))');

async function main()
{
    const data = f.dataFor(f.generatedRows(93, 7, 'bushy'));
    const browser = launch(['--disable-gpu']);
    const notes = [];
    try {
        const tab = await browser.open(pageUrl(f.PAGE, f.query(data)), VIEW.width, VIEW.height);
        await settle(tab);
        await tab.screenshot(path.join(out, 'chart93-fitted.png'));
        notes.push(`fitted: zoom ${(await tab.eval('plotwellView.zoom()')).toFixed(3)}`);

        for (let i = 0; i < 12; i++) {
            await tab.wheelZoom(400, 300, -100);
        }
        await settle(tab);
        await tab.screenshot(path.join(out, 'chart93-zoomed.png'));
        notes.push(`zoomed: zoom ${(await tab.eval('plotwellView.zoom()')).toFixed(3)}`);

        await tab.key('0', 'Digit0', 2, 48);
        await tab.key('f', 'KeyF', 2, 70);
        await tab.send('Input.insertText', {text: 'Research'});
        await settle(tab);
        await tab.screenshot(path.join(out, 'chart93-search.png'));
        notes.push(`search: ${await tab.eval("document.querySelector('.search-count').textContent")}`);
        await tab.key('Escape', 'Escape', 0, 27);

        // Folds the largest branch below the top by clicking its toggle.
        const target = await tab.eval(`(() => {
            const toggles = [...document.querySelectorAll('.fold-toggle')].filter(t => t.dataset.row !== '1');
            const size = t => document.querySelectorAll('g.node').length;
            const t = toggles[0];
            const r = t.getBoundingClientRect();
            return {row: t.dataset.row, x: r.left + r.width / 2, y: r.top + r.height / 2};
        })()`);
        await tab.mouse('mousePressed', target.x, target.y, {button: 'left', clickCount: 1, buttons: 1});
        await tab.mouse('mouseReleased', target.x, target.y, {button: 'left', clickCount: 1});
        await settle(tab);
        await tab.screenshot(path.join(out, 'chart93-folded.png'));
        notes.push(`folded row ${target.row}: ${await tab.eval("document.querySelectorAll('g.node').length")} boxes show`);

        const answer = await tab.eval('document.documentElement.scrollWidth + " " + document.documentElement.scrollHeight');
        const {data: pdf} = await tab.send('Page.printToPDF', {preferCSSPageSize: true, printBackground: true});
        fs.writeFileSync(path.join(out, 'chart93-print.pdf'), Buffer.from(pdf, 'base64'));
        execFileSync('pdftoppm', ['-png', '-r', '48', '-singlefile', path.join(out, 'chart93-print.pdf'),
                                  path.join(out, 'chart93-print')]);
        notes.push(`size scripts answer ${answer}; print: ` +
                   execFileSync('pdfinfo', [path.join(out, 'chart93-print.pdf')], {encoding: 'utf8'})
                       .split('\n').filter(l => /^(Pages|Page size)/.test(l)).join(', ').replace(/\s+/g, ' '));

        // The export viewer as the program loads it: the size the viewer
        // answered, plus 20 pixels each way.
        const [w, h] = answer.split(' ').map(Number);
        const exportTab = await browser.open(pageUrl(f.PAGE, f.query(data, {width: w, height: h})), w + 20, h + 20);
        await settle(exportTab);
        await exportTab.screenshot(path.join(out, 'chart93-export.png'));
        const margins = await exportTab.eval(`(() => {
            const r = document.querySelector('.chart-content').getBoundingClientRect();
            return [r.left, r.top, innerWidth - r.right, innerHeight - r.bottom].map(v => v.toFixed(1)).join(' ');
        })()`);
        notes.push(`export ${w + 20}x${h + 20}: margins left top right bottom ${margins}; ` +
                   `controls ${await exportTab.eval("document.querySelectorAll('.view-controls, .fold-toggle').length")}`);
        // Sample 1 with the sizes that used to split words (node width 120,
        // font size 20), then with Ansel Drury's branch folded from its box.
        const wide = f.query(f.SAMPLE1_DATA).replace('&fsize=14&nsize=0', '&fsize=20&nsize=120');
        const sample = await browser.open(pageUrl(f.PAGE, wide), VIEW.width, VIEW.height);
        await settle(sample);
        await sample.screenshot(path.join(out, 'sample1-w120-f20.png'));
        const toggle = await sample.eval(`(() => {
            const r = document.querySelector('.fold-toggle[data-row="5"]').getBoundingClientRect();
            return {x: r.left + r.width / 2, y: r.top + r.height / 2};
        })()`);
        await sample.mouse('mousePressed', toggle.x, toggle.y, {button: 'left', clickCount: 1, buttons: 1});
        await sample.mouse('mouseReleased', toggle.x, toggle.y, {button: 'left', clickCount: 1});
        await settle(sample);
        await sample.screenshot(path.join(out, 'sample1-folded.png'));
        notes.push(`sample 1 at 120/20: zoom ${(await sample.eval('plotwellView.zoom()')).toFixed(3)}, ` +
                   `${await sample.eval("document.querySelectorAll('g.node').length")} boxes after folding row 5`);

        const [sw, sh] = (await sample.eval('document.documentElement.scrollWidth + " " + ' +
                                            'document.documentElement.scrollHeight')).split(' ').map(Number);
        const sampleExport = await browser.open(pageUrl(f.PAGE, f.query(f.SAMPLE1_DATA, {width: sw, height: sh})
                                                                    .replace('&fsize=14&nsize=0', '&fsize=20&nsize=120')),
                                                sw + 20, sh + 20);
        await settle(sampleExport);
        await sampleExport.screenshot(path.join(out, 'sample1-export.png'));
        notes.push(`sample 1 export ${sw + 20}x${sh + 20}`);

        const errors = tab.errors.concat(exportTab.errors, sample.errors, sampleExport.errors);
        if (errors.length) {
            throw new Error(errors.join('; '));
        }
    } finally {
        await browser.close();
    }
    notes.forEach(n => console.log(n));
}

main().catch(e => {
    console.error(e.message);
    process.exit(1);
});
