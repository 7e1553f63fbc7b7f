# Sources of the convert part of plotwell-core.
target_sources(plotwell-core PRIVATE
  convert/ColumnTypes.cpp convert/ColumnTypes.h
  convert/Conversion.cpp convert/Conversion.h
  convert/ConversionController.cpp convert/ConversionController.h
  convert/ConversionJob.cpp convert/ConversionJob.h
  convert/ConversionSettings.cpp convert/ConversionSettings.h
  convert/ConvertCommand.cpp convert/ConvertCommand.h
  convert/Escaping.cpp convert/Escaping.h
  convert/HtmlTable.cpp convert/HtmlTable.h
  convert/JsonWriter.cpp convert/JsonWriter.h
  convert/OutputBuffer.cpp convert/OutputBuffer.h
  convert/RecordOutput.h
  convert/RecordSink.cpp convert/RecordSink.h
  convert/SqlWriter.cpp convert/SqlWriter.h
  convert/TablePreviewJob.cpp convert/TablePreviewJob.h
  convert/XmlWriter.cpp convert/XmlWriter.h
)
