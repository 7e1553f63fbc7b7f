// What a drawn chart becomes outside the window: a standalone SVG file, and
// sheets of paper for a chart too large for one page. The arithmetic of the
// sheets is pure, so that node can test it.
(function (root, factory) {
    var api = factory(root);
    if (typeof module === 'object' && module.exports) {
        module.exports = api;
    } else {
        root.Orgchart = Object.assign(root.Orgchart || {}, api);
    }
})(this, function (root) {
    'use strict';

    var SVG_NS = 'http://www.w3.org/2000/svg';

    // Paper in CSS pixels (96 to the inch), portrait.
    var PAPER = Object.freeze({
        a4: {width: 793.7, height: 1122.5},
        a3: {width: 1122.5, height: 1587.4},
        letter: {width: 816, height: 1056}
    });
    // Room for the printer's edge, the cut marks and the sheet's label.
    var SHEET_MARGIN = 45;
    // The smallest text a sheet carries, in points: still read at arm's
    // length, and a large organisation takes a third of the sheets it would
    // at screen size.
    var SMALLEST_PRINTED_POINTS = 6.5;
    // About 6 MB of the engine's each a sheet of a large organisation leaves
    // until the page collects its garbage.
    var SHEETS_BETWEEN_COLLECTIONS = 40;

    /// How much smaller than on screen a chart whose text is `fontSize`
    /// pixels is printed on sheets: down to the smallest printed text, never
    /// larger than on screen.
    function printScale(fontSize)
    {
        var points = (Number(fontSize) || 14) * 0.75;
        return Math.min(1, SMALLEST_PRINTED_POINTS / points);
    }

    /// The part of the chart a sheet of `paperName` shows at the print scale
    /// of `fontSize`, landscape then portrait, in the chart's pixels: what a
    /// layout that wants few sheets fills.
    function sheetAreas(paperName, fontSize)
    {
        if (!PAPER[paperName]) {
            return [];
        }
        return [true, false].map(function (landscape) {
            var p = paperSheets({width: 1, height: 1}, paperName, null,
                                {scale: printScale(fontSize), landscape: landscape});
            return {width: p.tileWidth, height: p.tileHeight};
        });
    }

    /// How a chart of `size` is cut into sheets of `paperName`: the chart is
    /// printed at `options.scale` of its size (1: the text as large as on
    /// screen) in tiles; sizes in the plan are the chart's pixels, but for
    /// the page's. Neighbouring tiles share a strip `overlap` wide ({x, y},
    /// at most half a tile): as wide as the largest box, so that every box,
    /// and every name in it, is whole on at least one sheet. Portrait or
    /// landscape as `options.landscape` says, else whichever needs fewer
    /// sheets (landscape on a tie: charts are wide).
    function paperSheets(size, paperName, overlap, options)
    {
        var paper = PAPER[paperName];
        if (!paper) {
            return null;
        }
        var scale = (options && options.scale) || 1;
        function plan(w, h, landscape)
        {
            var tw = Math.floor((w - 2 * SHEET_MARGIN) / scale);
            var th = Math.floor((h - 2 * SHEET_MARGIN) / scale);
            var ox = Math.min(Math.ceil((overlap && overlap.x) || 0), Math.floor(tw / 2));
            var oy = Math.min(Math.ceil((overlap && overlap.y) || 0), Math.floor(th / 2));
            var cols = Math.max(1, Math.ceil((size.width - ox) / (tw - ox)));
            var rows = Math.max(1, Math.ceil((size.height - oy) / (th - oy)));
            return {
                paper: paperName, landscape: landscape, pageWidth: w, pageHeight: h,
                tileWidth: tw, tileHeight: th, stepX: tw - ox, stepY: th - oy,
                cols: cols, rows: rows, sheets: cols * rows, margin: SHEET_MARGIN, scale: scale
            };
        }
        var across = plan(paper.height, paper.width, true);
        var upright = plan(paper.width, paper.height, false);
        if (options && options.landscape !== undefined) {
            return options.landscape ? across : upright;
        }
        return upright.sheets < across.sheets ? upright : across;
    }

    /// The tiles of a plan, row by row: which part of the chart each shows.
    function sheetTiles(plan)
    {
        var tiles = [];
        for (var r = 0; r < plan.rows; r++) {
            for (var c = 0; c < plan.cols; c++) {
                tiles.push({row: r, col: c, x: c * plan.stepX, y: r * plan.stepY,
                            width: plan.tileWidth, height: plan.tileHeight});
            }
        }
        return tiles;
    }

    function drawing(doc)
    {
        return doc.querySelector('svg.orgchart');
    }

    // The page's own style rules for the drawing, so that a copy looks the
    // same without the page around it.
    function drawingStyle(doc)
    {
        var text = '';
        Array.prototype.forEach.call(doc.styleSheets, function (sheet) {
            var rules;
            try {
                rules = sheet.cssRules;
            } catch (e) {
                return;
            }
            Array.prototype.forEach.call(rules, function (rule) {
                // The drawing's own rules, not the page's, the viewer's or the sheets'.
                if (rule.selectorText &&
                    !/\b(html|body)\b|svg\.|chart-viewer|chart-stage|view-controls|search-|fold-toggle|sheet/
                        .test(rule.selectorText)) {
                    text += rule.cssText + '\n';
                }
            });
        });
        return text;
    }

    /// The drawing as an SVG file of its own: text stays text, the style is
    /// inside it, and it holds no script, no link and no buttons.
    function standaloneSvg(doc)
    {
        var svg = drawing(doc);
        if (!svg) {
            return '';
        }
        var copy = svg.cloneNode(true);
        copy.removeAttribute('data-scroll-size');
        copy.removeAttribute('data-render-ms');
        copy.setAttribute('xmlns', SVG_NS);
        Array.prototype.forEach.call(copy.querySelectorAll('.fold-toggle, script, a, foreignObject'),
                                     function (e) { e.parentNode.removeChild(e); });
        var style = doc.createElementNS(SVG_NS, 'style');
        style.textContent = drawingStyle(doc);
        copy.insertBefore(style, copy.firstChild);
        return '<?xml version="1.0" encoding="UTF-8"?>\n' + new root.XMLSerializer().serializeToString(copy);
    }

    function reaches(piece, tile)
    {
        return piece.x1 > tile.x && piece.x0 < tile.x + tile.width &&
               piece.y1 > tile.y && piece.y0 < tile.y + tile.height;
    }

    function el(doc, name, attrs, parent)
    {
        var e = doc.createElementNS(SVG_NS, name);
        Object.keys(attrs).forEach(function (k) { e.setAttribute(k, attrs[k]); });
        parent.appendChild(e);
        return e;
    }

    // Short lines in the margin that continue the tile's edges (cut along
    // them), and dashed ones where the next sheet's tile begins (lay the
    // next sheet's cut edge there: the shared strip then lies doubled).
    function cutMarks(doc, svg, m, w, h, plan, t)
    {
        var len = m * 0.6, gap = 4, d = '', joins = '';
        [[m, m], [m + w, m], [m, m + h], [m + w, m + h]].forEach(function (p, i) {
            var sx = i % 2 ? 1 : -1, sy = i < 2 ? -1 : 1;
            d += 'M' + (p[0] + sx * gap) + ' ' + p[1] + 'h' + sx * len;
            d += 'M' + p[0] + ' ' + (p[1] + sy * gap) + 'v' + sy * len;
        });
        if (t.col + 1 < plan.cols) {
            var x = m + plan.stepX * plan.scale;
            joins += 'M' + x + ' ' + (m - gap) + 'v' + -len + 'M' + x + ' ' + (m + h + gap) + 'v' + len;
        }
        if (t.row + 1 < plan.rows) {
            var y = m + plan.stepY * plan.scale;
            joins += 'M' + (m - gap) + ' ' + y + 'h' + -len + 'M' + (m + w + gap) + ' ' + y + 'h' + len;
        }
        el(doc, 'path', {'class': 'cut-marks', 'd': d, 'stroke': '#000000', 'stroke-width': 0.5,
                         'fill': 'none'}, svg);
        if (joins) {
            el(doc, 'path', {'class': 'join-marks', 'd': joins, 'stroke': '#000000', 'stroke-width': 0.5,
                             'stroke-dasharray': '2 2', 'fill': 'none'}, svg);
        }
    }

    /// Puts the drawing on sheets of paper for printing: each sheet a page
    /// with one tile of the chart at its own size, cut marks and a label
    /// saying where the sheet goes. Each tile holds a copy of only the boxes
    /// and lines that reach into it, so that a name is printed once (twice if
    /// a cut runs through it), not on every sheet. Returns the plan.
    /// `range` ({first, count}) puts only those sheets in the page: the
    /// engine's printing slows with the square of the pages it holds, so a
    /// chart of many sheets is printed a batch at a time. The plan is made
    /// once per drawing and paper, while the drawing can still be measured.
    function layOutOnPaper(doc, paperName, range)
    {
        var svg = drawing(doc);
        var content = svg && svg.querySelector('.chart-content');
        if (!content) {
            return null;
        }
        var cut = doc.plotwellPaper;
        if (!cut || cut.svg !== svg || cut.paperName !== paperName) {
            cut = planSheets(svg, content, paperName);
            if (!cut) {
                return null;
            }
            doc.plotwellPaper = cut;
        }
        var plan = cut.plan, pieces = cut.pieces, tiles = cut.tiles;
        var first = range ? Math.max(0, range.first | 0) : 0;
        var end = range ? Math.min(tiles.length, first + Math.max(1, range.count | 0)) : tiles.length;
        var old = doc.querySelector('.paper-sheets');
        if (old) {
            old.parentNode.removeChild(old);
        }
        // The batches before, and what printing them built, are garbage by
        // now: collected every few dozen sheets, ten thousand people print in
        // half the memory they would take if it piled up, and a collection,
        // which walks the whole drawing, costs less than the memory it saves
        // only that often. Only a page run with its collector exposed
        // (`plotwell render`) can ask.
        if (cut.uncollected >= SHEETS_BETWEEN_COLLECTIONS && typeof root.gc === 'function') {
            root.gc();
            cut.uncollected = 0;
        }
        var holder = doc.createElement('div');
        holder.className = 'paper-sheets';
        var backdrop = svg.querySelector('rect.backdrop');
        var chart = content.querySelector('g.chart');
        var m = plan.margin;
        tiles.slice(first, end).forEach(function (t, n) {
            var k = first + n;
            var sheet = doc.createElementNS(SVG_NS, 'svg');
            sheet.setAttribute('class', 'sheet');
            // A pixel short of the paper: rounding must not push a sheet onto a page of its own.
            sheet.setAttribute('width', Math.floor(plan.pageWidth) - 1);
            sheet.setAttribute('height', Math.floor(plan.pageHeight) - 1);
            sheet.setAttribute('font-family', svg.getAttribute('font-family'));
            sheet.setAttribute('font-size', svg.getAttribute('font-size'));
            var label = el(doc, 'text', {'x': m, 'y': m * 0.45, 'font-size': 9, 'fill': '#555555'}, sheet);
            label.textContent = 'Sheet ' + (k + 1) + ' of ' + tiles.length + ': row ' + (t.row + 1) +
                                ' of ' + plan.rows + ', column ' + (t.col + 1) + ' of ' + plan.cols;
            cutMarks(doc, sheet, m, t.width * plan.scale, t.height * plan.scale, plan, t);
            var tile = el(doc, 'svg', {'x': m, 'y': m, 'width': t.width * plan.scale, 'height': t.height * plan.scale,
                                       'viewBox': [t.x, t.y, t.width, t.height].join(' ')}, sheet);
            if (backdrop) {
                el(doc, 'rect', {'x': t.x, 'y': t.y, 'width': t.width, 'height': t.height,
                                 'fill': backdrop.getAttribute('fill')}, tile);
            }
            var c = el(doc, 'g', {'transform': content.getAttribute('transform') || ''}, tile);
            var g = el(doc, 'g', {'transform': chart.getAttribute('transform') || ''}, c);
            var nodes = el(doc, 'g', {'class': 'nodes'}, g);
            var into = {content: c, chart: g, nodes: nodes};
            pieces.forEach(function (p) {
                if (reaches(p, t)) {
                    into[p.where].appendChild(p.e.cloneNode(true));
                }
            });
            // Lines and shadows before the boxes, as in the drawing.
            c.appendChild(g);
            g.appendChild(nodes);
            holder.appendChild(sheet);
        });
        cut.uncollected = (cut.uncollected || 0) + (end - first);
        doc.body.appendChild(holder);
        doc.body.classList.add('on-paper');
        var style = doc.getElementById('page-size');
        if (style) {
            style.textContent = '@page { size: ' + plan.pageWidth + 'px ' + plan.pageHeight +
                                'px; margin: 0; }';
        }
        return Object.assign({}, plan, {first: first, count: end - first});
    }

    // The pieces of the drawing with where they lie, the plan and the tiles
    // that hold anything (a wide tree leaves corners of its rectangle empty).
    function planSheets(svg, content, paperName)
    {
        var origin = svg.getBoundingClientRect();
        var size = {width: origin.width, height: origin.height};
        var chart = content.querySelector('g.chart');
        var pieces = [];
        function add(e, where)
        {
            var r = e.getBoundingClientRect();
            pieces.push({e: e, where: where, x0: r.left - origin.left, y0: r.top - origin.top,
                         x1: r.right - origin.left, y1: r.bottom - origin.top});
        }
        Array.prototype.forEach.call(content.children, function (e) {
            if (e !== chart) {
                add(e, 'content');
            }
        });
        Array.prototype.forEach.call(chart.children, function (e) {
            // A shadow lifts a box off the screen; on paper it is a grey
            // smudge, and its translucency costs more to print than the
            // boxes themselves.
            if (e.classList.contains('node-shadows')) {
                return;
            }
            if (e.classList.contains('nodes')) {
                Array.prototype.forEach.call(e.children, function (n) { add(n, 'nodes'); });
            } else {
                add(e, 'chart');
            }
        });

        var largest = {x: 0, y: 0};
        pieces.forEach(function (p) {
            if (p.where === 'nodes') {
                largest.x = Math.max(largest.x, p.x1 - p.x0 + 8);
                largest.y = Math.max(largest.y, p.y1 - p.y0 + 8);
            }
        });
        // Landscape or portrait, whichever leaves fewer sheets with
        // anything on them: a wide tree leaves many of its rectangle's
        // corners empty, more in one orientation than the other.
        var best = null;
        [true, false].forEach(function (landscape) {
            var plan = paperSheets(size, paperName, largest,
                                   {scale: printScale(svg.getAttribute('font-size')), landscape: landscape});
            if (!plan) {
                return;
            }
            var tiles = occupiedTiles(plan, pieces);
            if (!best || tiles.length < best.tiles.length) {
                plan.sheets = tiles.length;
                best = {svg: svg, paperName: paperName, plan: plan, pieces: pieces, tiles: tiles};
            }
        });
        return best;
    }

    // The tiles any piece reaches: each piece marks the few tiles under it,
    // so that the cost follows the pieces, not pieces times tiles.
    function occupiedTiles(plan, pieces)
    {
        var used = new Set();
        pieces.forEach(function (p) {
            var c0 = Math.max(0, Math.floor((p.x0 - plan.tileWidth) / plan.stepX));
            var c1 = Math.min(plan.cols - 1, Math.floor(p.x1 / plan.stepX));
            var r0 = Math.max(0, Math.floor((p.y0 - plan.tileHeight) / plan.stepY));
            var r1 = Math.min(plan.rows - 1, Math.floor(p.y1 / plan.stepY));
            for (var r = r0; r <= r1; r++) {
                for (var c = c0; c <= c1; c++) {
                    var tile = {x: c * plan.stepX, y: r * plan.stepY, width: plan.tileWidth, height: plan.tileHeight};
                    if (reaches(p, tile)) {
                        used.add(r * plan.cols + c);
                    }
                }
            }
        });
        return sheetTiles(plan).filter(function (t) { return used.has(t.row * plan.cols + t.col); });
    }

    return {
        PAPER: PAPER,
        paperSheets: paperSheets,
        printScale: printScale,
        sheetAreas: sheetAreas,
        sheetTiles: sheetTiles,
        standaloneSvg: standaloneSvg,
        layOutOnPaper: layOutOnPaper
    };
});
