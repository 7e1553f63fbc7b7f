# Sources of the csv part of plotwell-core.
target_sources(plotwell-core PRIVATE
  csv/ByteReader.cpp csv/ByteReader.h
  csv/CharacterMasks.cpp csv/CharacterMasks.h
  csv/CsvAggregator.cpp csv/CsvAggregator.h
  csv/CsvDecoder.cpp csv/CsvDecoder.h
  csv/CsvParser.cpp csv/CsvParser.h
  csv/CsvParserFastPaths.cpp csv/CsvParserGrammar.cpp csv/CsvParserInput.cpp
  csv/internal/CsvParserImpl.h
  csv/CsvRecords.cpp csv/CsvRecords.h
)
