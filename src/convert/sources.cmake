# Sources of the convert part of plotwell-core.
target_sources(plotwell-core PRIVATE
  convert/ConversionSettings.cpp convert/ConversionSettings.h
  convert/Escaping.cpp convert/Escaping.h
  convert/HtmlTable.cpp convert/HtmlTable.h
  convert/JsonWriter.cpp convert/JsonWriter.h
  convert/OutputBuffer.cpp convert/OutputBuffer.h
  convert/RecordSink.cpp convert/RecordSink.h
  convert/SqlWriter.cpp convert/SqlWriter.h
  convert/XmlWriter.cpp convert/XmlWriter.h
)
