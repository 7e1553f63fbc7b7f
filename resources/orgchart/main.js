// The page draws once, from its own address, unless the program is to hand
// it the data by script.
if (!Orgchart.readSettings(Orgchart.parseQuery(window.location.search)).pending) {
    Orgchart.renderPage(window.location.search, document);
}
