#pragma once

namespace plotwell {

/// `plotwell render [--sample 1|2 | CHART.csv] -o OUT.png|OUT.pdf [--hires]`: draws a chart
/// with the real chart page off screen and writes it as the exports of the window do. \a argv[0]
/// is "render". Returns the process exit code.
int runRenderCommand(int argc, char **argv);

} // namespace plotwell
