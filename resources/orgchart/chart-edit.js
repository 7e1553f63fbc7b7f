// Editing from the chart on show: a click on a box selects its row in the
// program's grid, and a box dragged onto another box makes that box its
// parent. Only the visible viewer has a channel to the program; every other
// page (exports, pictures) never hears of it and pans as usual.
//
// The program is told row numbers only. The box being dragged is shown by
// a copy of its text set with textContent, never as markup.
(function (root) {
    'use strict';

    var doc = root.document;
    var edits = null;
    // One channel a page: a second one asked before the first answers would
    // take the first one's answers.
    var channelAsked = false;
    var DRAG_START = 4; // px before a press on a box becomes a drag

    function connect()
    {
        if (channelAsked || typeof root.QWebChannel !== 'function' || !root.qt || !root.qt.webChannelTransport) {
            return;
        }
        channelAsked = true;
        new root.QWebChannel(root.qt.webChannelTransport, function (channel) {
            edits = channel.objects.chartEdits || null;
            // Boxes can be taken from here on; the attribute says so to styles and tests.
            if (edits) {
                doc.documentElement.setAttribute('data-box-edits', 'ready');
            }
        });
    }

    function rowOf(g)
    {
        return parseInt(g.getAttribute('data-row'), 10);
    }

    function boxAt(x, y)
    {
        var hit = doc.elementFromPoint(x, y);
        if (!hit || !hit.closest || hit.closest('.fold-toggle')) {
            return null;
        }
        return hit.closest('g.node');
    }

    function outline(g, on)
    {
        var rect = g && g.querySelector('.node-box');
        if (rect) {
            rect.style.stroke = on ? '#418cf0' : '';
            rect.style.strokeWidth = on ? '3px' : '';
        }
    }

    function makeGhost(g)
    {
        var ghost = doc.createElement('div');
        ghost.className = 'box-drag-ghost';
        var text = g.querySelector('.node-text');
        ghost.textContent = text ? text.textContent : '';
        var s = ghost.style;
        s.position = 'fixed';
        s.pointerEvents = 'none';
        s.zIndex = '1000';
        s.padding = '4px 10px';
        s.borderRadius = '6px';
        s.background = 'rgba(65, 140, 240, 0.9)';
        s.color = 'white';
        s.font = '13px sans-serif';
        s.whiteSpace = 'nowrap';
        s.boxShadow = '0 2px 8px rgba(0, 0, 0, 0.3)';
        doc.body.appendChild(ghost);
        return ghost;
    }

    var drag = null;

    function finish()
    {
        if (!drag) {
            return;
        }
        if (drag.ghost) {
            drag.ghost.remove();
        }
        outline(drag.over, false);
        if (drag.box.style) {
            drag.box.style.opacity = '';
        }
        doc.documentElement.style.cursor = '';
        drag = null;
    }

    // Captured on the document, before the viewer's own pan takes the press.
    doc.addEventListener('pointerdown', function (e) {
        connect();
        if (!edits || e.button !== 0 || !e.target.closest) {
            return;
        }
        var g = e.target.closest('g.node');
        if (!g || e.target.closest('.fold-toggle')) {
            return;
        }
        e.stopPropagation();
        e.preventDefault();
        drag = {id: e.pointerId, row: rowOf(g), box: g, x: e.clientX, y: e.clientY,
                ghost: null, over: null};
    }, true);

    doc.addEventListener('pointermove', function (e) {
        if (!drag || e.pointerId !== drag.id) {
            return;
        }
        e.stopPropagation();
        if (!drag.ghost) {
            if (Math.abs(e.clientX - drag.x) + Math.abs(e.clientY - drag.y) < DRAG_START) {
                return;
            }
            drag.ghost = makeGhost(drag.box);
            drag.box.style.opacity = '0.45';
            doc.documentElement.style.cursor = 'grabbing';
        }
        // Beside the pointer, on whichever side leaves it whole.
        var wide = drag.ghost.offsetWidth;
        var left = e.clientX + 12 + wide <= root.innerWidth ? e.clientX + 12 : e.clientX - 12 - wide;
        drag.ghost.style.left = Math.max(0, left) + 'px';
        drag.ghost.style.top = (e.clientY + 8) + 'px';
        var over = boxAt(e.clientX, e.clientY);
        if (over && rowOf(over) === drag.row) {
            over = null;
        }
        if (over !== drag.over) {
            outline(drag.over, false);
            outline(over, true);
            drag.over = over;
        }
    }, true);

    doc.addEventListener('pointerup', function (e) {
        if (!drag || e.pointerId !== drag.id) {
            return;
        }
        e.stopPropagation();
        var row = drag.row;
        var moved = !!drag.ghost;
        var target = drag.over ? rowOf(drag.over) : 0;
        finish();
        if (!moved) {
            edits.boxClicked(row);
        } else if (target) {
            edits.boxDropped(row, target);
        }
    }, true);

    doc.addEventListener('pointercancel', finish, true);
    doc.addEventListener('keydown', function (e) {
        if (drag && e.key === 'Escape') {
            finish();
        }
    }, true);

    connect();
    doc.addEventListener('DOMContentLoaded', connect);
}(window));
