// Places the boxes of an org chart: a tidy tree in which every subtree is
// pushed against its left neighbour as far as their outlines (contours)
// allow, parents sit centred over their bottom children, and assistant nodes
// stand in lanes left and right of the parent's vertical connector.
// Pure functions only, so that node can test and time them.
(function (root, factory) {
    var api = factory();
    if (typeof module === 'object' && module.exports) {
        module.exports = api;
    } else {
        root.Orgchart = Object.assign(root.Orgchart || {}, api);
    }
})(this, function () {
    'use strict';

    // Titles are free text: a pasted paragraph or a run of letters with no
    // space must not make a box thousands of pixels wide. Names and roles stay
    // far below both limits.
    var MAX_TITLE_CHARS = 240;
    var MAX_WORD_CHARS = 48;
    var ELLIPSIS = '\u2026';

    // Cuts text to at most `max` UTF-16 units without halving a surrogate pair.
    function cutAt(text, max)
    {
        var cut = max;
        var code = text.charCodeAt(cut - 1);
        if (code >= 0xd800 && code <= 0xdbff) {
            cut--;
        }
        return text.slice(0, cut);
    }

    /// The title as a box shows it: over-long titles end at a word with an
    /// ellipsis, and an over-long word is cut with one. The box's tooltip keeps
    /// the full title.
    function shortenTitle(title)
    {
        var text = String(title);
        if (text.length > MAX_TITLE_CHARS) {
            var head = cutAt(text, MAX_TITLE_CHARS);
            var space = head.search(/\s\S*$/);
            text = (space > MAX_TITLE_CHARS * 0.6 ? head.slice(0, space) : head).replace(/\s+$/, '') + ELLIPSIS;
        }
        return text.replace(/\S+/g, function (word) {
            return word.length > MAX_WORD_CHARS ? cutAt(word, MAX_WORD_CHARS - 1) + ELLIPSIS : word;
        });
    }

    /// The words of a title, each with the "(" that starts a new line kept on
    /// the word it belongs to.
    function titleSegments(title)
    {
        return String(title).split(/(?=\()/).map(function (segment) {
            return segment.trim().split(/\s+/).filter(Boolean);
        }).filter(function (words) { return words.length; });
    }

    /// The width of the widest single word: no line of the box can be
    /// narrower.
    function widestWord(title, measure)
    {
        var widest = 0;
        titleSegments(title).forEach(function (words) {
            words.forEach(function (w) { widest = Math.max(widest, measure(w)); });
        });
        return widest;
    }

    /// Breaks a title into the lines of its box: "(" starts a new line, and a
    /// line wider than maxWidth wraps between words. Words are never split: a
    /// word wider than maxWidth stands on a line of its own, and the box
    /// grows or shrinks its text to hold it (see sizeNodes).
    function wrapTitle(title, maxWidth, measure)
    {
        var lines = [];
        titleSegments(title).forEach(function (words) {
            var line = '';
            words.forEach(function (word) {
                var candidate = line ? line + ' ' + word : word;
                if (!line || measure(candidate) <= maxWidth) {
                    line = candidate;
                } else {
                    lines.push(line);
                    line = word;
                }
            });
            lines.push(line);
        });
        return lines;
    }

    // A contour is the outline of a subtree: for each band of y, the leftmost
    // and rightmost x any of its boxes (or connectors) takes. Bands are stored
    // bottom first, so that putting a parent on top of a subtree is a push, and
    // x values are relative to `off`, so that moving a subtree is one addition.
    // Merging two contours only touches the bands where both exist, which
    // keeps the whole layout near linear, as in Reingold and Tilford's tidy
    // trees.
    function Contour(y0, y1, l, r)
    {
        this.y0 = [y0];
        this.y1 = [y1];
        this.l = [l];
        this.r = [r];
        this.off = 0;
        this.minL = l; // the widest extent over all bands, relative to off
        this.maxR = r;
    }

    Contour.prototype.bottom = function () { return this.y1[0]; };

    Contour.prototype.extremes = function () {
        return {left: this.minL + this.off, right: this.maxR + this.off};
    };

    /// How far `right` must move so that nowhere does it reach into `left`:
    /// the largest overlap of left's right edge over right's left edge, over
    /// the bands where both exist. -Infinity when they share no band.
    function separation(left, right)
    {
        var i = left.y0.length - 1, j = right.y0.length - 1;
        var need = -Infinity;
        while (i >= 0 && j >= 0) {
            if (left.y1[i] <= right.y0[j]) {
                i--;
            } else if (right.y1[j] <= left.y0[i]) {
                j--;
            } else {
                need = Math.max(need, left.r[i] + left.off - (right.l[j] + right.off));
                if (left.y1[i] < right.y1[j]) {
                    i--;
                } else {
                    j--;
                }
            }
        }
        return need;
    }

    /// The outline of both contours together. Reuses the one that reaches
    /// lower and rebuilds only its bands above the other's bottom.
    function union(a, b)
    {
        var base = a, other = b;
        if (b.bottom() > a.bottom()) {
            base = b;
            other = a;
        }
        var cut = other.bottom();
        base.minL = Math.min(base.minL, other.minL + other.off - base.off);
        base.maxR = Math.max(base.maxR, other.maxR + other.off - base.off);
        var shift = other.off - base.off;
        if (base.y0[base.y0.length - 1] >= cut) {
            // The usual case: the other lies wholly above, so it goes on top.
            for (var n = 0; n < other.y0.length; n++) {
                base.y0.push(other.y0[n]);
                base.y1.push(other.y1[n]);
                base.l.push(other.l[n] + shift);
                base.r.push(other.r[n] + shift);
            }
            return base;
        }
        var top = []; // base's bands above cut, top first, absolute x
        while (base.y0.length && base.y0[base.y0.length - 1] < cut) {
            var y0 = base.y0.pop(), y1 = base.y1.pop();
            var l = base.l.pop() + base.off, r = base.r.pop() + base.off;
            if (y1 > cut) {
                base.y0.push(cut);
                base.y1.push(y1);
                base.l.push(l - base.off);
                base.r.push(r - base.off);
                y1 = cut;
            }
            top.push([y0, y1, l, r]);
        }
        var theirs = [];
        for (var k = other.y0.length - 1; k >= 0; k--) {
            theirs.push([other.y0[k], other.y1[k], other.l[k] + other.off, other.r[k] + other.off]);
        }
        var merged = mergeBands(top, theirs);
        for (var m = merged.length - 1; m >= 0; m--) {
            base.y0.push(merged[m][0]);
            base.y1.push(merged[m][1]);
            base.l.push(merged[m][2] - base.off);
            base.r.push(merged[m][3] - base.off);
        }
        return base;
    }

    // Two lists of disjoint bands, each top first, into one list of disjoint
    // bands, top first; where both cover a y the wider extent wins.
    function mergeBands(a, b)
    {
        var edges = [];
        a.concat(b).forEach(function (s) { edges.push(s[0], s[1]); });
        edges.sort(function (p, q) { return p - q; });
        var out = [];
        var i = 0, j = 0;
        for (var e = 0; e + 1 < edges.length; e++) {
            var y0 = edges[e], y1 = edges[e + 1];
            if (y1 <= y0) {
                continue;
            }
            while (i < a.length && a[i][1] <= y0) {
                i++;
            }
            while (j < b.length && b[j][1] <= y0) {
                j++;
            }
            var l = Infinity, r = -Infinity;
            if (i < a.length && a[i][0] <= y0) {
                l = a[i][2];
                r = a[i][3];
            }
            if (j < b.length && b[j][0] <= y0) {
                l = Math.min(l, b[j][2]);
                r = Math.max(r, b[j][3]);
            }
            if (l === Infinity) {
                continue;
            }
            var last = out[out.length - 1];
            if (last && last[1] === y0 && last[2] === l && last[3] === r) {
                last[1] = y1;
            } else {
                out.push([y0, y1, l, r]);
            }
        }
        return out;
    }

    function defaultSpacing(fontSize)
    {
        return {
            hGap: Math.round(fontSize * 1.4), // between neighbouring boxes
            vGap: Math.round(fontSize * 2.6), // between a box and the row below
            laneGap: Math.round(fontSize * 1.3), // assistant to the vertical connector
            rootGap: Math.round(fontSize * 3) // between separate trees
        };
    }

    var LEAF = Object.freeze({left: [], right: [], bottom: [], columns: [], lanes: 0});

    // A node's children by where they stand, as indices into the layout's
    // arrays; records each child's parent on the way. In a compact layout a
    // manager's people hang in columns beneath them, each with their own
    // people to their right, as many to a column as fit above `floor` (the
    // bottom of the plain chart, or lower when asked): a wide organisation
    // is mostly small teams, and the rows below a shallow branch are
    // otherwise empty paper. A person whose branch is too tall for the room
    // stays in the row below the columns, as in the plain layout. The
    // children's heights must be known: they are grouped bottom up.
    function groupChildren(node, index, t, p, stack)
    {
        var left = [], right = [], bottom = [], columns = [];
        var room = stack ? stack.floor - (t.y[p] + t.h[p] + stack.vGap) : 0;
        var column = null, used = 0;
        node.children.forEach(function (c) {
            var k = index.get(c);
            t.parent[k] = p;
            if (c.side === 'left') {
                left.push(k);
            } else if (c.side === 'right') {
                right.push(k);
            } else if (!stack || t.subH[k] > room) {
                bottom.push(k);
            } else {
                if (!column || used + stack.gap + t.subH[k] > room) {
                    column = [];
                    columns.push(column);
                    used = -stack.gap;
                }
                column.push(k);
                used += stack.gap + t.subH[k];
            }
        });
        // A column of one is wider than the same person in the row.
        columns = columns.filter(function (col) {
            if (col.length === 1) {
                bottom.push(col[0]);
            }
            return col.length > 1;
        });
        return {left: left, right: right, bottom: bottom, columns: columns,
                lanes: Math.max(left.length, right.length), laneTops: null, laneEnd: 0};
    }

    // Every node of the forest, parents before children, without recursion
    // (a chain of ten thousand nodes must not exhaust the stack).
    function preorder(roots)
    {
        var order = [];
        var stack = roots.slice().reverse();
        while (stack.length) {
            var n = stack.pop();
            order.push(n);
            for (var i = n.children.length - 1; i >= 0; i--) {
                stack.push(n.children[i]);
            }
        }
        return order;
    }

    /// Lays out a forest of nodes that carry `w`, `h`, `side` and `children`.
    /// Sets `x`, `y` (top left, chart coordinates from 0) and `cx` (centre) on
    /// every node and returns the chart's width and height and the
    /// connectors, each a list of points of an orthogonal line.
    /// `options.compact` hangs the people of a team who have no reports in
    /// columns beneath their manager, no lower than the plain chart's bottom
    /// or `options.floor`, whichever is lower down (see compactLayout).
    function layoutForest(roots, spacing, options)
    {
        var compact = !!(options && options.compact);
        // The work happens in flat arrays indexed by preorder position: a
        // chart of ten thousand nodes then costs the garbage collector little.
        var sp = spacing;
        var order = preorder(roots);
        var N = order.length;
        var index = new Map();
        order.forEach(function (n, i) { index.set(n, i); });
        var t = {
            w: new Float64Array(N),
            h: new Float64Array(N),
            y: new Float64Array(N),
            subH: new Float64Array(N),
            relX: new Float64Array(N),
            cx: new Float64Array(N),
            parent: new Int32Array(N).fill(-1),
            groups: new Array(N)
        };
        var i, k, g;
        for (i = 0; i < N; i++) {
            t.w[i] = order[i].w;
            t.h[i] = order[i].h;
        }
        var stack = null;
        if (compact) {
            // Where each box stands in the plain chart, one row under its parent: the columns
            // of a team fill the height the deepest branch gives the chart anyway.
            var floor = (options && options.floor) || 0;
            for (i = 0; i < N; i++) {
                floor = Math.max(floor, t.y[i] + t.h[i]);
                for (k = 0; k < order[i].children.length; k++) {
                    t.y[index.get(order[i].children[k])] = t.y[i] + t.h[i] + sp.vGap;
                }
            }
            stack = {floor: floor, gap: stackGap(sp), vGap: sp.vGap};
        }

        // Heights first, bottom up: a node's rows depend on how tall its
        // assistants' subtrees are. Reversed preorder has children first.
        for (i = N - 1; i >= 0; i--) {
            g = t.groups[i] = order[i].children.length ? groupChildren(order[i], index, t, i, stack) : LEAF;
            var height = t.h[i];
            for (k = 0; k < g.lanes; k++) {
                height += sp.vGap + laneHeight(t, g, k);
            }
            var tallest = 0;
            for (k = 0; k < g.bottom.length; k++) {
                tallest = Math.max(tallest, t.subH[g.bottom[k]]);
            }
            for (k = 0; k < g.columns.length; k++) {
                tallest = Math.max(tallest, columnHeight(t, g.columns[k], sp));
            }
            if (g.bottom.length || g.columns.length) {
                height += sp.vGap + tallest;
            }
            t.subH[i] = height;
        }
        if (compact) {
            t.y.fill(0);
        }
        for (i = 0; i < N; i++) {
            g = t.groups[i];
            var cursor = t.y[i] + t.h[i]; // roots keep y 0
            if (g.lanes) {
                g.laneTops = [];
                for (k = 0; k < g.lanes; k++) {
                    cursor += sp.vGap;
                    g.laneTops.push(cursor);
                    var boxH = laneBoxHeight(t, g, k);
                    if (k < g.left.length) {
                        t.y[g.left[k]] = cursor + (boxH - t.h[g.left[k]]) / 2;
                    }
                    if (k < g.right.length) {
                        t.y[g.right[k]] = cursor + (boxH - t.h[g.right[k]]) / 2;
                    }
                    cursor += laneHeight(t, g, k);
                }
                g.laneEnd = cursor;
            }
            cursor += sp.vGap;
            for (k = 0; k < g.bottom.length; k++) {
                t.y[g.bottom[k]] = cursor;
            }
            g.columns.forEach(function (column) {
                var top = cursor;
                column.forEach(function (m) {
                    t.y[m] = top;
                    top += t.subH[m] + stackGap(sp);
                });
            });
        }

        // Then x, bottom up: each node's contour relative to its own centre,
        // and each child's offset from its parent's centre. Parts are merged
        // from the bottom up, so that each merge touches only the new part and
        // the top of what lies below it.
        var contours = new Array(N);
        var half = sp.vGap / 2;
        for (i = N - 1; i >= 0; i--) {
            g = t.groups[i];
            var c = null;
            if (g.bottom.length || g.columns.length) {
                var members = g.bottom.map(function (m) { return contours[m]; });
                g.columns.forEach(function (column) { members.push(columnContour(t, column, contours, sp)); });
                var row = packRow(members, sp.hGap);
                var mid = (row.pos[0] + row.pos[row.pos.length - 1]) / 2;
                row.contour.off -= mid;
                for (k = 0; k < g.bottom.length; k++) {
                    t.relX[g.bottom[k]] = row.pos[k] - mid;
                }
                g.spines = g.columns.map(function (column, n) {
                    var spine = row.pos[g.bottom.length + n] - mid;
                    column.forEach(function (m) { t.relX[m] += spine; });
                    return spine;
                });
                c = row.contour;
            }
            for (k = g.lanes - 1; k >= 0; k--) {
                // The piece of the parent's vertical connector beside this lane.
                var lineEnd = k + 1 < g.lanes ? g.laneTops[k + 1] - sp.vGap
                            : g.bottom.length || g.columns.length ? g.laneEnd + half
                            : g.laneTops[k] + laneBoxHeight(t, g, k) / 2 + 1;
                var lane = new Contour(g.laneTops[k] - sp.vGap, lineEnd, -1, 1);
                if (k < g.left.length) {
                    var lc = contours[g.left[k]];
                    t.relX[g.left[k]] = -sp.laneGap - lc.extremes().right;
                    lc.off += t.relX[g.left[k]];
                    lane = union(lane, lc);
                }
                if (k < g.right.length) {
                    var rc = contours[g.right[k]];
                    t.relX[g.right[k]] = sp.laneGap - rc.extremes().left;
                    rc.off += t.relX[g.right[k]];
                    lane = union(lane, rc);
                }
                c = c ? union(c, lane) : lane;
            }
            var box = new Contour(t.y[i] - half, t.y[i] + t.h[i] + half, -t.w[i] / 2, t.w[i] / 2);
            contours[i] = c ? union(c, box) : box;
            order[i].children.forEach(function (ch) { contours[index.get(ch)] = null; });
        }

        // Separate trees stand in columns of their own, never tucked into
        // each other, so that each reads as one organisation.
        var edge = 0;
        roots.forEach(function (r, n) {
            var ri = index.get(r);
            var ext = contours[ri].extremes();
            t.relX[ri] = n === 0 ? 0 : edge + sp.rootGap - ext.left;
            edge = t.relX[ri] + ext.right;
        });
        var minX = N ? Infinity : 0, maxX = N ? -Infinity : 0, maxY = 0;
        for (i = 0; i < N; i++) {
            t.cx[i] = (t.parent[i] >= 0 ? t.cx[t.parent[i]] : 0) + t.relX[i];
            minX = Math.min(minX, t.cx[i] - t.w[i] / 2);
            maxX = Math.max(maxX, t.cx[i] + t.w[i] / 2);
            maxY = Math.max(maxY, t.y[i] + t.h[i]);
        }
        for (i = 0; i < N; i++) {
            t.cx[i] -= minX;
            order[i].cx = t.cx[i];
            order[i].x = t.cx[i] - t.w[i] / 2;
            order[i].y = t.y[i];
        }
        return {width: maxX - minX, height: maxY, connectors: connectors(order, t, sp)};
    }

    // The two assistants of a lane share a middle line, so that both meet the
    // parent's connector at one height.
    function laneBoxHeight(t, g, k)
    {
        return Math.max(k < g.left.length ? t.h[g.left[k]] : 0, k < g.right.length ? t.h[g.right[k]] : 0);
    }

    function laneHeight(t, g, k)
    {
        var boxH = laneBoxHeight(t, g, k);
        var height = 0;
        if (k < g.left.length) {
            height = (boxH - t.h[g.left[k]]) / 2 + t.subH[g.left[k]];
        }
        if (k < g.right.length) {
            height = Math.max(height, (boxH - t.h[g.right[k]]) / 2 + t.subH[g.right[k]]);
        }
        return height;
    }

    // The rows of a column of people sit closer than the rows of a tree: no
    // bar runs between them.
    function stackGap(sp)
    {
        return Math.round(sp.hGap / 2);
    }

    function columnHeight(t, column, sp)
    {
        var height = (column.length - 1) * stackGap(sp);
        column.forEach(function (m) { height += t.subH[m]; });
        return height;
    }

    // A column's outline: its line (x 0) down to the last person, and each
    // person's branch to the right of it, its leftmost point a lane's gap
    // from the line. Sets each person's centre relative to the line.
    function columnContour(t, column, contours, sp)
    {
        // From the bottom up, so that each branch goes on top of the ones
        // below and a column of a thousand costs a thousand steps; the line,
        // reaching past them all, goes in once.
        var c = null;
        for (var k = column.length - 1; k >= 0; k--) {
            var m = column[k], branch = contours[m];
            t.relX[m] = sp.laneGap - branch.extremes().left;
            branch.off += t.relX[m];
            c = c ? union(c, branch) : branch;
        }
        var last = column[column.length - 1];
        return union(c, new Contour(t.y[column[0]] - sp.vGap / 2, t.y[last] + t.h[last] / 2 + 1, -1, 1));
    }

    // Places subtrees left to right, each as close to the ones before as
    // their contours allow. Positions are of each contour's origin (a
    // subtree's centre, a column's line).
    function packRow(members, gap)
    {
        var pos = [0];
        var acc = members[0];
        for (var k = 1; k < members.length; k++) {
            var c = members[k];
            var need = separation(acc, c);
            var shift = need === -Infinity ? 0 : need + gap;
            c.off += shift;
            pos.push(shift);
            acc = union(acc, c);
        }
        return {pos: pos, contour: acc};
    }

    // Orthogonal connector lines, one per child, from the parent's bottom
    // centre: down and across to an assistant's near side, or down to the bar
    // above the bottom children and down again to the child's top.
    function connectors(order, t, sp)
    {
        var lines = [];
        order.forEach(function (p, i) {
            var g = t.groups[i];
            var bottom = p.y + p.h;
            for (var k = 0; k < g.lanes; k++) {
                [g.left[k], g.right[k]].forEach(function (ai, onRight) {
                    if (ai === undefined) {
                        return;
                    }
                    var a = order[ai];
                    var mid = a.y + a.h / 2;
                    var edge = onRight ? a.x : a.x + a.w;
                    lines.push({from: p.row, to: a.row, points: [[p.cx, bottom], [p.cx, mid], [edge, mid]]});
                });
            }
            if (g.bottom.length || g.columns.length) {
                var bar = order[g.bottom.length ? g.bottom[0] : g.columns[0][0]].y - sp.vGap / 2;
                g.columns.forEach(function (column, n) {
                    // Down the column's line and across to each person's near side.
                    var spine = p.cx + g.spines[n];
                    var straight = Math.abs(g.spines[n]) < 1;
                    column.forEach(function (ci) {
                        var c = order[ci];
                        var y = c.y + c.h / 2;
                        lines.push({
                            from: p.row,
                            to: c.row,
                            points: straight ? [[p.cx, bottom], [p.cx, y], [c.x, y]]
                                             : [[p.cx, bottom], [p.cx, bar], [spine, bar], [spine, y], [c.x, y]]
                        });
                    });
                });
                g.bottom.forEach(function (ci) {
                    var c = order[ci];
                    // A child almost straight below gets a straight line
                    // rather than a jog of a few pixels.
                    var x = Math.abs(c.cx - p.cx) <= Math.min(12, c.w / 4) ? p.cx : c.cx;
                    lines.push({
                        from: p.row,
                        to: c.row,
                        points: x === p.cx ? [[p.cx, bottom], [p.cx, c.y]]
                                           : [[p.cx, bottom], [p.cx, bar], [x, bar], [x, c.y]]
                    });
                });
            }
        });
        return lines;
    }

    // What a layout costs on paper: how many sheet-sized tiles its boxes
    // touch. Printing takes time by the sheet, and a chart on fewer sheets is
    // a denser one. Without the sheets' own size: A3 at screen size.
    var TILE = {width: 1400, height: 950};
    // Room for the chart's margin and title above the boxes on the first row of sheets.
    var SHEET_SLACK = 40;

    function tilesTouched(nodes, tile)
    {
        var seen = new Set();
        nodes.forEach(function (n) {
            var c0 = Math.floor(n.x / tile.width), c1 = Math.floor((n.x + n.w) / tile.width);
            var r0 = Math.floor(n.y / tile.height), r1 = Math.floor((n.y + n.h) / tile.height);
            for (var r = r0; r <= r1; r++) {
                for (var c = c0; c <= c1; c++) {
                    seen.add(r * 1e7 + c);
                }
            }
        });
        return seen.size;
    }

    /// The plain layout, or a compact one (see layoutForest) when it covers
    /// fewer sheets: a narrower chart that is much taller is not a smaller
    /// one. The compact layouts tried fill the height of the plain chart, or
    /// one sheet's height of each of `sheets` ([{width, height}], landscape
    /// and portrait), so that the columns end where a sheet does. The
    /// placement of the one chosen is left on the nodes. Each layout is near
    /// linear, so trying a few costs little.
    function compactLayout(roots, spacing, sheets)
    {
        var areas = sheets && sheets.length ? sheets : [TILE];
        var nodes = preorder(roots);
        var best = null;
        function consider(layout, compact)
        {
            var cost = Math.min.apply(null, areas.map(function (a) { return tilesTouched(nodes, a); }));
            if (!best || cost < best.cost) {
                layout.compact = compact;
                best = {cost: cost, layout: layout, x: nodes.map(function (n) { return [n.x, n.y, n.cx]; })};
            }
        }
        var plain = layoutForest(roots, spacing);
        consider(plain, false);
        // A floor above the plain chart's bottom is that bottom: below a deep chart the floors
        // of both sheets are one layout.
        var floors = [];
        areas.forEach(function (a) {
            var floor = Math.max(a.height - SHEET_SLACK, plain.height);
            if (floors.indexOf(floor) < 0) {
                floors.push(floor);
                consider(layoutForest(roots, spacing, {compact: true, floor: floor}), true);
            }
        });
        nodes.forEach(function (n, i) {
            n.x = best.x[i][0];
            n.y = best.x[i][1];
            n.cx = best.x[i][2];
        });
        return best.layout;
    }

    return {
        compactLayout: compactLayout,
        shortenTitle: shortenTitle,
        widestWord: widestWord,
        wrapTitle: wrapTitle,
        defaultSpacing: defaultSpacing,
        layoutForest: layoutForest,
        Contour: Contour,
        separation: separation,
        union: union
    };
});
