// The chart page as the viewer shows it, without the 93-row limit, and a
// recorder of animation frame times for frames.js to start and read.
(function () {
    Orgchart.renderPage(window.location.search, document, {maxRow: Infinity});
    var times = null;
    function tick(t)
    {
        if (times) {
            times.push(t);
            requestAnimationFrame(tick);
        }
    }
    window.framesStart = function () {
        times = [];
        requestAnimationFrame(tick);
    };
    window.framesStop = function () {
        var out = times;
        times = null;
        return out;
    };
})();
