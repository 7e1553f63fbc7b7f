// The chart on screen: centred and fitted when first drawn, zoomed with
// Ctrl+wheel and Ctrl +/-/0, panned by dragging or with the scroll bars,
// searched with Ctrl+F (or by the program through plotwellSearch), and
// folded branch by branch. Zooming and panning never lay the chart out
// again: a zoom gesture only transforms the layer that holds the drawing
// (the stage around it follows when the gesture settles) and the pan is the
// view's scroll position, so a chart of a thousand boxes keeps its frame rate.
// Exports never start a viewer (chart-draw.js), and print rules hide what it
// adds, so none of this reaches a picture or a PDF.
(function (root) {
    'use strict';

    var ZOOM_STEP = 1.25;
    // Below this size on screen a title is a smudge, and drawing the titles
    // of a thousand boxes is most of the work of a frame: zooming out paints
    // the newly uncovered part of the chart again on each step, and leaving
    // the titles out makes that paint and its raster about a fifth cheaper.
    // The boxes alone show the shape. (At six pixels a 93-row chart fitted
    // in a 1280-pixel window loses its names, which still help there.)
    var OVERVIEW_TEXT_PX = 4;
    var READABLE_ZOOM = 0.6;
    // A zoom gesture (Ctrl+wheel, a pinch, Ctrl +/- held down) only moves
    // and scales the drawing inside the stage and scroll position it started
    // from; the stage, the scroll extents and the titles catch up once no step
    // has come for this long. Resizing the stage and scrolling on each step
    // laid the view out and painted the chart again on every frame; now a
    // step zooming in paints nothing, and one zooming out only what it uncovers.
    var SETTLE_MS = 150;
    // How far a gesture scales the layer before the drawing in it is scaled
    // to the zoom again, which costs about one screen of raster. Enlarged
    // further, the picture blurs. Shrunk, what comes into view is rastered
    // at the drawing's scale, nine screens of pixels for one at a third; and
    // shrunk to about a quarter the engine was seen to raster all of it
    // again in one frame.
    var LAYER_SCALE_LIMIT = 3;

    function element(doc, name, className, parent)
    {
        var e = doc.createElement(name);
        if (className) {
            e.className = className;
        }
        if (parent) {
            parent.appendChild(e);
        }
        return e;
    }

    function button(doc, parent, className, label, title, action)
    {
        var b = element(doc, 'button', className, parent);
        b.type = 'button';
        b.textContent = label;
        b.title = title;
        b.setAttribute('aria-label', title);
        b.addEventListener('click', function (e) {
            e.preventDefault();
            action();
        });
        return b;
    }

    /// The layer of a new view, in which the drawing is made. Drawn there, it
    /// is styled and laid out once; moved into it afterwards, all of it was
    /// styled and laid out again (some 40 ms of a thousand boxes' 400).
    function viewerLayer(doc)
    {
        var view = element(doc, 'div', 'chart-viewer', doc.body);
        view.tabIndex = 0;
        view.setAttribute('aria-label', 'Org chart');
        var stage = element(doc, 'div', 'chart-stage', view);
        // The compositor's layer. The engine rasters a layer whose transform
        // may change at the layer's own scale once the transform's scale is
        // past a quarter, and keeps that raster however far the transform
        // then enlarges it. With the drawing at its natural size in the
        // layer, zooming in from a fitted chart rastered all of it at its
        // natural size at once as the zoom passed a quarter (sixteen screens
        // of pixels, a frame of 100-150 ms), and a view zoomed past 100% stayed
        // blurred. So the drawing is scaled inside the layer to the zoom the
        // view settled at, and a gesture scales the layer: what is rastered
        // is about what the screen shows.
        return element(doc, 'div', 'chart-layer', stage);
    }

    /// Puts the drawing `svg` into a scrolling view in the document's body
    /// and wires the view's controls. `chart` holds the forest as drawn, its
    /// size (with the layout's origin in it), the settings and `redraw`, which
    /// draws a folded view of the forest and returns its size.
    function startViewer(doc, svg, chart)
    {
        var O = root.Orgchart;
        // A page may draw one chart after another: what this viewer listens
        // to on the document and the window goes with it.
        stopViewer();
        listening = new AbortController();
        var own = {signal: listening.signal};
        var layer = svg.parentNode;
        if (!layer || !layer.classList.contains('chart-layer')) {
            layer = viewerLayer(doc);
            layer.appendChild(svg);
        }
        var stage = layer.parentNode, view = stage.parentNode;
        var nodes = chart.forest.nodes;
        var state = {
            zoom: 1,
            // The zoom the drawing is scaled to inside the layer.
            drawn: 1,
            fitted: true,
            size: chart.size,
            shown: new Map(),
            folded: new Set(),
            matches: [],
            current: -1,
            // Where the stage stands when a fold has moved it from its usual
            // place (O.keepInPlace), until the view zooms, fits or resizes.
            held: null
        };
        nodes.forEach(function (n) { state.shown.set(n.row, n); });

        function viewRect()
        {
            return {width: view.clientWidth, height: view.clientHeight};
        }

        function sameSize(a, b)
        {
            return !!a && a.width === b.width && a.height === b.height;
        }

        function scrollOf()
        {
            return {left: view.scrollLeft, top: view.scrollTop};
        }

        // The drawing at `zoom` with its top left corner at (x, y) in the stage.
        function place(x, y, zoom)
        {
            layer.style.transform = 'translate(' + x + 'px,' + y + 'px) scale(' + zoom / state.drawn + ')';
        }

        function draw(zoom)
        {
            if (state.drawn !== zoom) {
                state.drawn = zoom;
                svg.style.transform = 'scale(' + zoom + ')';
            }
        }

        function geometry()
        {
            return state.held || O.stageGeometry(state.size, viewRect(), state.zoom);
        }

        function apply(scroll)
        {
            var g = geometry();
            stage.style.width = g.width + 'px';
            stage.style.height = g.height + 'px';
            draw(state.zoom);
            place(g.left, g.top, state.zoom);
            svg.classList.toggle('overview', state.zoom * chart.settings.fontSize < OVERVIEW_TEXT_PX);
            if (scroll) {
                view.scrollLeft = scroll.left;
                view.scrollTop = scroll.top;
            }
            zoomLabel.textContent = Math.round(state.zoom * 100) + '%';
        }

        // During a zoom gesture: the zoom and scroll position the view takes
        // when it settles. The drawing already stands as it will then.
        var gesture = null;

        function zoomNow()
        {
            return gesture ? gesture.zoom : state.zoom;
        }

        function endGesture()
        {
            var g = gesture;
            if (g) {
                root.clearTimeout(g.timer);
                gesture = null;
            }
            return g;
        }

        function settle()
        {
            var g = endGesture();
            if (g) {
                state.zoom = g.zoom;
                apply(g.scroll);
            }
        }

        function zoomTarget(zoom, point)
        {
            var to = O.clampZoom(zoom);
            if (to === zoomNow()) {
                return null;
            }
            var rect = viewRect();
            var at = point || {x: rect.width / 2, y: rect.height / 2};
            var scroll = O.zoomAbout(state.size, rect, gesture ? gesture.scroll : scrollOf(), at, zoomNow(), to,
                                     state.held);
            state.held = null;
            state.fitted = false;
            return {zoom: to, scroll: scroll};
        }

        function zoomTo(zoom, point)
        {
            settle();
            var target = zoomTarget(zoom, point);
            if (target) {
                state.zoom = target.zoom;
                apply(target.scroll);
            }
        }

        function gestureStep(zoom, point)
        {
            var target = zoomTarget(zoom, point);
            if (!target) {
                return;
            }
            endGesture();
            gesture = target;
            gesture.timer = root.setTimeout(settle, SETTLE_MS);
            var g = O.stageGeometry(state.size, viewRect(), target.zoom);
            var x = g.left - target.scroll.left + view.scrollLeft;
            var y = g.top - target.scroll.top + view.scrollTop;
            var scale = target.zoom / state.drawn;
            if (scale > LAYER_SCALE_LIMIT || scale < 1 / LAYER_SCALE_LIMIT) {
                draw(target.zoom);
            }
            place(x, y, target.zoom);
            zoomLabel.textContent = Math.round(target.zoom * 100) + '%';
        }

        function fit()
        {
            endGesture();
            var rect = viewRect();
            state.zoom = O.fitZoom(state.size, rect);
            state.fitted = true;
            state.held = null;
            apply(O.scrollToCentre(state.size, rect, state.zoom,
                                   {x: 0, y: 0, w: state.size.width, h: state.size.height}));
        }

        // Ctrl+wheel (and a touchpad's pinch, which arrives as one) zooms
        // about the pointer; the steps of one frame are applied together.
        var pending = null;
        function frame()
        {
            var p = pending;
            pending = null;
            gestureStep(zoomNow() * p.factor, p.point);
        }
        // On the whole document, so that the engine's own page zoom never
        // takes a Ctrl+wheel over the controls.
        doc.addEventListener('wheel', function (e) {
            if (!e.ctrlKey && !e.metaKey) {
                settle();
                return;
            }
            e.preventDefault();
            var unit = e.deltaMode === 1 ? 16 : e.deltaMode === 2 ? viewRect().height : 1;
            var factor = Math.exp(-e.deltaY * unit * 0.0015);
            var r = view.getBoundingClientRect();
            var point = {x: e.clientX - r.left, y: e.clientY - r.top};
            if (pending) {
                pending.factor *= factor;
                pending.point = point;
            } else {
                pending = {factor: factor, point: point};
                root.requestAnimationFrame(frame);
            }
        }, {passive: false, signal: own.signal});

        // Dragging the chart pans it; the scroll bars and wheel scroll as usual.
        var drag = null;
        var dragCover = element(doc, 'div', 'drag-cover', view);
        dragCover.hidden = true;
        view.addEventListener('pointerdown', function (e) {
            settle();
            var r = view.getBoundingClientRect();
            var onBar = e.clientX - r.left >= view.clientWidth || e.clientY - r.top >= view.clientHeight;
            if (e.button !== 0 || onBar || e.target.closest('.fold-toggle')) {
                return;
            }
            drag = {id: e.pointerId, x: e.clientX, y: e.clientY, left: view.scrollLeft, top: view.scrollTop};
            view.setPointerCapture(e.pointerId);
            dragCover.hidden = false;
        });
        // A drag pans; it selects no text on its way.
        view.addEventListener('selectstart', function (e) {
            if (drag) {
                e.preventDefault();
            }
        });
        view.addEventListener('pointermove', function (e) {
            if (drag && e.pointerId === drag.id) {
                view.scrollLeft = drag.left - (e.clientX - drag.x);
                view.scrollTop = drag.top - (e.clientY - drag.y);
            }
        });
        function endDrag(e)
        {
            if (drag && e.pointerId === drag.id) {
                drag = null;
                dragCover.hidden = true;
            }
        }
        view.addEventListener('pointerup', endDrag);
        view.addEventListener('pointercancel', endDrag);

        // Folding lays out only what shows; the box that was clicked stays
        // where it was on screen.
        function relayout(anchorRow)
        {
            if (!chart.redraw) {
                return;
            }
            settle();
            var before = anchorRow === undefined ? null : screenPoint(anchorRow);
            var shown = O.visibleForest(chart.forest.roots, state.folded);
            state.size = chart.redraw(shown);
            state.shown = new Map();
            shown.nodes.forEach(function (n) { state.shown.set(n.row, n); });
            state.held = null;
            if (!before) {
                apply(scrollOf());
            } else {
                var b = boxOf(anchorRow);
                var at = {x: (b.x + b.w / 2) * state.zoom, y: b.y * state.zoom};
                // A scroll bar that comes or goes with the new stage changes
                // the room in the view: the place is worked out again for it.
                for (var pass = 0, rect = null; pass < 2 && !sameSize(rect, viewRect()); pass++) {
                    rect = viewRect();
                    state.held = O.keepInPlace(state.size, rect, state.zoom, at, before);
                    apply(state.held.scroll);
                }
            }
            mark();
        }

        function boxOf(row)
        {
            var n = state.shown.get(row);
            var o = state.size.origin;
            return {x: o.x + n.x, y: o.y + n.y, w: n.w, h: n.h};
        }

        // Where the top middle of a box stands in the view.
        function screenPoint(row)
        {
            var g = geometry();
            var b = boxOf(row);
            return {x: g.left + (b.x + b.w / 2) * state.zoom - view.scrollLeft,
                    y: g.top + b.y * state.zoom - view.scrollTop};
        }

        function toggleFold(row)
        {
            if (state.folded.has(row)) {
                state.folded.delete(row);
            } else {
                state.folded.add(row);
            }
            relayout(row);
        }

        svg.addEventListener('click', function (e) {
            var t = e.target.closest('.fold-toggle');
            if (t) {
                toggleFold(parseInt(t.getAttribute('data-row'), 10));
            }
        });

        // Search: matching boxes are marked, the others dimmed, and the
        // current match is scrolled to the middle of the view.
        function mark()
        {
            var found = new Set(state.matches);
            var current = state.current >= 0 ? state.matches[state.current] : -1;
            svg.classList.toggle('searching', found.size > 0);
            svg.querySelectorAll('g.node').forEach(function (g) {
                var row = parseInt(g.getAttribute('data-row'), 10);
                g.classList.toggle('match', found.has(row));
                g.classList.toggle('match-current', row === current);
            });
            countLabel.textContent = !input.value.trim() ? ''
                : state.matches.length ? (state.current + 1) + ' of ' + state.matches.length : 'No match';
        }

        function reveal()
        {
            if (state.current < 0) {
                return;
            }
            settle();
            // A match is shown large enough to read, however far out the view was.
            if (state.zoom < READABLE_ZOOM) {
                state.zoom = 1;
                state.fitted = false;
            }
            state.held = null;
            apply(null);
            var scroll = O.scrollToCentre(state.size, viewRect(), state.zoom, boxOf(state.matches[state.current]));
            view.scrollLeft = scroll.left;
            view.scrollTop = scroll.top;
        }

        function search(text)
        {
            var found = O.searchNodes(nodes, text);
            var unfold = [];
            found.forEach(function (n) { unfold = unfold.concat(O.foldedAbove(n, state.folded)); });
            if (unfold.length) {
                unfold.forEach(function (row) { state.folded.delete(row); });
                relayout();
            }
            state.matches = found.map(function (n) { return n.row; });
            state.current = found.length ? 0 : -1;
            if (input.value !== String(text || '')) {
                input.value = String(text || '');
            }
            mark();
            reveal();
            return found.length;
        }

        function step(by)
        {
            if (state.matches.length) {
                state.current = (state.current + by + state.matches.length) % state.matches.length;
                mark();
                reveal();
            }
        }

        var box = element(doc, 'div', 'search-box', doc.body);
        box.hidden = true;
        box.setAttribute('role', 'search');
        var input = element(doc, 'input', 'search-text', box);
        input.type = 'text';
        input.placeholder = 'Find a person';
        input.setAttribute('aria-label', 'Find in the chart');
        input.spellcheck = false;
        var countLabel = element(doc, 'span', 'search-count', box);
        button(doc, box, 'search-prev', '\u2039', 'Previous match (Shift+Enter)', function () { step(-1); });
        button(doc, box, 'search-next', '\u203a', 'Next match (Enter)', function () { step(1); });
        button(doc, box, 'search-close', '\u00d7', 'Close (Esc)', closeSearch);
        input.addEventListener('input', function () { search(input.value); });
        input.addEventListener('keydown', function (e) {
            if (e.key === 'Enter') {
                e.preventDefault();
                step(e.shiftKey ? -1 : 1);
            }
        });

        function openSearch()
        {
            box.hidden = false;
            input.focus();
            input.select();
        }

        function closeSearch()
        {
            box.hidden = true;
            search('');
            view.focus({preventScroll: true});
        }

        var controls = element(doc, 'div', 'view-controls', doc.body);
        button(doc, controls, 'zoom-out', '\u2212', 'Zoom out (Ctrl \u2212)', function () { zoomTo(zoomNow() / ZOOM_STEP); });
        var zoomLabel = button(doc, controls, 'zoom-fit', '100%', 'Fit the chart in the view (Ctrl 0)', fit);
        button(doc, controls, 'zoom-in', '+', 'Zoom in (Ctrl +)', function () { zoomTo(zoomNow() * ZOOM_STEP); });
        button(doc, controls, 'find', 'Find', 'Find a person (Ctrl F)', openSearch);

        doc.addEventListener('keydown', function (e) {
            if (e.key === 'Escape' && !box.hidden) {
                e.preventDefault();
                closeSearch();
                return;
            }
            var command = (e.ctrlKey || e.metaKey) && !e.altKey;
            var zoomKey = e.key === '+' || e.key === '=' || e.code === 'NumpadAdd' ? ZOOM_STEP
                : e.key === '-' || e.key === '_' || e.code === 'NumpadSubtract' ? 1 / ZOOM_STEP : 0;
            // Any other key ends a gesture, but not the modifier that is
            // held through it.
            if (!(command && zoomKey) && !/^(Control|Meta|Shift|Alt)$/.test(e.key)) {
                settle();
            }
            if (!command) {
                return;
            }
            var handled = true;
            if (zoomKey) {
                gestureStep(zoomNow() * zoomKey);
            } else if (e.key === '0' || e.code === 'Numpad0') {
                fit();
            } else if (e.key === 'f' || e.key === 'F') {
                openSearch();
            } else {
                handled = false;
            }
            if (handled) {
                e.preventDefault();
            }
        }, own);

        root.addEventListener('resize', function () {
            settle();
            state.held = null;
            if (state.fitted) {
                fit();
            } else {
                apply(scrollOf());
            }
        }, own);

        // A print is the whole chart, whatever is folded; the print rules
        // undo the zoom and hide the controls.
        root.addEventListener('beforeprint', function () {
            settle();
            if (state.folded.size && chart.redraw) {
                chart.redraw(O.visibleForest(chart.forest.roots, new Set()));
            }
        }, own);
        root.addEventListener('afterprint', function () {
            if (state.folded.size) {
                relayout();
            }
        }, own);

        fit();
        view.focus({preventScroll: true});

        // For the program and for the page's own checks.
        root.plotwellSearch = search;
        root.plotwellView = {
            zoom: zoomNow,
            zoomTo: zoomTo,
            fit: fit,
            fold: function (row) {
                if (!state.folded.has(row)) {
                    toggleFold(row);
                }
            },
            unfold: function (row) {
                if (state.folded.has(row)) {
                    toggleFold(row);
                }
            },
            openSearch: openSearch,
            next: function () { step(1); }
        };
    }

    var listening = null;

    function stopViewer()
    {
        if (listening) {
            listening.abort();
            listening = null;
        }
    }

    root.Orgchart = Object.assign(root.Orgchart || {},
                                  {startViewer: startViewer, stopViewer: stopViewer, viewerLayer: viewerLayer});
})(this);
