// The arithmetic of looking at a chart: how far to zoom to fit it, where it
// stands in the view, which point stays put while zooming, which boxes a
// search finds and which a folded branch hides. Pure functions only, so that
// node can test them without a browser.
(function (root, factory) {
    var api = factory();
    if (typeof module === 'object' && module.exports) {
        module.exports = api;
    } else {
        root.Orgchart = Object.assign(root.Orgchart || {}, api);
    }
})(this, function () {
    'use strict';

    var ZOOM_LIMITS = Object.freeze({min: 0.05, max: 8});
    // Room left around a fitted chart, so that its edge never touches the
    // view's.
    var FIT_PADDING = 16;

    function clampZoom(zoom)
    {
        return Math.min(ZOOM_LIMITS.max, Math.max(ZOOM_LIMITS.min, zoom));
    }

    /// The zoom at which the whole chart shows in the view. A chart smaller
    /// than the view keeps its own size: fitting never enlarges text beyond
    /// the font size the user chose.
    function fitZoom(chart, view)
    {
        var w = Math.max(1, view.width - 2 * FIT_PADDING);
        var h = Math.max(1, view.height - 2 * FIT_PADDING);
        return clampZoom(Math.min(1, w / chart.width, h / chart.height));
    }

    /// Where the zoomed chart stands: the scrolled area is the view or the
    /// zoomed chart, whichever is larger each way, and a chart narrower (or
    /// lower) than the view is centred in it.
    function stageGeometry(chart, view, zoom)
    {
        var w = chart.width * zoom, h = chart.height * zoom;
        return {
            width: Math.max(view.width, w),
            height: Math.max(view.height, h),
            left: Math.max(0, (view.width - w) / 2),
            top: Math.max(0, (view.height - h) / 2)
        };
    }

    function clampScroll(scroll, stage, view)
    {
        return {
            left: Math.min(Math.max(0, stage.width - view.width), Math.max(0, scroll.left)),
            top: Math.min(Math.max(0, stage.height - view.height), Math.max(0, scroll.top))
        };
    }

    /// The scroll position after zooming from `from` to `to` that keeps the
    /// chart point under `point` (in view coordinates) under it, as far as
    /// the scroll range allows. `stage` is where the chart stands at `from`
    /// when that is not its usual place (see keepInPlace).
    function zoomAbout(chart, view, scroll, point, from, to, stage)
    {
        var before = stage || stageGeometry(chart, view, from);
        var after = stageGeometry(chart, view, to);
        var cx = (scroll.left + point.x - before.left) / from;
        var cy = (scroll.top + point.y - before.top) / from;
        return clampScroll({left: cx * to + after.left - point.x, top: cy * to + after.top - point.y},
                           after, view);
    }

    // One axis of keepInPlace: the drawing `size` long in a view `room` long,
    // its point `at` to show at `screen`.
    function holdAxis(size, room, at, screen)
    {
        var usual = Math.max(0, (room - size) / 2);
        var offset = screen - at; // where the drawing's start must show
        var scroll = usual - offset;
        if (scroll >= 0 && scroll <= Math.max(0, size - room)) {
            return {lead: usual, scroll: scroll, length: Math.max(room, size)};
        }
        if (scroll < 0) {
            // Room before the drawing: it stands further in than usual.
            return {lead: offset, scroll: 0, length: Math.max(room, offset + size)};
        }
        // Room after it: the view is scrolled past its end.
        return {lead: usual, scroll: scroll, length: scroll + room};
    }

    /// The stage and scroll position that show the chart point `at` (in
    /// zoomed pixels from the drawing's top left) at `screen` (in the view).
    /// Where the usual stage cannot, because the drawing is now smaller than
    /// the view or the scroll range ends short of it, the stage makes room
    /// beside the drawing: a box whose branch was folded stays under the
    /// pointer that folded it.
    function keepInPlace(chart, view, zoom, at, screen)
    {
        var x = holdAxis(chart.width * zoom, view.width, at.x, screen.x);
        var y = holdAxis(chart.height * zoom, view.height, at.y, screen.y);
        return {width: x.length, height: y.length, left: x.lead, top: y.lead,
                scroll: {left: x.scroll, top: y.scroll}};
    }

    /// The scroll position that puts the centre of `box` (chart coordinates)
    /// at the centre of the view, as far as the scroll range allows.
    function scrollToCentre(chart, view, zoom, box)
    {
        var stage = stageGeometry(chart, view, zoom);
        return clampScroll({
            left: stage.left + (box.x + box.w / 2) * zoom - view.width / 2,
            top: stage.top + (box.y + box.h / 2) * zoom - view.height / 2
        }, stage, view);
    }

    /// Text as a search compares it: lower case, without accents, with runs
    /// of white space as one space.
    function foldText(text)
    {
        var t = String(text || '').toLowerCase();
        if (t.normalize) {
            t = t.normalize('NFD').replace(/[\u0300-\u036f]/g, '');
        }
        return t.replace(/\s+/g, ' ').trim();
    }

    /// The nodes whose title contains the text, in row order. Each word of
    /// the text must appear, in any order, so that "brent ceo" finds
    /// "Niall Brent(CEO)". No text finds nothing.
    function searchNodes(nodes, text)
    {
        var words = foldText(text).split(' ').filter(Boolean);
        if (!words.length) {
            return [];
        }
        return nodes.filter(function (n) {
            var title = foldText(n.title);
            return words.every(function (w) { return title.indexOf(w) >= 0; });
        }).sort(function (a, b) { return a.row - b.row; });
    }

    /// The rows to unfold so that `node` shows: each folded row above it.
    function foldedAbove(node, folded)
    {
        var rows = [];
        for (var p = node.parent; p; p = p.parent) {
            if (folded.has(p.row)) {
                rows.push(p.row);
            }
        }
        return rows;
    }

    /// The forest as it shows with the rows in `folded` folded: each node is
    /// a view of the original (reads fall through to it, and the layout's
    /// positions land on the view), with the children of a folded node left
    /// out and counted in `hiddenCount`.
    function visibleForest(roots, folded)
    {
        var nodes = [];
        function count(n)
        {
            var total = 0, stack = n.children.slice();
            while (stack.length) {
                var c = stack.pop();
                total++;
                Array.prototype.push.apply(stack, c.children);
            }
            return total;
        }
        function view(n)
        {
            var v = Object.create(n);
            v.source = n;
            v.folded = folded.has(n.row) && n.children.length > 0;
            v.hiddenCount = v.folded ? count(n) : 0;
            v.children = [];
            nodes.push(v);
            return v;
        }
        // Parents before children, without recursion: a chain may be long.
        var top = roots.map(view);
        var stack = top.slice();
        while (stack.length) {
            var v = stack.pop();
            if (!v.folded) {
                v.children = v.source.children.map(view);
                Array.prototype.push.apply(stack, v.children);
            }
        }
        nodes.sort(function (a, b) { return a.row - b.row; });
        return {roots: top, nodes: nodes};
    }

    return {
        ZOOM_LIMITS: ZOOM_LIMITS,
        FIT_PADDING: FIT_PADDING,
        clampZoom: clampZoom,
        fitZoom: fitZoom,
        stageGeometry: stageGeometry,
        zoomAbout: zoomAbout,
        keepInPlace: keepInPlace,
        scrollToCentre: scrollToCentre,
        foldText: foldText,
        searchNodes: searchNodes,
        foldedAbove: foldedAbove,
        visibleForest: visibleForest
    };
});
