# Sources of the model part of plotwell-core.
target_sources(plotwell-core PRIVATE
  model/ChartGrid.cpp model/ChartGrid.h
)
