// The page draws from its own address, unless the program is to hand it the
// data by script ("pending"). Data once handed over comes back with the
// page's step of the history. The bare page, with no chart in its address, is
// the window's start page and draws nothing.
(function (O) {
    function drawStep(state)
    {
        var search = window.location.search;
        if (search && !O.readSettings(O.parseQuery(search)).pending) {
            O.renderPage(search, document);
        } else if (search && state && state.data !== undefined) {
            O.renderPage(search, document, {data: state.data});
        } else {
            O.clearPage(document);
        }
    }

    drawStep(window.history.state);

    // The next chart is drawn in this page rather than loaded as a new one
    // (the load is most of what a render costs): the address changes as a load
    // would change it, and the history has its step.
    O.stepTo = function (address, replace) {
        if (replace || new URL(address, window.location.href).href === window.location.href) {
            window.history.replaceState(null, '', address);
        } else {
            window.history.pushState(null, '', address);
        }
        drawStep(null);
        return true;
    };

    window.addEventListener('popstate', function (event) {
        drawStep(event.state);
    });
}(window.Orgchart));
