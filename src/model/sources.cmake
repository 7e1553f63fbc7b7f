# Sources of the model part of plotwell-core.
target_sources(plotwell-core PRIVATE
  model/ChartGrid.cpp model/ChartGrid.h
  model/GridClearing.cpp model/GridClearing.h
  model/ItemPickerModel.cpp model/ItemPickerModel.h
  model/NodePositions.cpp model/NodePositions.h
  model/ParentListModel.cpp model/ParentListModel.h
  model/ParentReferences.cpp model/ParentReferences.h
  model/SampleCharts.cpp model/SampleCharts.h
)
