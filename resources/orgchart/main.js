// The page draws once, from its own address, unless the program is to hand
// it the data by script. Data once handed over comes back with the page's
// step of the history.
if (!Orgchart.readSettings(Orgchart.parseQuery(window.location.search)).pending) {
    Orgchart.renderPage(window.location.search, document);
} else if (window.history.state && window.history.state.data !== undefined) {
    Orgchart.renderPage(window.location.search, document, {data: window.history.state.data});
}
