#pragma once

// Generated inputs shared by the benchmark and the command-line counter.
#include <QByteArray>
#include <QString>

namespace plotwell::csv::bench {

enum class Shape {
    Narrow,      // many short fields, a few quoted
    QuoteHeavy,  // long quoted fields with doubled quotes and line breaks
    Wide,        // 200 fields per record
    NarrowUtf16, // Narrow, as UTF-16LE with a byte-order mark
};

/// About `bytes` of text of the given shape (deterministic).
QByteArray generate(Shape shape, qsizetype bytes);

/// Writes the text to a file in the temporary folder once and returns its path.
QString generatedFile(Shape shape, qsizetype bytes);

} // namespace plotwell::csv::bench
