// The page draws once, from its own address.
Orgchart.renderPage(window.location.search, document);
