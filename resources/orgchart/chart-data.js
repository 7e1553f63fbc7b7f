// Reads what the program puts in the page's query: the settings and the data
// string that describes the grid, and turns the rows into a forest of nodes.
// Pure functions only, so that node can test them without a browser.
(function (root, factory) {
    var api = factory();
    if (typeof module === 'object' && module.exports) {
        module.exports = api;
    } else {
        root.Orgchart = Object.assign(root.Orgchart || {}, api);
    }
})(this, function () {
    'use strict';

    var KNOWN_KEYS = [
        'data', 'ctype', 'xaxis', 'yaxis', 'ctitle', 'labelcolor', 'backcolor', 'itemcolor',
        'linecolor', 'screenWidth', 'screenHeight', 'font', 'fsize', 'nsize', 'rsize', 'mcstate',
        'margin'
    ];

    // The program cannot send these characters inside a value, so it writes
    // them as tokens; "~u" + hexadecimal + "~" stands for any one character.
    var TOKENS = {
        amp: '&', eq: '=', lbra: '[', rbra: ']', pipe: '|', pct: '%', plus: '+', tilde: '~'
    };
    var TOKEN = /~(amp|eq|lbra|rbra|pipe|pct|plus|tilde|u[0-9A-Fa-f]{1,6})~/g;

    var MAX_ROW = 93;

    // One pass from the left, so that a decoded "~" never starts another token.
    function decodeTokens(text)
    {
        return text.replace(TOKEN, function (whole, name) {
            if (name.charAt(0) !== 'u') {
                return TOKENS[name];
            }
            var code = parseInt(name.slice(1), 16);
            return code <= 0x10FFFF ? String.fromCodePoint(code) : whole;
        });
    }

    function decodeValue(raw)
    {
        var text = raw.replace(/\+/g, ' ');
        try {
            text = decodeURIComponent(text);
        } catch (e) {
            // A stray "%" that does not start an escape: keep the text as sent.
        }
        return decodeTokens(text);
    }

    /// Splits a query ("?data=...&ctitle=...") into its known keys. A piece
    /// that does not start with a known key belongs to the value before it:
    /// the chart title travels without tokens, so "R&D" arrives as two pieces.
    function parseQuery(search)
    {
        var text = String(search || '');
        if (text.charAt(0) === '?') {
            text = text.slice(1);
        }
        var raw = {};
        var current = null;
        var pieces = text.length ? text.split('&') : [];
        for (var i = 0; i < pieces.length; i++) {
            var piece = pieces[i];
            var eq = piece.indexOf('=');
            var key = eq < 0 ? null : piece.slice(0, eq);
            if (key !== null && KNOWN_KEYS.indexOf(key) >= 0) {
                current = key;
                raw[key] = piece.slice(eq + 1);
            } else if (current !== null) {
                raw[current] += '&' + piece;
            }
        }
        var query = {};
        Object.keys(raw).forEach(function (k) { query[k] = decodeValue(raw[k]); });
        return query;
    }

    /// "#1a2B3c", "1a2B3c" or "abc" become "#1a2b3c"; anything else null.
    function parseColour(text)
    {
        var t = String(text || '').trim().replace(/^#/, '');
        if (/^[0-9a-f]{3}$/i.test(t)) {
            t = t.charAt(0) + t.charAt(0) + t.charAt(1) + t.charAt(1) + t.charAt(2) + t.charAt(2);
        }
        return /^[0-9a-f]{6}$/i.test(t) ? '#' + t.toLowerCase() : null;
    }

    function parseNumber(text, fallback, min, max)
    {
        var n = parseFloat(String(text === undefined ? '' : text).trim());
        if (!isFinite(n)) {
            return fallback;
        }
        return Math.min(max, Math.max(min, n));
    }

    /// The chart-wide settings, with the program's start values wherever a
    /// value is missing or unreadable.
    function readSettings(query)
    {
        var q = query || {};
        var sw = parseNumber(q.screenWidth, 0, 0, 100000);
        var sh = parseNumber(q.screenHeight, 0, 0, 100000);
        var font = String(q.font || '').replace(/["'\\;{}<>]/g, '').trim();
        return {
            data: q.data || '',
            chartType: q.ctype || '',
            title: (q.ctitle || '').trim(),
            labelColour: parseColour(q.labelcolor) || '#104e8b',
            backColour: parseColour(q.backcolor) || '#ffffff',
            itemColour: parseColour(q.itemcolor) || '#ffffff',
            lineColour: parseColour(q.linecolor) || '#3388dd',
            font: font || 'Optima',
            fontSize: parseNumber(q.fsize, 14, 6, 96),
            nodeWidth: parseNumber(q.nsize, 0, 0, 2000),
            radius: parseNumber(q.rsize, 3, 0, 200),
            multicolour: String(q.mcstate === undefined ? '1' : q.mcstate).trim() !== '0',
            margin: parseNumber(q.margin, 5, 0, 1000),
            screen: sw > 0 && sh > 0 ? {width: sw, height: sh} : null
        };
    }

    // A row block reads from the right, so that a "_" in the title stays in
    // the title: title_parent_position_colour_row. Row 1's block carries an
    // empty field before its row number.
    function parseBlock(text)
    {
        var parts = text.split('_');
        if (parts.length < 5 || !/^\d+$/.test(parts[parts.length - 1])) {
            return null;
        }
        var row = parseInt(parts[parts.length - 1], 10);
        var i = parts.length - 2;
        if (row === 1 && parts.length >= 6 && parts[i] === '') {
            i--;
        }
        return {
            row: row,
            title: parts.slice(0, i - 2).join('_'),
            parent: parts[i - 2],
            position: parts[i - 1],
            colour: parts[i]
        };
    }

    /// The rows of a decoded data string, in the order they appear. A "*"
    /// inside a title splits a block early; such a piece does not end in a row
    /// number and is joined to the piece after it.
    function parseData(data)
    {
        var rows = [];
        if (!data) {
            return rows;
        }
        var blocks = String(data).split('*');
        var pending = null;
        for (var i = 0; i < blocks.length; i++) {
            var text = pending === null ? blocks[i] : pending + '*' + blocks[i];
            var row = parseBlock(text);
            if (row) {
                rows.push(row);
                pending = null;
            } else {
                pending = text;
            }
        }
        return rows;
    }

    function sideOf(position)
    {
        if (position === 'NOT NULL') {
            return 'left';
        }
        if (position === 'NULL') {
            return 'right';
        }
        return 'bottom';
    }

    /// Rows with a title become nodes. A node whose parent field does not name
    /// another titled row in 1..maxRow is a root; of every loop of parents the
    /// lowest row is cut loose and becomes a root, remembering the parent it
    /// lost in `loopParent`.
    function buildForest(rows, options)
    {
        var maxRow = (options && options.maxRow) || MAX_ROW;
        var nodes = [];
        var byRow = new Map();
        rows.forEach(function (r) {
            if (!r.title || !r.title.trim() || byRow.has(r.row)) {
                return;
            }
            var node = {
                row: r.row,
                title: r.title.trim(),
                position: r.position,
                side: sideOf(r.position),
                colour: parseColour(r.colour),
                parentField: String(r.parent || '').trim(),
                parent: null,
                children: []
            };
            nodes.push(node);
            byRow.set(r.row, node);
        });
        nodes.sort(function (a, b) { return a.row - b.row; });

        nodes.forEach(function (node) {
            var p = node.parentField;
            if (!/^\d+$/.test(p)) {
                return;
            }
            var pr = parseInt(p, 10);
            if (pr < 1 || pr > maxRow || pr === node.row || !byRow.has(pr)) {
                return;
            }
            node.parent = byRow.get(pr);
        });

        breakLoops(nodes);

        var roots = [];
        nodes.forEach(function (n) {
            if (n.parent) {
                n.parent.children.push(n);
            } else {
                roots.push(n);
            }
        });
        return {roots: roots, nodes: nodes, byRow: byRow};
    }

    function breakLoops(nodes)
    {
        var state = new Map(); // 1 on the current walk, 2 settled
        nodes.forEach(function (start) {
            var path = [];
            var cur = start;
            while (cur && !state.has(cur)) {
                state.set(cur, 1);
                path.push(cur);
                cur = cur.parent;
            }
            if (cur && state.get(cur) === 1) {
                var loop = path.slice(path.indexOf(cur));
                var cut = loop.reduce(function (a, b) { return b.row < a.row ? b : a; });
                cut.loopParent = cut.parent.row;
                cut.parent = null;
            }
            path.forEach(function (n) { state.set(n, 2); });
        });
    }

    return {
        KNOWN_KEYS: KNOWN_KEYS,
        MAX_ROW: MAX_ROW,
        decodeValue: decodeValue,
        parseQuery: parseQuery,
        parseColour: parseColour,
        readSettings: readSettings,
        parseData: parseData,
        buildForest: buildForest
    };
});
