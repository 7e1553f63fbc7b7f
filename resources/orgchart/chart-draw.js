// Draws the chart as SVG. Every text goes in through textContent: a title is
// data, never markup.
(function (root, factory) {
    if (typeof module === 'object' && module.exports) {
        var lib = Object.assign({}, require('./chart-data.js'), require('./chart-layout.js'));
        module.exports = factory(root, function () { return lib; });
    } else {
        var api = factory(root, function () { return root.Orgchart; });
        root.Orgchart = Object.assign(root.Orgchart || {}, api);
    }
})(this, function (root, library) {
    'use strict';

    var SVG_NS = 'http://www.w3.org/2000/svg';
    var FALLBACK_FONTS = '"Optima", "Candara", "Segoe UI", "Liberation Sans", "DejaVu Sans", sans-serif';
    var MAX_UPSCALE = 3;

    function channels(hex)
    {
        var v = parseInt(hex.slice(1), 16);
        return [(v >> 16) & 255, (v >> 8) & 255, v & 255];
    }

    function toHex(rgb)
    {
        return '#' + rgb.map(function (c) {
            var s = Math.round(Math.max(0, Math.min(255, c))).toString(16);
            return s.length < 2 ? '0' + s : s;
        }).join('');
    }

    /// a and b mixed, t = 0 giving a and t = 1 giving b.
    function mix(a, b, t)
    {
        var ca = channels(a), cb = channels(b);
        return toHex(ca.map(function (c, i) { return c + (cb[i] - c) * t; }));
    }

    function luminance(hex)
    {
        var lin = channels(hex).map(function (c) {
            var s = c / 255;
            return s <= 0.03928 ? s / 12.92 : Math.pow((s + 0.055) / 1.055, 2.4);
        });
        return 0.2126 * lin[0] + 0.7152 * lin[1] + 0.0722 * lin[2];
    }

    /// The contrast ratio of two colours, from 1 (same) to 21 (black on white).
    function contrast(a, b)
    {
        var la = luminance(a), lb = luminance(b);
        return (Math.max(la, lb) + 0.05) / (Math.min(la, lb) + 0.05);
    }

    /// The preferred text colour where it reads well on the fill (minRatio),
    /// otherwise near-black or white, whichever reads better.
    function readableText(preferred, fill, minRatio)
    {
        if (contrast(preferred, fill) >= (minRatio || 4.5)) {
            return preferred;
        }
        var dark = '#1b1f24';
        return contrast(dark, fill) >= contrast('#ffffff', fill) ? dark : '#ffffff';
    }

    function fontStack(family)
    {
        return family && family !== 'Optima' ? '"' + family + '", ' + FALLBACK_FONTS : FALLBACK_FONTS;
    }

    function el(doc, name, attrs, parent)
    {
        var e = doc.createElementNS(SVG_NS, name);
        Object.keys(attrs || {}).forEach(function (k) { e.setAttribute(k, attrs[k]); });
        if (parent) {
            parent.appendChild(e);
        }
        return e;
    }

    function round(v)
    {
        return Math.round(v * 100) / 100;
    }

    // Orthogonal points as a path whose corners are slightly rounded.
    function softPath(points, radius)
    {
        var d = 'M' + round(points[0][0]) + ' ' + round(points[0][1]);
        for (var i = 1; i < points.length; i++) {
            var p = points[i];
            var prev = points[i - 1], next = points[i + 1];
            if (!next) {
                d += 'L' + round(p[0]) + ' ' + round(p[1]);
                break;
            }
            var inLen = Math.abs(p[0] - prev[0]) + Math.abs(p[1] - prev[1]);
            var outLen = Math.abs(next[0] - p[0]) + Math.abs(next[1] - p[1]);
            var r = Math.min(radius, inLen / 2, outLen / 2);
            if (r < 0.5) {
                d += 'L' + round(p[0]) + ' ' + round(p[1]);
                continue;
            }
            var a = [p[0] - Math.sign(p[0] - prev[0]) * r, p[1] - Math.sign(p[1] - prev[1]) * r];
            var b = [p[0] + Math.sign(next[0] - p[0]) * r, p[1] + Math.sign(next[1] - p[1]) * r];
            d += 'L' + round(a[0]) + ' ' + round(a[1]) + 'Q' + round(p[0]) + ' ' + round(p[1]) +
                 ' ' + round(b[0]) + ' ' + round(b[1]);
        }
        return d;
    }

    // Widths of text in the chart's font. Words are measured once each and
    // lines summed from them: wrapping asks for many candidate lines, and the
    // engine's measuring is the slow part of sizing the boxes.
    function textMeasurer(doc, font, size)
    {
        var ctx = doc.createElement('canvas').getContext('2d');
        // Names are drawn semi-bold; measuring every line that way keeps
        // each box wide enough whichever weight a line gets.
        ctx.font = '600 ' + size + 'px ' + fontStack(font);
        var cache = new Map();
        var space = ctx.measureText(' ').width;
        function word(w)
        {
            var width = cache.get(w);
            if (width === undefined) {
                width = ctx.measureText(w).width;
                cache.set(w, width);
            }
            return width;
        }
        return function (text) {
            var words = text.split(' ');
            var total = space * (words.length - 1);
            for (var i = 0; i < words.length; i++) {
                total += word(words[i]);
            }
            return total;
        };
    }

    // The smallest text a box shrinks to before it widens instead: below
    // this a name cannot be read on screen or in print.
    var MIN_TEXT_PX = 7;

    /// Box metrics for a font size: padding, line height and the width at
    /// which a line wraps when the box fits its text.
    function boxMetrics(settings)
    {
        var fs = settings.fontSize;
        var fixed = settings.nodeWidth > 0;
        var padX = Math.round(fs * 0.85);
        return {
            padX: padX,
            padY: Math.round(fs * 0.6),
            lineHeight: Math.round(fs * 1.3),
            maxText: fixed ? Math.max(fs, settings.nodeWidth - 2 * padX) : fs * 15,
            minWidth: fixed ? settings.nodeWidth : Math.round(fs * 6),
            minScale: Math.min(1, MIN_TEXT_PX / fs)
        };
    }

    /// Sizes every node for its wrapped title. Lines break only between
    /// words. When the box fits its text, a word wider than the usual line
    /// widens the box; when the box has a set width, its text (with its
    /// padding) shrinks until the widest word fits, and only a word that would
    /// need text smaller than MIN_TEXT_PX widens the box. Sets `lines`,
    /// `textScale`, `w` and `h`.
    function sizeNodes(nodes, settings, measure)
    {
        var O = library();
        var m = boxMetrics(settings);
        var fixed = settings.nodeWidth > 0;
        nodes.forEach(function (n) {
            var title = O.shortenTitle(n.title);
            var scale = 1;
            if (fixed) {
                var word = O.widestWord(title, measure);
                if (word > m.maxText) {
                    scale = Math.max(m.minScale, settings.nodeWidth / (word + 2 * m.padX));
                }
            }
            // Widths below are in the unscaled font; the box draws them at `scale`.
            var room = fixed ? Math.max(m.maxText, (settings.nodeWidth - 2 * m.padX * scale) / scale) : m.maxText;
            n.lines = O.wrapTitle(title, room, measure);
            var widest = 0;
            n.lines.forEach(function (line) { widest = Math.max(widest, measure(line)); });
            // The scale was chosen for the widest word to fill the box exactly:
            // rounding must not make it a pixel too wide.
            var needed = Math.ceil((widest + 2 * m.padX) * scale - 1e-6);
            n.textScale = scale;
            n.w = fixed ? Math.max(settings.nodeWidth, needed) : Math.max(m.minWidth, needed);
            n.h = Math.ceil(n.lines.length * m.lineHeight * scale) + 2 * m.padY;
        });
        return m;
    }

    function cornerRadius(n, settings)
    {
        return Math.min(settings.radius, n.h / 2, n.w / 2);
    }

    // A rounded rectangle as path data.
    function roundedRect(x, y, w, h, r)
    {
        return 'M' + round(x + r) + ' ' + round(y) + 'h' + round(w - 2 * r) +
               (r ? 'a' + r + ' ' + r + ' 0 0 1 ' + r + ' ' + r : '') + 'v' + round(h - 2 * r) +
               (r ? 'a' + r + ' ' + r + ' 0 0 1 ' + -r + ' ' + r : '') + 'h' + round(2 * r - w) +
               (r ? 'a' + r + ' ' + r + ' 0 0 1 ' + -r + ' ' + -r : '') + 'v' + round(2 * r - h) +
               (r ? 'a' + r + ' ' + r + ' 0 0 1 ' + r + ' ' + -r : '') + 'z';
    }

    // Boxes that stand in one row (the bottom children of a parent, or the
    // roots) take the height of the tallest, so that the row reads as one.
    function evenRows(forest)
    {
        function even(row)
        {
            var tallest = 0;
            row.forEach(function (n) { tallest = Math.max(tallest, n.h); });
            row.forEach(function (n) { n.h = tallest; });
        }
        even(forest.roots);
        forest.nodes.forEach(function (n) {
            even(n.children.filter(function (c) { return c.side === 'bottom'; }));
        });
    }

    function drawNode(doc, parent, n, settings, m)
    {
        var fill = settings.multicolour && n.colour ? n.colour : settings.itemColour;
        var radius = cornerRadius(n, settings);
        var g = el(doc, 'g', {
            'class': 'node',
            'data-row': n.row,
            'transform': 'translate(' + round(n.x) + ',' + round(n.y) + ')'
        }, parent);
        el(doc, 'rect', {
            'class': 'node-box', 'width': n.w, 'height': n.h, 'rx': radius, 'ry': radius,
            'fill': fill, 'stroke': mix(fill, settings.lineColour, 0.45)
        }, g);
        var text = el(doc, 'text', {
            'class': 'node-text',
            'x': round(n.w / 2),
            'fill': readableText(settings.labelColour, fill, 4.5)
        }, g);
        var scale = n.textScale || 1;
        if (scale < 1) {
            text.setAttribute('font-size', round(settings.fontSize * scale));
        }
        var lineHeight = m.lineHeight * scale;
        var role = false;
        var first = (n.h - n.lines.length * lineHeight) / 2 + lineHeight * 0.72;
        n.lines.forEach(function (line, i) {
            var span = el(doc, 'tspan', {'x': round(n.w / 2), 'y': round(first + i * lineHeight)}, text);
            span.textContent = line;
            if (line.charAt(0) === '(') {
                role = true;
            }
            span.setAttribute('class', role ? 'node-role' : 'node-name');
        });
        var tip = el(doc, 'title', {}, g);
        tip.textContent = n.loopParent ? n.title + ' (its parent, row ' + n.loopParent +
                                             ', leads back to it)' : n.title;
        return g;
    }

    // The drawing at the chart's own size, one CSS pixel per chart unit.
    function showNaturalSize(svg, size)
    {
        svg.setAttribute('width', size.width);
        svg.setAttribute('height', size.height);
        svg.setAttribute('viewBox', '0 0 ' + size.width + ' ' + size.height);
        return {width: size.width, height: size.height};
    }

    // An export page: the program names a box (screenWidth x screenHeight),
    // which the drawing takes, with the whole chart scaled evenly into it and
    // centred. The window it is pictured in may be larger (the small exports
    // add 20 pixels each way): the page's style centres the box in it, so
    // the margin is the same on opposite sides, and all round whenever the
    // box has the chart's proportions, while a print is the box alone.
    function fitToScreen(svg, size, screen)
    {
        var scale = Math.min(screen.width / size.width, screen.height / size.height, MAX_UPSCALE);
        var vw = screen.width / scale, vh = screen.height / scale;
        svg.setAttribute('width', screen.width);
        svg.setAttribute('height', screen.height);
        svg.setAttribute('viewBox', [round(-(vw - size.width) / 2), round(-(vh - size.height) / 2),
                                     round(vw), round(vh)].join(' '));
        return {width: screen.width, height: screen.height};
    }

    function coverViewBox(backdrop, svg)
    {
        var vb = svg.getAttribute('viewBox').split(' ');
        ['x', 'y', 'width', 'height'].forEach(function (k, i) { backdrop.setAttribute(k, vb[i]); });
    }

    function setPageSize(doc, size)
    {
        var style = doc.getElementById('page-size');
        if (!style) {
            style = doc.createElement('style');
            style.id = 'page-size';
            doc.head.appendChild(style);
        }
        style.textContent = '@page { size: ' + Math.ceil(size.width) + 'px ' +
                            Math.ceil(size.height) + 'px; margin: 0; }';
    }

    function drawEmpty(doc, svgRoot, settings)
    {
        var w = 440, h = 190, mg = settings.margin;
        var muted = mix(readableText(settings.labelColour, settings.backColour, 3), settings.backColour, 0.35);
        var g = el(doc, 'g', {'class': 'empty-state', 'transform': 'translate(' + mg + ',' + mg + ')'}, svgRoot);
        el(doc, 'rect', {
            'class': 'empty-frame', 'x': 0.5, 'y': 0.5, 'width': w - 1, 'height': h - 1, 'rx': 10,
            'stroke': mix(muted, settings.backColour, 0.5)
        }, g);
        var icon = el(doc, 'g', {'transform': 'translate(' + (w / 2 - 30) + ',30)', 'stroke': muted, 'fill': 'none'}, g);
        el(doc, 'rect', {'x': 20, 'y': 0, 'width': 20, 'height': 12, 'rx': 3}, icon);
        el(doc, 'rect', {'x': 0, 'y': 30, 'width': 20, 'height': 12, 'rx': 3}, icon);
        el(doc, 'rect', {'x': 40, 'y': 30, 'width': 20, 'height': 12, 'rx': 3}, icon);
        el(doc, 'path', {'d': 'M30 12V21M10 30V21H50V30'}, icon);
        var heading = el(doc, 'text', {
            'class': 'empty-heading', 'x': w / 2, 'y': 112, 'fill': muted,
            'font-size': Math.round(settings.fontSize * 1.25)
        }, g);
        heading.textContent = 'Nothing to draw yet';
        var hint = el(doc, 'text', {
            'class': 'empty-hint', 'x': w / 2, 'y': 142, 'fill': muted,
            'font-size': Math.round(settings.fontSize * 0.95)
        }, g);
        hint.textContent = 'Give row 1 a title, choose parents, then render.';
        return {width: w + 2 * mg, height: h + 2 * mg};
    }

    // The program sizes its export viewer from the document's scroll size,
    // which it reads from the viewer on screen. That viewer shows the chart
    // zoomed and scrolled inside a view of its own size, so its document
    // answers the whole chart at the chart's own size instead: the export
    // then gets exactly the chart and its margin, with nothing to pad.
    function answerChartSize(doc, size)
    {
        var e = doc.documentElement;
        if (!size) {
            delete e.scrollWidth;
            delete e.scrollHeight;
            return;
        }
        Object.defineProperty(e, 'scrollWidth', {configurable: true, get: function () { return size.width; }});
        Object.defineProperty(e, 'scrollHeight', {configurable: true, get: function () { return size.height; }});
    }

    /// Takes away what an earlier renderPage() drew in this document, so that
    /// the page shows the engine's surround again.
    function clearPage(doc)
    {
        ['svg.orgchart', '.chart-viewer', '.view-controls', '.search-box'].forEach(function (sel) {
            var old = doc.querySelector(sel);
            if (old) {
                old.parentNode.removeChild(old);
            }
        });
        if (root.Orgchart && root.Orgchart.stopViewer) {
            root.Orgchart.stopViewer();
        }
        doc.documentElement.style.background = '';
        doc.body.style.background = '';
        answerChartSize(doc, null);
    }

    /// Draws the chart that a page query describes into the document's body:
    /// fitted into the named box for an export, in the interactive viewer when
    /// the page has one, or else at its own size. Returns what was drawn, for
    /// the engine checks and the benchmarks. Rows are numbered as far as the
    /// data goes (a staff list has more people than the grid has rows).
    /// `options.data` is a data string that the program hands over by script
    /// instead of the address; `options.still` draws at the chart's own size
    /// without the interactive viewer, for a file; `options.screen` names the
    /// box of an export.
    function renderPage(search, doc, options)
    {
        var started = root.performance ? root.performance.now() : Date.now();
        var O = library();
        var opts = options || {};
        var settings = O.readSettings(O.parseQuery(search));
        if (opts.screen) {
            settings.screen = opts.screen;
        }
        var rows = O.parseData(opts.data !== undefined ? O.decodeValue(String(opts.data)) : settings.data);
        var forest = O.buildForest(rows, {maxRow: Math.max(O.MAX_ROW, opts.maxRow || 0, O.highestRow(rows))});

        clearPage(doc);
        doc.documentElement.style.background = settings.backColour;
        doc.body.style.background = settings.backColour;

        var svg = el(doc, 'svg', {
            'class': 'orgchart',
            'font-family': fontStack(settings.font),
            'font-size': settings.fontSize,
            'role': 'img'
        });
        var backdrop = el(doc, 'rect', {'class': 'backdrop', 'fill': settings.backColour}, svg);
        var interactive = !settings.screen && !opts.still && typeof O.startViewer === 'function';
        // Drawn where it is shown: nothing is moved once drawn.
        (interactive ? O.viewerLayer(doc) : doc.body).appendChild(svg);
        if (interactive && opts.data !== undefined) {
            // Kept with this page's step of the history: going back to it later loads the
            // page without the data, which nobody hands over a second time.
            try {
                root.history.replaceState({data: String(opts.data)}, '');
            } catch (e) {
                // Too large to keep: that step shows the page empty.
            }
        }
        // The page takes the drawing's size (and the viewer its zoom) before
        // the boxes are drawn, so that they are laid out once, as shown.
        var shown, redraw = null;
        function show(size)
        {
            shown = settings.screen ? fitToScreen(svg, size, settings.screen) : showNaturalSize(svg, size);
            coverViewBox(backdrop, svg);
            setPageSize(doc, shown);
            if (interactive) {
                answerChartSize(doc, shown);
                O.startViewer(doc, svg, {forest: forest, size: size, settings: settings, redraw: redraw});
            }
        }
        doc.body.classList.toggle('export-page', !!settings.screen);
        if (!forest.nodes.length) {
            show(drawEmpty(doc, svg, settings));
        } else {
            var measure = textMeasurer(doc, settings.font, settings.fontSize);
            var m = sizeNodes(forest.nodes, settings, measure);
            evenRows(forest);
            var compact = opts.compact !== undefined ? !!opts.compact : forest.nodes.length > O.MAX_ROW;
            redraw = function (folded) {
                return drawChart(doc, svg, folded, settings, m, measure, {
                    toggles: true,
                    compact: compact,
                    sized: function (size) {
                        showNaturalSize(svg, size);
                        coverViewBox(backdrop, svg);
                    }
                });
            };
            drawChart(doc, svg, forest, settings, m, measure,
                      {toggles: interactive, compact: compact, paper: opts.paper, sized: show});
        }
        // What the program's two size scripts will read, kept for checking.
        svg.setAttribute('data-scroll-size', doc.documentElement.scrollWidth + 'x' +
                                                 doc.documentElement.scrollHeight);
        var ms = (root.performance ? root.performance.now() : Date.now()) - started;
        svg.setAttribute('data-render-ms', ms.toFixed(2));
        return {nodes: forest.nodes.length, width: shown.width, height: shown.height, ms: ms};
    }

    // The fold button of a manager's box: its radius, its label and its pill
    // (wider when folded, to hold the count), the pill's left edge and width
    // from the middle of the box's bottom edge.
    function foldToggleShape(n, settings)
    {
        var r = Math.max(7, Math.round(settings.fontSize * 0.5));
        var label = n.folded ? '+' + n.hiddenCount : '';
        var half = n.folded ? Math.max(r, label.length * r * 0.42 + r * 0.5) : r;
        return {r: r, label: label, x: round(-half), width: round(2 * half)};
    }

    function hasFoldToggle(n, options)
    {
        return options.toggles && (n.folded || n.children.length);
    }

    // A small round button on the bottom edge of a manager's box that folds
    // or unfolds the branch below; folded, it says how many people it hides.
    function drawFoldToggle(doc, g, n, settings)
    {
        var shape = foldToggleShape(n, settings);
        var r = shape.r;
        var t = el(doc, 'g', {
            'class': 'fold-toggle',
            'data-row': n.row,
            'transform': 'translate(' + round(n.w / 2) + ',' + round(n.h) + ')'
        }, g);
        t.setAttribute('role', 'button');
        // Folded, the button is filled, so that a hidden branch is seen at a glance.
        var fill = n.folded ? settings.lineColour : settings.backColour;
        el(doc, 'rect', {
            'x': shape.x, 'y': -r, 'width': shape.width, 'height': 2 * r, 'rx': r, 'ry': r,
            'fill': fill, 'stroke': settings.lineColour
        }, t);
        if (n.folded) {
            var text = el(doc, 'text', {
                'y': round(r * 0.42), 'font-size': round(r * 1.25), 'fill': readableText('#ffffff', fill, 3)
            }, t);
            text.textContent = shape.label;
        } else {
            el(doc, 'path', {'d': 'M' + round(-r * 0.5) + ' 0H' + round(r * 0.5), 'stroke': settings.lineColour}, t);
        }
        var tip = el(doc, 'title', {}, t);
        tip.textContent = n.folded ? 'Unfold (' + n.hiddenCount + ' hidden)' : 'Fold this branch';
    }

    // The shadows of the boxes fall this far below them.
    var SHADOW_DROP = 1.5;

    // What the boxes, their shadows, the fold buttons and the lines cover, in
    // the layout's coordinates. None of it needs the engine (a box's text
    // stays inside its box), so it is known before anything is drawn.
    function chartExtents(nodes, connectors, settings, options)
    {
        var e = {left: Infinity, top: Infinity, right: -Infinity, bottom: -Infinity};
        function cover(left, top, right, bottom)
        {
            e.left = Math.min(e.left, left);
            e.top = Math.min(e.top, top);
            e.right = Math.max(e.right, right);
            e.bottom = Math.max(e.bottom, bottom);
        }
        nodes.forEach(function (n) {
            var x = round(n.x), y = round(n.y);
            cover(x, y, x + n.w, y + n.h + SHADOW_DROP);
            if (hasFoldToggle(n, options)) {
                var t = foldToggleShape(n, settings);
                var left = x + round(n.w / 2) + t.x, bottom = y + round(n.h);
                cover(left, bottom - t.r, left + t.width, bottom + t.r);
            }
        });
        connectors.forEach(function (c) {
            c.points.forEach(function (p) { cover(round(p[0]), round(p[1]), round(p[0]), round(p[1])); });
        });
        return e;
    }

    // Draws the title and the boxes of a (possibly folded) forest that is
    // already sized (by `measure`, which measures the title too), replacing
    // what an earlier call drew. Returns the size of the drawing and where
    // the layout's origin stands in it. `options.sized` hears that size
    // before the boxes are drawn: the page takes its final size and zoom
    // then, and the engine lays the boxes out once, as they are shown.
    function drawChart(doc, svg, forest, settings, m, measure, options)
    {
        var O = library();
        var old = svg.querySelector('.chart-content');
        if (old) {
            svg.removeChild(old);
        }
        var content = el(doc, 'g', {'class': 'chart-content'}, svg);
        // In the grid the user places every box; a staff list places none, so
        // its wide teams may be stacked.
        var spacing = O.defaultSpacing(settings.fontSize);
        // A chart this large is printed on sheets: the paper the user chose, else A3.
        var paper = options.paper || 'a3';
        var layout = options.compact ? O.compactLayout(forest.roots, spacing,
                                                       O.sheetAreas && O.sheetAreas(paper, settings.fontSize))
                                     : O.layoutForest(forest.roots, spacing);
        var mg = settings.margin;
        var top = mg;
        var width = layout.width;
        var titleBox; // none without a title

        if (settings.title) {
            var titleSize = Math.round(settings.fontSize * 1.5);
            // A chart title of thousands of characters would make the picture wider than
            // the engine can paint: it is shortened as box titles are, whole in a tooltip.
            var shownTitle = O.shortenTitle(settings.title);
            var titleHolder = content;
            if (shownTitle !== settings.title) {
                titleHolder = el(doc, 'g', {'class': 'chart-title-tip'}, content);
                el(doc, 'title', {}, titleHolder).textContent = settings.title;
            }
            var title = el(doc, 'text', {
                'class': 'chart-title',
                'y': round(mg + titleSize),
                'font-size': titleSize,
                'fill': readableText(settings.labelColour, settings.backColour, 3)
            }, titleHolder);
            title.textContent = shownTitle;
            // Measured in the boxes' font and scaled: measuring at a second size
            // cost a cold engine as much again as the first, and the margins are
            // evened on what is drawn in any case.
            var titleWidth = measure(shownTitle) * titleSize / settings.fontSize * 1.05;
            width = Math.max(width, titleWidth);
            title.setAttribute('x', round(mg + width / 2));
            top += Math.round(titleSize * 2.2);
            // Its line box is the font's to say: laid out now, alone, it costs little.
            titleBox = title.isConnected && title.getBBox ? title.getBBox() : null;
        }

        var origin = {x: round(mg + (width - layout.width) / 2), y: top};
        var chart = el(doc, 'g', {
            'class': 'chart',
            'transform': 'translate(' + origin.x + ',' + origin.y + ')'
        }, content);
        var size = evenMargins(content, drawnBox(titleBox, origin,
                                                 chartExtents(forest.nodes, layout.connectors, settings, options)),
                               {width: width + 2 * mg, height: top + layout.height + mg, origin: origin}, mg);
        if (options.sized) {
            options.sized(size);
        }
        var radius = Math.min(8, settings.fontSize * 0.5);
        var ends = function (c) { return [c.points[0][0], c.points[c.points.length - 1][0]]; };
        pathsInStrips(doc, chart, {'class': 'connectors', 'stroke': settings.lineColour, 'fill': 'none'},
                      layout.connectors, function (c) { return Math.min.apply(null, ends(c)); },
                      function (c) { return Math.max.apply(null, ends(c)); },
                      function (c) { return softPath(c.points, radius); });
        pathsInStrips(doc, chart, {'class': 'node-shadows'}, forest.nodes, function (n) { return n.x; },
                      function (n) { return n.x + n.w; },
                      function (n) {
                          return roundedRect(n.x, n.y + SHADOW_DROP, n.w, n.h, cornerRadius(n, settings));
                      });
        var boxes = el(doc, 'g', {'class': 'nodes'}, chart);
        forest.nodes.forEach(function (n) {
            var g = drawNode(doc, boxes, n, settings, m);
            if (hasFoldToggle(n, options)) {
                drawFoldToggle(doc, g, n, settings);
            }
        });
        return size;
    }

    /// The box of the whole drawing: the title's as the engine measured it
    /// with the chart's extents beside it, moved to where the layout's origin
    /// stands. Nothing when the title could not be measured (no engine).
    function drawnBox(titleBox, origin, extents)
    {
        if (titleBox === null) {
            return null;
        }
        var left = origin.x + extents.left, top = origin.y + extents.top;
        var right = origin.x + extents.right, bottom = origin.y + extents.bottom;
        if (titleBox) {
            left = Math.min(left, titleBox.x);
            top = Math.min(top, titleBox.y);
            right = Math.max(right, titleBox.x + titleBox.width);
            bottom = Math.max(bottom, titleBox.y + titleBox.height);
        }
        return {x: left, y: top, width: right - left, height: bottom - top};
    }

    // Connectors and shadows are drawn as a few paths, each for a vertical
    // strip of the chart: hundreds of elements fewer for the engine to style
    // than one each, yet a tile of the screen being painted skips the strips
    // it does not touch, which one path for the whole chart would not let it.
    // A strip stays narrow: one long line (a manager's to a far report) in a
    // strip of short ones would stretch it over the chart, and each sheet of
    // paper the strip reaches would carry all of it.
    var STRIP_ITEMS = 40;
    var STRIP_WIDTH = 1000;

    function pathsInStrips(doc, parent, attrs, items, left, right, toPath)
    {
        var sorted = items.slice().sort(function (a, b) { return left(a) - left(b); });
        var strip = [], from = 0, to = 0;
        function flush()
        {
            if (strip.length) {
                el(doc, 'path', attrs, parent).setAttribute('d', strip.map(toPath).join(''));
            }
            strip = [];
        }
        sorted.forEach(function (item) {
            var l = left(item), r = right(item);
            if (strip.length && (strip.length >= STRIP_ITEMS || Math.max(to, r) - Math.min(from, l) > STRIP_WIDTH)) {
                flush();
            }
            if (!strip.length) {
                from = l;
                to = r;
            }
            strip.push(item);
            from = Math.min(from, l);
            to = Math.max(to, r);
        });
        flush();
    }

    // The layout's arithmetic puts the drawing's true edges slightly off its
    // nominal size (the title's line box, the boxes' shadows), so the margin
    // is measured on what is drawn (`box`): the same on every side. Sizes are
    // whole pixels, so that what the page reports is the drawing's own size.
    function evenMargins(content, box, size, margin)
    {
        if (!box || !(box.width > 0 && box.height > 0)) {
            return {width: Math.ceil(size.width), height: Math.ceil(size.height), origin: size.origin};
        }
        var width = Math.ceil(box.width + 2 * margin), height = Math.ceil(box.height + 2 * margin);
        var dx = round((width - box.width) / 2 - box.x), dy = round((height - box.height) / 2 - box.y);
        content.setAttribute('transform', 'translate(' + dx + ',' + dy + ')');
        return {width: width, height: height, origin: {x: size.origin.x + dx, y: size.origin.y + dy}};
    }

    return {
        contrast: contrast,
        readableText: readableText,
        mix: mix,
        softPath: softPath,
        roundedRect: roundedRect,
        boxMetrics: boxMetrics,
        sizeNodes: sizeNodes,
        clearPage: clearPage,
        renderPage: renderPage
    };
});
