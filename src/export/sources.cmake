# Sources of the export part of plotwell-core.
target_sources(plotwell-core PRIVATE
  export/ChartExporter.cpp export/ChartExporter.h
  export/ChartPictures.h
  export/ExportController.cpp export/ExportController.h
)
