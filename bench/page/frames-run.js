// The chart page as the viewer shows it, without the 93-row limit, and a
// recorder of animation frame times (and the zoom shown at each) for
// frames.js to start and read.
(function () {
    Orgchart.renderPage(window.location.search, document, {maxRow: Infinity});
    var times = null;
    var zooms = [];
    function tick(t)
    {
        if (times) {
            times.push(t);
            zooms.push(plotwellView.zoom());
            requestAnimationFrame(tick);
        }
    }
    window.framesStart = function () {
        times = [];
        zooms = [];
        requestAnimationFrame(tick);
    };
    window.framesStop = function () {
        var out = times;
        times = null;
        return out;
    };
    window.framesZooms = function () {
        return zooms;
    };
})();
