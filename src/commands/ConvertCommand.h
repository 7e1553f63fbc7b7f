#pragma once

namespace plotwell::convert {

/// `plotwell convert --to sql|json|xml|html INPUT.csv -o OUTPUT [--table NAME]`: the
/// converters without a window, for scripts and large files. `argv[0]` is "convert". Shows a
/// progress line on stderr when it is a terminal. Returns 0 on success, 1 when the conversion
/// failed and 2 for a wrong command line.
int runConvertCommand(int argc, char **argv);

} // namespace plotwell::convert
